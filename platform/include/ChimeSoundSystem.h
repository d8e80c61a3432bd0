#ifndef __WrenChimeSoundSystem_H__
#define __WrenChimeSoundSystem_H__

#include "ChimeSound.h"

#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace Ogre
{
    class Camera;
}

/** The sound output of the process: the OpenAL Soft device, the listener,
    the decoded sounds and the voices that play them.

    getSingleton() is always available; the default device opens on the
    first need (a sound to read, a listener to place) unless open chose one
    before. Without a device (no sound card, a server) the system runs
    silent: sounds are still read for their lengths and executors keep the
    same timing and state, nothing is heard; the log says so once, when
    the device fails to open.

    Sounds are positioned in world units: a voice is heard at full loudness
    at its source, fading linearly to silence at its range. The listener
    follows whatever the host hands to updateListener once per frame
    (normally the player camera). Main thread only. */
class WREN_PLATFORM_EXPORT ChimeSoundSystem
{
public:
    static ChimeSoundSystem& getSingleton();
    static ChimeSoundSystem* getSingletonPtr() { return &getSingleton(); }

    /** Range of executors that name none, in world units: 50. */
    static const float DEFAULT_RANGE;

    /** Opens the named OpenAL device (empty: the default one); nothing when
        the system is already open. False when no device opens: the system
        then runs silent. */
    bool open(const std::string& device = std::string());
    /** Closes the device and forgets the decoded sounds, so the next need
        opens again. Refused (false, logged) while an executor still holds
        a sound or a voice. */
    bool close();
    bool isOpen() const { return mOpen; }
    /** Open without a device. */
    bool isSilent() const { return mOpen && !mOutput; }
    /** The device's own name; empty when silent or closed. */
    const std::string& getDeviceName() const { return mDeviceName; }

    /** Puts the listener at the camera's derived position, looking its way;
        a null camera is ignored. */
    void updateListener(const Ogre::Camera* camera);
    void setListener(const Ogre::Vector3& position, const Ogre::Quaternion& orientation);
    const Ogre::Vector3& getListenerPosition() const { return mListenerPosition; }
    const Ogre::Quaternion& getListenerOrientation() const { return mListenerOrientation; }

    /** The sound of a file, read on the first request and shared by file
        name while anybody holds it; with keep, it stays read after its last
        holder lets go. Null for a file that can not be read (logged once
        per name). */
    std::shared_ptr<const ChimeSound> getSound(const std::string& file, bool keep = false);
    /** Sounds read and still held. */
    size_t getSoundCount() const;

    /** @name Voices: a sound playing on the device
        For executors. A voice is 0 when nothing is heard (silent, out of
        device voices, a sound read for silent playing); every call takes
        0 and does nothing with it. */
    //@{
    /** Starts the sound from its beginning; a relative voice plays at the
        listener whatever its position. */
    unsigned startVoice(const ChimeSound& sound, bool loop, float range, bool relative,
                        const Ogre::Vector3& position);
    void moveVoice(unsigned voice, const Ogre::Vector3& position);
    void seekVoice(unsigned voice, float offset);
    void loopVoice(unsigned voice, bool loop);
    void stopVoice(unsigned voice);
    size_t getVoiceCount() const { return mVoices.size(); }
    //@}

private:
    struct Output;
    struct CachedSound
    {
        std::weak_ptr<const ChimeSound> sound;
        /** Held for a sound asked for with keep. */
        std::shared_ptr<const ChimeSound> kept;
        /** The file could not be read; it is not tried again until close. */
        bool unreadable = false;
    };

    ChimeSoundSystem();
    ~ChimeSoundSystem();
    ChimeSoundSystem(const ChimeSoundSystem&) = delete;
    ChimeSoundSystem& operator=(const ChimeSoundSystem&) = delete;

    void applyListener();

    bool mOpen = false;
    std::unique_ptr<Output> mOutput;
    std::string mDeviceName;
    bool mVoicesExhaustedLogged = false;
    Ogre::Vector3 mListenerPosition = Ogre::Vector3::ZERO;
    Ogre::Quaternion mListenerOrientation = Ogre::Quaternion::IDENTITY;
    /** Sounds by file name. */
    std::unordered_map<std::string, CachedSound> mSounds;
    std::vector<unsigned> mVoices;
};

#endif
