#ifndef __WrenGridLayout_H__
#define __WrenGridLayout_H__

#include "WrenExtensionPrerequisites.h"

#include <OgreVector.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace Wren
{
    /** The arithmetic of a grid world: a regular grid of cellsX columns and
        cellsZ rows of square cells of edge cellSize, centred on the world
        origin. GridPartitionManager, the generator, the viewer and its map
        all use this one description.

        Cell (i, j) is the partition with the ID "i_j". It covers x strictly
        between i*s - cellsX*s/2 and that plus s, and z strictly between
        j*s - cellsZ*s/2 and that plus s. Its world position, to which its
        objects' stored positions are relative, has x = i*s - cellsX*s/2 + s/2,
        y = 0 and z = j*s - cellsX*s/2 + s/2: the z is offset with the column
        count, so only in square grids is it the cell's centre. Stored worlds
        depend on that point, so it must not be "corrected".

        The numbers are those of the world file's "GridPartitionManagerData"
        element; absent attributes keep the defaults (256, 8, 8, 384, and
        a hold radius equal to the load radius).
    */
    struct WREN_EXTENSION_EXPORT GridLayout
    {
        /** Counts a grid may have along either axis. */
        static const int MaxCells = 64;

        float cellSize = 256.0f;
        int cellsX = 8;
        int cellsZ = 8;
        /** Streaming radius between cell world positions. */
        float loadRadius = 384.0f;
        /** Radius within which loaded cells stay loaded; anything below the
            load radius (the default, -1) means the load radius. */
        float holdRadius = -1.0f;

        /** The radius that keeps loaded cells: at least the load radius. */
        float effectiveHoldRadius() const { return holdRadius > loadRadius ? holdRadius : loadRadius; }

        /** The partition ID of cell (i, j): "i_j". */
        static std::string cellId(int i, int j);
        /** Splits an ID of the form "i_j" (two decimal integers) into its
            column and row; nullopt for anything else. The cell need not lie
            in a grid. */
        static std::optional<std::pair<int, int>> parseCellId(const std::string& id);

        /** Why this grid can not be laid out (a cell size that is not above
            zero, a count outside 1 ... MaxCells, a negative load radius);
            empty when it can. */
        std::string validate() const;

        /** Whether (i, j) is a cell of this grid. */
        bool hasCell(int i, int j) const
        {
            return i >= 0 && j >= 0 && i < cellsX && j < cellsZ;
        }
        /** World position of cell (i, j) (see the class comment). */
        Ogre::Vector3 cellWorldPosition(int i, int j) const;
        /** Lowest x and z of cell (i, j); the cell spans cellSize from there. */
        float cellMinX(int i) const { return i * cellSize - cellsX * cellSize * 0.5f; }
        float cellMinZ(int j) const { return j * cellSize - cellsZ * cellSize * 0.5f; }
        /** Whether x and z lie strictly inside cell (i, j); height is ignored. */
        bool cellContains(int i, int j, const Ogre::Vector3& position) const;
        /** The cell whose square holds the position, lower edges included;
            nullopt outside the grid. */
        std::optional<std::pair<int, int>> cellAt(const Ogre::Vector3& position) const;
        /** Appends the editable grid numbers as the properties prefix +
            "GridCellSize" ("Grid Cell Size", float 0 ... 10000, step 32),
            prefix + "NumGridCellsX" and prefix + "NumGridCellsZ" ("Num Grid
            Cells X" / "Z", int 0 ... MaxCells, step 1). */
        void enumerateProperties(const std::string& prefix, std::vector<Property>& out) const;
        /** Takes the value of one of those properties; false, changing
            nothing, for any other id. */
        bool setProperty(const std::string& prefix, const std::string& id, const PropertyData& value);

        /** Proximity band of a squared distance d2 to a cell of size s:
            0 up to (4s)^2, 1 up to (8s)^2, 2 beyond. */
        static int proximityBand(float d2, float cellSize);

        float minX() const { return -cellsX * cellSize * 0.5f; }
        float minZ() const { return -cellsZ * cellSize * 0.5f; }
        float width() const { return cellsX * cellSize; }
        float depth() const { return cellsZ * cellSize; }

        /** Writes the "GridPartitionManagerData" child of a world file's
            root: "GridCellSize", "NumGridCellsX", "NumGridCellsZ",
            "GridCellLoadRadius", in that order, then "GridCellHoldRadius"
            when the hold radius is beyond the load radius. */
        void save(DataElementPtr& worldRoot) const;
        /** Reads the grid from a world file's root; what is absent keeps
            the defaults. */
        static GridLayout load(DataElementPtr& worldRoot);
        /** The same, what is absent keeping the values of defaults. */
        static GridLayout load(DataElementPtr& worldRoot, const GridLayout& defaults);
        /** Whether the world file's root has a "GridPartitionManagerData" child. */
        static bool hasGridData(DataElementPtr& worldRoot);
    };
}

#endif
