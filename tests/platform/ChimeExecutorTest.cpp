#include "ChimeExecutor.h"
#include "ChimeGroupParallelExecutor.h"
#include "SoundTest.h"

#include <algorithm>
#include <memory>

using namespace Wren::Test;

namespace
{
    class ChimeExecutorTest : public SoundTest
    {
    protected:
        void SetUp() override
        {
            SoundTest::SetUp();
            openSilent();
            mHalfSecond = sine("half.wav", 0.5f);
        }

        /** A new executor of a sine file that lasts half a second. */
        ChimeExecutor* halfSecond() const
        {
            ChimeExecutor* executor = new ChimeExecutor;
            executor->InitSoundName(mHalfSecond, -1.0f, false, false, false);
            return executor;
        }

        std::string mHalfSecond;
    };
}

TEST_F(ChimeExecutorTest, GroupOwnsItsChildrenAndHandsThemOutByIndex)
{
    std::weak_ptr<IExecutor> cleared;
    std::weak_ptr<IExecutor> remaining;
    {
        ChimeGroupParallelExecutor group;
        ChimeExecutor* first = halfSecond();
        EXPECT_TRUE(group.AddChild(first, 3.0f, -1.0f, false));
        EXPECT_FALSE(group.AddChild(first, 0.0f, -1.0f, false));
        EXPECT_FALSE(group.AddChild(nullptr, 0.0f, -1.0f, false));
        EXPECT_FALSE(group.AddChild(&group, 0.0f, -1.0f, false));
        EXPECT_TRUE(group.AddChild(halfSecond(), -2.0f, 1.0f, true));
        ASSERT_EQ(2u, group.getSize());

        IGroupExecutor::ExecutorItem item;
        ASSERT_TRUE(group.GetItem(0, item));
        EXPECT_EQ(first, item.executor.get());
        EXPECT_FLOAT_EQ(3.0f, item.delay);
        ASSERT_TRUE(group.GetItem(1, item));
        EXPECT_FLOAT_EQ(0.0f, item.delay) << "a negative delay counts as none";
        EXPECT_FLOAT_EQ(1.0f, item.duration);
        EXPECT_TRUE(item.loop);
        EXPECT_FALSE(group.GetItem(2, item));
        cleared = item.executor;
        item = IGroupExecutor::ExecutorItem();

        group.Play(true);
        ASSERT_TRUE(group.IsPlay());
        group.ClearAll();
        EXPECT_FALSE(group.IsPlay());
        EXPECT_EQ(0u, group.getSize());
        EXPECT_TRUE(cleared.expired());

        group.Play(false);
        EXPECT_FALSE(group.IsPlay()) << "an empty group has nothing to play";
        ASSERT_TRUE(group.AddChild(halfSecond(), 0.0f, -1.0f, false));
        ASSERT_TRUE(group.GetItem(0, item));
        remaining = item.executor;
        item = IGroupExecutor::ExecutorItem();
    }
    EXPECT_TRUE(remaining.expired());
}

TEST_F(ChimeExecutorTest, LoopingGroupRepeatsItsSoundAfterTheDelayAndJumpsInTime)
{
    ChimeGroupParallelExecutor group;
    ChimeExecutor* sound = halfSecond();
    ASSERT_TRUE(group.AddChild(sound, 3.0f, -1.0f, false));
    EXPECT_FLOAT_EQ(3.5f, group.GetLength());

    group.Play(true);
    EXPECT_TRUE(group.IsPlay());
    EXPECT_FALSE(sound->IsPlay()) << "the sound waits for its delay";
    group.SetCurrentTime(3.0f);
    EXPECT_TRUE(sound->IsPlay()) << "coming into range at the delay starts the sound at once";
    EXPECT_FLOAT_EQ(0.0f, sound->GetCurrentTime());

    group.Breathe(0.25f);
    EXPECT_FLOAT_EQ(0.25f, sound->GetCurrentTime());
    group.Breathe(0.5f);
    EXPECT_TRUE(group.IsPlay());
    EXPECT_FALSE(sound->IsPlay()) << "the pass ended and the next begins with the delay";
    EXPECT_FLOAT_EQ(0.25f, group.GetCurrentTime());
    group.Breathe(2.5f);
    EXPECT_FALSE(sound->IsPlay());
    group.Breathe(0.5f);
    ASSERT_TRUE(sound->IsPlay());
    EXPECT_FLOAT_EQ(0.25f, sound->GetCurrentTime());
    group.SetCurrentTime(3.125f);
    EXPECT_TRUE(sound->IsPlay());
    EXPECT_FLOAT_EQ(0.125f, sound->GetCurrentTime()) << "a playing sound moves, not restarts";

    group.PlayOver();
    group.Breathe(0.25f);
    EXPECT_TRUE(group.IsPlay()) << "played over, the pass still runs to its end";
    group.Breathe(0.25f);
    EXPECT_FALSE(group.IsPlay());
    EXPECT_FALSE(sound->IsPlay());

    group.Play(true);
    group.SetCurrentTime(3.0f);
    group.Stop();
    EXPECT_FALSE(group.IsPlay());
    EXPECT_FALSE(sound->IsPlay());
    EXPECT_FLOAT_EQ(0.0f, group.GetCurrentTime());

    // A short sound looped for a set time inside a one-shot group.
    ChimeGroupParallelExecutor filled;
    ChimeExecutor* loop = halfSecond();
    ASSERT_TRUE(filled.AddChild(loop, 0.0f, 1.25f, true));
    filled.Play(false);
    filled.Breathe(1.125f);
    EXPECT_TRUE(loop->IsPlay());
    EXPECT_FLOAT_EQ(0.125f, loop->GetCurrentTime());
    filled.Breathe(0.25f);
    EXPECT_FALSE(loop->IsPlay());
    EXPECT_FALSE(filled.IsPlay());
}

TEST_F(ChimeExecutorTest, OneShotSoundEndsByItselfAndPlayOverLetsALoopFinish)
{
    std::unique_ptr<ChimeExecutor> sound(halfSecond());
    EXPECT_FLOAT_EQ(0.5f, sound->GetLength());
    sound->Play(false);
    sound->Breathe(0.25f);
    EXPECT_TRUE(sound->IsPlay());
    sound->Breathe(0.25f);
    EXPECT_FALSE(sound->IsPlay());
    EXPECT_FLOAT_EQ(0.0f, sound->GetCurrentTime());

    sound->Play(false);
    sound->SetCurrentTime(0.75f);
    EXPECT_FALSE(sound->IsPlay()) << "moved past its end, a one-shot sound ends";

    sound->Play(true);
    sound->Breathe(0.375f);
    sound->Breathe(0.25f);
    EXPECT_TRUE(sound->IsPlay());
    EXPECT_FLOAT_EQ(0.125f, sound->GetCurrentTime());
    sound->SetCurrentTime(1.25f);
    EXPECT_FLOAT_EQ(0.25f, sound->GetCurrentTime()) << "a looping sound wraps";
    sound->PlayOver();
    sound->Breathe(0.125f);
    EXPECT_TRUE(sound->IsPlay());
    sound->Breathe(0.125f);
    EXPECT_FALSE(sound->IsPlay());

    LogCapture log;
    ChimeExecutor missing;
    missing.InitSoundName(mFolder + "/missing.wav", -1.0f, false, false, false);
    missing.Play(false);
    EXPECT_FALSE(missing.IsPlay());
    EXPECT_FALSE(missing.CreateSoundObject());
    EXPECT_FLOAT_EQ(0.0f, missing.GetLength());
    EXPECT_EQ(1, std::count_if(log.lines().begin(), log.lines().end(), [](const std::string& line) {
                  return line.find("can not find sound file") != std::string::npos;
              }));
}
