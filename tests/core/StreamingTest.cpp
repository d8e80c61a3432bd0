#include "CoreGameObjectTestWorld.h"

#include "FullSceneOperation.h"
#include "OgreFogLevelListener.h"
#include "OperationManager.h"

#include <gtest/gtest.h>

using namespace Wren;
using namespace Wren::Test;

namespace
{
    /** Cells of 100 units along x that keep their neighbours loaded and
        write every load and unload into a shared log. */
    class LoggedCell : public CorePartition
    {
    public:
        LoggedCell(const std::string& id, const Ogre::Vector3& origin, CorePartitionManager* m,
                   std::vector<std::string>* log)
            : CorePartition(id, origin, m), mLog(log)
        {
        }
        using CorePartition::loadBinary;
        PositionResult isPositionInPartition(const Ogre::Vector3& p) override
        {
            return std::abs(p.x - getWorldPosition().x) <= 50 ? POSITION_INSIDE : POSITION_OUTSIDE;
        }
        void enumerateConnectedPartitions(std::vector<CorePartition*>& out) override
        {
            for (CorePartition* p : *strip)
                if (std::abs(p->getWorldPosition().x - getWorldPosition().x) <= 100)
                    out.push_back(p);
        }
        bool loadBinary(const std::string& worldName) override
        {
            mLog->push_back("load " + getID());
            return CorePartition::loadBinary(worldName);
        }
        bool unload(bool flag) override
        {
            if (getLoaded())
                mLog->push_back("unload " + getID());
            return CorePartition::unload(flag);
        }
        std::vector<CorePartition*>* strip = nullptr;
        std::vector<std::string>* mLog;
    };

    class StreamingWorld : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            world.writeMetadata("rock.meta", "rock");
            world.writeWorld("st", "");
            world.makePartition = [this](const std::string& id, const Ogre::Vector3& origin,
                                         CorePartitionManager* m) {
                LoggedCell* p = new LoggedCell(id, origin, m, &log);
                p->strip = &strip;
                strip.push_back(p);
                return p;
            };
            ASSERT_TRUE(world.start("st", {{"a", Ogre::Vector3(0, 0, 0)},
                                           {"b", Ogre::Vector3(100, 0, 0)},
                                           {"c", Ogre::Vector3(200, 0, 0)},
                                           {"d", Ogre::Vector3(300, 0, 0)},
                                           {"e", Ogre::Vector3(400, 0, 0)}}));
            for (CorePartition* p : strip)
                p->unload(false);
            log.clear();
        }

        void moveCamera(float x)
        {
            world.cameraNode->setPosition(x, 0, 0);
            world.cameraNode->_update(true, false);
        }

        /** Steps until nothing waits; checks that no step does more than one
            load or unload. */
        void settle()
        {
            for (int i = 0; i < 40; ++i)
            {
                const size_t before = log.size();
                world.partitions->update(0.02f);
                EXPECT_LE(log.size(), before + 1);
                if (world.partitions->getLoadWaitList().empty() &&
                    world.partitions->getUnloadWaitList().empty())
                    return;
            }
            ADD_FAILURE() << "streaming did not settle";
        }

        // The log outlives the world, whose teardown unloads the cells.
        std::vector<CorePartition*> strip;
        std::vector<std::string> log;
        CoreTestWorld world;
    };

    typedef StreamingWorld CameraStreaming;
    typedef StreamingWorld FullScene;

    std::vector<std::string> ids(const CorePartitionManager::PartitionList& list)
    {
        std::vector<std::string> out;
        for (CorePartition* p : list)
            out.push_back(p->getID());
        return out;
    }
}

TEST_F(CameraStreaming, MovingCameraLoadsAndUnloadsInWaitListOrderOnePerStep)
{
    moveCamera(0);
    settle();
    EXPECT_EQ(log, (std::vector<std::string>{"load a", "load b"}));

    // Into c: loads of c and d come before the unload of a.
    moveCamera(200);
    settle();
    EXPECT_EQ(log, (std::vector<std::string>{"load a", "load b", "load c", "load d", "unload a"}));
    EXPECT_EQ(ids(world.partitions->GetLoadPartitions()),
              (std::vector<std::string>{"b", "c", "d"}));

    // Into e, and back to c after one step: b and c, queued for unloading,
    // are connected again and never unloaded; e goes.
    log.clear();
    moveCamera(400);
    world.partitions->update(0.02f);
    ASSERT_EQ(log, (std::vector<std::string>{"load e"}));
    moveCamera(200);
    settle();
    EXPECT_EQ(log, (std::vector<std::string>{"load e", "unload e"}));
    EXPECT_TRUE(strip[1]->getLoaded());
    EXPECT_TRUE(strip[2]->getLoaded());
}

TEST_F(CameraStreaming, DestroyedPartitionLeavesEveryListAndNoStepUsesIt)
{
    moveCamera(0);
    world.partitions->update(0.02f);
    CorePartition* a = world.partition("a");
    ASSERT_TRUE(world.partitions->destroyPartition(a));
    EXPECT_EQ(world.partitions->GetActivePartition(), nullptr);
    EXPECT_EQ(world.partitions->getPartition("a"), nullptr);
    for (CorePartition* p : world.partitions->getLoadWaitList())
        EXPECT_NE(p, a);
    for (CorePartition* p : world.partitions->GetLoadPartitions())
        EXPECT_NE(p, a);
    strip.erase(strip.begin());
    settle();
    EXPECT_TRUE(world.partition("b")->getLoaded());
}

TEST_F(CameraStreaming, FogLevelReportedThroughTheNotifierScalesTheTable)
{
    const LODDistanceInfo base;
    Ogre::FogLevelNotifier::notifyFogLevelChanged(0.5f);
    EXPECT_FLOAT_EQ(world.partitions->GetFogLevel(), 0.5f);
    EXPECT_FLOAT_EQ(world.partitions->getLODDistanceInfo().get(8), base.get(8) * 0.25f);
    Ogre::FogLevelNotifier::notifyFogLevelChanged(1.0f);
    EXPECT_FLOAT_EQ(world.partitions->getLODDistanceInfo().get(8), base.get(8));
}

TEST_F(FullScene, BulkEditIsUndoneAndRedoneLoadedOrNot)
{
    OperationManager history(10);
    moveCamera(0);
    settle();
    CorePartition* a = world.partition("a");
    world.create("rock.meta", Ogre::Vector3(1, 0, 0));
    history.addOperation(world.partitions->createOperation("before"));

    // The bulk edit: two more rocks.
    world.create("rock.meta", Ogre::Vector3(2, 0, 0));
    world.create("rock.meta", Ogre::Vector3(3, 0, 0));
    history.addOperation(world.partitions->createOperation("after"));
    ASSERT_EQ(a->getObjects().size(), 3u);

    history.undo();
    EXPECT_EQ(a->getObjects().size(), 1u);
    EXPECT_TRUE(a->isObjectDirty());
    history.redo();
    EXPECT_EQ(a->getObjects().size(), 3u);

    // Undone while a is streamed out: its next load, in binary form, uses
    // the snapshot.
    moveCamera(400);
    settle();
    ASSERT_FALSE(a->getLoaded());
    history.undo();
    moveCamera(0);
    settle();
    ASSERT_TRUE(a->getLoaded());
    EXPECT_EQ(a->getObjects().size(), 1u);
}
