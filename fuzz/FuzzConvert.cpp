// Feeds arbitrary text as an XML partition objects file through the binary
// form and back.
//
// Checks: nothing fails unsafely; every document the converter accepts
// saves as a binary file that reads back and converts to XML with the same
// number of objects.
#include "BinaryDataFormat.h"
#include "BinaryFileResource.h"
#include "DataElement.h"
#include "PartitionXmlBinaryConvert.h"
#include "SelectorDataFile.h"

#include <OgreLogManager.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace
{
    void check(bool condition)
    {
        if (!condition)
            __builtin_trap();
    }

    size_t countObjects(Wren::DataFile& xml)
    {
        size_t n = 0;
        Wren::DataElementPtr root = xml.getRootElement();
        for (Wren::DataElementPtr o = root->getFirstChild("Object"); !o->getIsEmpty();
             o = o->getNextSibling("Object"))
            ++n;
        return n;
    }
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static Ogre::LogManager logs;
    logs.createLog("fuzz-convert.log", true, false, true)->setLogDetail(Ogre::LL_LOW);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    Wren::SelectorDataFile xml;
    if (!xml.load(text.c_str()))
        return 0;
    std::unique_ptr<Ogre::BinaryFileResource> binary(
        Wren::PartitionXmlBinaryConvert::ConvetToBinary(&xml));
    if (!binary)
        return 0;
    const size_t objects = countObjects(xml);
    check(binary->getRootElement()->getChildCount() == objects);

    std::vector<unsigned char> bytes;
    Ogre::String error;
    check(Ogre::BinaryDataFormat::write(binary->getRootElement(), bytes, error));
    Ogre::BinaryFileResource reread;
    check(reread.loadFromMemory(bytes.data(), bytes.size()));
    std::unique_ptr<Wren::DataFile> back(Wren::PartitionXmlBinaryConvert::ConvertToXml(&reread));
    check(back != nullptr);
    check(countObjects(*back) == objects);
    return 0;
}
