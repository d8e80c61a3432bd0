#ifndef __WrenEnginePrerequisites_H__
#define __WrenEnginePrerequisites_H__

#include <OgrePrerequisites.h>

/** Marks the interface of the engine-facility library. The library is built
    with hidden visibility, so only what carries this mark is exported. */
#define WREN_ENGINE_EXPORT __attribute__((visibility("default")))

namespace Ogre
{
    class BinaryFileResource;
    class BinaryFileResourceManager;
    class IBinaryDataElement;
    class BinaryDataElement;
    class BackgroundLoader;
    class ThreadLoader;
    class UserDefinedObject;
}

#endif
