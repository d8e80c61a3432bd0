#include "OgreBackgroundLoader.h"
#include "TestEngine.h"

#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgreMeshSerializer.h>

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>
#include <vector>

using Ogre::BackgroundLoader;
using Wren::Test::TestEngine;

TEST(BackgroundLoader, RunsTasksInSubmissionOrderOffTheCallingThread)
{
    BackgroundLoader loader;
    EXPECT_EQ(&loader, BackgroundLoader::getSingletonPtr());
    std::vector<int> order;
    std::thread::id caller = std::this_thread::get_id();
    std::atomic<bool> elsewhere(true);
    std::vector<BackgroundLoader::TaskPtr> tasks;
    for (int i = 0; i < 20; ++i)
        tasks.push_back(loader.submit([&order, &elsewhere, caller, i] {
            if (std::this_thread::get_id() == caller)
                elsewhere = false;
            order.push_back(i);
        }));
    tasks.back()->wait();
    for (const auto& task : tasks)
        EXPECT_TRUE(task->isFinished());
    EXPECT_TRUE(elsewhere);
    ASSERT_EQ(20u, order.size());
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(i, order[i]);
    EXPECT_EQ(0u, loader.getPendingCount());
}

TEST(BackgroundLoader, DestructionRunsWhatIsStillQueued)
{
    std::atomic<int> ran(0);
    BackgroundLoader::TaskPtr last;
    {
        BackgroundLoader loader;
        std::promise<void> gate;
        std::shared_future<void> open = gate.get_future().share();
        loader.submit([open] { open.wait(); });
        for (int i = 0; i < 5; ++i)
            last = loader.submit([&ran] { ++ran; });
        EXPECT_EQ(6u, loader.getPendingCount());
        gate.set_value();
    }
    EXPECT_EQ(5, ran.load());
    EXPECT_TRUE(last->isFinished());
    EXPECT_EQ(nullptr, BackgroundLoader::getSingletonPtr());
}

TEST(BackgroundLoader, AThrowingTaskDoesNotStopTheThread)
{
    BackgroundLoader loader;
    auto bad = loader.submit([] { throw std::runtime_error("boom"); });
    std::atomic<bool> ran(false);
    auto good = loader.submit([&ran] { ran = true; });
    good->wait();
    EXPECT_TRUE(bad->isFinished());
    EXPECT_TRUE(ran);
}

TEST(BackgroundLoader, PreparesAStockMeshInTheBackgroundForTheFrameThreadToFinish)
{
    TestEngine& engine = TestEngine::instance();
    {
        Ogre::MeshPtr made = Ogre::MeshManager::getSingleton().createPlane(
            "MadePlane", "General", Ogre::Plane(Ogre::Vector3::UNIT_Y, 0), 10, 10, 1, 1, true, 1, 1, 1,
            Ogre::Vector3::UNIT_Z);
        Ogre::MeshSerializer().exportMesh(made.get(), engine.getGeneralFolder() + "/plane.mesh");
        Ogre::MeshManager::getSingleton().remove(made);
    }
    engine.rescanResources();

    BackgroundLoader loader;
    Ogre::MeshPtr mesh = Ogre::static_pointer_cast<Ogre::Mesh>(
        Ogre::MeshManager::getSingleton().createOrRetrieve("plane.mesh", "General").first);
    BackgroundLoader::TaskPtr task = loader.prepare(mesh);
    ASSERT_TRUE(task);
    task->wait();
    EXPECT_TRUE(mesh->isPrepared());
    mesh->load();
    EXPECT_TRUE(mesh->isLoaded());
    EXPECT_EQ(1u, mesh->getNumSubMeshes());
    loader.collect();
    Ogre::MeshManager::getSingleton().remove(mesh);
}

TEST(BackgroundLoader, APrepareThatFailsLeavesTheResourceForTheFrameThreadToReport)
{
    TestEngine::instance();
    BackgroundLoader loader;
    Ogre::MeshPtr mesh = Ogre::static_pointer_cast<Ogre::Mesh>(
        Ogre::MeshManager::getSingleton().createOrRetrieve("absent.mesh", "General").first);
    loader.prepare(mesh)->wait();
    EXPECT_FALSE(mesh->isPrepared());
    EXPECT_THROW(mesh->load(), Ogre::Exception);
    Ogre::MeshManager::getSingleton().remove(mesh);
}
