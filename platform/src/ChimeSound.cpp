#include "ChimeSound.h"

#include <OgreDataStream.h>
#include <OgreResourceGroupManager.h>

#include <AL/al.h>
#include <sndfile.h>

#include <fstream>
#include <vector>

namespace
{
    /** libsndfile reads through an engine data stream, so that sounds come
        from the resource groups' archives like every other resource. */
    sf_count_t streamLength(void* user)
    {
        return static_cast<sf_count_t>(static_cast<Ogre::DataStream*>(user)->size());
    }

    sf_count_t streamSeek(sf_count_t offset, int whence, void* user)
    {
        Ogre::DataStream* stream = static_cast<Ogre::DataStream*>(user);
        if (whence == SEEK_CUR)
            offset += static_cast<sf_count_t>(stream->tell());
        else if (whence == SEEK_END)
            offset += static_cast<sf_count_t>(stream->size());
        if (offset < 0)
            return -1;
        stream->seek(static_cast<size_t>(offset));
        return static_cast<sf_count_t>(stream->tell());
    }

    sf_count_t streamRead(void* buffer, sf_count_t count, void* user)
    {
        return static_cast<sf_count_t>(
            static_cast<Ogre::DataStream*>(user)->read(buffer, static_cast<size_t>(count)));
    }

    sf_count_t streamWrite(const void*, sf_count_t, void*) { return 0; }

    sf_count_t streamTell(void* user)
    {
        return static_cast<sf_count_t>(static_cast<Ogre::DataStream*>(user)->tell());
    }

    Ogre::DataStreamPtr openFile(const std::string& name)
    {
        Ogre::ResourceGroupManager* groups = Ogre::ResourceGroupManager::getSingletonPtr();
        if (groups && groups->resourceExistsInAnyGroup(name))
            return groups->openResource(name, Ogre::RGN_AUTODETECT, nullptr, false);
        std::unique_ptr<std::ifstream> file(new std::ifstream(name, std::ios::binary));
        if (!*file)
            return Ogre::DataStreamPtr();
        return std::make_shared<Ogre::FileStreamDataStream>(name, file.release(), true);
    }

    /** The frames mixed down to one channel. */
    std::vector<short> readMono(SNDFILE* file, const SF_INFO& info)
    {
        std::vector<short> frames(static_cast<size_t>(info.frames) * info.channels);
        const sf_count_t read = sf_readf_short(file, frames.data(), info.frames);
        frames.resize(static_cast<size_t>(read) * info.channels);
        if (info.channels == 1)
            return frames;
        std::vector<short> mono(static_cast<size_t>(read));
        for (size_t i = 0; i < mono.size(); ++i)
        {
            int sum = 0;
            for (int c = 0; c < info.channels; ++c)
                sum += frames[i * info.channels + c];
            mono[i] = static_cast<short>(sum / info.channels);
        }
        return mono;
    }
}

std::shared_ptr<const ChimeSound> ChimeSound::load(const std::string& name, bool decode,
                                                   std::string& error)
{
    Ogre::DataStreamPtr stream = openFile(name);
    if (!stream)
    {
        error = "can not find sound file " + name;
        return nullptr;
    }
    SF_VIRTUAL_IO io = {streamLength, streamSeek, streamRead, streamWrite, streamTell};
    SF_INFO info = {};
    SNDFILE* file = sf_open_virtual(&io, SFM_READ, &info, stream.get());
    if (!file)
    {
        error = "can not read sound file " + name + ": " + sf_strerror(nullptr);
        return nullptr;
    }
    if (info.frames <= 0 || info.samplerate <= 0 || info.channels <= 0)
    {
        sf_close(file);
        error = "sound file " + name + " holds no samples";
        return nullptr;
    }
    const float length = static_cast<float>(info.frames) / info.samplerate;
    ALuint buffer = 0;
    if (decode)
    {
        const std::vector<short> samples = readMono(file, info);
        alGetError();
        alGenBuffers(1, &buffer);
        if (alGetError() == AL_NO_ERROR)
            alBufferData(buffer, AL_FORMAT_MONO16, samples.data(),
                         static_cast<ALsizei>(samples.size() * sizeof(short)), info.samplerate);
        if (samples.empty() || alGetError() != AL_NO_ERROR)
        {
            alDeleteBuffers(1, &buffer);
            sf_close(file);
            error = "can not decode sound file " + name;
            return nullptr;
        }
    }
    sf_close(file);
    return std::shared_ptr<const ChimeSound>(new ChimeSound(name, length, buffer));
}

ChimeSound::~ChimeSound()
{
    if (mBuffer)
        alDeleteBuffers(1, &mBuffer);
}
