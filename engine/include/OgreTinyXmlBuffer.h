#ifndef __OgreTinyXmlBuffer_H__
#define __OgreTinyXmlBuffer_H__

#include "WrenEnginePrerequisites.h"

#include <OgreDataStream.h>

class TiXmlDocument;

namespace Ogre
{
    /** Parses TinyXML documents held in memory, in an engine data stream or
        in a file: every XML load of the framework goes through here.

        TinyXML parses and destroys elements recursively, so a document
        nested deep enough would overflow the stack. Before parsing, the text
        is measured: a document whose elements nest deeper than MaxDepth is
        refused without being parsed.

        Every operation replaces whatever the document held; on failure the
        document is left empty and false is returned, with the reason in
        error when one is given. Nothing is logged, so a loader thread may
        parse.
    */
    class WREN_ENGINE_EXPORT TinyXmlBuffer
    {
    public:
        static const size_t MaxDepth = 256;

        /** Parses a whole zero-terminated text. A null buffer fails. */
        static bool LoadFileFromBuffer(TiXmlDocument& document, const char* buffer,
                                       String* error = nullptr);
        /** Reads the stream to its end and parses it. A null stream fails. */
        static bool LoadFileFromBuffer(TiXmlDocument& document, DataStreamPtr& stream,
                                       String* error = nullptr);
        /** Reads a file on disk and parses it, its line ends made "\n" as
            TinyXML's own file loading does. */
        static bool LoadFileFromFile(TiXmlDocument& document, const String& path,
                                     String* error = nullptr);

        /** How deep the elements of an XML text nest (1 for a lone root),
            counting no further than limit + 1. Never less than what TinyXML
            would nest while parsing the text. */
        static size_t nestingDepth(const char* text, size_t limit = MaxDepth);
    };
}

#endif
