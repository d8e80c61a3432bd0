#ifndef __WrenSinglePartitionManager_H__
#define __WrenSinglePartitionManager_H__

#include "WrenExtensionPrerequisites.h"

#include "CorePartitionManager.h"

namespace Wren
{
    /** A world of one partition, "SinglePartition" at the origin, that
        holds everything. initFinish creates it and loads it at once (its
        objects file in the form the partition loads from); streaming never
        unloads it, as it is not among the streamed partitions.
    */
    class WREN_EXTENSION_EXPORT SinglePartitionManager : public CorePartitionManager
    {
    public:
        explicit SinglePartitionManager(GameObjectManager* owner);
        ~SinglePartitionManager() override;

        bool initFinish() override;
        void destroy() override;
        using CorePartitionManager::getPartition;
        /** The one partition whatever the position; null before initFinish. */
        virtual CorePartition* getPartition(const Ogre::Vector3& position);

    private:
        CorePartition* mPartition = nullptr;
    };
}

#endif
