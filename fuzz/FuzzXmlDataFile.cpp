// Feeds arbitrary text to the XML data-file loader, then walks every element
// of what parsed and reads its attributes through every typed getter and as
// a property, as the loaders of worlds, metadata and objects do.
//
// Checks: nothing fails unsafely; a document that parsed saves to text that
// parses again.
#include "DataElement.h"
#include "Property.h"
#include "XMLDataFile.h"

#include <OgreLogManager.h>

#include <tinyxml.h>

#include <cstdint>
#include <string>

namespace
{
    void check(bool condition)
    {
        if (!condition)
            __builtin_trap();
    }

    int walk(Wren::DataElementPtr element, int depth)
    {
        int count = 0;
        for (Wren::DataElementPtr e = element; !e->getIsEmpty() && depth < 256; e = e->getNextSibling())
        {
            ++count;
            e->getAttributeInt("Type", 0);
            e->getAttributeFloat("PosX", 0.0f);
            e->getAttributeBool("IsStatic", false);
            e->getAttributeString("Name", "");
            e->getAttributeVector3("Position", Ogre::Vector3::ZERO);
            e->getAttributeQuaternion("Orientation", Ogre::Quaternion::IDENTITY);
            e->getAttributeColourValue("Colour", Ogre::ColourValue::White);
            Wren::Property property;
            property.load(e);
            count += walk(e->getFirstChild(), depth + 1);
        }
        return count;
    }
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static Ogre::LogManager logs;
    logs.createLog("fuzz-xmldatafile.log", true, false, true)->setLogDetail(Ogre::LL_LOW);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    Wren::XMLDataFile file;
    if (!file.load(text.c_str()))
        return 0;
    const int elements = walk(file.getRootElement(), 0);

    TiXmlPrinter printer;
    file.getDocument()->Accept(&printer);
    Wren::XMLDataFile again;
    check(again.load(printer.CStr()));
    check(elements == 0 || !again.getRootElement()->getIsEmpty());
    return 0;
}
