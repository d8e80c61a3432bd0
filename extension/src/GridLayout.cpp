#include "GridLayout.h"

#include "DataElement.h"
#include "Property.h"

#include <cmath>
#include <cstdlib>

namespace Wren
{
    namespace
    {
        const char* const GridElement = "GridPartitionManagerData";

        /** Parses a whole decimal integer, optionally signed. */
        bool parseInt(const std::string& text, int& value)
        {
            if (text.empty() || text.size() > 10)
                return false;
            size_t start = (text[0] == '-') ? 1 : 0;
            if (start == text.size())
                return false;
            for (size_t k = start; k < text.size(); ++k)
                if (text[k] < '0' || text[k] > '9')
                    return false;
            long long parsed = std::strtoll(text.c_str(), nullptr, 10);
            if (parsed > 2147483647LL || parsed < -2147483647LL)
                return false;
            value = static_cast<int>(parsed);
            return true;
        }
    }

    std::string GridLayout::cellId(int i, int j)
    {
        return std::to_string(i) + "_" + std::to_string(j);
    }

    std::optional<std::pair<int, int>> GridLayout::parseCellId(const std::string& id)
    {
        size_t split = id.find('_');
        if (split == std::string::npos)
            return std::nullopt;
        int i = 0, j = 0;
        if (!parseInt(id.substr(0, split), i) || !parseInt(id.substr(split + 1), j))
            return std::nullopt;
        return std::make_pair(i, j);
    }

    Ogre::Vector3 GridLayout::cellWorldPosition(int i, int j) const
    {
        // The z centre is offset with the column count, as the grid partition
        // manager places its cells; stored worlds are relative to it. In a
        // square grid this is the cell's centre.
        const float half = cellsX * cellSize * 0.5f;
        return Ogre::Vector3(i * cellSize - half + cellSize * 0.5f, 0.0f,
                             j * cellSize - half + cellSize * 0.5f);
    }

    std::string GridLayout::validate() const
    {
        if (!(cellSize > 0.0f) || !std::isfinite(cellSize))
            return "the cell size " + std::to_string(cellSize) + " is not above zero";
        if (cellsX < 1 || cellsX > MaxCells)
            return "the column count " + std::to_string(cellsX) + " lies outside 1 ... " +
                   std::to_string(MaxCells);
        if (cellsZ < 1 || cellsZ > MaxCells)
            return "the row count " + std::to_string(cellsZ) + " lies outside 1 ... " +
                   std::to_string(MaxCells);
        if (!(loadRadius >= 0.0f) || !std::isfinite(loadRadius))
            return "the load radius " + std::to_string(loadRadius) + " is negative";
        if (std::isnan(holdRadius) || std::isinf(holdRadius))
            return "the hold radius is not a number";
        return std::string();
    }

    void GridLayout::enumerateProperties(const std::string& prefix, std::vector<Property>& out) const
    {
        Property size;
        size.initFloat(prefix + "GridCellSize", "Grid Cell Size", cellSize, 0.0f, 10000.0f, 32.0f);
        out.push_back(size);
        Property columns;
        columns.initInt(prefix + "NumGridCellsX", "Num Grid Cells X", cellsX, 0, MaxCells, 1);
        out.push_back(columns);
        Property rows;
        rows.initInt(prefix + "NumGridCellsZ", "Num Grid Cells Z", cellsZ, 0, MaxCells, 1);
        out.push_back(rows);
    }

    bool GridLayout::setProperty(const std::string& prefix, const std::string& id,
                                 const PropertyData& value)
    {
        if (id.compare(0, prefix.size(), prefix) != 0)
            return false;
        const std::string field = id.substr(prefix.size());
        if (field == "GridCellSize")
            cellSize = value.floatVal;
        else if (field == "NumGridCellsX")
            cellsX = value.intVal;
        else if (field == "NumGridCellsZ")
            cellsZ = value.intVal;
        else
            return false;
        return true;
    }

    int GridLayout::proximityBand(float d2, float cellSize)
    {
        const float nearDistance = 4.0f * cellSize;
        const float farDistance = 8.0f * cellSize;
        if (d2 <= nearDistance * nearDistance)
            return 0;
        if (d2 <= farDistance * farDistance)
            return 1;
        return 2;
    }

    bool GridLayout::hasGridData(DataElementPtr& worldRoot)
    {
        return !worldRoot->getIsEmpty() && !worldRoot->getFirstChild(GridElement)->getIsEmpty();
    }

    bool GridLayout::cellContains(int i, int j, const Ogre::Vector3& p) const
    {
        float x0 = cellMinX(i), z0 = cellMinZ(j);
        return p.x > x0 && p.x < x0 + cellSize && p.z > z0 && p.z < z0 + cellSize;
    }

    std::optional<std::pair<int, int>> GridLayout::cellAt(const Ogre::Vector3& p) const
    {
        if (!(cellSize > 0.0f))
            return std::nullopt;
        double fi = std::floor((double(p.x) - minX()) / cellSize);
        double fj = std::floor((double(p.z) - minZ()) / cellSize);
        if (!(fi >= 0.0 && fj >= 0.0 && fi < cellsX && fj < cellsZ))
            return std::nullopt;
        return std::make_pair(static_cast<int>(fi), static_cast<int>(fj));
    }

    void GridLayout::save(DataElementPtr& worldRoot) const
    {
        DataElementPtr grid = worldRoot->createChild(GridElement);
        grid->setAttributeFloat("GridCellSize", cellSize);
        grid->setAttributeInt("NumGridCellsX", cellsX);
        grid->setAttributeInt("NumGridCellsZ", cellsZ);
        grid->setAttributeFloat("GridCellLoadRadius", loadRadius);
        if (holdRadius > loadRadius)
            grid->setAttributeFloat("GridCellHoldRadius", holdRadius);
    }

    GridLayout GridLayout::load(DataElementPtr& worldRoot)
    {
        return load(worldRoot, GridLayout());
    }

    GridLayout GridLayout::load(DataElementPtr& worldRoot, const GridLayout& defaults)
    {
        GridLayout grid = defaults;
        if (worldRoot->getIsEmpty())
            return grid;
        DataElementPtr data = worldRoot->getFirstChild(GridElement);
        if (data->getIsEmpty())
            return grid;
        grid.cellSize = data->getAttributeFloat("GridCellSize", grid.cellSize);
        grid.cellsX = data->getAttributeInt("NumGridCellsX", grid.cellsX);
        grid.cellsZ = data->getAttributeInt("NumGridCellsZ", grid.cellsZ);
        grid.loadRadius = data->getAttributeFloat("GridCellLoadRadius", grid.loadRadius);
        grid.holdRadius = data->getAttributeFloat("GridCellHoldRadius", grid.holdRadius);
        return grid;
    }
}
