// Feeds arbitrary bytes to the binary data file reader, and what it accepts
// to the record reader and the binary-to-XML converter.
//
// Checks: reading never fails unsafely; a file that reads writes back to the
// very same bytes; records survive a trip through XML with their texts.
#include "BinaryDataFormat.h"
#include "BinaryFileResource.h"
#include "CompleteObjectDataInfo.h"
#include "DataFile.h"
#include "PartitionXmlBinaryConvert.h"

#include <OgreLogManager.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace
{
    void check(bool condition)
    {
        if (!condition)
            __builtin_trap();
    }
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static Ogre::LogManager logs;
    logs.createLog("fuzz-binaryfile.log", true, false, true)->setLogDetail(Ogre::LL_LOW);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::unique_ptr<Ogre::BinaryDataElement> root;
    Ogre::String error;
    if (!Ogre::BinaryDataFormat::read(data, size, root, error))
    {
        check(!error.empty());
        return 0;
    }
    std::vector<unsigned char> again;
    check(Ogre::BinaryDataFormat::write(root.get(), again, error));
    check(again.size() == size && std::memcmp(again.data(), data, size) == 0);

    Ogre::BinaryFileResource file;
    check(file.loadFromMemory(data, size));
    std::unique_ptr<Wren::DataFile> xml(Wren::PartitionXmlBinaryConvert::ConvertToXml(&file));
    if (!xml)
        return 0;
    std::unique_ptr<Ogre::BinaryFileResource> back(
        Wren::PartitionXmlBinaryConvert::ConvetToBinary(xml.get()));
    check(back != nullptr);
    Ogre::IBinaryDataElement* a = file.getRootElement()->getFirstChildElement();
    Ogre::IBinaryDataElement* b = back->getRootElement()->getFirstChildElement();
    for (; a && b; a = a->getNextChildElement(), b = b->getNextChildElement())
    {
        Wren::CompleteObjectDataInfo before, after;
        check(before.fromBytes(a->getBuf(), a->getSize()));
        check(after.fromBytes(b->getBuf(), b->getSize()));
        check(before.getType() == after.getType() && before.getName() == after.getName() &&
              before.getMetaId() == after.getMetaId() &&
              before.getPartitionId() == after.getPartitionId());
    }
    check(!a && !b);
    return 0;
}
