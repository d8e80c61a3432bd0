#include "PoolSet.h"

#include <gtest/gtest.h>

#include <set>

namespace
{
    /** Elements are numbered as they are made; destroyed ones are counted. */
    class NumberPool : public Ogre::PoolSet<int>
    {
    public:
        explicit NumberPool(bool autoExtend, float growth = 2.0f)
            : Ogre::PoolSet<int>(autoExtend, growth)
        {
        }
        ~NumberPool() override { clear(); }

        int made = 0;
        int destroyed = 0;

    protected:
        int* allocateNewElement() override { return new int(made++); }
        void destroyElement(int* element) override
        {
            ++destroyed;
            delete element;
        }
    };
}

TEST(PoolSetGrowth, EmptyPoolWithoutAutoExtendRefuses)
{
    NumberPool pool(false);
    EXPECT_EQ(pool.getFree(), nullptr);
    pool.reserve(1);
    EXPECT_NE(pool.getFree(), nullptr);
    EXPECT_EQ(pool.getFree(), nullptr);
    EXPECT_EQ(pool.getCount(), 1);
}

TEST(PoolSetGrowth, GrowsByTheFactorOrByOneWhenTheFactorDoesNotGrow)
{
    NumberPool doubling(true, 2.0f);
    doubling.reserve(3);
    for (int i = 0; i < 4; ++i)
        doubling.getFree();
    EXPECT_EQ(doubling.getCount(), 6);

    NumberPool single(true, 1.0f);
    for (int i = 0; i < 3; ++i)
        single.getFree();
    EXPECT_EQ(single.getCount(), 3);

    NumberPool fromEmpty(true, 2.0f);
    fromEmpty.getFree();
    EXPECT_EQ(fromEmpty.getCount(), 1);

    EXPECT_EQ(Ogre::PoolSet<int>::grownCount(400, 2.0f), 800);
    EXPECT_EQ(Ogre::PoolSet<int>::grownCount(5, 0.5f), 6);
}

TEST(PoolSetHandOut, HandsOutTheFrontOfTheFreeListAndTakesBackToItsEnd)
{
    NumberPool pool(false);
    pool.reserve(3);
    int* first = pool.getFree();
    EXPECT_EQ(*first, 0);
    int* second = pool.getFree();
    EXPECT_EQ(*second, 1);
    EXPECT_TRUE(pool.release(first));
    EXPECT_EQ(*pool.getFree(), 2);
    EXPECT_EQ(pool.getFree(), first);
    EXPECT_EQ(pool.getActiveList().back(), first);
}

TEST(PoolSetHandOut, ReleasingWhatIsNotActiveIsRefusedSoNothingIsHandedOutTwice)
{
    NumberPool pool(false);
    pool.reserve(2);
    int* element = pool.getFree();
    EXPECT_TRUE(pool.release(element));
    EXPECT_FALSE(pool.release(element));
    int stranger = 7;
    EXPECT_FALSE(pool.release(&stranger));
    EXPECT_EQ(pool.getFreeCount(), 2u);

    std::set<int*> handedOut;
    while (int* next = pool.getFree())
        EXPECT_TRUE(handedOut.insert(next).second);
    EXPECT_EQ(handedOut.size(), 2u);
}

TEST(PoolSetClear, DestroysActiveAndFreeElementsAndStartsOver)
{
    NumberPool pool(true);
    pool.reserve(4);
    pool.getFree();
    pool.getFree();
    pool.reserve(2);
    EXPECT_EQ(pool.getCount(), 4);
    pool.clear();
    EXPECT_EQ(pool.destroyed, 4);
    EXPECT_EQ(pool.getCount(), 0);
    EXPECT_EQ(pool.getActiveCount(), 0u);
    EXPECT_EQ(pool.getFreeCount(), 0u);
    EXPECT_NE(pool.getFree(), nullptr);
}
