#ifndef __WrenSoundTest_H__
#define __WrenSoundTest_H__

#include "ChimeSoundSystem.h"
#include "TestEngine.h"
#include "WaveSoundOutput.h"

#include <gtest/gtest.h>

#include <string>

namespace Wren
{
namespace Test
{
    /** Sound tests start with the output routed into the wave file and the
        sound system closed, and end with it closed again (which also
        checks that no executor kept a sound or a voice). */
    class SoundTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            WaveSoundOutput::instance();
            ChimeSoundSystem::getSingleton().close();
            mFolder = TestEngine::instance().makeTempFolder("sounds");
        }

        void TearDown() override
        {
            EXPECT_TRUE(ChimeSoundSystem::getSingleton().close());
            TestEngine::instance().clearScene();
        }

        /** A sine file of the given length in the test's folder. */
        std::string sine(const std::string& name, float seconds)
        {
            const std::string path = mFolder + "/" + name;
            WaveSoundOutput::writeSine(path, seconds);
            return path;
        }

        /** Runs silent, as without any sound device. */
        static void openSilent()
        {
            ASSERT_FALSE(ChimeSoundSystem::getSingleton().open(WaveSoundOutput::MISSING_DEVICE));
        }

        std::string mFolder;
    };
}
}

#endif
