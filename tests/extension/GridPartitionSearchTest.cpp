#include "DataElement.h"
#include "GridPartition.h"
#include "GridPartitionManager.h"
#include "TestEngine.h"
#include "XMLDataFile.h"

#include <gtest/gtest.h>

using Wren::Test::TestEngine;

namespace
{
    std::unique_ptr<Wren::GridPartitionManager> makeGrid(int cellsX, int cellsZ, float size,
                                                         float radius)
    {
        TestEngine::instance();
        Wren::XMLDataFile file;
        Wren::DataElementPtr root = file.createRootElement("World");
        Wren::DataElementPtr data = root->createChild("GridPartitionManagerData");
        data->setAttributeInt("NumGridCellsX", cellsX);
        data->setAttributeInt("NumGridCellsZ", cellsZ);
        data->setAttributeFloat("GridCellSize", size);
        data->setAttributeFloat("GridCellLoadRadius", radius);
        std::unique_ptr<Wren::GridPartitionManager> grid(new Wren::GridPartitionManager(nullptr));
        EXPECT_TRUE(grid->initStart("w", root) && grid->initFinish());
        return grid;
    }

    /** The answer of testing every partition, in ID order. */
    std::vector<Wren::CorePartition*> walkAll(Wren::GridPartitionManager& grid,
                                              const Ogre::Vector3& centre, float radius)
    {
        std::vector<Wren::CorePartition*> all, near;
        grid.enumeratePartitions(all);
        for (Wren::CorePartition* p : all)
            if (p->getWorldPosition().distance(centre) < radius)
                near.push_back(p);
        return near;
    }
}

TEST(GridPartitionSearch, StreamingSetsMatchAWalkOverEveryCell)
{
    // Square and not, odd and even counts, radii on and between cell
    // spacings, none, and one reaching past the grid.
    const struct
    {
        int x, z;
        float size, radius;
    } grids[] = {{8, 8, 256, 384}, {5, 3, 100, 200}, {12, 7, 64, 256},
                 {4, 4, 256, 0},   {3, 6, 50, 5000}, {11, 11, 10, 35.5f}};
    for (const auto& g : grids)
    {
        std::unique_ptr<Wren::GridPartitionManager> grid = makeGrid(g.x, g.z, g.size, g.radius);
        std::vector<Wren::CorePartition*> cells;
        grid->enumeratePartitions(cells);
        ASSERT_EQ(cells.size(), size_t(g.x * g.z));
        for (Wren::CorePartition* cell : cells)
        {
            std::vector<Wren::CorePartition*> set;
            cell->enumerateConnectedPartitions(set);
            EXPECT_EQ(set, walkAll(*grid, cell->getWorldPosition(), g.radius))
                << g.x << "x" << g.z << " cell " << cell->getID();
        }
        // Centres off the lattice and outside the grid.
        for (const Ogre::Vector3& centre :
             {Ogre::Vector3(0.3f * g.size, 0, -0.7f * g.size), Ogre::Vector3(-1e4f, 0, 3),
              Ogre::Vector3(g.x * g.size, 0, g.z * g.size)})
        {
            std::vector<Wren::CorePartition*> set;
            grid->enumeratePartitionsWithin(centre, g.radius, set);
            EXPECT_EQ(set, walkAll(*grid, centre, g.radius)) << g.x << "x" << g.z;
        }
        grid->destroy();
    }
}

TEST(GridPartitionSearch, AppendsAfterWhatTheListHolds)
{
    std::unique_ptr<Wren::GridPartitionManager> grid = makeGrid(8, 8, 256, 384);
    Wren::CorePartition* corner = grid->getPartition(std::string("7_7"));
    std::vector<Wren::CorePartition*> set{corner};
    grid->getPartition(std::string("0_0"))->enumerateConnectedPartitions(set);
    ASSERT_EQ(set.size(), 5u);
    EXPECT_EQ(set[0], corner);
    EXPECT_EQ(set[1]->getID(), "0_0");
    grid->destroy();
}

TEST(GridPartitionSearch, DestroyedCellIsNeitherFoundNorStreamed)
{
    std::unique_ptr<Wren::GridPartitionManager> grid = makeGrid(4, 4, 256, 384);
    Wren::CorePartition* gone = grid->getPartition(std::string("1_1"));
    const Ogre::Vector3 inside = gone->getWorldPosition();
    ASSERT_EQ(grid->getPartition(inside, false), gone);
    ASSERT_TRUE(grid->destroyPartition(gone));
    EXPECT_EQ(grid->getPartition(inside, false), nullptr);
    EXPECT_NE(grid->getPartition(inside, true), nullptr);
    std::vector<Wren::CorePartition*> set;
    grid->getPartition(std::string("0_0"))->enumerateConnectedPartitions(set);
    std::vector<std::string> ids;
    for (Wren::CorePartition* p : set)
        ids.push_back(p->getID());
    EXPECT_EQ(ids, (std::vector<std::string>{"0_0", "0_1", "1_0"}));
    grid->destroy();
}
