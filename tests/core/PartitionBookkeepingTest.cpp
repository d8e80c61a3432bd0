#include "CoreGameObjectTestWorld.h"

#include <OgreException.h>

#include <gtest/gtest.h>

using namespace Wren;
using namespace Wren::Test;

namespace
{
    class PartitionBookkeeping : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            world.writeWorld("books", "");
            ASSERT_TRUE(world.start("books"));
            p = world.partition("0_0");
            ASSERT_NE(p, nullptr);
        }
        CoreTestWorld world;
        CorePartition* p = nullptr;
    };
}

TEST_F(PartitionBookkeeping, NameHeldTwiceStaysTakenUntilBothHoldersLeave)
{
    StandInObject first(world.manager.get(), "same", "StandIn");
    StandInObject second(world.manager.get(), "same", "StandIn");
    StandInObject third(world.manager.get(), "same", "StandIn");
    p->addObject(&first);
    p->addObject(&second, true);
    p->removeObject(&first);
    EXPECT_THROW(p->addObject(&third), Ogre::ItemIdentityException);
    p->removeObject(&second);
    EXPECT_NO_THROW(p->addObject(&third));
    EXPECT_EQ(p->getObjects(), std::vector<CoreGameObject*>{&third});
    p->removeObject(&third);
    // Removing an object that is not held frees no name.
    p->addObject(&first);
    p->removeObject(&second);
    EXPECT_THROW(p->addObject(&third), Ogre::ItemIdentityException);
    p->removeObject(&first);
}

TEST_F(PartitionBookkeeping, ManyObjectsQueueOnceEachAndLeaveTheQueueInOrder)
{
    std::vector<std::unique_ptr<StandInObject>> objects;
    for (int i = 0; i < 400; ++i)
        objects.emplace_back(new StandInObject(world.manager.get(), "o" + std::to_string(i), "StandIn"));
    for (auto& o : objects)
        world.partitions->addObjectToChangeLODQueue(o.get());
    for (auto& o : objects)
        world.partitions->addObjectToChangeLODQueue(o.get());
    ASSERT_EQ(world.partitions->getChangeLODObjectsCount(), 400u);
    // Every other object leaves; one of them comes back at the end.
    for (size_t i = 0; i < objects.size(); i += 2)
        world.partitions->removeObjectFromChangeLODQueue(objects[i].get());
    world.partitions->addObjectToChangeLODQueue(objects[0].get());
    ASSERT_EQ(world.partitions->getChangeLODObjectsCount(), 201u);

    events().clear();
    std::vector<StandInObject*> order;
    while (world.partitions->getChangeLODObjectsCount() > 0)
    {
        const size_t before = world.partitions->getChangeLODObjectsCount();
        world.partitions->loadNextChangeLODObjects();
        ASSERT_EQ(world.partitions->getChangeLODObjectsCount(), before - 1);
        for (auto& o : objects)
            if (o->loads == 1 && std::find(order.begin(), order.end(), o.get()) == order.end())
                order.push_back(o.get());
    }
    ASSERT_EQ(order.size(), 201u);
    for (size_t k = 0; k < 200; ++k)
        EXPECT_EQ(order[k], objects[2 * k + 1].get()) << k;
    EXPECT_EQ(order.back(), objects[0].get());
}
