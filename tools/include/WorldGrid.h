#ifndef __WrenWorldGrid_H__
#define __WrenWorldGrid_H__

#include "WrenCommonPrerequisites.h"

#include <OgreVector.h>

#include <optional>
#include <string>

namespace Wren
{
    /** The layout of a grid world as the tools see it: a regular grid of
        cellsX columns and cellsZ rows of square cells, centred on the world
        origin, as the grid partition manager lays it out.

        Cell (i, j) is the partition with the ID "i_j". It covers x strictly
        between i*s - cellsX*s/2 and that plus s, and z strictly between
        j*s - cellsZ*s/2 and that plus s. Its world position, to which its
        objects' stored positions are relative, is the centre of that square
        at height 0. (Both axes use their own cell count, so the position is
        the centre in grids that are not square too.)

        The numbers are those of the world file's "GridPartitionManagerData"
        element; absent attributes keep the grid partition manager's
        defaults (256, 8, 8, 384).
    */
    struct WorldGrid
    {
        float cellSize = 256.0f;
        int cellsX = 8;
        int cellsZ = 8;
        /** Streaming radius between cell centres. */
        float loadRadius = 384.0f;

        /** The partition ID of cell (i, j): "i_j". */
        static std::string cellId(int i, int j);
        /** Splits an ID of the form "i_j" (two decimal integers) into its
            column and row; nullopt for anything else. The cell need not lie
            in a grid. */
        static std::optional<std::pair<int, int>> parseCellId(const std::string& id);

        /** Whether (i, j) is a cell of this grid. */
        bool hasCell(int i, int j) const
        {
            return i >= 0 && j >= 0 && i < cellsX && j < cellsZ;
        }
        /** World position of cell (i, j): the reference point of its objects'
            stored positions. Its z is offset with the column count, so only
            in square grids is it the cell's centre. */
        Ogre::Vector3 cellWorldPosition(int i, int j) const;
        /** Lowest x and z of cell (i, j); the cell spans cellSize from there. */
        float cellMinX(int i) const { return i * cellSize - cellsX * cellSize * 0.5f; }
        float cellMinZ(int j) const { return j * cellSize - cellsZ * cellSize * 0.5f; }
        /** Whether x and z lie strictly inside cell (i, j); height is ignored. */
        bool cellContains(int i, int j, const Ogre::Vector3& position) const;
        /** The cell whose square holds the position, lower edges included;
            nullopt outside the grid. */
        std::optional<std::pair<int, int>> cellAt(const Ogre::Vector3& position) const;

        float minX() const { return -cellsX * cellSize * 0.5f; }
        float minZ() const { return -cellsZ * cellSize * 0.5f; }
        float width() const { return cellsX * cellSize; }
        float depth() const { return cellsZ * cellSize; }

        /** Writes the "GridPartitionManagerData" child of a world file's
            root: "GridCellSize", "NumGridCellsX", "NumGridCellsZ",
            "GridCellLoadRadius", in that order. */
        void save(DataElementPtr& worldRoot) const;
        /** Reads the grid from a world file's root; what is absent keeps
            the defaults. */
        static WorldGrid load(DataElementPtr& worldRoot);
    };
}

#endif
