#ifndef __WrenImpostorPrerequisites_H__
#define __WrenImpostorPrerequisites_H__

#include "WrenCorePrerequisites.h"

#include <OgrePrerequisites.h>

/** Marks the interface of worldimpostor. The library is built with hidden
    visibility, so only what carries this mark is exported. */
#define WREN_IMPOSTOR_EXPORT __attribute__((visibility("default")))

namespace Ogre
{
    template <typename T> class PoolSet;
    class QuadTreeTextureSpace;
    class QuadTreeTextureSpacePool;
    class UniqueImpostorSet;
    class UniqueImpostorSetPool;
    class UniqueImpostorHandler;
    class ImpostorManager;
    class ImpostorMath;
}

namespace Wren
{
    class ImpostorGameSystem;
    class ImpostorGameSystemFactory;
    class ImpostorHandler;
}

#endif
