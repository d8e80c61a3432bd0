#ifndef __WrenCorePrerequisites_H__
#define __WrenCorePrerequisites_H__

#include "WrenCommonPrerequisites.h"

/** Marks the interface of worldcore. The library is built with hidden
    visibility, so only what carries this mark is exported. */
#define WREN_CORE_EXPORT __attribute__((visibility("default")))

namespace Wren
{
    class GameObject;
    class CoreGameObject;
    class Metadata;
    class CoreMetadata;
    class GameObjectManager;
    class CoreGameObjectManager;
    class Partition;
    class CorePartition;
    class PartitionManager;
    class CorePartitionManager;
    class CorePartitionResourceLoading;
    class AboveGroundArea;
    class AboveGroundManager;
    class CoreAboveGroundArea;
    class CoreAboveGroundManager;
    class FullSceneOperation;
    struct LODDistanceInfo;
}

#endif
