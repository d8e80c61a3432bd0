#include "DataElement.h"
#include "TestEngine.h"
#include "GridLayout.h"
#include "XMLDataFile.h"

#include <gtest/gtest.h>

using Wren::Test::TestEngine;

TEST(GridLayout, CellIdsRoundTripAndOddTextIsRefused)
{
    EXPECT_EQ(Wren::GridLayout::cellId(3, 5), "3_5");
    auto cell = Wren::GridLayout::parseCellId("12_0");
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->first, 12);
    EXPECT_EQ(cell->second, 0);
    for (const char* bad : {"", "3", "3_", "_5", "a_b", "1_2_3", "1 _2", "+1_2", "99999999999_1"})
        EXPECT_FALSE(Wren::GridLayout::parseCellId(bad)) << bad;
}

TEST(GridLayout, DefaultGridCentresCellsAroundTheOrigin)
{
    Wren::GridLayout grid;
    EXPECT_EQ(grid.cellWorldPosition(0, 0), Ogre::Vector3(-896, 0, -896));
    EXPECT_EQ(grid.cellWorldPosition(4, 4), Ogre::Vector3(128, 0, 128));
    // The origin is the corner of four cells; lower edges belong to the cell.
    auto cell = grid.cellAt(Ogre::Vector3::ZERO);
    ASSERT_TRUE(cell);
    EXPECT_EQ(*cell, std::make_pair(4, 4));
    EXPECT_FALSE(grid.cellContains(4, 4, Ogre::Vector3::ZERO));
    EXPECT_TRUE(grid.cellContains(4, 4, Ogre::Vector3(0.5f, 0, 0.5f)));
    EXPECT_TRUE(grid.cellAt(Ogre::Vector3(-1000, 0, 0)));  // cell 0_4
    EXPECT_FALSE(grid.cellAt(Ogre::Vector3(-1024.5f, 0, 0)));
    EXPECT_FALSE(grid.cellAt(Ogre::Vector3(1024, 0, 0)));
}

TEST(GridLayout, NonSquareGridOffsetsCellZWithTheColumnCount)
{
    Wren::GridLayout grid;
    grid.cellsX = 4;
    grid.cellsZ = 2;
    // Containment of cell 0_1 runs from z 0 to s, but its position is
    // s - 2s + s/2: stored worlds are relative to that point.
    EXPECT_EQ(grid.cellWorldPosition(0, 1), Ogre::Vector3(-384, 0, -128));
    EXPECT_TRUE(grid.cellContains(0, 1, Ogre::Vector3(-384, 0, 128)));
    EXPECT_FALSE(grid.cellContains(0, 1, grid.cellWorldPosition(0, 1)));
}

TEST(GridLayout, WorldFileElementRoundTripsAndAbsenceKeepsDefaults)
{
    TestEngine::instance();
    Wren::XMLDataFile file;
    Wren::DataElementPtr root = file.createRootElement("World");
    EXPECT_EQ(Wren::GridLayout::load(root).cellsX, 8);
    Wren::GridLayout grid;
    grid.cellSize = 100;
    grid.cellsX = 3;
    grid.cellsZ = 5;
    grid.loadRadius = 150;
    grid.save(root);
    Wren::GridLayout back = Wren::GridLayout::load(root);
    EXPECT_EQ(back.cellSize, 100);
    EXPECT_EQ(back.cellsX, 3);
    EXPECT_EQ(back.cellsZ, 5);
    EXPECT_EQ(back.loadRadius, 150);
}

