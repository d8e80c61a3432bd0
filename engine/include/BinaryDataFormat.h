#ifndef __OgreBinaryDataFormat_H__
#define __OgreBinaryDataFormat_H__

#include "WrenEnginePrerequisites.h"

#include <OgreString.h>

#include <cstddef>
#include <memory>
#include <vector>

namespace Ogre
{
    class BinaryDataElement;

    /** The bytes of a binary data file (".objbinary" and its kin).

        All integers are unsigned and little-endian.

        | Offset | Size | Field |
        |---|---|---|
        | 0 | 4 | magic "WBIN" |
        | 4 | 2 | version, 1 |
        | 6 | 2 | flags, 0 |
        | 8 | 4 | number of root elements, 0 or 1 |
        | 12 | | the root element, if any |

        An element is written in pre-order:

        | Size | Field |
        |---|---|
        | 2 | length N of the name in bytes, at most MaxNameLength |
        | N | the name, without terminating zero; no zero byte inside |
        | 4 | length S of the buffer in bytes (0: no buffer) |
        | S | the buffer |
        | 4 | number of children |
        | | the children, in order |

        Elements nest at most MaxDepth deep (the root is depth 1). The file
        ends right after the root element; trailing bytes make it malformed.
        The tree read from a file may take at most MemoryPerFileByte times
        the file's size, plus MemorySlack, in memory (elements, names and
        buffers with what the allocator keeps beside them): a file of many
        elements without buffers, whose few bytes on disk would each cost a
        hundred in memory, is refused. Files whose elements carry records
        take less than twice their size.
        Reading checks every length against what is left of the input before
        it allocates, so a truncated or forged file is refused with a reason
        instead of being read out of bounds.
    */
    class WREN_ENGINE_EXPORT BinaryDataFormat
    {
    public:
        static const uint32 Version = 1;
        static const size_t HeaderSize = 12;
        static const size_t MaxNameLength = 1024;
        static const size_t MaxDepth = 64;
        static const size_t MemoryPerFileByte = 4;
        static const size_t MemorySlack = 64 * 1024;

        /** Appends the bytes of a file holding root (none when null) to out.
            Returns false, with the reason in error and out unchanged, when
            the tree breaks one of the limits above. */
        static bool write(const BinaryDataElement* root, std::vector<unsigned char>& out,
                          String& error);

        /** Parses a whole file. On success root holds the tree (null for a
            file without root) and true is returned; otherwise root is
            untouched, error says what is wrong and where, and false is
            returned. */
        static bool read(const void* data, size_t size, std::unique_ptr<BinaryDataElement>& root,
                         String& error);
    };
}

#endif
