#include "XMLDataFile.h"

#include "AtomicFile.h"
#include "XMLDataElement.h"

#include "OgreTinyXmlBuffer.h"

#include <OgreLogManager.h>
#include <OgreStringConverter.h>

#include <tinyxml.h>


namespace Wren
{
    XMLDataFile::XMLDataFile() : mDocument(new TiXmlDocument()) {}

    XMLDataFile::~XMLDataFile() { delete mDocument; }

    bool XMLDataFile::reportParse(bool parsed, const std::string& source)
    {
        if (!parsed)
        {
            Ogre::LogManager::getSingleton().logMessage(
                "XMLDataFile: can not parse data file " + source + ": " + mDocument->ErrorDesc() +
                " (row " + Ogre::StringConverter::toString(mDocument->ErrorRow()) + ", column " +
                Ogre::StringConverter::toString(mDocument->ErrorCol()) + ")");
            mDocument->Clear();
        }
        return parsed;
    }

    bool XMLDataFile::load(Ogre::DataStreamPtr& stream)
    {
        const std::string source = stream ? stream->getName() : std::string("<null stream>");
        return reportParse(Ogre::TinyXmlBuffer::LoadFileFromBuffer(*mDocument, stream), source);
    }

    bool XMLDataFile::load(const char* buffer)
    {
        return reportParse(Ogre::TinyXmlBuffer::LoadFileFromBuffer(*mDocument, buffer), "<memory>");
    }

    bool XMLDataFile::load(const std::string& fileName)
    {
        mDocument->Clear();
        return reportParse(mDocument->LoadFile(fileName), fileName);
    }

    bool XMLDataFile::save(const std::string& fileName)
    {
        TiXmlPrinter printer;
        printer.SetIndent("\t");
        mDocument->Accept(&printer);
        return AtomicFile::write(fileName, printer.CStr(), printer.Size());
    }

    DataElementPtr XMLDataFile::getRootElement()
    {
        return DataElementPtr(new XMLDataElement(mDocument->RootElement()));
    }

    DataElementPtr XMLDataFile::createRootElement(const std::string& name)
    {
        TiXmlNode* inserted = mDocument->InsertEndChild(TiXmlElement(name));
        return DataElementPtr(new XMLDataElement(inserted ? inserted->ToElement() : nullptr));
    }
}
