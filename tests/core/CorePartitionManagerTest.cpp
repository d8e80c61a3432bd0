#include "CoreGameObjectTestWorld.h"

#include <gtest/gtest.h>

using namespace Wren;
using namespace Wren::Test;

namespace
{
    /** A partition with a fixed answer to "is this position yours". */
    class ClaimingPartition : public CorePartition
    {
    public:
        ClaimingPartition(const std::string& id, const Ogre::Vector3& origin,
                          CorePartitionManager* m, PositionResult answer)
            : CorePartition(id, origin, m), mAnswer(answer)
        {
        }
        PositionResult isPositionInPartition(const Ogre::Vector3&) override { return mAnswer; }
        PositionResult mAnswer;
    };

    /** Cells of 100 units along x that keep their two neighbours loaded. */
    class StripPartition : public CorePartition
    {
    public:
        using CorePartition::CorePartition;
        PositionResult isPositionInPartition(const Ogre::Vector3& p) override
        {
            return std::abs(p.x - getWorldPosition().x) <= 50 ? POSITION_INSIDE : POSITION_OUTSIDE;
        }
        void enumerateConnectedPartitions(std::vector<CorePartition*>& out) override
        {
            for (CorePartition* p : strip)
                if (std::abs(p->getWorldPosition().x - getWorldPosition().x) <= reach)
                    out.push_back(p);
        }
        std::vector<CorePartition*> strip;
        float reach = 100;
    };

    class Partitions : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            world.writeMetadata("rock.meta", "rock");
            world.writeWorld("pm", "");
        }

        /** Partitions p0, p1, ... that claim with the given answers, replacing
            earlier ones of those IDs. */
        void claim(const std::vector<CorePartition::PositionResult>& answers)
        {
            for (size_t i = 0; i < answers.size(); ++i)
                world.partitions->addPartition(new ClaimingPartition(
                    "p" + std::to_string(i), Ogre::Vector3(float(i) * 10, 0, 0), world.partitions,
                    answers[i]));
        }

        CoreTestWorld world;
    };

    typedef Partitions PartitionLookup;
    typedef Partitions LevelOfDetailQueue;
    typedef Partitions Streaming;
    typedef Partitions DistanceTables;

    CorePartition::PositionResult inside = CorePartition::POSITION_INSIDE;
    CorePartition::PositionResult preferred = CorePartition::POSITION_PREFERRED;
    CorePartition::PositionResult outside = CorePartition::POSITION_OUTSIDE;
}

TEST_F(PartitionLookup, PreferredClaimWinsAndAmongEqualsTheLastInIdOrder)
{
    ASSERT_TRUE(world.start("pm", {}));
    claim({inside, inside, outside});
    EXPECT_EQ(world.partitions->getPartition(Ogre::Vector3::ZERO, false)->getID(), "p1");
    claim({preferred, inside, preferred, inside});
    EXPECT_EQ(world.partitions->getPartition(Ogre::Vector3::ZERO, false)->getID(), "p2");
}

TEST_F(PartitionLookup, NearestOriginOnlyWhenAskedFor)
{
    ASSERT_TRUE(world.start("pm", {}));
    claim({outside, outside, outside});
    EXPECT_EQ(world.partitions->getPartition(Ogre::Vector3(12, 0, 0), false), nullptr);
    EXPECT_EQ(world.partitions->getPartition(Ogre::Vector3(12, 0, 0), true)->getID(), "p1");
    // A tie keeps the earlier.
    EXPECT_EQ(world.partitions->getPartition(Ogre::Vector3(5, 0, 0), true)->getID(), "p0");
    EXPECT_EQ(world.partitions->getPartition("p2")->getID(), "p2");
    EXPECT_EQ(world.partitions->getPartition("p9"), nullptr);
}

TEST_F(PartitionLookup, NearbyObjectsComeFromLoadedPartitionsCloserThan300)
{
    std::vector<CorePartition*> strip;
    world.makePartition = [&strip](const std::string& id, const Ogre::Vector3& origin,
                                   CorePartitionManager* m) {
        StripPartition* p = new StripPartition(id, origin, m);
        p->reach = 300;
        strip.push_back(p);
        return p;
    };
    ASSERT_TRUE(world.start("pm", {{"a", Ogre::Vector3(0, 0, 0)}, {"b", Ogre::Vector3(300, 0, 0)}}));
    for (CorePartition* p : strip)
    {
        static_cast<StripPartition*>(p)->strip = strip;
        p->unload(false);
    }
    world.partitions->initLoadAllPartition();
    ASSERT_EQ(world.partitions->GetLoadPartitions().size(), 2u);
    world.create("rock.meta", Ogre::Vector3(1, 0, 0));
    world.create("rock.meta", Ogre::Vector3(301, 0, 0));
    std::vector<CoreGameObject*> near;
    world.manager->enumerateNearbyPartitionObjects(Ogre::Vector3::ZERO, near, false);
    EXPECT_EQ(near.size(), 1u);
}

TEST_F(LevelOfDetailQueue, BudgetIsOneChangePerStepOrFive)
{
    ASSERT_TRUE(world.start("pm"));
    std::vector<StandInObject*> objects;
    for (int i = 0; i < 7; ++i)
    {
        objects.push_back(world.create("rock.meta"));
        objects.back()->stateAfterLoad = STATE_RESOURCES_LOADING;
    }
    ASSERT_EQ(world.partitions->getChangeLODObjectsCount(), 7u);
    world.partitions->update(0.02f);
    EXPECT_EQ(world.partitions->getLodInFlight().size(), 1u);
    EXPECT_EQ(world.partitions->getChangeLODObjectsCount(), 6u);
    // Started, then (still loading) asked again in the same step and the next.
    EXPECT_EQ(objects[0]->loads, 2);
    world.partitions->update(0.02f);
    EXPECT_EQ(objects[0]->loads, 3);
    EXPECT_EQ(world.partitions->getLodInFlight().size(), 1u);

    world.partitions->SetLoadingSinglebjectPerFrame(false);
    world.partitions->update(0.02f);
    EXPECT_EQ(world.partitions->getLodInFlight().size(), 5u);

    // Ready resources are finalised; settled objects leave the flight.
    objects[0]->setCurrentState(STATE_RESOURCES_READY);
    objects[1]->setCurrentState(STATE_FADING);
    world.partitions->update(0.02f);
    EXPECT_EQ(objects[0]->finalizes, 1);
    EXPECT_EQ(world.partitions->getLodInFlight().size(), 4u);
    world.partitions->update(0.02f);
    world.partitions->update(0.02f);
    EXPECT_EQ(world.partitions->getChangeLODObjectsCount(), 0u);

    // A destroyed object leaves both lists.
    objects[2]->destroy(true, false);
    delete objects[2];
    for (CoreGameObject* o : world.partitions->getLodInFlight())
        EXPECT_NE(o, objects[2]);
}

TEST_F(Streaming, StepWaitsForTheIntervalAndIsSuspendedWhileLoading)
{
    ASSERT_TRUE(world.start("pm"));
    world.create("rock.meta");
    world.partitions->update(0.015f);
    EXPECT_EQ(world.partitions->getChangeLODObjectsCount(), 1u);
    world.partitions->beginLoading();
    world.partitions->update(1.0f);
    EXPECT_EQ(world.partitions->getChangeLODObjectsCount(), 1u);
    world.partitions->endLoading();
    world.partitions->update(0.005f);
    EXPECT_EQ(world.partitions->getChangeLODObjectsCount(), 0u);
    // Nothing pending: the next step may come at practically every frame.
    EXPECT_FLOAT_EQ(world.partitions->getUpdateInterval(), 0.00001f);
}

TEST_F(Streaming, CameraInANewCellLoadsItsNeighboursAndUnloadsTheRestOnePerStep)
{
    std::vector<CorePartition*> strip;
    world.makePartition = [&strip](const std::string& id, const Ogre::Vector3& origin,
                                   CorePartitionManager* m) {
        StripPartition* p = new StripPartition(id, origin, m);
        strip.push_back(p);
        return p;
    };
    ASSERT_TRUE(world.start("pm", {{"a", Ogre::Vector3(0, 0, 0)},
                                   {"b", Ogre::Vector3(100, 0, 0)},
                                   {"c", Ogre::Vector3(200, 0, 0)},
                                   {"d", Ogre::Vector3(300, 0, 0)}}));
    for (CorePartition* p : strip)
    {
        static_cast<StripPartition*>(p)->strip = strip;
        p->unload(false);
    }
    world.partitions->update(0.02f);
    EXPECT_EQ(world.partitions->GetActivePartition()->getID(), "a");
    // Loads take a step each (the prefetch answers at once without files).
    for (int i = 0; i < 4; ++i)
        world.partitions->update(0.02f);
    EXPECT_TRUE(strip[0]->getLoaded());
    EXPECT_TRUE(strip[1]->getLoaded());
    EXPECT_FALSE(strip[2]->getLoaded());

    world.cameraNode->setPosition(300, 0, 0);
    world.cameraNode->_update(true, false);
    for (int i = 0; i < 8; ++i)
        world.partitions->update(0.02f);
    EXPECT_EQ(world.partitions->GetActivePartition()->getID(), "d");
    EXPECT_FALSE(strip[0]->getLoaded());
    EXPECT_FALSE(strip[1]->getLoaded());
    EXPECT_TRUE(strip[2]->getLoaded());
    EXPECT_TRUE(strip[3]->getLoaded());
    EXPECT_EQ(world.partitions->GetLoadPartitions().size(), 2u);
}

TEST_F(DistanceTables, ViewRangeAndFogScaleTheirOwnCopies)
{
    ASSERT_TRUE(world.start("pm"));
    world.partitions->SetViewRangeScale(2.0f);
    const LODDistanceInfo base;
    EXPECT_FLOAT_EQ(world.partitions->GetScaledLODDistanceInfo().get(3), base.get(3) * 4);
    EXPECT_FLOAT_EQ(world.partitions->getLODDistanceInfo().get(3), base.get(3));
    world.partitions->_notifyFogLevelChanged(0.5f);
    EXPECT_FLOAT_EQ(world.partitions->getLODDistanceInfo().get(3), base.get(3) * 0.25f);
    EXPECT_FLOAT_EQ(world.partitions->GetFogLevel(), 0.5f);

    // The partitions use the fog table: a Medium object 8 units away is far.
    StandInObject* obj = world.create("rock.meta", Ogre::Vector3(8, 0, 0));
    EXPECT_EQ(obj->getLevelOfDetail(), LOD_LOW);
}
