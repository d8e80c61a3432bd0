#ifndef __OgreIBinaryDataElement_H__
#define __OgreIBinaryDataElement_H__

#include "WrenEnginePrerequisites.h"

#include <OgreString.h>

#include <cstddef>

namespace Ogre
{
    /** One node of a binary data file: a name, one untyped byte buffer and
        ordered children.

        Elements are owned by their tree (the file, or the parent element);
        the pointers handed out stay valid until the tree is destroyed or
        reloaded. Navigation returns null where there is no such element.
        An element "has a buffer" when getSize() is above zero.
    */
    class WREN_ENGINE_EXPORT IBinaryDataElement
    {
    public:
        virtual ~IBinaryDataElement() {}

        virtual const String& getName() const = 0;

        /** Replaces the buffer by size zeroed bytes and returns it (null for
            a size of zero, which leaves the element without buffer). */
        virtual void* allocBuf(size_t size) = 0;
        /** The buffer, or null when the element has none. */
        virtual void* getBuf() = 0;
        virtual const void* getBuf() const = 0;
        /** Length of the buffer in bytes; zero when there is none. */
        virtual size_t getSize() const = 0;

        /** The first child, or null. */
        virtual IBinaryDataElement* getFirstChildElement() = 0;
        /** The first child of that name, or null. */
        virtual IBinaryDataElement* getFirstChildElement(const char* name) = 0;
        /** The child that follows this one under the same parent, or null
            (also for a root). */
        virtual IBinaryDataElement* getNextChildElement() = 0;
        /** The next following child of that name under the same parent. */
        virtual IBinaryDataElement* getNextChildElement(const char* name) = 0;
        /** The parent, or null for a root. */
        virtual IBinaryDataElement* getParentElement() = 0;
    };
}

#endif
