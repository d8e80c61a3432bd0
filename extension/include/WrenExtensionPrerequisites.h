#ifndef __WrenExtensionPrerequisites_H__
#define __WrenExtensionPrerequisites_H__

#include "WrenCorePrerequisites.h"

/** Marks the interface of worldextension. The library is built with hidden
    visibility, so only what carries this mark is exported. */
#define WREN_EXTENSION_EXPORT __attribute__((visibility("default")))

namespace Wren
{
    class ExtensionGameObjectFactory;
    class GridPartition;
    class GridPartitionManager;
    class SinglePartitionManager;
    class MeshGameObject;
    class MeshMetadata;
    class PlaceHolderGameObject;
    class DummyGameObject;
    class DummyMetadata;
    class CompoundGameObject;
    class CompoundMetadata;
    class LightGameObject;
    class LightMetadata;
    class ParticleSystemGameObject;
    class ParticleSystemMetadata;
    class EffectSystemGameObject;
    class EffectSystemMetadata;
    class SoundGameObject;
    class SoundMetadata;
}

#endif
