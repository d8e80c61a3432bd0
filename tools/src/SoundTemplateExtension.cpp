#include "SoundTemplateExtension.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

namespace Wren
{
    const char* const SoundTemplateExtension::SoundFile = "SampleBrook.wav";

    SoundTemplateExtension::SoundTemplateExtension()
    {
        SoundMetadata::Values values;
        values.soundFileName = SoundFile;
        values.loop = true;
        values.intervalTime = 1.0f;
        metadata.setValues(values);
    }

    bool SoundTemplateExtension::writeFiles(const std::string& worldFolder,
                                            std::vector<std::string>& files,
                                            std::string& error) const
    {
        const std::string folder = makeFolder(worldFolder, WorldGenerator::MediaFolder, error);
        if (folder.empty())
            return false;
        const int rate = 22050;
        const float frequency = 330.0f;
        const float fade = 0.05f * rate;
        std::vector<short> samples(rate);
        for (size_t i = 0; i < samples.size(); ++i)
        {
            const float edge = std::min({1.0f, i / fade, (samples.size() - i) / fade});
            const float wave = std::sin(2.0f * float(M_PI) * frequency * i / rate);
            samples[i] = static_cast<short>(0.3f * edge * wave * 32767.0f);
        }

        // Written beside the target and renamed over it, so that a failed
        // write leaves what was there.
        const std::string path = folder + "/" + SoundFile;
        const std::string part = path + ".part";
        SF_INFO info = {};
        info.samplerate = rate;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* file = sf_open(part.c_str(), SFM_WRITE, &info);
        bool written = file && sf_write_short(file, samples.data(), sf_count_t(samples.size())) ==
                                   sf_count_t(samples.size());
        if (file)
            written = sf_close(file) == 0 && written;
        std::error_code ec;
        if (written)
            std::filesystem::rename(part, path, ec);
        if (!written || ec)
        {
            error = "can not write " + path;
            std::filesystem::remove(part, ec);
            return false;
        }
        files.push_back(path);
        return true;
    }
}
