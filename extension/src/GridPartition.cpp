#include "GridPartition.h"

#include "CoreGameObject.h"
#include "CoreGameObjectManager.h"
#include "GridLayout.h"
#include "GridPartitionManager.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>

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

    void GridPartition::enumerateHeldPartitions(const Ogre::Vector3& cameraPosition,
                                                std::vector<CorePartition*>& out)
    {
        enumerateConnectedPartitions(out);
        if (!mGridManager)
            return;
        const float hold = mGridManager->getGridCellHoldRadius();
        if (!(hold > mGridManager->getGridCellLoadRadius()))
            return;
        std::vector<CorePartition*> near;
        mGridManager->enumeratePartitionsWithin(cameraPosition, hold, near, true);
        for (CorePartition* p : near)
            if (std::find(out.begin(), out.end(), p) == out.end())
                out.push_back(p);
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
        const float base = CorePartition::getObjectBound();
        return mGridManager ? std::max(base, mGridManager->getGridCellSize() * 0.5f) : base;
    }

    bool GridPartition::holdsObjectAt(const Ogre::Vector3& localPosition) const
    {
        const bool nearOrigin = CoreGameObject::isWithinSaveBound(localPosition, DEFAULT_OBJECT_BOUND);
        if (nearOrigin || !mGridManager)
            return nearOrigin;
        // Measured from the centre of the cell's square, which lies away from
        // the world position in a grid that is not square.
        const GridLayout& layout = mGridManager->getLayout();
        const Ogre::Vector3 centre(layout.cellMinX(mCellX) + layout.cellSize * 0.5f, 0.0f,
                                   layout.cellMinZ(mCellZ) + layout.cellSize * 0.5f);
        return CoreGameObject::isWithinSaveBound(localPosition - (centre - mWorldPosition),
                                                 getObjectBound());
    }
}
