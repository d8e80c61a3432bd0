#ifndef __OgreTinyXmlBuffer_H__
#define __OgreTinyXmlBuffer_H__

#include "WrenEnginePrerequisites.h"

#include <OgreDataStream.h>

class TiXmlDocument;

namespace Ogre
{
    /** Parses TinyXML documents held in memory or in an engine data stream
        (TinyXML itself only reads files by name).

        Both operations replace whatever the document held; on failure the
        document is left empty with its error set, and false is returned.
    */
    class WREN_ENGINE_EXPORT TinyXmlBuffer
    {
    public:
        /** Parses a whole zero-terminated text. A null buffer fails. */
        static bool LoadFileFromBuffer(TiXmlDocument& document, const char* buffer);
        /** Reads the stream to its end and parses it. A null stream fails. */
        static bool LoadFileFromBuffer(TiXmlDocument& document, DataStreamPtr& stream);
    };
}

#endif
