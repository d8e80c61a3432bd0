#include "TestEngine.h"
#include "WaveSoundOutput.h"

#include <gtest/gtest.h>

namespace
{
    /** Tears the process's engine down after the last test. */
    class EngineEnvironment : public ::testing::Environment
    {
    public:
        void TearDown() override { Wren::Test::TestEngine::shutdown(); }
    };
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
#ifdef WREN_TEST_RENDERED
    Wren::Test::TestEngine::configure(Wren::Test::TestEngine::Mode::Rendered);
#endif
    // Made up front, so that everything a test touches can log; listing the
    // tests (as CTest does to find them) needs no engine.
    // Sound goes into a file, so that no test plays aloud, whichever part
    // of the framework opens the device.
    if (!::testing::GTEST_FLAG(list_tests))
    {
        Wren::Test::TestEngine::instance();
        Wren::Test::WaveSoundOutput::instance();
    }
    ::testing::AddGlobalTestEnvironment(new EngineEnvironment);
    return RUN_ALL_TESTS();
}
