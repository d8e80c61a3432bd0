#ifndef __WrenDataFile_H__
#define __WrenDataFile_H__

#include "WrenCommonPrerequisites.h"

#include <OgreDataStream.h>

namespace Wren
{
    /** A document of elements: the world file, an objects file, a metadata
        file. Loading reports false on text that does not parse (and logs the
        file name); the document is then empty.
    */
    class WREN_COMMON_EXPORT DataFile
    {
    public:
        virtual ~DataFile() {}

        /** Parses the whole stream. */
        virtual bool load(Ogre::DataStreamPtr& stream) = 0;
        /** Parses a zero-terminated text held in memory. */
        virtual bool load(const char* buffer) = 0;
        /** Parses a file on disk. */
        virtual bool load(const std::string& fileName) = 0;
        /** Writes the document to a file on disk. The text goes to a
            temporary file first, which replaces the target only once it was
            written in full: a failed save leaves the previous file intact. */
        virtual bool save(const std::string& fileName) = 0;
        /** The first top-level element (empty when there is none). */
        virtual DataElementPtr getRootElement() = 0;
        /** Appends a top-level element and returns it. */
        virtual DataElementPtr createRootElement(const std::string& name) = 0;
    };
}

#endif
