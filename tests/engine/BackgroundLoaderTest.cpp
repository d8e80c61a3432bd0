#include "OgreBackgroundLoader.h"
#include "TestEngine.h"

#include <OgreLogManager.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgreMeshSerializer.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <future>
#include <mutex>
#include <set>
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

namespace
{
    /** Remembers which threads logged. */
    class ThreadsThatLog : public Ogre::LogListener
    {
    public:
        ThreadsThatLog() { Ogre::LogManager::getSingleton().getDefaultLog()->addListener(this); }
        ~ThreadsThatLog() override
        {
            Ogre::LogManager::getSingleton().getDefaultLog()->removeListener(this);
        }
        void messageLogged(const Ogre::String&, Ogre::LogMessageLevel, bool, const Ogre::String&,
                           bool&) override
        {
            std::lock_guard<std::mutex> lock(mMutex);
            mThreads.insert(std::this_thread::get_id());
        }
        std::set<std::thread::id> threads()
        {
            std::lock_guard<std::mutex> lock(mMutex);
            return mThreads;
        }

    private:
        std::mutex mMutex;
        std::set<std::thread::id> mThreads;
    };
}

// Stock OGRE is built without locks: the loader thread may read a file but
// must not log or open resources while the frame thread does.
TEST(BackgroundLoader, ReadsStockMeshesOnItsThreadWhileTheFrameThreadLogsAndLoadsThemFromWhatWasRead)
{
    TestEngine& engine = TestEngine::instance();
    const int count = 8;
    {
        Ogre::MeshPtr made = Ogre::MeshManager::getSingleton().createPlane(
            "MadePlane", "General", Ogre::Plane(Ogre::Vector3::UNIT_Y, 0), 10, 10, 1, 1, true, 1, 1, 1,
            Ogre::Vector3::UNIT_Z);
        for (int i = 0; i < count; ++i)
            Ogre::MeshSerializer().exportMesh(made.get(), engine.getGeneralFolder() + "/plane" +
                                                              std::to_string(i) + ".mesh");
        Ogre::MeshManager::getSingleton().remove(made);
    }
    engine.rescanResources();

    ThreadsThatLog logged;
    BackgroundLoader loader;
    std::promise<void> gate;
    std::shared_future<void> open = gate.get_future().share();
    loader.submit([open] { open.wait(); });
    std::vector<Ogre::MeshPtr> meshes;
    std::vector<BackgroundLoader::TaskPtr> reads;
    for (int i = 0; i < count; ++i)
    {
        meshes.push_back(Ogre::static_pointer_cast<Ogre::Mesh>(
            Ogre::MeshManager::getSingleton()
                .createOrRetrieve("plane" + std::to_string(i) + ".mesh", "General")
                .first));
        reads.push_back(loader.prepare(meshes.back()));
    }
    EXPECT_EQ(reads[0], loader.prepare(meshes[0])) << "a read under way is not started again";
    gate.set_value();
    while (loader.getPendingCount() > 0)
        Ogre::LogManager::getSingleton().logMessage("the frame goes on");
    for (const auto& read : reads)
        EXPECT_TRUE(read->isFinished());

    // What the loader read is what the frame thread's load parses.
    std::remove((engine.getGeneralFolder() + "/plane0.mesh").c_str());
    for (const Ogre::MeshPtr& mesh : meshes)
    {
        mesh->load();
        EXPECT_TRUE(mesh->isLoaded());
        EXPECT_EQ(1u, mesh->getNumSubMeshes());
    }
    EXPECT_EQ(std::set<std::thread::id>{std::this_thread::get_id()}, logged.threads());
    loader.collect();
    for (const Ogre::MeshPtr& mesh : meshes)
        Ogre::MeshManager::getSingleton().remove(mesh);
}

TEST(BackgroundLoader, AMeshWhoseFileCanNotBeOpenedIsLeftForTheFrameThreadToReport)
{
    TestEngine::instance();
    BackgroundLoader loader;
    Ogre::MeshPtr mesh = Ogre::static_pointer_cast<Ogre::Mesh>(
        Ogre::MeshManager::getSingleton().createOrRetrieve("absent.mesh", "General").first);
    EXPECT_TRUE(loader.prepare(mesh)->isFinished());
    EXPECT_THROW(mesh->load(), Ogre::Exception);
    Ogre::MeshManager::getSingleton().remove(mesh);
}

TEST(BackgroundLoader, CompletionsAndHoldsAreSettledOnTheFrameThread)
{
    BackgroundLoader loader;
    std::promise<void> gate;
    std::shared_future<void> open = gate.get_future().share();
    std::thread::id completedOn;
    auto held = std::make_shared<int>(1);
    std::weak_ptr<int> watch = held;
    BackgroundLoader::TaskPtr task =
        loader.submit([open] { open.wait(); },
                      [&completedOn] { completedOn = std::this_thread::get_id(); }, std::move(held));
    EXPECT_FALSE(task->complete());
    gate.set_value();
    task->wait();
    EXPECT_FALSE(watch.expired()) << "held until the frame thread collects";
    EXPECT_TRUE(task->complete());
    EXPECT_EQ(std::this_thread::get_id(), completedOn);
    completedOn = std::thread::id();
    loader.collect();
    EXPECT_EQ(std::thread::id(), completedOn) << "a completion runs once";
    EXPECT_TRUE(watch.expired());
}
