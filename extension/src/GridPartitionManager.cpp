#include "GridPartitionManager.h"

#include "DataElement.h"
#include "DataFile.h"
#include "GridPartition.h"
#include "Property.h"

#include <OgreLogManager.h>

#include <algorithm>
#include <cmath>

namespace Wren
{
    namespace
    {
        const char* const PropertyPrefix = "GridPartitionManager_";
        const char* const LoadRadiusId = "GridPartitionManager_mGridCellLoadRadius";
        const char* const HoldRadiusId = "GridPartitionManager_mGridCellHoldRadius";

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
        mLayout.enumerateProperties(PropertyPrefix, out);
        Property radius;
        radius.initFloat(LoadRadiusId, "Load Radius", mLayout.loadRadius, 0.0f, 10000.0f, 32.0f);
        out.push_back(radius);
        Property hold;
        hold.initFloat(HoldRadiusId, "Hold Radius", getGridCellHoldRadius(), 0.0f, 10000.0f, 32.0f);
        out.push_back(hold);
    }

    void GridPartitionManager::setProperty(const std::string& id, const PropertyData& value)
    {
        CorePartitionManager::setProperty(id, value);
        if (mInitialised)
            return;
        if (mLayout.setProperty(PropertyPrefix, id, value))
            return;
        if (id == LoadRadiusId)
            setGridCellLoadRadius(value.floatVal);
        else if (id == HoldRadiusId)
            setGridCellHoldRadius(value.floatVal);
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

    void GridPartitionManager::setGridCellHoldRadius(float radius)
    {
        if (std::isfinite(radius))
            mLayout.holdRadius = radius;
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
        mCells.assign(size_t(mLayout.cellsX) * size_t(mLayout.cellsZ), nullptr);
        for (int i = 0; i < mLayout.cellsX; ++i)
            for (int j = 0; j < mLayout.cellsZ; ++j)
                addPartition(new GridPartition(GridLayout::cellId(i, j),
                                               mLayout.cellWorldPosition(i, j), this, i, j));
        return true;
    }

    bool GridPartitionManager::save(const std::string& worldName, DataFile* worldFile)
    {
        // The grid is written whatever the partitions answered: a world file
        // without it would no longer be a grid.
        const bool saved = CorePartitionManager::save(worldName, worldFile);
        if (worldFile)
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
        if (mOffGridPartitions == 0 && !mCells.empty())
        {
            // The cell under the position by arithmetic, for any count of
            // cells. A point on the cell's lower edges belongs to it (the
            // half-unit nudge); otherwise the cell must hold it strictly.
            const std::optional<std::pair<int, int>> cell = mLayout.cellAt(position);
            if (!cell && !nearestIfNone)
                return nullptr;
            CorePartition* found =
                cell ? mCells[size_t(cell->first) * size_t(mLayout.cellsZ) + size_t(cell->second)]
                     : nullptr;
            if (found &&
                (found->isPositionInPartition(position + Ogre::Vector3(0.5f, 0.0f, 0.5f)) !=
                     CorePartition::POSITION_OUTSIDE ||
                 found->isPositionInPartition(position) != CorePartition::POSITION_OUTSIDE))
                return found;
            // Off the grid the nearest cell is searched for; on it only a
            // destroyed cell or a point on an edge lands here.
        }
        return CorePartitionManager::getPartition(position, nearestIfNone);
    }

    void GridPartitionManager::enumeratePartitionsWithin(const Ogre::Vector3& centre, float radius,
                                                         std::vector<CorePartition*>& out,
                                                         bool inclusive)
    {
        auto within = [&](const CorePartition* p) {
            const float d = p->getWorldPosition().distance(centre);
            return inclusive ? d <= radius : d < radius;
        };
        const size_t first = out.size();
        const float s = mLayout.cellSize;
        if (mOffGridPartitions > 0 || mCells.empty() || !(s > 0.0f) || !(radius < 1e9f))
        {
            for (auto& entry : mPartitions)
                if (within(entry.second))
                    out.push_back(entry.second);
            return;
        }
        // Cell world positions lie s apart along x and z, so a cell more than
        // radius / s columns or rows away is farther than radius; one cell
        // more is searched so that rounding can not leave one out.
        const float half = mLayout.cellsX * s * 0.5f;
        const double reach = std::floor(double(std::max(radius, 0.0f)) / s) + 1.0;
        auto range = [&](float coordinate, int count, int& lo, int& hi) {
            const double at = (double(coordinate) + half - s * 0.5) / s;
            const double from = std::max(0.0, std::floor(at - reach));
            const double to = std::min(double(count - 1), std::ceil(at + reach));
            lo = int(from);
            hi = from > to ? -1 : int(to);
        };
        int iLo, iHi, jLo, jHi;
        range(centre.x, mLayout.cellsX, iLo, iHi);
        range(centre.z, mLayout.cellsZ, jLo, jHi);
        for (int i = iLo; i <= iHi; ++i)
            for (int j = jLo; j <= jHi; ++j)
            {
                CorePartition* p = mCells[size_t(i) * size_t(mLayout.cellsZ) + size_t(j)];
                if (p && within(p))
                    out.push_back(p);
            }
        // The order of the partitions by ID, as a walk over all of them gives.
        std::sort(out.begin() + std::ptrdiff_t(first), out.end(),
                  [](CorePartition* a, CorePartition* b) { return a->getID() < b->getID(); });
    }

    int GridPartitionManager::cellSlot(const std::string& id) const
    {
        const std::optional<std::pair<int, int>> cell = GridLayout::parseCellId(id);
        if (!cell || !mLayout.hasCell(cell->first, cell->second) ||
            GridLayout::cellId(cell->first, cell->second) != id)
            return -1;
        const size_t slot = size_t(cell->first) * size_t(mLayout.cellsZ) + size_t(cell->second);
        return slot < mCells.size() ? int(slot) : -1;
    }

    void GridPartitionManager::addPartition(CorePartition* p)
    {
        if (!p)
            return;
        const bool replacing = CorePartitionManager::getPartition(p->getID()) != nullptr;
        CorePartitionManager::addPartition(p);
        const int slot = cellSlot(p->getID());
        if (slot >= 0)
            mCells[size_t(slot)] = p;
        else if (!replacing)
            ++mOffGridPartitions;
    }

    bool GridPartitionManager::destroyPartition(CorePartition* p)
    {
        if (!p || CorePartitionManager::getPartition(p->getID()) != p)
            return false;
        const int slot = cellSlot(p->getID());
        if (!CorePartitionManager::destroyPartition(p))
            return false;
        if (slot >= 0)
            mCells[size_t(slot)] = nullptr;
        else if (mOffGridPartitions > 0)
            --mOffGridPartitions;
        return true;
    }

    void GridPartitionManager::destroy()
    {
        mCells.clear();
        mOffGridPartitions = 0;
        CorePartitionManager::destroy();
    }
}
