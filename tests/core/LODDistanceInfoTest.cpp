#include "LODDistanceInfo.h"

#include <gtest/gtest.h>

using namespace Wren;

namespace
{
    LevelOfDetail at(int sizeHint, float d2, float fog = 1.0f, float customSwitch = 0,
                     float customHint = 0)
    {
        return LODDistanceInfo().levelOfDetailFor(sizeHint, d2, fog, customSwitch, customHint,
                                                  LOD_LOW);
    }
}

TEST(LevelOfDetailRule, EachSizeClassSwitchesAtItsOwnRowAndAThresholdStaysNear)
{
    // Medium: 10 and 20 units.
    EXPECT_EQ(at(SIZE_MEDIUM, 100.0f), LOD_HIGH);
    EXPECT_EQ(at(SIZE_MEDIUM, 100.5f), LOD_LOW);
    EXPECT_EQ(at(SIZE_MEDIUM, 400.0f), LOD_LOW);
    EXPECT_EQ(at(SIZE_MEDIUM, 401.0f), LOD_BEYOND_HINT);
    // Large: 15 and 100 units; very large: 25 and 100 units.
    EXPECT_EQ(at(SIZE_LARGE, 225.0f), LOD_HIGH);
    EXPECT_EQ(at(SIZE_LARGE, 9000.0f), LOD_LOW);
    EXPECT_EQ(at(SIZE_LARGE, 10001.0f), LOD_BEYOND_HINT);
    EXPECT_EQ(at(SIZE_VERY_LARGE, 600.0f), LOD_HIGH);
    EXPECT_EQ(at(SIZE_VERY_LARGE, 626.0f), LOD_LOW);
    EXPECT_EQ(at(SIZE_VERY_LARGE, 10001.0f), LOD_BEYOND_HINT);
    // Small never shows low detail.
    EXPECT_EQ(at(SIZE_SMALL, 100.0f), LOD_HIGH);
    EXPECT_EQ(at(SIZE_SMALL, 101.0f), LOD_BEYOND_HINT);
    // An unknown hint keeps the current level.
    EXPECT_EQ(at(9, 1e9f), LOD_LOW);
}

TEST(LevelOfDetailRule, CustomDistancesFollowTheFogLevel)
{
    EXPECT_EQ(at(SIZE_CUSTOM, 50.0f, 1.0f, 50.0f, 200.0f), LOD_HIGH);
    EXPECT_EQ(at(SIZE_CUSTOM, 51.0f, 1.0f, 50.0f, 200.0f), LOD_LOW);
    EXPECT_EQ(at(SIZE_CUSTOM, 201.0f, 1.0f, 50.0f, 200.0f), LOD_BEYOND_HINT);
    // Half the fog level brings both switches to a quarter of their squares.
    EXPECT_EQ(at(SIZE_CUSTOM, 13.0f, 0.5f, 50.0f, 200.0f), LOD_LOW);
    EXPECT_EQ(at(SIZE_CUSTOM, 51.0f, 0.5f, 50.0f, 200.0f), LOD_BEYOND_HINT);
}

TEST(LevelOfDetailTable, EntriesByIndexAndScalingBySquare)
{
    LODDistanceInfo table;
    EXPECT_FLOAT_EQ(table.get(0), 100.0f);
    EXPECT_FLOAT_EQ(table.get(9), 22500.0f);
    EXPECT_FLOAT_EQ(table.get(10), 0.0f);
    table.set(4, 1.0f);
    table.set(42, 5.0f);
    EXPECT_FLOAT_EQ(table.sizeLargeLODMediumDistanceSquared, 1.0f);

    const LODDistanceInfo doubled = LODDistanceInfo().scaled(2.0f);
    for (size_t i = 0; i < LODDistanceInfo::COUNT; ++i)
        EXPECT_FLOAT_EQ(doubled.get(i), LODDistanceInfo().get(i) * 4.0f) << i;
}
