#ifndef __WrenGridPartition_H__
#define __WrenGridPartition_H__

#include "WrenExtensionPrerequisites.h"

#include "CorePartition.h"

namespace Ogre
{
    class Entity;
    class SceneNode;
}

namespace Wren
{
    /** One cell (cellX, cellZ) of a GridPartitionManager's grid.

        Containment: inside (0) when x and z lie strictly inside the cell's
        square, else outside (2); height is ignored.
        Proximity: by the squared distance d2 from the player camera to the
        cell's world position, near (0) up to 4 cell sizes, middle (1) up to
        8, far (2) beyond; unknown (3) while there is no player camera.
        Streaming set: every cell of the grid whose world position lies
        closer than the load radius to this one's, this cell included, in ID
        order. With the default grid (256, radius 384) that is the cell and
        its eight neighbours.
        Objects of a cell are stored while they lie within max(64, half a
        cell size) of the centre of the cell's own square along x and z, or
        within 64 of its world position (which in a grid that is not square
        is not the centre).
    */
    class WREN_EXTENSION_EXPORT GridPartition : public CorePartition
    {
    public:
        GridPartition(const std::string& id, const Ogre::Vector3& worldPosition,
                      CorePartitionManager* manager, int cellX, int cellZ);
        ~GridPartition() override;

        /** Unloads the cell, then removes its bounds display if there is one. */
        void destroy() override;
        void enumerateConnectedPartitions(std::vector<CorePartition*>& out) override;
        /** The connected cells, and with a hold radius beyond the load
            radius every cell whose world position lies within it of the
            camera (see GridPartitionManager::getGridCellHoldRadius). */
        void enumerateHeldPartitions(const Ogre::Vector3& cameraPosition,
                                     std::vector<CorePartition*>& out) override;
        PositionResult isPositionInPartition(const Ogre::Vector3& position) override;
        Proximity calculateProximity(float elapsed) const override;
        /** The bounds display is inactive: nothing is made. */
        void createBoundsVisualization() override;
        void destroyBoundsVisualization() override;
        /** max(64, half the grid's cell size), about the cell's centre. */
        float getObjectBound() const override;
        bool holdsObjectAt(const Ogre::Vector3& localPosition) const override;

        int getCellX() const { return mCellX; }
        int getCellZ() const { return mCellZ; }
        GridPartitionManager* getGridManager() const { return mGridManager; }

    private:
        GridPartitionManager* mGridManager;
        int mCellX;
        int mCellZ;
        Ogre::Entity* mBoundsEntity = nullptr;
        Ogre::SceneNode* mBoundsNode = nullptr;
    };
}

#endif
