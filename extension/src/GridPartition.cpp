#include "GridPartition.h"

#include "CoreGameObjectManager.h"
#include "GridLayout.h"
#include "GridPartitionManager.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

namespace Wren
{
    GridPartition::GridPartition(const std::string& id, const Ogre::Vector3& worldPosition,
                                 CorePartitionManager* manager, int cellX, int cellZ)
        : CorePartition(id, worldPosition, manager),
          mGridManager(dynamic_cast<GridPartitionManager*>(manager)),
          mCellX(cellX),
          mCellZ(cellZ)
    {
        mShowBounds = false;
    }

    GridPartition::~GridPartition() {}

    void GridPartition::destroy()
    {
        CorePartition::destroy();
        destroyBoundsVisualization();
    }

    void GridPartition::enumerateConnectedPartitions(std::vector<CorePartition*>& out)
    {
        if (!mGridManager)
            return;
        mGridManager->enumeratePartitionsWithin(mWorldPosition,
                                                mGridManager->getGridCellLoadRadius(), out);
    }

    CorePartition::PositionResult GridPartition::isPositionInPartition(const Ogre::Vector3& position)
    {
        if (!mGridManager)
            return POSITION_OUTSIDE;
        return mGridManager->getLayout().cellContains(mCellX, mCellZ, position) ? POSITION_INSIDE
                                                                              : POSITION_OUTSIDE;
    }

    CorePartition::Proximity GridPartition::calculateProximity(float) const
    {
        CoreGameObjectManager* objects = mManager ? mManager->getGameObjectManager() : nullptr;
        Ogre::Camera* camera = objects ? objects->getPlayerCamera() : nullptr;
        if (!camera || !mGridManager)
            return PROXIMITY_UNKNOWN;
        const float d2 = camera->getDerivedPosition().squaredDistance(mWorldPosition);
        return static_cast<Proximity>(
            GridLayout::proximityBand(d2, mGridManager->getGridCellSize()));
    }

    void GridPartition::createBoundsVisualization() {}

    void GridPartition::destroyBoundsVisualization()
    {
        if (!mBoundsNode)
            return;
        CoreGameObjectManager* objects = mManager ? mManager->getGameObjectManager() : nullptr;
        Ogre::SceneManager* scene = objects ? objects->getSceneManager() : nullptr;
        if (mBoundsNode->getParentSceneNode())
            mBoundsNode->getParentSceneNode()->removeChild(mBoundsNode);
        if (scene)
        {
            if (mBoundsEntity)
                scene->destroyEntity(mBoundsEntity);
            scene->destroySceneNode(mBoundsNode->getName());
        }
        mBoundsEntity = nullptr;
        mBoundsNode = nullptr;
    }

    float GridPartition::getObjectBound() const
    {
        return mGridManager ? mGridManager->getGridCellSize() * 0.5f
                            : CorePartition::getObjectBound();
    }
}
