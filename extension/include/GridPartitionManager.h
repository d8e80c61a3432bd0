#ifndef __WrenGridPartitionManager_H__
#define __WrenGridPartitionManager_H__

#include "WrenExtensionPrerequisites.h"

#include "CorePartitionManager.h"
#include "GridLayout.h"

namespace Wren
{
    /** A world laid out as a regular grid of GridPartition cells centred on
        the origin (see GridLayout for the arithmetic), streamed within a
        load radius of the cell under the camera.

        World file: initStart reads, and save writes after the partitions,
        the root's child
        @code
        <GridPartitionManagerData GridCellSize="256" NumGridCellsX="8"
                                  NumGridCellsZ="8" GridCellLoadRadius="384"/>
        @endcode
        Absent attributes (or an absent element) keep the current values. A
        grid that can not be laid out — a cell size not above zero, a count
        outside 1 ... 64, a negative radius — is refused: initStart (or
        initFinish, for values set through properties) logs why and returns
        false.

        Properties, after the base ones, only until initFinish:
        "GridPartitionManager_GridCellSize", "GridPartitionManager_NumGridCellsX",
        "GridPartitionManager_NumGridCellsZ",
        "GridPartitionManager_mGridCellLoadRadius" and
        "GridPartitionManager_mGridCellHoldRadius" ("Hold Radius", see
        getGridCellHoldRadius; the world file's "GridCellHoldRadius", written
        only when beyond the load radius). After initFinish the grid is
        frozen: they are neither listed nor applied (setGridCellHoldRadius
        still is).

        initFinish creates every cell, columns outer and rows inner. The
        manager keeps a table of its cells by column and row beside the
        partitions by ID, so that finding the cell under a position or the
        cells around one costs what the answer holds, not what the grid
        holds.
    */
    class WREN_EXTENSION_EXPORT GridPartitionManager : public CorePartitionManager
    {
    public:
        explicit GridPartitionManager(GameObjectManager* owner);
        ~GridPartitionManager() override;

        void enumerateProperties(std::vector<Property>& out) override;
        void setProperty(const std::string& id, const PropertyData& value) override;

        bool initStart(const std::string& worldName, DataElementPtr& element) override;
        bool initFinish() override;
        /** Saves the partitions, then (when that succeeded and worldFile is
            given) writes the grid into worldFile's root. */
        bool save(const std::string& worldName, DataFile* worldFile) override;

        /** The cell under position, found by arithmetic; a point on a
            cell's lower edges belongs to that cell. Outside the grid the
            base search decides: null, or the nearest cell when
            nearestIfNone. */
        CorePartition* getPartition(const Ogre::Vector3& position, bool nearestIfNone) override;
        using CorePartitionManager::getPartition;

        /** Every partition whose world position lies closer than radius to
            centre (or at radius, when inclusive), in ID order: the same
            answer as testing every partition, found among the cells of the
            square around centre. */
        void enumeratePartitionsWithin(const Ogre::Vector3& centre, float radius,
                                       std::vector<CorePartition*>& out, bool inclusive = false);

        /** Empties the cell table, then destroys the partitions. */
        void destroy() override;
        bool destroyPartition(CorePartition* p) override;

        float getGridCellSize() const { return mLayout.cellSize; }
        void setGridCellSize(float size);
        int getNumGridCellsX() const { return mLayout.cellsX; }
        void setNumGridCellsX(int count);
        int getNumGridCellsZ() const { return mLayout.cellsZ; }
        void setNumGridCellsZ(int count);
        float getGridCellLoadRadius() const { return mLayout.loadRadius; }
        void setGridCellLoadRadius(float radius);
        /** When the camera changes cell, loaded cells whose world position
            lies within this distance of the camera stay loaded, connected to
            the new cell or not (as OGRE's paging holds pages within its hold
            radius), so that a camera swinging across a border loads each
            cell once. Never below the load radius; equal to it (nothing
            more held than the connected cells, the written behaviour) unless
            set. */
        float getGridCellHoldRadius() const { return mLayout.effectiveHoldRadius(); }
        void setGridCellHoldRadius(float radius);
        /** The grid as it is laid out (or will be, before initFinish). */
        const GridLayout& getLayout() const { return mLayout; }

    protected:
        /** Keeps the cell table in step with the partitions by ID. */
        void addPartition(CorePartition* p) override;

    private:
        /** The slot of cell (i, j) in mCells; -1 when the ID names no cell
            of the grid. */
        int cellSlot(const std::string& id) const;

        GridLayout mLayout;
        /** The partition of each cell, column-major (i * cellsZ + j); null
            where none is held. */
        std::vector<CorePartition*> mCells;
        /** Partitions held whose ID names no cell of the grid; while there
            are any, searches test every partition. */
        size_t mOffGridPartitions = 0;
        /** The world whose grid initStart refused; empty when none was. */
        std::string mRefusedWorld;
    };
}

#endif
