#include "XMLDataFile.h"

#include "AtomicFile.h"
#include "EngineLog.h"
#include "XMLDataElement.h"

#include "OgreTinyXmlBuffer.h"


#include <tinyxml.h>


namespace Wren
{
    XMLDataFile::XMLDataFile() : mDocument(new TiXmlDocument()) {}

    XMLDataFile::~XMLDataFile() { delete mDocument; }

    bool XMLDataFile::reportParse(bool parsed, const std::string& source, const std::string& error)
    {
        if (!parsed)
            EngineLog::line("XMLDataFile: can not parse data file " + source + ": " + error);
        return parsed;
    }

    bool XMLDataFile::parse(const char* text, std::string& error)
    {
        return Ogre::TinyXmlBuffer::LoadFileFromBuffer(*mDocument, text, &error);
    }

    bool XMLDataFile::load(Ogre::DataStreamPtr& stream)
    {
        const std::string source = stream ? stream->getName() : std::string("<null stream>");
        std::string error;
        return reportParse(Ogre::TinyXmlBuffer::LoadFileFromBuffer(*mDocument, stream, &error),
                           source, error);
    }

    bool XMLDataFile::load(const char* buffer)
    {
        std::string error;
        return reportParse(parse(buffer, error), "<memory>", error);
    }

    bool XMLDataFile::load(const std::string& fileName)
    {
        std::string error;
        return reportParse(Ogre::TinyXmlBuffer::LoadFileFromFile(*mDocument, fileName, &error),
                           fileName, error);
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
