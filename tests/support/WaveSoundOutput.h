#ifndef __WrenWaveSoundOutput_H__
#define __WrenWaveSoundOutput_H__

#include <string>

namespace Wren
{
namespace Test
{
    /** Sends the process's OpenAL Soft output into a wave file instead of
        a sound card, so tests can check what was heard and never play
        aloud.

        instance() sets ALSOFT_CONF to a config file naming the "wave"
        driver and the file, and ALSOFT_DRIVERS to "wave"; OpenAL Soft reads
        them at its first call, so a test must ask for the instance before
        anything opens a sound device. The file fills in real time while a
        device is open and is complete once the device is closed. The
        device name "no such device" never opens, for tests of the silent
        fallback. */
    class WaveSoundOutput
    {
    public:
        static WaveSoundOutput& instance();

        static const char* const MISSING_DEVICE;

        /** What the last closed device wrote. */
        struct Samples
        {
            /** Seconds of output. */
            double seconds = 0;
            /** Largest sample magnitude, 0 to 1. */
            float peak = 0;
        };
        Samples read() const;

        const std::string& getPath() const { return mPath; }

        /** Writes a mono 16-bit WAV file of a sine at half loudness. */
        static void writeSine(const std::string& path, float seconds, float frequency = 440.0f,
                              int sampleRate = 22050);

    private:
        WaveSoundOutput();

        std::string mPath;
    };
}
}

#endif
