#include "SinglePartitionManager.h"

#include "CorePartition.h"

namespace Wren
{
    SinglePartitionManager::SinglePartitionManager(GameObjectManager* owner)
        : CorePartitionManager(owner)
    {
    }

    SinglePartitionManager::~SinglePartitionManager() {}

    bool SinglePartitionManager::initFinish()
    {
        if (!CorePartitionManager::initFinish())
            return false;
        mPartition = new CorePartition("SinglePartition", Ogre::Vector3::ZERO, this);
        addPartition(mPartition);
        if (mPartition->getUseBinaryFiles())
            mPartition->loadBinary(mWorldName);
        else
            mPartition->load(mWorldName);
        return true;
    }

    void SinglePartitionManager::destroy()
    {
        CorePartitionManager::destroy();
        mPartition = nullptr;
    }

    CorePartition* SinglePartitionManager::getPartition(const Ogre::Vector3&)
    {
        return mPartition;
    }
}
