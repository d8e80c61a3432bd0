// Streaming under a load-time budget, on generated grid worlds: a partition
// comes in piece by piece and counts as loaded only with its last object;
// one taken out while it comes in leaves nothing behind.
#include "CoreGameObject.h"
#include "CoreGameObjectManager.h"
#include "CorePartition.h"
#include "GeneratedMedia.h"
#include "GridPartitionManager.h"
#include "TestEngine.h"
#include "WorldGenerator.h"
#include "WorldHost.h"

#include <OgreCamera.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <gtest/gtest.h>

#include <set>

using Wren::Test::TestEngine;

namespace
{
    /** A generated 3 x 3 world of 256-unit cells whose load radius (300)
        takes in a cell and its edge neighbours, hosted as a game does. */
    struct BudgetWorld
    {
        BudgetWorld(int objectsPerCell, bool binary, float budget)
        {
            Wren::WorldGeneratorOptions options;
            options.cells = 3;
            options.objectsPerCell = objectsPerCell;
            options.seed = 5;
            options.loadRadius = 300.0f;
            options.binary = binary;
            const std::string folder = TestEngine::instance().makeTempFolder("budget") + "/W";
            result = Wren::WorldGenerator(options).generate(folder);
            EXPECT_TRUE(result.ok) << result.error;
            EXPECT_TRUE(host.start(Wren::Test::generatedWorldSettings(result.resourcesFile, binary)));
            partitions = host.getManager()->getPartitionManager();
            partitions->setLoadTimeBudget(budget);
            camera = host.getSceneManager()->getCamera("PlayerCam")->getParentSceneNode();
        }

        void moveTo(int i, int j)
        {
            camera->setPosition(result.grid.cellWorldPosition(i, j) + Ogre::Vector3(0, 30, 0));
        }

        bool busy() const
        {
            return partitions->getStreamingPartition() || !partitions->getLoadWaitList().empty() ||
                   !partitions->getUnloadWaitList().empty() ||
                   partitions->getChangeLODObjectsCount() > 0 ||
                   !partitions->getLodInFlight().empty();
        }

        /** Entities of the scene made for objects of these names. */
        size_t entitiesOf(const std::vector<std::string>& names) const
        {
            size_t found = 0;
            for (const auto& entry : host.getSceneManager()->getMovableObjects("Entity"))
                for (const std::string& name : names)
                    if (entry.first.compare(0, name.size() + 1, name + "_") == 0)
                        ++found;
            return found;
        }

        Wren::WorldGeneratorResult result;
        Wren::WorldHost host;
        Wren::CorePartitionManager* partitions = nullptr;
        Ogre::SceneNode* camera = nullptr;
    };

    std::vector<std::string> ids(const Wren::CorePartitionManager::PartitionList& list)
    {
        std::vector<std::string> out;
        for (Wren::CorePartition* p : list)
            out.push_back(p->getID());
        return out;
    }
}

// The camera settles over the middle cell, which brings in five cells. Under
// a budget so small that each step makes one object, every cell takes many
// steps, one cell at a time; no cell joins the loaded list before its last
// object is in, and they join in the order a whole-partition step loads them.
TEST(BudgetedStreaming, PartitionComesInPieceByPieceAndCountsAsLoadedOnlyWhenWhole)
{
    const size_t objects = 6;
    for (bool binary : {false, true})
    {
        SCOPED_TRACE(binary ? "binary" : "XML");
        std::vector<std::string> whole;
        for (float budget : {0.0f, 1e-6f})
        {
            BudgetWorld world(int(objects), binary, budget);
            world.moveTo(1, 1);
            std::set<std::string> streamedOverSeveralSteps;
            std::string streaming;
            for (int frame = 0; frame < 2000 && (frame < 3 || world.busy()); ++frame)
            {
                world.host.update(0.02f);
                for (Wren::CorePartition* p : world.partitions->GetLoadPartitions())
                {
                    ASSERT_TRUE(p->getLoaded());
                    ASSERT_EQ(p->getObjects().size(), objects) << p->getID();
                }
                Wren::CorePartition* s = world.partitions->getStreamingPartition();
                if (s)
                    EXPECT_FALSE(s->getLoaded());
                if (s && s->getID() == streaming)
                    streamedOverSeveralSteps.insert(streaming);
                streaming = s ? s->getID() : std::string();
            }
            EXPECT_FALSE(world.busy());
            if (budget == 0.0f)
            {
                whole = ids(world.partitions->GetLoadPartitions());
                EXPECT_TRUE(streamedOverSeveralSteps.empty());
                continue;
            }
            EXPECT_EQ(ids(world.partitions->GetLoadPartitions()), whole);
            EXPECT_EQ(streamedOverSeveralSteps.size(), 5u);
        }
    }
}

// The camera leaves cell 0_0 for 2_0, whose load begins; a few steps later it
// is back over 0_0, so that 2_0 is no longer kept. What the load made of 2_0
// goes: its objects, their nodes and entities, its own node, its queued
// level-of-detail changes. Later 2_0 comes in whole. A world stopped while a
// cell comes in leaves nothing behind either (AddressSanitizer).
TEST(BudgetedStreaming, PartitionTakenOutWhileComingInLeavesNothingBehind)
{
    BudgetWorld world(20, true, 1e-6f);
    Ogre::SceneManager* scene = world.host.getSceneManager();
    auto settle = [&] {
        for (int frame = 0; frame < 3000 && (frame < 3 || world.busy()); ++frame)
            world.host.update(0.02f);
        ASSERT_FALSE(world.busy());
    };
    world.moveTo(0, 0);
    settle();
    ASSERT_EQ(ids(world.partitions->GetLoadPartitions()),
              (std::vector<std::string>{"0_0", "0_1", "1_0"}));

    world.moveTo(2, 0);
    Wren::CorePartition* far = world.partitions->getPartition(std::string("2_0"));
    for (int frame = 0; frame < 200 && far->getObjects().size() < 8; ++frame)
        world.host.update(0.02f);
    ASSERT_EQ(world.partitions->getStreamingPartition(), far);
    ASSERT_GE(far->getObjects().size(), 8u);
    std::vector<std::string> made;
    for (Wren::CoreGameObject* o : far->getObjects())
        made.push_back(o->getName());
    EXPECT_GT(world.entitiesOf(made), 0u);

    world.moveTo(0, 0);
    settle();
    EXPECT_FALSE(far->getLoaded());
    EXPECT_TRUE(far->getObjects().empty());
    EXPECT_FALSE(scene->hasSceneNode("2_0"));
    for (const std::string& name : made)
    {
        EXPECT_EQ(world.partitions->getObjectByName(name), nullptr) << name;
        EXPECT_FALSE(scene->hasSceneNode(name + "2_0")) << name;
    }
    EXPECT_EQ(world.entitiesOf(made), 0u);
    EXPECT_EQ(ids(world.partitions->GetLoadPartitions()),
              (std::vector<std::string>{"0_0", "0_1", "1_0"}));

    world.moveTo(2, 0);
    settle();
    EXPECT_TRUE(far->getLoaded());
    EXPECT_EQ(far->getObjects().size(), 20u);

    world.moveTo(0, 2);
    for (int frame = 0; frame < 10; ++frame)
        world.host.update(0.02f);
    EXPECT_NE(world.partitions->getStreamingPartition(), nullptr);
}
