#ifndef __WrenDataFileDump_H__
#define __WrenDataFileDump_H__

#include <ostream>
#include <string>

namespace Wren
{
    /** What wren-dump does: prints the element tree of a data file, one
        element a line, indented two spaces a level.

        An XML data file prints each element's name and its attributes as
        they stand. A binary data file (told by its "WBIN" mark) prints each
        element's name and the length of its buffer; the buffers of a binary
        objects file are read as what they hold: the root "Objects" as its
        ShowBounds flag, and each 276-byte "Object" record as the attributes
        its XML form would have.
    */
    class DataFileDump
    {
    public:
        /** Prints the file at path to out. False, with one line in error and
            nothing printed, when it can not be read. */
        static bool dump(const std::string& path, std::ostream& out, std::string& error);
    };
}

#endif
