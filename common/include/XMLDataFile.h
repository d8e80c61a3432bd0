#ifndef __WrenXMLDataFile_H__
#define __WrenXMLDataFile_H__

#include "DataFile.h"

class TiXmlDocument;

namespace Wren
{
    /** A data file over a TinyXML document. Every load goes through
        Ogre::TinyXmlBuffer, so a document whose elements nest deeper than
        its bound (256 levels) is refused before TinyXML's recursive parser
        sees it. A load that fails logs (when a log manager exists) the file
        name (or "<memory>"/the stream's name) with the reason and leaves
        the document empty. */
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

        /** Parses a zero-terminated text as load(buffer) does, without
            logging: on failure error says why. Safe on a loader thread for a
            document nobody else uses. */
        bool parse(const char* text, std::string& error);

        TiXmlDocument* getDocument() const { return mDocument; }

    private:
        XMLDataFile(const XMLDataFile&) = delete;
        XMLDataFile& operator=(const XMLDataFile&) = delete;

        bool reportParse(bool parsed, const std::string& source, const std::string& error);

        TiXmlDocument* mDocument;
    };
}

#endif
