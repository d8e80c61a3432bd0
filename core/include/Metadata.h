#ifndef __WrenMetadata_H__
#define __WrenMetadata_H__

#include "WrenCorePrerequisites.h"

namespace Wren
{
    /** A template from which game objects of one kind are made. Made by a
        GameObjectFactory on request of the object manager, which owns it and
        deletes it through this virtual destructor. */
    class WREN_CORE_EXPORT Metadata
    {
    public:
        virtual ~Metadata();
    };
}

#endif
