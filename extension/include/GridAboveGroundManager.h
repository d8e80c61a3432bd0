#ifndef __WrenGridAboveGroundManager_H__
#define __WrenGridAboveGroundManager_H__

#include "WrenExtensionPrerequisites.h"

#include "CoreAboveGroundManager.h"
#include "GridLayout.h"

namespace Wren
{
    class GridAboveGroundArea;

    /** The above-ground areas laid out as a regular grid centred on the
        origin (GridLayout arithmetic: area (i, j) has the ID "i_j" and the
        world position of grid cell (i, j)), one GridAboveGroundArea each.

        Defaults: cells of 128 units, 40 x 40. initStart takes "GridCellSize",
        "NumGridCellsX" and "NumGridCellsZ" from the world file's
        "GridPartitionManagerData" when there is one, so the areas match a
        grid world's partitions. A grid that can not be laid out (a cell size
        not above zero, a count outside 1 ... 64) is refused: initStart (or
        initFinish, for values set through properties) logs why and answers
        false, and no area is made.

        Properties, after the base one, only until initFinish:
        "GridAboveGroundManager_GridCellSize", "GridAboveGroundManager_NumGridCellsX"
        and "GridAboveGroundManager_NumGridCellsZ". After initFinish the grid
        is frozen: they are neither listed nor applied.
    */
    class WREN_EXTENSION_EXPORT GridAboveGroundManager : public CoreAboveGroundManager
    {
    public:
        GridAboveGroundManager(GameObjectManager* owner, PartitionManager* partitionManager);
        ~GridAboveGroundManager() override;

        void enumerateProperties(std::vector<Property>& out) override;
        void setProperty(const std::string& id, const PropertyData& value) override;

        bool initStart(const std::string& worldName, DataElementPtr& element) override;
        /** Makes every area, columns outer and rows inner. */
        bool initFinish() override;
        void destroy() override;

        /** The area of an ID "i_j" in the grid; null for any other name. */
        CoreAboveGroundArea* getArea(const std::string& id) override;
        using CoreAboveGroundManager::getArea;
        /** The area whose column is (int)(x / s + nx / 2) and row
            (int)(z / s + nz / 2), with integer halves and truncation toward
            zero; null outside the grid. */
        CoreAboveGroundArea* __FindAreaByPos(Ogre::Vector3& position) override;
        /** Forwards to the area holding obj, found by obj's world position. */
        void SeeThroughObject(CoreGameObject* obj) override;
        void SeeBackObject(CoreGameObject* obj) override;

        /** Area (i, j), or null outside the grid. */
        GridAboveGroundArea* getGridArea(int i, int j) const;

        float getGridCellSize() const { return mLayout.cellSize; }
        void setGridCellSize(float size);
        int getNumGridCellsX() const { return mLayout.cellsX; }
        void setNumGridCellsX(int count);
        int getNumGridCellsZ() const { return mLayout.cellsZ; }
        void setNumGridCellsZ(int count);
        const GridLayout& getLayout() const { return mLayout; }

    private:
        /** The area under obj's world position (through its partition's node). */
        GridAboveGroundArea* areaHolding(CoreGameObject* obj);

        GridLayout mLayout;
        /** The areas by column and row (i * cellsZ + j). */
        std::vector<GridAboveGroundArea*> mCells;
    };
}

#endif
