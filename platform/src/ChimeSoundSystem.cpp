#include "ChimeSoundSystem.h"

#include <OgreCamera.h>
#include <OgreLogManager.h>

#include <AL/al.h>
#include <AL/alc.h>

#include <algorithm>

namespace
{
    void logLine(const std::string& line)
    {
        if (Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr())
            logs->logMessage("ChimeSoundSystem: " + line);
    }
}

struct ChimeSoundSystem::Output
{
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;

    ~Output()
    {
        if (context)
        {
            if (alcGetCurrentContext() == context)
                alcMakeContextCurrent(nullptr);
            alcDestroyContext(context);
        }
        if (device)
            alcCloseDevice(device);
    }
};

const float ChimeSoundSystem::DEFAULT_RANGE = 50.0f;

ChimeSoundSystem& ChimeSoundSystem::getSingleton()
{
    static ChimeSoundSystem system;
    return system;
}

ChimeSoundSystem::ChimeSoundSystem() = default;

ChimeSoundSystem::~ChimeSoundSystem() { close(); }

bool ChimeSoundSystem::open(const std::string& device)
{
    if (mOpen)
        return mOutput != nullptr;
    mOpen = true;
    std::unique_ptr<Output> output(new Output);
    output->device = alcOpenDevice(device.empty() ? nullptr : device.c_str());
    if (output->device)
        output->context = alcCreateContext(output->device, nullptr);
    if (!output->context || !alcMakeContextCurrent(output->context))
    {
        logLine("no sound device" + (device.empty() ? std::string() : " named " + device) +
                " could be opened; sounds play silently");
        return false;
    }
    mOutput = std::move(output);
    mDeviceName = alcGetString(mOutput->device, ALC_DEVICE_SPECIFIER);
    alDistanceModel(AL_LINEAR_DISTANCE_CLAMPED);
    applyListener();
    logLine("sound plays on " + mDeviceName);
    return true;
}

bool ChimeSoundSystem::close()
{
    if (!mOpen)
        return true;
    const bool held = std::any_of(mSounds.begin(), mSounds.end(), [](const auto& entry) {
        return entry.second.sound.use_count() > (entry.second.kept ? 1 : 0);
    });
    if (held || !mVoices.empty())
    {
        logLine("can not close while executors hold sounds");
        return false;
    }
    mSounds.clear();
    mOutput.reset();
    mDeviceName.clear();
    mVoicesExhaustedLogged = false;
    mOpen = false;
    return true;
}

void ChimeSoundSystem::updateListener(const Ogre::Camera* camera)
{
    if (camera)
        setListener(camera->getDerivedPosition(), camera->getDerivedOrientation());
}

void ChimeSoundSystem::setListener(const Ogre::Vector3& position,
                                   const Ogre::Quaternion& orientation)
{
    mListenerPosition = position;
    mListenerOrientation = orientation;
    if (!mOpen)
        open();
    applyListener();
}

void ChimeSoundSystem::applyListener()
{
    if (!mOutput)
        return;
    const Ogre::Vector3 at = mListenerOrientation * Ogre::Vector3::NEGATIVE_UNIT_Z;
    const Ogre::Vector3 up = mListenerOrientation * Ogre::Vector3::UNIT_Y;
    const ALfloat orientation[6] = {at.x, at.y, at.z, up.x, up.y, up.z};
    alListener3f(AL_POSITION, mListenerPosition.x, mListenerPosition.y, mListenerPosition.z);
    alListenerfv(AL_ORIENTATION, orientation);
}

std::shared_ptr<const ChimeSound> ChimeSoundSystem::getSound(const std::string& file, bool keep)
{
    if (!mOpen)
        open();
    CachedSound& entry = mSounds[file];
    if (entry.unreadable)
        return nullptr;
    std::shared_ptr<const ChimeSound> sound = entry.sound.lock();
    if (!sound)
    {
        std::string error;
        sound = ChimeSound::load(file, mOutput != nullptr, error);
        if (!sound)
        {
            entry.unreadable = true;
            logLine(error);
            return nullptr;
        }
        entry.sound = sound;
    }
    if (keep)
        entry.kept = sound;
    return sound;
}

size_t ChimeSoundSystem::getSoundCount() const
{
    return std::count_if(mSounds.begin(), mSounds.end(),
                         [](const auto& entry) { return !entry.second.sound.expired(); });
}

unsigned ChimeSoundSystem::startVoice(const ChimeSound& sound, bool loop, float range,
                                      bool relative, const Ogre::Vector3& position)
{
    if (!mOutput || !sound.getBuffer())
        return 0;
    alGetError();
    ALuint source = 0;
    alGenSources(1, &source);
    if (alGetError() != AL_NO_ERROR)
    {
        if (!mVoicesExhaustedLogged)
            logLine("the device has no free voice; further sounds play silently until one ends");
        mVoicesExhaustedLogged = true;
        return 0;
    }
    alSourcei(source, AL_BUFFER, static_cast<ALint>(sound.getBuffer()));
    alSourcei(source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
    alSourcei(source, AL_SOURCE_RELATIVE, relative ? AL_TRUE : AL_FALSE);
    alSourcef(source, AL_REFERENCE_DISTANCE, 0.0f);
    alSourcef(source, AL_MAX_DISTANCE, range);
    alSourcef(source, AL_ROLLOFF_FACTOR, 1.0f);
    const Ogre::Vector3 place = relative ? Ogre::Vector3::ZERO : position;
    alSource3f(source, AL_POSITION, place.x, place.y, place.z);
    alSourcePlay(source);
    mVoices.push_back(source);
    return source;
}

void ChimeSoundSystem::moveVoice(unsigned voice, const Ogre::Vector3& position)
{
    if (voice)
        alSource3f(voice, AL_POSITION, position.x, position.y, position.z);
}

void ChimeSoundSystem::seekVoice(unsigned voice, float offset)
{
    if (voice)
        alSourcef(voice, AL_SEC_OFFSET, offset);
}

void ChimeSoundSystem::loopVoice(unsigned voice, bool loop)
{
    if (voice)
        alSourcei(voice, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
}

void ChimeSoundSystem::stopVoice(unsigned voice)
{
    auto it = std::find(mVoices.begin(), mVoices.end(), voice);
    if (!voice || it == mVoices.end())
        return;
    mVoices.erase(it);
    ALuint source = voice;
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, 0);
    alDeleteSources(1, &source);
}
