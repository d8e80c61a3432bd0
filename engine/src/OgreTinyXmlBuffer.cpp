#include "OgreTinyXmlBuffer.h"

#include <tinyxml.h>

namespace Ogre
{
    bool TinyXmlBuffer::LoadFileFromBuffer(TiXmlDocument& document, const char* buffer)
    {
        document.Clear();
        if (!buffer)
            return false;
        document.Parse(buffer, nullptr, TIXML_ENCODING_UNKNOWN);
        if (document.Error())
        {
            // Keep the error for the caller but drop any partial tree.
            document.Clear();
            return false;
        }
        return true;
    }

    bool TinyXmlBuffer::LoadFileFromBuffer(TiXmlDocument& document, DataStreamPtr& stream)
    {
        if (!stream)
        {
            document.Clear();
            return false;
        }
        const String text = stream->getAsString();
        return LoadFileFromBuffer(document, text.c_str());
    }
}
