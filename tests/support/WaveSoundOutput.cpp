#include "WaveSoundOutput.h"

#include "TestEngine.h"

#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace Wren
{
namespace Test
{
    const char* const WaveSoundOutput::MISSING_DEVICE = "no such device";

    WaveSoundOutput& WaveSoundOutput::instance()
    {
        static WaveSoundOutput output;
        return output;
    }

    WaveSoundOutput::WaveSoundOutput()
    {
        const std::string folder = TestEngine::instance().makeTempFolder("sound-output");
        mPath = folder + "/output.wav";
        const std::string config = TestEngine::writeFile(
            folder, "alsoft.conf",
            "[general]\ndrivers = wave\nchannels = stereo\nfrequency = 22050\nhrtf = false\n"
            "[wave]\nfile = " + mPath + "\n");
        setenv("ALSOFT_CONF", config.c_str(), 1);
        setenv("ALSOFT_DRIVERS", "wave", 1);
    }

    WaveSoundOutput::Samples WaveSoundOutput::read() const
    {
        SF_INFO info = {};
        SNDFILE* file = sf_open(mPath.c_str(), SFM_READ, &info);
        if (!file)
            throw std::runtime_error("WaveSoundOutput: can not read " + mPath + ": " +
                                     sf_strerror(nullptr));
        Samples samples;
        samples.seconds = info.samplerate > 0 ? double(info.frames) / info.samplerate : 0;
        std::vector<float> block(4096 * info.channels);
        sf_count_t count;
        while ((count = sf_read_float(file, block.data(), sf_count_t(block.size()))) > 0)
            for (sf_count_t i = 0; i < count; ++i)
                samples.peak = std::max(samples.peak, std::fabs(block[i]));
        sf_close(file);
        return samples;
    }

    void WaveSoundOutput::writeSine(const std::string& path, float seconds, float frequency,
                                    int sampleRate)
    {
        SF_INFO info = {};
        info.samplerate = sampleRate;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
        if (!file)
            throw std::runtime_error("WaveSoundOutput: can not write " + path);
        std::vector<float> samples(static_cast<size_t>(seconds * sampleRate));
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = 0.5f * std::sin(2.0f * float(M_PI) * frequency * i / sampleRate);
        sf_write_float(file, samples.data(), sf_count_t(samples.size()));
        sf_close(file);
    }
}
}
