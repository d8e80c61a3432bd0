#include "GridAboveGroundManager.h"

#include "CoreGameObject.h"
#include "CorePartition.h"
#include "CorePartitionManager.h"
#include "DataElement.h"
#include "GridAboveGroundArea.h"
#include "Property.h"

#include <OgreLogManager.h>
#include <OgreSceneNode.h>

namespace Wren
{
    namespace
    {
        const char* const PropertyPrefix = "GridAboveGroundManager_";

        void logMessage(const std::string& text)
        {
            if (Ogre::LogManager* log = Ogre::LogManager::getSingletonPtr())
                log->logMessage("GridAboveGroundManager: " + text);
        }

        /** The column (or row) of a coordinate: (int)(c / s + count / 2),
            with an integer half and truncation toward zero, so a point just
            below the grid's lower edge still counts as in its first column.
            Far-away points give -1 rather than overflow. */
        int areaIndex(float coordinate, float cellSize, int count)
        {
            const double index = double(coordinate) / cellSize + count / 2;
            return index > -1e9 && index < 1e9 ? static_cast<int>(index) : -1;
        }
    }

    GridAboveGroundManager::GridAboveGroundManager(GameObjectManager* owner,
                                                   PartitionManager* partitionManager)
        : CoreAboveGroundManager(owner, partitionManager)
    {
        mLayout.cellSize = 128.0f;
        mLayout.cellsX = 40;
        mLayout.cellsZ = 40;
    }

    GridAboveGroundManager::~GridAboveGroundManager() {}

    void GridAboveGroundManager::enumerateProperties(std::vector<Property>& out)
    {
        CoreAboveGroundManager::enumerateProperties(out);
        if (!mInitialised)
            mLayout.enumerateProperties(PropertyPrefix, out);
    }

    void GridAboveGroundManager::setProperty(const std::string& id, const PropertyData& value)
    {
        CoreAboveGroundManager::setProperty(id, value);
        if (!mInitialised)
            mLayout.setProperty(PropertyPrefix, id, value);
    }

    void GridAboveGroundManager::setGridCellSize(float size)
    {
        if (!mInitialised)
            mLayout.cellSize = size;
    }

    void GridAboveGroundManager::setNumGridCellsX(int count)
    {
        if (!mInitialised)
            mLayout.cellsX = count;
    }

    void GridAboveGroundManager::setNumGridCellsZ(int count)
    {
        if (!mInitialised)
            mLayout.cellsZ = count;
    }

    bool GridAboveGroundManager::initStart(const std::string& worldName, DataElementPtr& element)
    {
        if (!CoreAboveGroundManager::initStart(worldName, element))
            return false;
        if (!element || !GridLayout::hasGridData(element))
            return true;
        // The areas take the partitions' size and counts, not their radius.
        GridLayout read = GridLayout::load(element, mLayout);
        read.loadRadius = mLayout.loadRadius;
        const std::string problem = read.validate();
        if (!problem.empty())
        {
            logMessage("world " + worldName + " is refused: its GridPartitionManagerData gives " +
                       problem);
            return false;
        }
        mLayout = read;
        return true;
    }

    bool GridAboveGroundManager::initFinish()
    {
        const std::string problem = mLayout.validate();
        if (!problem.empty())
        {
            logMessage("no areas are made: " + problem);
            return false;
        }
        if (!CoreAboveGroundManager::initFinish())
            return false;
        mCells.assign(size_t(mLayout.cellsX) * size_t(mLayout.cellsZ), nullptr);
        for (int i = 0; i < mLayout.cellsX; ++i)
            for (int j = 0; j < mLayout.cellsZ; ++j)
            {
                GridAboveGroundArea* area = new GridAboveGroundArea(
                    GridLayout::cellId(i, j), mLayout.cellWorldPosition(i, j), this, i, j);
                mCells[size_t(i) * mLayout.cellsZ + j] = area;
                addArea(area);
            }
        return true;
    }

    void GridAboveGroundManager::destroy()
    {
        mCells.clear();
        CoreAboveGroundManager::destroy();
    }

    GridAboveGroundArea* GridAboveGroundManager::getGridArea(int i, int j) const
    {
        if (!mLayout.hasCell(i, j) || mCells.empty())
            return nullptr;
        return mCells[size_t(i) * mLayout.cellsZ + j];
    }

    CoreAboveGroundArea* GridAboveGroundManager::getArea(const std::string& id)
    {
        const auto cell = GridLayout::parseCellId(id);
        return cell ? getGridArea(cell->first, cell->second) : nullptr;
    }

    CoreAboveGroundArea* GridAboveGroundManager::__FindAreaByPos(Ogre::Vector3& position)
    {
        return getGridArea(areaIndex(position.x, mLayout.cellSize, mLayout.cellsX),
                           areaIndex(position.z, mLayout.cellSize, mLayout.cellsZ));
    }

    GridAboveGroundArea* GridAboveGroundManager::areaHolding(CoreGameObject* obj)
    {
        if (!obj)
            return nullptr;
        Ogre::Vector3 position = obj->getPosition();
        CorePartitionManager* partitions = getPartitionManager();
        CorePartition* partition = partitions ? partitions->getPartition(obj->getPartitionID()) : nullptr;
        if (partition && partition->getSceneNode())
            position = partition->getSceneNode()->_getFullTransform() * position;
        return static_cast<GridAboveGroundArea*>(GridAboveGroundManager::__FindAreaByPos(position));
    }

    void GridAboveGroundManager::SeeThroughObject(CoreGameObject* obj)
    {
        if (GridAboveGroundArea* area = areaHolding(obj))
            area->SeeThroughObject(obj);
    }

    void GridAboveGroundManager::SeeBackObject(CoreGameObject* obj)
    {
        if (GridAboveGroundArea* area = areaHolding(obj))
            area->SeeBackObject(obj);
    }
}
