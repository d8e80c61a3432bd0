#include "QuadTreeTextureSpace.h"
#include "QuadTreeTextureSpacePool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

using Ogre::QuadTreeTextureSpace;
using Ogre::QuadTreeTextureSpacePool;

namespace
{
    const unsigned int kTexture = 1024;
    const unsigned int kCell = 32;
    const unsigned int kCells = kTexture / kCell;

    /** A texture in cells of 32 texels that remembers which cells are handed
        out, to check the allocator against. */
    class TexelModel
    {
    public:
        TexelModel() : mUsed(kCells * kCells, false) {}

        /** Marks the region; false when it leaves the texture or overlaps. */
        bool take(const QuadTreeTextureSpace* region)
        {
            if (region->getX() < 0 || region->getY() < 0 ||
                region->getX() + region->getSize() > kTexture ||
                region->getY() + region->getSize() > kTexture)
                return false;
            bool clean = true;
            forCells(region->getX(), region->getY(), region->getSize(), [&](size_t cell) {
                clean = clean && !mUsed[cell];
                mUsed[cell] = true;
            });
            return clean;
        }

        void give(int x, int y, unsigned int size)
        {
            forCells(x, y, size, [&](size_t cell) { mUsed[cell] = false; });
        }

        /** True when some square of size texels on its own grid is free. */
        bool hasFreeAlignedSquare(unsigned int size) const
        {
            for (unsigned int y = 0; y < kTexture; y += size)
                for (unsigned int x = 0; x < kTexture; x += size)
                {
                    bool free = true;
                    forCells(x, y, size, [&](size_t cell) { free = free && !mUsed[cell]; });
                    if (free)
                        return true;
                }
            return false;
        }

        std::uint64_t freeTexels() const
        {
            return static_cast<std::uint64_t>(std::count(mUsed.begin(), mUsed.end(), false)) * kCell * kCell;
        }

    private:
        template <typename F>
        void forCells(int x, int y, unsigned int size, F f) const
        {
            for (unsigned int cy = y / kCell; cy < (y + size) / kCell; ++cy)
                for (unsigned int cx = x / kCell; cx < (x + size) / kCell; ++cx)
                    f(cy * kCells + cx);
        }

        std::vector<bool> mUsed;
    };

    struct Placed
    {
        int x;
        int y;
        unsigned int size;
    };

    Placed placeOf(const QuadTreeTextureSpace* region)
    {
        return {region->getX(), region->getY(), region->getSize()};
    }

    bool operator==(const Placed& a, const Placed& b)
    {
        return a.x == b.x && a.y == b.y && a.size == b.size;
    }

    std::ostream& operator<<(std::ostream& out, const Placed& p)
    {
        return out << "(" << p.x << ", " << p.y << ", " << p.size << ")";
    }

    /** A fresh 1024 texture; the process-wide node pool may grow (as an
        impostor manager lets it), and gets every node back at the end. */
    class QuadTreeAllocation : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            QuadTreeTextureSpacePool::getSingleton().setAutoExtend(true);
            mActiveNodesBefore = QuadTreeTextureSpacePool::getSingleton().getActiveCount();
            mRoot.init(0, 0, kTexture);
        }

        void TearDown() override
        {
            mRoot.reset();
            EXPECT_EQ(QuadTreeTextureSpacePool::getSingleton().getActiveCount(), mActiveNodesBefore)
                << "every node goes back to the pool";
        }

        QuadTreeTextureSpace mRoot;
        size_t mActiveNodesBefore = 0;
    };
}

TEST_F(QuadTreeAllocation, TextureServesFourHalfRegionsInVisitingOrderThenRefuses)
{
    std::vector<Placed> got;
    for (int i = 0; i < 4; ++i)
    {
        QuadTreeTextureSpace* region = mRoot.allocate(512);
        ASSERT_NE(region, nullptr);
        got.push_back(placeOf(region));
    }
    EXPECT_EQ(got, (std::vector<Placed>{{0, 0, 512}, {0, 512, 512}, {512, 0, 512}, {512, 512, 512}}));
    EXPECT_EQ(mRoot.allocate(512), nullptr);
    EXPECT_EQ(mRoot.allocate(32), nullptr);
    EXPECT_EQ(mRoot.getFreeArea(), 0u);
    EXPECT_EQ(mRoot.getOccupiedChildren(), 4);
}

TEST_F(QuadTreeAllocation, TextureServesSixteenQuarterRegionsWithoutOverlap)
{
    TexelModel model;
    for (int i = 0; i < 16; ++i)
    {
        QuadTreeTextureSpace* region = mRoot.allocate(256);
        ASSERT_NE(region, nullptr) << "region " << i;
        EXPECT_TRUE(model.take(region)) << placeOf(region);
    }
    EXPECT_EQ(mRoot.allocate(256), nullptr);
    EXPECT_EQ(mRoot.getOccupiedDescendants(), 16);
    EXPECT_EQ(mRoot.getOccupiedChildren(), 0);
}

TEST_F(QuadTreeAllocation, AfterThreeHalvesTheLastQuadrantSplitsIntoFourQuarters)
{
    for (int i = 0; i < 3; ++i)
        ASSERT_NE(mRoot.allocate(512), nullptr);
    std::vector<Placed> quarters;
    for (int i = 0; i < 4; ++i)
    {
        QuadTreeTextureSpace* region = mRoot.allocate(256);
        ASSERT_NE(region, nullptr);
        quarters.push_back(placeOf(region));
    }
    EXPECT_EQ(quarters, (std::vector<Placed>{{512, 512, 256}, {512, 768, 256}, {768, 512, 256}, {768, 768, 256}}));
    EXPECT_EQ(mRoot.allocate(256), nullptr);
}

TEST_F(QuadTreeAllocation, FirstFitPutsALargerRequestBesideAPartlyUsedQuadrant)
{
    EXPECT_EQ(placeOf(mRoot.allocate(256)), (Placed{0, 0, 256}));
    EXPECT_EQ(placeOf(mRoot.allocate(512)), (Placed{0, 512, 512}));
    EXPECT_EQ(placeOf(mRoot.allocate(256)), (Placed{0, 256, 256}));
    EXPECT_EQ(placeOf(mRoot.allocate(128)), (Placed{256, 0, 128}));
}

TEST_F(QuadTreeAllocation, FreeingEveryRegionOfAQuadrantMakesItOneLargerRegionAgain)
{
    std::vector<QuadTreeTextureSpace*> quarters;
    for (int i = 0; i < 16; ++i)
        quarters.push_back(mRoot.allocate(256));
    EXPECT_EQ(mRoot.allocate(512), nullptr);

    // The second quadrant (0, 512) holds quarters 4 to 7.
    for (int i = 4; i < 8; ++i)
    {
        ASSERT_EQ(quarters[i]->getX() / 512, 0);
        ASSERT_EQ(quarters[i]->getY() / 512, 1);
        EXPECT_TRUE(QuadTreeTextureSpace::freeRegion(quarters[i]));
    }
    QuadTreeTextureSpace* half = mRoot.allocate(512);
    ASSERT_NE(half, nullptr);
    EXPECT_EQ(placeOf(half), (Placed{0, 512, 512}));
    EXPECT_EQ(mRoot.allocate(32), nullptr);
}

TEST_F(QuadTreeAllocation, RequestsThatAreNotPowersOfTwoBelowTheTextureAreRefused)
{
    for (unsigned int size : {1024u, 2048u, 0u, 300u, 1023u})
        EXPECT_EQ(mRoot.allocate(size), nullptr) << size;
    EXPECT_TRUE(mRoot.isCompletelyEmpty());
    EXPECT_NE(mRoot.allocate(1), nullptr);
}

TEST_F(QuadTreeAllocation, FreeingTwiceOrFreeingARootOrNothingIsRefused)
{
    QuadTreeTextureSpace* region = mRoot.allocate(128);
    ASSERT_NE(region, nullptr);
    EXPECT_FALSE(QuadTreeTextureSpace::freeRegion(&mRoot));
    EXPECT_FALSE(QuadTreeTextureSpace::freeRegion(nullptr));
    EXPECT_TRUE(QuadTreeTextureSpace::freeRegion(region));
    EXPECT_FALSE(QuadTreeTextureSpace::freeRegion(region));
    EXPECT_EQ(mRoot.getFreeArea(), std::uint64_t(kTexture) * kTexture);
    EXPECT_TRUE(mRoot.isCompletelyEmpty());
}

TEST_F(QuadTreeAllocation, ChurnKeepsRegionsApartAndRefusesOnlyWhenNoSquareIsFree)
{
    std::mt19937 random(20240611);
    const unsigned int sizes[] = {32, 64, 128, 256, 512};
    TexelModel model;
    std::vector<QuadTreeTextureSpace*> live;

    for (int round = 0; round < 25; ++round)
    {
        // Fill until not even the smallest region fits.
        for (;;)
        {
            const unsigned int size = sizes[random() % 5];
            QuadTreeTextureSpace* region = mRoot.allocate(size);
            if (!region)
            {
                ASSERT_FALSE(model.hasFreeAlignedSquare(size))
                    << "refused " << size << " although such a square is free (round " << round << ")";
                if (size == kCell)
                    break;
                continue;
            }
            ASSERT_EQ(region->getSize(), size);
            ASSERT_EQ(region->getX() % static_cast<int>(size), 0);
            ASSERT_EQ(region->getY() % static_cast<int>(size), 0);
            ASSERT_TRUE(model.take(region)) << "overlap at " << placeOf(region);
            live.push_back(region);
        }
        ASSERT_EQ(model.freeTexels(), 0u);
        ASSERT_EQ(mRoot.getFreeArea(), 0u);
        ASSERT_EQ(static_cast<size_t>(mRoot.getOccupiedChildren() + mRoot.getOccupiedDescendants()),
                  live.size());

        // Free a random part of them (all of them in the last round).
        std::shuffle(live.begin(), live.end(), random);
        const size_t keep = round == 24 ? 0 : random() % (live.size() + 1);
        while (live.size() > keep)
        {
            QuadTreeTextureSpace* region = live.back();
            live.pop_back();
            const Placed place = placeOf(region);
            ASSERT_TRUE(QuadTreeTextureSpace::freeRegion(region));
            model.give(place.x, place.y, place.size);
        }
        ASSERT_EQ(mRoot.getFreeArea(), model.freeTexels());
    }

    EXPECT_TRUE(mRoot.isCompletelyEmpty());
    for (int i = 0; i < 4; ++i)
        EXPECT_NE(mRoot.allocate(512), nullptr) << "every freed square merged back";
}

TEST_F(QuadTreeAllocation, ExhaustedNodePoolRefusesWithoutDamagingTheTree)
{
    QuadTreeTextureSpacePool& pool = QuadTreeTextureSpacePool::getSingleton();
    pool.clear();
    mActiveNodesBefore = 0;
    pool.reserve(50);
    pool.setAutoExtend(false);
    TexelModel model;
    std::vector<QuadTreeTextureSpace*> live;
    while (QuadTreeTextureSpace* region = mRoot.allocate(32))
    {
        ASSERT_TRUE(model.take(region));
        live.push_back(region);
        ASSERT_LT(live.size(), size_t(kCells * kCells));
    }
    pool.setAutoExtend(true);
    EXPECT_EQ(mRoot.getFreeArea(), model.freeTexels());

    while (QuadTreeTextureSpace* region = mRoot.allocate(32))
    {
        ASSERT_TRUE(model.take(region));
        live.push_back(region);
    }
    EXPECT_EQ(live.size(), size_t(kCells * kCells));
    for (QuadTreeTextureSpace* region : live)
        EXPECT_TRUE(QuadTreeTextureSpace::freeRegion(region));
    EXPECT_TRUE(mRoot.isCompletelyEmpty());
}

TEST_F(QuadTreeAllocation, ResetGivesEveryRegionBack)
{
    for (int i = 0; i < 10; ++i)
        mRoot.allocate(64);
    mRoot.reset();
    EXPECT_TRUE(mRoot.isCompletelyEmpty());
    EXPECT_EQ(mRoot.getChild(0, 0), nullptr);
    EXPECT_EQ(QuadTreeTextureSpacePool::getSingleton().getActiveCount(), mActiveNodesBefore);
    EXPECT_EQ(placeOf(mRoot.allocate(512)), (Placed{0, 0, 512}));
}
