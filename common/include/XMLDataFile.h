#ifndef __WrenXMLDataFile_H__
#define __WrenXMLDataFile_H__

#include "DataFile.h"

class TiXmlDocument;

namespace Wren
{
    /** A data file over a TinyXML document. A load that fails logs the
        file name (or "<memory>"/the stream's name) with the parser's message
        and leaves the document empty. */
    class WREN_COMMON_EXPORT XMLDataFile : public DataFile
    {
    public:
        XMLDataFile();
        ~XMLDataFile() override;

        bool load(Ogre::DataStreamPtr& stream) override;
        bool load(const char* buffer) override;
        bool load(const std::string& fileName) override;
        bool save(const std::string& fileName) override;
        DataElementPtr getRootElement() override;
        DataElementPtr createRootElement(const std::string& name) override;

        TiXmlDocument* getDocument() const { return mDocument; }

    private:
        XMLDataFile(const XMLDataFile&) = delete;
        XMLDataFile& operator=(const XMLDataFile&) = delete;

        bool reportParse(bool parsed, const std::string& source);

        TiXmlDocument* mDocument;
    };
}

#endif
