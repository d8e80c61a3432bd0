#include "GridPartitionManager.h"

#include "DataElement.h"
#include "DataFile.h"
#include "GridPartition.h"
#include "Property.h"

#include <OgreLogManager.h>

namespace Wren
{
    namespace
    {
        const char* const CellSizeId = "GridPartitionManager_GridCellSize";
        const char* const CellsXId = "GridPartitionManager_NumGridCellsX";
        const char* const CellsZId = "GridPartitionManager_NumGridCellsZ";
        const char* const LoadRadiusId = "GridPartitionManager_mGridCellLoadRadius";

        void logMessage(const std::string& text)
        {
            Ogre::LogManager::getSingleton().logMessage("GridPartitionManager: " + text);
        }
    }

    GridPartitionManager::GridPartitionManager(GameObjectManager* owner)
        : CorePartitionManager(owner)
    {
    }

    GridPartitionManager::~GridPartitionManager() {}

    void GridPartitionManager::enumerateProperties(std::vector<Property>& out)
    {
        CorePartitionManager::enumerateProperties(out);
        if (mInitialised)
            return;
        Property size;
        size.initFloat(CellSizeId, "Grid Cell Size", mLayout.cellSize, 0.0f, 10000.0f, 32.0f);
        out.push_back(size);
        Property cellsX;
        cellsX.initInt(CellsXId, "Num Grid Cells X", mLayout.cellsX, 0, GridLayout::MaxCells, 1);
        out.push_back(cellsX);
        Property cellsZ;
        cellsZ.initInt(CellsZId, "Num Grid Cells Z", mLayout.cellsZ, 0, GridLayout::MaxCells, 1);
        out.push_back(cellsZ);
        Property radius;
        radius.initFloat(LoadRadiusId, "Load Radius", mLayout.loadRadius, 0.0f, 10000.0f, 32.0f);
        out.push_back(radius);
    }

    void GridPartitionManager::setProperty(const std::string& id, const PropertyData& value)
    {
        CorePartitionManager::setProperty(id, value);
        if (id == CellSizeId)
            setGridCellSize(value.floatVal);
        else if (id == CellsXId)
            setNumGridCellsX(value.intVal);
        else if (id == CellsZId)
            setNumGridCellsZ(value.intVal);
        else if (id == LoadRadiusId)
            setGridCellLoadRadius(value.floatVal);
    }

    void GridPartitionManager::setGridCellSize(float size)
    {
        if (!mInitialised)
            mLayout.cellSize = size;
    }

    void GridPartitionManager::setNumGridCellsX(int count)
    {
        if (!mInitialised)
            mLayout.cellsX = count;
    }

    void GridPartitionManager::setNumGridCellsZ(int count)
    {
        if (!mInitialised)
            mLayout.cellsZ = count;
    }

    void GridPartitionManager::setGridCellLoadRadius(float radius)
    {
        if (!mInitialised)
            mLayout.loadRadius = radius;
    }

    bool GridPartitionManager::initStart(const std::string& worldName, DataElementPtr& element)
    {
        if (!CorePartitionManager::initStart(worldName, element))
            return false;
        if (!element || !GridLayout::hasGridData(element))
            return true;
        GridLayout read = GridLayout::load(element, mLayout);
        const std::string problem = read.validate();
        if (!problem.empty())
        {
            // The grid is left as it was; initFinish refuses the world too,
            // as its callers may not look at this answer.
            mRefusedWorld = worldName;
            logMessage("world " + worldName + " is refused: its GridPartitionManagerData gives " +
                       problem);
            return false;
        }
        mLayout = read;
        return true;
    }

    bool GridPartitionManager::initFinish()
    {
        if (!mRefusedWorld.empty())
        {
            logMessage("world " + mRefusedWorld + " has no grid that can be laid out");
            return false;
        }
        const std::string problem = mLayout.validate();
        if (!problem.empty())
        {
            logMessage("world " + mWorldName + " is refused: " + problem);
            return false;
        }
        if (!CorePartitionManager::initFinish())
            return false;
        for (int i = 0; i < mLayout.cellsX; ++i)
            for (int j = 0; j < mLayout.cellsZ; ++j)
                addPartition(new GridPartition(GridLayout::cellId(i, j),
                                               mLayout.cellWorldPosition(i, j), this, i, j));
        return true;
    }

    bool GridPartitionManager::save(const std::string& worldName, DataFile* worldFile)
    {
        const bool saved = CorePartitionManager::save(worldName, worldFile);
        if (saved && worldFile)
        {
            DataElementPtr root = worldFile->getRootElement();
            if (root && !root->getIsEmpty())
                mLayout.save(root);
        }
        return saved;
    }

    CorePartition* GridPartitionManager::getPartition(const Ogre::Vector3& position,
                                                      bool nearestIfNone)
    {
        const std::pair<int, int> guess = mLayout.guessCell(position);
        if (mLayout.hasCell(guess.first, guess.second))
        {
            CorePartition* p = CorePartitionManager::getPartition(
                GridLayout::cellId(guess.first, guess.second));
            if (p && p->isPositionInPartition(position + Ogre::Vector3(0.5f, 0.0f, 0.5f)) !=
                         CorePartition::POSITION_OUTSIDE)
                return p;
        }
        return CorePartitionManager::getPartition(position, nearestIfNone);
    }
}
