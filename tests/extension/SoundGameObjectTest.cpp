#include "ObjectTypesTestWorld.h"
#include "SoundTest.h"

#include "ChimeExecutor.h"
#include "SoundGameObject.h"
#include "SoundMetadata.h"
#include "XMLDataFile.h"

#include <chrono>
#include <thread>

using namespace Wren;
using namespace Wren::Test;

namespace
{
    class SoundObjectTest : public SoundTest
    {
    protected:
        void SetUp() override
        {
            SoundTest::SetUp();
            mWorld.reset(new ObjectTypesWorld);
        }
        /** The objects let go of their sounds before the sound system
            closes. */
        void TearDown() override
        {
            mWorld.reset();
            SoundTest::TearDown();
        }

        /** Starts the world with the template "brook.meta" of that sound and
            makes one object of it at the origin, where the camera is. */
        SoundGameObject* placeSound(const std::string& file, bool loop, float interval)
        {
            world().writeTypeMeta("brook.meta", "SoundGameObject",
                                "<SoundMetaData SoundFileName=\"" + file + "\" Loop=\"" +
                                    (loop ? "true" : "false") + "\" IntervalTime=\"" +
                                    std::to_string(interval) + "\"/>");
            if (!world().startStreamed())
                return nullptr;
            return world().make<SoundGameObject>("brook.meta");
        }
        bool bring(SoundGameObject* sound, float cameraX, LevelOfDetail level)
        {
            world().moveCamera(cameraX);
            return world().stepUntil([sound, level] {
                return sound->getLevelOfDetail() == level && !sound->getQueuedForLODChange() &&
                       sound->getCurrentState() == STATE_SETTLED;
            });
        }

        std::unique_ptr<ObjectTypesWorld> mWorld;
        ObjectTypesWorld& world() { return *mWorld; }
    };
}

TEST(SoundTemplate, SavedTemplateKeepsItsSoundAndLoadsAgain)
{
    TestEngine::instance();
    SoundMetadata meta("brook.meta", nullptr);
    meta.setType("SoundGameObject");
    meta.setName("brook");
    SoundMetadata::Values values;
    values.soundFileName = "brook.wav";
    values.loop = true;
    values.intervalTime = 3.0f;
    values.beginTime = 0.5f;
    values.endTime = 4.0f;
    meta.setValues(values);
    XMLDataFile file;
    DataElementPtr root = file.createRootElement("MetaData");
    ASSERT_TRUE(meta.save(root));

    SoundMetadata again("brook.meta", nullptr);
    ASSERT_TRUE(again.load(root));
    EXPECT_EQ(again.getType(), "SoundGameObject");
    EXPECT_EQ(again.getName(), "brook");
    const SoundMetadata::Values& read = again.getValues();
    EXPECT_EQ(read.soundFileName, "brook.wav");
    EXPECT_TRUE(read.loop);
    EXPECT_FLOAT_EQ(read.intervalTime, 3.0f);
    EXPECT_FLOAT_EQ(read.beginTime, 0.5f);
    EXPECT_FLOAT_EQ(read.endTime, 4.0f);
}

TEST_F(SoundObjectTest, PlaysAudiblyWhileInRangeAndStopsWhenItLeaves)
{
    ASSERT_TRUE(ChimeSoundSystem::getSingleton().open());
    SoundGameObject* brook = placeSound(sine("brook.wav", 1.0f), true, 0.0f);
    ASSERT_NE(brook, nullptr);
    ASSERT_TRUE(bring(brook, 1, LOD_HIGH));
    ChimeExecutor* executor = brook->getExecutor();
    ASSERT_NE(executor, nullptr);
    EXPECT_TRUE(brook->isPlaying());
    EXPECT_EQ(executor->getSceneNode(), brook->getSceneNode());
    EXPECT_TRUE(executor->isAudible());

    // The device mixes in real time: let the sound play a while of the clock.
    auto last = std::chrono::steady_clock::now();
    const auto end = last + std::chrono::milliseconds(300);
    while (last < end)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const auto now = std::chrono::steady_clock::now();
        world().manager->update(std::chrono::duration<float>(now - last).count());
        ChimeSoundSystem::getSingleton().updateListener(world().camera);
        last = now;
    }
    EXPECT_TRUE(brook->isPlaying());

    ASSERT_TRUE(bring(brook, 100, LOD_BEYOND_HINT));
    EXPECT_FALSE(brook->isPlaying());
    EXPECT_EQ(executor->getSceneNode(), nullptr);
    EXPECT_EQ(ChimeSoundSystem::getSingleton().getVoiceCount(), 0u);
    EXPECT_EQ(world().manager->getUpdateListenerCount(brook), 0);

    mWorld.reset();
    ASSERT_TRUE(ChimeSoundSystem::getSingleton().close());
    EXPECT_GT(WaveSoundOutput::instance().read().peak, 0.05f);
}

TEST_F(SoundObjectTest, LoopWaitsOutItsIntervalButStartsThereWhenItComesIntoRange)
{
    openSilent();
    SoundGameObject* brook = placeSound(sine("brook.wav", 0.5f), true, 3.0f);
    ASSERT_NE(brook, nullptr);
    IGroupExecutor::ExecutorItem item;
    ASSERT_TRUE(brook->getExecutorGroup().GetItem(0, item));
    EXPECT_FLOAT_EQ(item.delay, 3.0f);
    EXPECT_EQ(item.executor.get(), brook->getExecutor());
    EXPECT_EQ(brook->getExecutor()->getSoundName(), mFolder + "/brook.wav");

    ASSERT_TRUE(bring(brook, 1, LOD_HIGH));
    EXPECT_TRUE(brook->getExecutor()->IsPlay()) << "heard at once";
    EXPECT_NEAR(brook->getExecutorGroup().GetCurrentTime(), 3.0f, 0.01f);
    world().manager->update(0.25f);
    const float playedTo = brook->getExecutor()->GetCurrentTime();
    EXPECT_NEAR(playedTo, 0.25f, 0.01f);

    // Asked again while it plays (the template was looked at again), it
    // is not started over.
    brook->changeLODLoadResources(true);
    brook->changeLODFinalize(true);
    EXPECT_FLOAT_EQ(brook->getExecutor()->GetCurrentTime(), playedTo);

    // An object without template plays nothing.
    SoundGameObject bare(world().manager.get(), "bare");
    EXPECT_EQ(bare.getExecutor(), nullptr);
    bare.setLevelOfDetail(LOD_HIGH, true);
    EXPECT_FALSE(bare.isPlaying());
    EXPECT_EQ(world().manager->getUpdateListenerCount(&bare), 0);
}

TEST_F(SoundObjectTest, EndedOneShotLeavesTheUpdatesAndComingBackRegistersItOnce)
{
    openSilent();
    SoundGameObject* chime = placeSound(sine("chime.wav", 0.25f), false, 0.0f);
    ASSERT_NE(chime, nullptr);
    ASSERT_TRUE(bring(chime, 1, LOD_HIGH));
    ASSERT_TRUE(chime->isPlaying());
    EXPECT_EQ(world().manager->getUpdateListenerCount(chime), 1);
    world().manager->update(0.5f);
    EXPECT_FALSE(chime->isPlaying());
    EXPECT_EQ(world().manager->getUpdateListenerCount(chime), 0);

    ASSERT_TRUE(bring(chime, 100, LOD_BEYOND_HINT));
    ASSERT_TRUE(bring(chime, 1, LOD_HIGH));
    EXPECT_TRUE(chime->isPlaying()) << "played again on coming back";
    EXPECT_EQ(world().manager->getUpdateListenerCount(chime), 1);
    world().manager->update(0.5f);
    EXPECT_EQ(world().manager->getUpdateListenerCount(chime), 0);
}

TEST_F(SoundObjectTest, DestroyStopsTheSoundAndLetsGoOfTheNodeBeforeTheNodeGoes)
{
    openSilent();
    SoundGameObject* brook = placeSound(sine("brook.wav", 1.0f), true, 0.0f);
    ASSERT_NE(brook, nullptr);
    ASSERT_TRUE(bring(brook, 1, LOD_HIGH));
    ASSERT_TRUE(brook->isPlaying());
    brook->destroy(true, false);
    EXPECT_FALSE(brook->isPlaying());
    EXPECT_EQ(brook->getExecutor()->getSceneNode(), nullptr);
    delete brook;
}
