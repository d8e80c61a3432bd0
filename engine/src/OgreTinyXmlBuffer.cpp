#include "OgreTinyXmlBuffer.h"

#include <OgreStringConverter.h>

#include <tinyxml.h>

#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>

namespace Ogre
{
    namespace
    {
        /** The character after the first occurrence of end at or after p, or
            the terminating zero. */
        const char* skipPast(const char* p, const char* end)
        {
            const char* found = std::strstr(p, end);
            return found ? found + std::strlen(end) : p + std::strlen(p);
        }

        bool startsWith(const char* p, const char* prefix)
        {
            return std::strncmp(p, prefix, std::strlen(prefix)) == 0;
        }

        /** What TinyXML takes for the first character of an element name. */
        bool isNameStart(char c)
        {
            const unsigned char u = static_cast<unsigned char>(c);
            return u >= 127 || std::isalpha(u) || c == '_';
        }

        bool fail(TiXmlDocument& document, String* error, const String& reason)
        {
            document.Clear();
            if (error)
                *error = reason;
            return false;
        }
    }

    size_t TinyXmlBuffer::nestingDepth(const char* p, size_t limit)
    {
        size_t depth = 0, deepest = 0;
        while (*p)
        {
            if (*p != '<')
            {
                ++p;
                continue;
            }
            if (startsWith(p, "<!--"))
                p = skipPast(p + 4, "-->");
            else if (startsWith(p, "<![CDATA["))
                p = skipPast(p + 9, "]]>");
            else if (p[1] == '?' || p[1] == '!')
                p = skipPast(p + 2, ">");
            else if (p[1] == '/')
            {
                // TinyXML gives up on an end tag that closes nothing open.
                if (depth)
                    --depth;
                p = skipPast(p + 2, ">");
            }
            else if (isNameStart(p[1]))
            {
                // A start tag runs to its '>', skipping quoted attribute
                // values (a quote starts one only right after '=').
                char last = 0;
                for (p += 2; *p && *p != '>'; ++p)
                {
                    if ((*p == '"' || *p == '\'') && last == '=')
                    {
                        const char* close = std::strchr(p + 1, *p);
                        last = *p;
                        p = close ? close : p + std::strlen(p) - 1;
                    }
                    else if (!std::isspace(static_cast<unsigned char>(*p)))
                        last = *p;
                }
                if (last != '/' && ++depth > deepest)
                {
                    deepest = depth;
                    if (deepest > limit)
                        return deepest;
                }
                if (*p)
                    ++p;
            }
            else
                ++p;
        }
        return deepest;
    }

    bool TinyXmlBuffer::LoadFileFromBuffer(TiXmlDocument& document, const char* buffer,
                                           String* error)
    {
        document.Clear();
        if (!buffer)
            return fail(document, error, "no text to parse");
        if (nestingDepth(buffer) > MaxDepth)
            return fail(document, error,
                        "elements nest deeper than " + StringConverter::toString(MaxDepth) +
                            " levels");
        document.Parse(buffer, nullptr, TIXML_ENCODING_UNKNOWN);
        if (document.Error())
            return fail(document, error,
                        String(document.ErrorDesc()) + " (row " +
                            StringConverter::toString(document.ErrorRow()) + ", column " +
                            StringConverter::toString(document.ErrorCol()) + ")");
        return true;
    }

    bool TinyXmlBuffer::LoadFileFromBuffer(TiXmlDocument& document, DataStreamPtr& stream,
                                           String* error)
    {
        if (!stream)
            return fail(document, error, "no stream to parse");
        const String text = stream->getAsString();
        return LoadFileFromBuffer(document, text.c_str(), error);
    }

    bool TinyXmlBuffer::LoadFileFromFile(TiXmlDocument& document, const String& path,
                                         String* error)
    {
        std::ifstream in(path, std::ios::binary);
        if (!in)
            return fail(document, error, "can not open the file");
        String text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (in.bad())
            return fail(document, error, "can not read the file");
        size_t out = 0;
        for (size_t i = 0; i < text.size(); ++i)
        {
            if (text[i] == '\r')
            {
                text[out++] = '\n';
                if (i + 1 < text.size() && text[i + 1] == '\n')
                    ++i;
            }
            else
                text[out++] = text[i];
        }
        text.resize(out);
        return LoadFileFromBuffer(document, text.c_str(), error);
    }
}
