#include "CollisionGameSystem.h"
#include "NullCollisionSystem.h"

#include <OgreBackgroundLoader.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <future>
#include <thread>
#include <vector>

using namespace Wren;

namespace
{
    /** A collision system without geometry that opens the registry to the
        tests. */
    class RegistryOnlySystem : public Wren::Test::NullCollisionSystem
    {
    public:
        using CollisionGameSystem::AddToRecoveryShapeList;
        using CollisionGameSystem::addCollisionShape;
        using CollisionGameSystem::getCollisionShape;
        using CollisionGameSystem::removeCollisionShape;

        CollisionShapePtr createCollisionShape(const std::string& name,
                                               const Ogre::Vector3&) override
        {
            CollisionShapePtr shape = getCollisionShape(name);
            if (!shape)
            {
                shape.reset(new CollisionShape);
                addCollisionShape(name, shape);
            }
            return shape;
        }
    };

    /** Counts its loads and unloads; its geometry can be made to fail. */
    class CountingShape : public CollisionShape
    {
    public:
        explicit CountingShape(bool succeeds = true) : mSucceeds(succeeds) {}
        std::atomic<int> loads{0};
        int unloads = 0;
        int postLoads = 0;

    protected:
        bool loadImpl() override
        {
            ++loads;
            return mSucceeds;
        }
        void unloadImpl() override { ++unloads; }
        void postLoadImpl() override { ++postLoads; }

    private:
        bool mSucceeds;
    };

    std::string report(CollisionGameSystem& system)
    {
        std::FILE* file = std::tmpfile();
        system.printResourceInfo(file);
        std::rewind(file);
        std::string text;
        char buffer[256];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
            text.append(buffer, n);
        std::fclose(file);
        return text;
    }
}

TEST(CollisionShapeCache, SameNameGivesTheSameShapeAndUnknownNameIsNull)
{
    RegistryOnlySystem system;
    CollisionShapePtr a = system.createCollisionShape("rock.mesh", Ogre::Vector3::UNIT_SCALE);
    CollisionShapePtr b = system.createCollisionShape("rock.mesh", Ogre::Vector3::UNIT_SCALE);
    EXPECT_EQ(a, b);
    EXPECT_EQ(system.getCollisionShapeCount(), 1u);
    EXPECT_FALSE(system.getCollisionShape("tree.mesh"));
}

TEST(CollisionShapeCache, RemovalByNameOrByShapeTakesTheEntryOnly)
{
    RegistryOnlySystem system;
    CollisionShapePtr a = system.createCollisionShape("a", Ogre::Vector3::UNIT_SCALE);
    CollisionShapePtr b = system.createCollisionShape("b", Ogre::Vector3::UNIT_SCALE);
    system.removeCollisionShape(std::string("a"));
    system.removeCollisionShape(std::string("absent"));
    EXPECT_FALSE(system.getCollisionShape("a"));
    system.removeCollisionShape(b);
    EXPECT_EQ(system.getCollisionShapeCount(), 0u);
    // The callers' handles are untouched.
    EXPECT_EQ(a.use_count(), 1);
    EXPECT_EQ(b.use_count(), 1);
}

TEST(CollisionShapeRecovery, WithRecoveryOffUpdateNeverChangesTheRegistry)
{
    RegistryOnlySystem system;
    system.setHoldMaxCount(0);
    system.setRecoveryTime(0.0f);
    system.createCollisionShape("a", Ogre::Vector3::UNIT_SCALE);
    for (int i = 0; i < 5; ++i)
        system.update(10.0f);
    EXPECT_EQ(system.getCollisionShapeCount(), 1u);
    EXPECT_TRUE(system.getRecoveryShapeList().empty());
}

TEST(CollisionShapeRecovery, ShapeAboveHoldCountStartsAPassThatReleasesOneUnusedShapePerFrame)
{
    RegistryOnlySystem system;
    system.setRecovery(true);
    system.setHoldMaxCount(2);
    system.setRecoveryTime(1.0f);
    system.createCollisionShape("first", Ogre::Vector3::UNIT_SCALE);
    CollisionShapePtr held = system.createCollisionShape("second", Ogre::Vector3::UNIT_SCALE);
    EXPECT_FALSE(system.isRecovering());
    system.createCollisionShape("third", Ogre::Vector3::UNIT_SCALE);
    EXPECT_TRUE(system.isRecovering());

    system.update(0.0f);
    EXPECT_FALSE(system.getCollisionShape("first"));
    EXPECT_TRUE(system.getCollisionShape("third"));
    system.update(0.0f); // "second" is held, "third" is not
    EXPECT_FALSE(system.getCollisionShape("third"));
    EXPECT_TRUE(system.isRecovering());
    system.update(0.0f); // nothing left to release: the pass ends
    EXPECT_FALSE(system.isRecovering());
    EXPECT_EQ(system.getCollisionShapeCount(), 1u);
    EXPECT_EQ(system.getCollisionShape("second"), held);
}

TEST(CollisionShapeRecovery, ShapesAllHeldByObjectsEndThePassOnItsFirstFrame)
{
    RegistryOnlySystem system;
    system.setRecovery(true);
    system.setHoldMaxCount(2);
    std::vector<CollisionShapePtr> objects;
    for (const char* name : {"a", "b", "c"})
        objects.push_back(system.createCollisionShape(name, Ogre::Vector3::UNIT_SCALE));
    ASSERT_TRUE(system.isRecovering());
    system.update(0.0f);
    EXPECT_FALSE(system.isRecovering());
    EXPECT_EQ(system.getCollisionShapeCount(), 3u);
}

TEST(CollisionShapeRecovery, CountIsCheckedOnlyAfterTheRecoveryTime)
{
    RegistryOnlySystem system;
    system.setRecovery(true);
    system.setHoldMaxCount(5);
    system.setRecoveryTime(1.0f);
    system.createCollisionShape("a", Ogre::Vector3::UNIT_SCALE);
    system.createCollisionShape("b", Ogre::Vector3::UNIT_SCALE);
    system.setHoldMaxCount(1); // now above the count, but no check is due
    system.update(0.5f);
    system.update(0.5f); // elapsed 1.0 is not greater than the recovery time
    EXPECT_FALSE(system.isRecovering());
    system.update(0.5f);
    EXPECT_TRUE(system.isRecovering());
    EXPECT_EQ(system.getCollisionShapeCount(), 2u); // the check releases nothing itself
}

TEST(CollisionShapeRecovery, NegativeHoldCountNeverStartsAPass)
{
    RegistryOnlySystem system;
    system.setRecovery(true);
    system.setHoldMaxCount(-1);
    system.createCollisionShape("a", Ogre::Vector3::UNIT_SCALE);
    system.update(5.0f);
    system.update(5.0f);
    EXPECT_FALSE(system.isRecovering());
    EXPECT_EQ(system.getCollisionShapeCount(), 1u);
}

TEST(CollisionShapeRecovery, ShapeAddedTwiceIsOneCandidate)
{
    RegistryOnlySystem system;
    system.setRecovery(true);
    system.setHoldMaxCount(10);
    CollisionShapePtr shape(new CollisionShape);
    system.addCollisionShape("x", shape);
    system.addCollisionShape("x", shape);
    EXPECT_EQ(system.getRecoveryShapeList().size(), 1u);
    EXPECT_TRUE(system.AddToRecoveryShapeList(shape));
    EXPECT_EQ(system.getRecoveryShapeList().size(), 1u);
}

TEST(CollisionShapeRecovery, ReplacedShapeKeptOnlyByItsCandidateEntryIsReleased)
{
    // Without this the replaced shape would stay a candidate for ever and
    // its memory would never come back.
    RegistryOnlySystem system;
    system.setRecovery(true);
    system.setHoldMaxCount(0);
    std::weak_ptr<CollisionShape> old;
    {
        CollisionShapePtr first(new CollisionShape);
        old = first;
        system.addCollisionShape("x", first);
        CollisionShapePtr second(new CollisionShape);
        system.addCollisionShape("x", second);
    }
    EXPECT_FALSE(old.expired());
    system.update(0.0f);
    EXPECT_TRUE(old.expired());
    EXPECT_EQ(system.getRecoveryShapeList().size(), 1u);
}

TEST(CollisionShapeCache, DestroyingTheSystemLeavesShapesHeldElsewhereAlive)
{
    CollisionShapePtr kept;
    {
        RegistryOnlySystem system;
        system.setRecovery(true);
        system.setHoldMaxCount(10);
        kept = system.createCollisionShape("a", Ogre::Vector3::UNIT_SCALE);
        EXPECT_EQ(kept.use_count(), 3);
    }
    EXPECT_EQ(kept.use_count(), 1);
}

TEST(CollisionShapeReport, ListsCandidatesAndEveryShapeWithItsUseCount)
{
    RegistryOnlySystem system;
    system.setRecovery(true);
    system.setHoldMaxCount(10);
    CollisionShapePtr held = system.createCollisionShape("b", Ogre::Vector3::UNIT_SCALE);
    system.createCollisionShape("a", Ogre::Vector3::UNIT_SCALE);
    const std::string text = report(system);
    const std::string expected =
        "there are 2 resources in the manager then, here is the list:\n"
        "\n\n\n\nresources loaded:" + std::string(62, '-') + "\n"
        "Name = a, size = 0, count = 2\n"
        "Name = b, size = 0, count = 3\n";
    EXPECT_EQ(text, expected);
    system.printResourceInfo(nullptr);
}

TEST(CollisionShapeReport, OverLongNameIsCutToTheLine)
{
    RegistryOnlySystem system;
    system.createCollisionShape(std::string(2000, 'n'), Ogre::Vector3::UNIT_SCALE);
    const std::string text = report(system);
    const size_t line = text.find("Name = ");
    ASSERT_NE(line, std::string::npos);
    EXPECT_EQ(text.size() - line, 511u);
}

TEST(CollisionShapeLoading, LoadsAtOnceAndOnlyOnce)
{
    CountingShape shape;
    EXPECT_EQ(shape.GetLoadingState(), Ogre::Resource::LOADSTATE_UNLOADED);
    shape.load(false);
    shape.load(false);
    EXPECT_EQ(shape.GetLoadingState(), Ogre::Resource::LOADSTATE_LOADED);
    EXPECT_EQ(shape.loads, 1);
    EXPECT_EQ(shape.postLoads, 1);
    shape.unload();
    EXPECT_EQ(shape.GetLoadingState(), Ogre::Resource::LOADSTATE_UNLOADED);
    EXPECT_EQ(shape.unloads, 1);
}

TEST(CollisionShapeLoading, FailedGeometryMarksTheShapeBadUntilUnloaded)
{
    CountingShape shape(false);
    shape.load(false);
    EXPECT_TRUE(shape.isBadResource());
    EXPECT_EQ(shape.GetLoadingState(), Ogre::Resource::LOADSTATE_UNLOADED);
    shape.load(false);
    EXPECT_EQ(shape.loads, 1); // a bad shape is not retried
    shape.unload();
    EXPECT_FALSE(shape.isBadResource());
    EXPECT_EQ(shape.unloads, 0); // it never held geometry
}

TEST(CollisionShapeLoading, BackgroundLoadRunsOnTheLoaderThreadAndCompletesWhenPolled)
{
    Ogre::BackgroundLoader loader;
    Ogre::SharedPtr<CountingShape> shape(new CountingShape());
    shape->load(true);
    loader.waitForAll();
    EXPECT_EQ(shape->loads, 1);
    EXPECT_EQ(shape->postLoads, 0); // finished on the frame thread only
    EXPECT_EQ(shape->GetLoadingState(), Ogre::Resource::LOADSTATE_LOADED);
    EXPECT_EQ(shape->postLoads, 1);

    // Only a shape its handles own can be held by the work: others load at once.
    CountingShape unshared;
    unshared.load(true);
    EXPECT_EQ(unshared.GetLoadingState(), Ogre::Resource::LOADSTATE_LOADED);
}

namespace
{
    /** A shape whose geometry is a member, read while it loads, that says
        on which thread it went. */
    class GeometryShape : public CollisionShape
    {
    public:
        GeometryShape(std::shared_future<void> go, std::promise<void>* started,
                      std::atomic<std::thread::id>* destroyedOn)
            : mGo(std::move(go)), mStarted(started), mDestroyedOn(destroyedOn), mCorners(64, 1.0f)
        {
        }
        ~GeometryShape() override
        {
            mCorners.clear();
            *mDestroyedOn = std::this_thread::get_id();
        }
        float sum = 0;

    protected:
        bool loadImpl() override
        {
            if (mStarted)
                mStarted->set_value();
            mGo.wait();
            for (float corner : mCorners)
                sum += corner;
            return true;
        }

    private:
        std::shared_future<void> mGo;
        std::promise<void>* mStarted;
        std::atomic<std::thread::id>* mDestroyedOn;
        std::vector<float> mCorners;
    };
}

// Run under the sanitizers: dropping a shape while its work is queued or
// running must neither free what the work reads nor call into a shape that
// is half destroyed.
TEST(CollisionShapeLoading, DroppingTheLastHandleWhileTheLoaderIsBusyDefersTheShapeToTheFrameThread)
{
    Ogre::BackgroundLoader loader;
    std::promise<void> go, started;
    std::shared_future<void> open = go.get_future().share();
    std::atomic<std::thread::id> runningGone{}, queuedGone{};

    CollisionShapePtr running(new GeometryShape(open, &started, &runningGone));
    CollisionShapePtr queued(new GeometryShape(open, nullptr, &queuedGone));
    running->load(true);
    queued->load(true);
    started.get_future().wait();
    running.reset();
    queued.reset();
    EXPECT_EQ(std::thread::id(), runningGone.load());
    EXPECT_EQ(std::thread::id(), queuedGone.load());

    go.set_value();
    loader.waitForAll();
    EXPECT_EQ(std::thread::id(), runningGone.load()) << "released by the frame thread only";
    loader.collect();
    EXPECT_EQ(std::this_thread::get_id(), runningGone.load());
    EXPECT_EQ(std::this_thread::get_id(), queuedGone.load());
}

TEST(CollisionShapeLoading, EscalatedLoadWaitsForTheBackgroundWork)
{
    Ogre::BackgroundLoader loader;
    CountingShape shape;
    shape.load(true);
    shape.escalatedload(false);
    EXPECT_EQ(shape.GetLoadingState(), Ogre::Resource::LOADSTATE_LOADED);
    EXPECT_EQ(shape.loads, 1);
}

TEST(CollisionShapeLoading, WithoutLoaderThreadABackgroundLoadHappensAtOnce)
{
    ASSERT_EQ(Ogre::BackgroundLoader::getSingletonPtr(), nullptr);
    CountingShape shape;
    shape.load(true);
    EXPECT_EQ(shape.GetLoadingState(), Ogre::Resource::LOADSTATE_LOADED);
}
