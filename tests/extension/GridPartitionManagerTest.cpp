#include "DataElement.h"
#include "GridPartition.h"
#include "GridPartitionManager.h"
#include "TestEngine.h"
#include "XMLDataFile.h"

#include <gtest/gtest.h>

#include <memory>

using Wren::Test::TestEngine;

namespace
{
    /** A grid manager without an object manager: enough for the arithmetic. */
    struct Grid
    {
        explicit Grid(int cellsX = 8, int cellsZ = 8)
        {
            TestEngine::instance();
            Wren::XMLDataFile file;
            Wren::DataElementPtr root = file.createRootElement("World");
            Wren::DataElementPtr data = root->createChild("GridPartitionManagerData");
            data->setAttributeInt("NumGridCellsX", cellsX);
            data->setAttributeInt("NumGridCellsZ", cellsZ);
            started = manager.initStart("w", root) && manager.initFinish();
        }
        ~Grid() { manager.destroy(); }
        std::string idAt(const Ogre::Vector3& p, bool nearest)
        {
            Wren::CorePartition* found = manager.getPartition(p, nearest);
            return found ? found->getID() : "none";
        }
        Wren::GridPartitionManager manager{nullptr};
        bool started = false;
    };
}

TEST(GridPartitionLookup, OriginBelongsToTheCellAboveItsCorner)
{
    Grid grid;
    ASSERT_TRUE(grid.started);
    EXPECT_EQ(grid.idAt(Ogre::Vector3::ZERO, false), "4_4");
    EXPECT_EQ(grid.idAt(Ogre::Vector3(-1000, 0, 0), false), "0_4");
}

TEST(GridPartitionLookup, OutsideTheGridOnlyTheNearestCellIfAsked)
{
    Grid grid;
    EXPECT_EQ(grid.idAt(Ogre::Vector3(-2000, 0, 0), false), "none");
    // Cells 0_3 and 0_4 are equally near; the earlier in ID order wins.
    EXPECT_EQ(grid.idAt(Ogre::Vector3(-2000, 0, 0), true), "0_3");
    EXPECT_EQ(grid.idAt(Ogre::Vector3(5000, 0, 5000), true), "7_7");
}

TEST(GridPartitionLookup, NonSquareGridOffsetsWorldPositionButNotContainment)
{
    Grid grid(4, 2);
    ASSERT_TRUE(grid.started);
    Wren::CorePartition* cell = grid.manager.getPartition(std::string("0_1"));
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->getWorldPosition(), Ogre::Vector3(-384, 0, -128));
    EXPECT_EQ(grid.idAt(Ogre::Vector3(-384, 0, 128), false), "0_1");
    EXPECT_EQ(grid.idAt(Ogre::Vector3(-384, 0, -128), false), "0_0");
}

namespace
{
    /** A cell that counts how often it is asked whether it holds a point. */
    class CountingCell : public Wren::GridPartition
    {
    public:
        CountingCell(const Wren::GridPartition& cell, Wren::CorePartitionManager* manager, int* asked)
            : GridPartition(cell.getID(), cell.getWorldPosition(), manager, cell.getCellX(),
                            cell.getCellZ()),
              mAsked(asked)
        {
        }
        PositionResult isPositionInPartition(const Ogre::Vector3& p) override
        {
            ++*mAsked;
            return GridPartition::isPositionInPartition(p);
        }

    private:
        int* mAsked;
    };

    class CountingGrid : public Wren::GridPartitionManager
    {
    public:
        CountingGrid() : GridPartitionManager(nullptr) {}
        void addPartition(Wren::CorePartition* p) override
        {
            std::unique_ptr<Wren::GridPartition> made(static_cast<Wren::GridPartition*>(p));
            GridPartitionManager::addPartition(new CountingCell(*made, this, &asked));
        }
        int asked = 0;
    };
}

TEST(GridPartitionLookup, OddAndUnevenGridsFindTheCellByArithmetic)
{
    for (auto counts : {std::make_pair(3, 3), std::make_pair(5, 2), std::make_pair(1, 7)})
    {
        TestEngine::instance();
        Wren::XMLDataFile file;
        Wren::DataElementPtr root = file.createRootElement("World");
        Wren::DataElementPtr data = root->createChild("GridPartitionManagerData");
        data->setAttributeInt("NumGridCellsX", counts.first);
        data->setAttributeInt("NumGridCellsZ", counts.second);
        data->setAttributeFloat("GridCellSize", 100);
        CountingGrid grid;
        ASSERT_TRUE(grid.initStart("w", root) && grid.initFinish());
        const Wren::GridLayout& layout = grid.getLayout();
        for (int i = 0; i < counts.first; ++i)
            for (int j = 0; j < counts.second; ++j)
                for (const Ogre::Vector3& offset :
                     {Ogre::Vector3(1, 0, 1), Ogre::Vector3(50, 0, 50), Ogre::Vector3(99, 0, 3),
                      Ogre::Vector3(0, 0, 0)})
                {
                    const Ogre::Vector3 p(layout.cellMinX(i) + offset.x, 0,
                                          layout.cellMinZ(j) + offset.z);
                    grid.asked = 0;
                    Wren::CorePartition* found = grid.getPartition(p, false);
                    ASSERT_NE(found, nullptr) << counts.first << "x" << counts.second << " " << p;
                    EXPECT_EQ(found->getID(), Wren::GridLayout::cellId(i, j)) << p;
                    EXPECT_LE(grid.asked, 2) << "a walk over the cells for " << p;
                }
        grid.destroy();
    }
}

TEST(GridStreaming, CornerCellLoadsItselfAndThreeNeighbours)
{
    Grid grid;
    std::vector<Wren::CorePartition*> set;
    grid.manager.getPartition(std::string("0_0"))->enumerateConnectedPartitions(set);
    std::vector<std::string> ids;
    for (Wren::CorePartition* p : set)
        ids.push_back(p->getID());
    EXPECT_EQ(ids, (std::vector<std::string>{"0_0", "0_1", "1_0", "1_1"}));
    set.clear();
    grid.manager.getPartition(std::string("3_3"))->enumerateConnectedPartitions(set);
    EXPECT_EQ(set.size(), 9u);
}

TEST(GridPartitionManagerData, GridThatCanNotBeLaidOutIsRefused)
{
    TestEngine::instance();
    for (auto bad : {std::make_pair("GridCellSize", "0"), std::make_pair("NumGridCellsX", "0"),
                     std::make_pair("NumGridCellsZ", "65"), std::make_pair("GridCellSize", "-4")})
    {
        Wren::XMLDataFile file;
        Wren::DataElementPtr root = file.createRootElement("World");
        root->createChild("GridPartitionManagerData")->setAttributeString(bad.first, bad.second);
        Wren::GridPartitionManager manager(nullptr);
        Wren::Test::LogCapture log;
        EXPECT_FALSE(manager.initStart("w", root)) << bad.first << "=" << bad.second;
        EXPECT_FALSE(manager.initFinish());
        std::vector<Wren::CorePartition*> cells;
        manager.enumeratePartitions(cells);
        EXPECT_TRUE(cells.empty());
        EXPECT_TRUE(log.contains("refused"));
        manager.destroy();
    }
}

TEST(GridPartitionManagerData, GridPropertiesAreFrozenOnceCellsExist)
{
    Grid grid(2, 2);
    Wren::PropertyData value;
    value.intVal = 6;
    grid.manager.setProperty("GridPartitionManager_NumGridCellsX", value);
    EXPECT_EQ(grid.manager.getNumGridCellsX(), 2);
    std::vector<Wren::Property> properties;
    grid.manager.enumerateProperties(properties);
    for (const Wren::Property& p : properties)
        EXPECT_EQ(p.id.find("GridPartitionManager_"), std::string::npos) << p.id;
    EXPECT_FLOAT_EQ(static_cast<Wren::GridPartition*>(grid.manager.getPartition(std::string("0_0")))
                        ->getObjectBound(),
                    128.0f);
}

TEST(GridLayoutProximity, CentreExactlyFourCellsAwayIsNear)
{
    EXPECT_EQ(Wren::GridLayout::proximityBand(1024.0f * 1024.0f, 256.0f), 0);
    EXPECT_EQ(Wren::GridLayout::proximityBand(1025.0f * 1025.0f, 256.0f), 1);
    EXPECT_EQ(Wren::GridLayout::proximityBand(2049.0f * 2049.0f, 256.0f), 2);
}
