#ifndef __WrenChimeSound_H__
#define __WrenChimeSound_H__

#include "WrenPlatformPrerequisites.h"

#include <memory>
#include <string>

/** One sound file, read once and shared by every executor that plays it
    (ChimeSoundSystem::getSound keeps them by file name).

    The file is found in the engine's resource groups or else as a path,
    and read with libsndfile (WAV, FLAC, Ogg Vorbis and the other formats
    it knows). Decoded sounds are mixed down to one channel, so that every
    sound can be placed in the world, and held in a buffer of the sound
    system's output; a sound read for silent playing keeps only its
    length. */
class WREN_PLATFORM_EXPORT ChimeSound
{
public:
    /** Reads the named file; with decode, its samples go into a buffer of
        the current OpenAL context. Null when the file is missing,
        unreadable or empty, with the reason in error. */
    static std::shared_ptr<const ChimeSound> load(const std::string& name, bool decode,
                                                  std::string& error);

    ~ChimeSound();
    ChimeSound(const ChimeSound&) = delete;
    ChimeSound& operator=(const ChimeSound&) = delete;

    const std::string& getName() const { return mName; }
    /** Seconds of playing; always above 0. */
    float getLength() const { return mLength; }
    /** The OpenAL buffer holding the samples; 0 for a sound read for
        silent playing. */
    unsigned getBuffer() const { return mBuffer; }

private:
    ChimeSound(const std::string& name, float length, unsigned buffer)
        : mName(name), mLength(length), mBuffer(buffer)
    {
    }

    std::string mName;
    float mLength;
    unsigned mBuffer;
};

#endif
