#include "ChimeExecutor.h"
#include "ChimeGroupParallelExecutor.h"
#include "SoundTest.h"

#include <OgreCamera.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <tuple>
#include <vector>

using namespace Wren::Test;

namespace
{
    typedef SoundTest ChimeSoundSystemTest;

    ChimeSoundSystem& sounds() { return ChimeSoundSystem::getSingleton(); }
}

TEST_F(ChimeSoundSystemTest, SoundNearTheListenerCameraIsHeardAndOneOutOfRangeIsNot)
{
    const std::string file = sine("tone.wav", 1.0f);
    Ogre::SceneManager* scene = TestEngine::instance().getSceneManager();
    Ogre::SceneNode* source = scene->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(100, 0, 0));
    Ogre::SceneNode* eye = scene->getRootSceneNode()->createChildSceneNode();
    Ogre::Camera* camera = scene->createCamera("Listener");
    eye->attachObject(camera);

    // The device mixes in real time, so the sound plays for a while of the
    // clock; the file is complete once the device is closed.
    auto listenFrom = [&](const Ogre::Vector3& position) {
        EXPECT_TRUE(sounds().open());
        eye->setPosition(position);
        sounds().updateListener(camera);
        EXPECT_EQ(position, sounds().getListenerPosition());
        {
            ChimeExecutor sound;
            sound.InitSoundName(file, 50.0f, false, false, false);
            sound.AttachSceneNode(source);
            sound.Play(true);
            auto last = std::chrono::steady_clock::now();
            const auto end = last + std::chrono::milliseconds(400);
            while (last < end)
            {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                const auto now = std::chrono::steady_clock::now();
                sound.Breathe(std::chrono::duration<float>(now - last).count());
                last = now;
            }
            EXPECT_TRUE(sound.IsPlay());
            EXPECT_TRUE(sound.isAudible());
        }
        EXPECT_TRUE(sounds().close());
        return WaveSoundOutput::instance().read();
    };

    const WaveSoundOutput::Samples near = listenFrom(Ogre::Vector3(95, 0, 0));
    EXPECT_GT(near.peak, 0.05f);
    const WaveSoundOutput::Samples far = listenFrom(Ogre::Vector3::ZERO);
    EXPECT_GT(far.seconds, 0.2) << "the device wrote its output";
    EXPECT_LT(far.peak, 1e-4f);
}

TEST_F(ChimeSoundSystemTest, WithoutADeviceRunsSilentWithTheSameTimingAndSaysSoOnce)
{
    const std::string file = sine("tone.wav", 0.5f);
    typedef std::tuple<bool, bool, float, bool> Step;
    // A looping sound with a gap, entering range at its start, for three passes.
    auto run = [&file]() {
        std::vector<Step> steps;
        ChimeGroupParallelExecutor group;
        ChimeExecutor* sound = new ChimeExecutor;
        sound->InitSoundName(file, -1.0f, false, true, false);
        group.AddChild(sound, 0.75f, -1.0f, false);
        group.Play(true);
        group.SetCurrentTime(0.75f);
        for (int i = 0; i < 40; ++i)
        {
            group.Breathe(0.125f);
            steps.emplace_back(group.IsPlay(), sound->IsPlay(), sound->GetCurrentTime(),
                               sound->isAudible());
        }
        return steps;
    };

    LogCapture log;
    openSilent();
    EXPECT_TRUE(sounds().isSilent());
    EXPECT_TRUE(sounds().getDeviceName().empty());
    std::vector<Step> silent = run();
    openSilent();
    sounds().setListener(Ogre::Vector3::UNIT_X, Ogre::Quaternion::IDENTITY);
    ASSERT_TRUE(sounds().close());
    EXPECT_EQ(1, std::count_if(log.lines().begin(), log.lines().end(), [](const std::string& line) {
                  return line.find("sounds play silently") != std::string::npos;
              }));
    EXPECT_TRUE(std::none_of(silent.begin(), silent.end(),
                             [](const Step& step) { return std::get<3>(step); }));

    ASSERT_TRUE(sounds().open());
    EXPECT_FALSE(sounds().isSilent());
    std::vector<Step> heard = run();
    EXPECT_TRUE(std::any_of(heard.begin(), heard.end(),
                            [](const Step& step) { return std::get<3>(step); }));
    ASSERT_EQ(silent.size(), heard.size());
    for (size_t i = 0; i < silent.size(); ++i)
    {
        EXPECT_EQ(std::get<0>(silent[i]), std::get<0>(heard[i])) << "step " << i;
        EXPECT_EQ(std::get<1>(silent[i]), std::get<1>(heard[i])) << "step " << i;
        EXPECT_EQ(std::get<2>(silent[i]), std::get<2>(heard[i])) << "step " << i;
    }
}

TEST_F(ChimeSoundSystemTest, SoundsAreSharedByFileNameWhileHeldOrKept)
{
    openSilent();
    WaveSoundOutput::writeSine(TestEngine::instance().getGeneralFolder() + "/shared.wav", 0.25f);
    TestEngine::instance().rescanResources();
    {
        ChimeExecutor first;
        ChimeExecutor second;
        first.InitSoundName("shared.wav", -1.0f, false, true, false);
        second.InitSoundName("shared.wav", -1.0f, false, true, false);
        EXPECT_TRUE(second.CreateSoundObject()) << "found in the resource groups";
        EXPECT_EQ(1u, sounds().getSoundCount());
        EXPECT_EQ(sounds().getSound("shared.wav"), sounds().getSound("shared.wav"));
        EXPECT_FLOAT_EQ(ChimeSoundSystem::DEFAULT_RANGE, first.getRange());
        EXPECT_FALSE(sounds().close()) << "executors still hold the sound";
    }
    EXPECT_EQ(0u, sounds().getSoundCount());

    {
        ChimeExecutor kept;
        kept.InitSoundName("shared.wav", -1.0f, false, true, true);
    }
    EXPECT_EQ(1u, sounds().getSoundCount()) << "a kept sound outlives its executors";
    EXPECT_TRUE(sounds().close());
    EXPECT_EQ(0u, sounds().getSoundCount());
}
