#ifndef __WrenChimeExecutor_H__
#define __WrenChimeExecutor_H__

#include "IExecutor.h"

#include <OgreVector.h>

#include <memory>
#include <string>

namespace Ogre
{
    class SceneNode;
}
class ChimeSound;

/** Plays one sound file at a place in the world, through ChimeSoundSystem.

    The sound is read when first needed (CreateSoundObject, or Play) and
    shared with every executor of the same file. While it plays the
    executor holds a voice of the device and, when attached to a scene
    node, moves it to the node's derived position at every Breathe; the
    node must stay alive until DetachSceneNode. Without a node the sound
    plays at the world origin. */
class WREN_PLATFORM_EXPORT ChimeExecutor : public IExecutor
{
public:
    ChimeExecutor() = default;
    ~ChimeExecutor() override;
    ChimeExecutor(const ChimeExecutor&) = delete;
    ChimeExecutor& operator=(const ChimeExecutor&) = delete;

    /** Names the sound (stopping one that plays) and how it is heard.
        @param file found in the resource groups, or else a path.
        @param range distance at which the sound has faded to silence;
            0 or below: ChimeSoundSystem::DEFAULT_RANGE.
        @param relative plays at the listener, never fading with distance.
        @param preload reads the sound now instead of at its first play.
        @param keep the sound stays read after its last executor goes. */
    void InitSoundName(const std::string& file, float range, bool relative, bool preload,
                       bool keep);
    void AttachSceneNode(Ogre::SceneNode* node);
    void DetachSceneNode();

    void Play(bool loop) override;
    void Stop() override;
    void PlayOver() override;
    void Breathe(float dt) override;
    bool IsPlay() const override { return mPlaying; }
    void SetCurrentTime(float time) override;
    bool CreateSoundObject() override;
    float GetLength() override;
    float GetCurrentTime() const override { return mTime; }

    const std::string& getSoundName() const { return mFile; }
    float getRange() const { return mRange; }
    Ogre::SceneNode* getSceneNode() const { return mNode; }
    /** True while a voice of the device plays the sound (never when the
        system is silent). */
    bool isAudible() const { return mVoice != 0; }

private:
    Ogre::Vector3 getPosition() const;
    /** Sets the clock, wrapping a looping sound; a one-shot sound past its
        end stops (false). */
    bool moveClockTo(float time);
    void followNode();

    std::string mFile;
    float mRange = 0;
    bool mRelative = false;
    bool mKeep = false;
    std::shared_ptr<const ChimeSound> mSound;
    Ogre::SceneNode* mNode = nullptr;
    unsigned mVoice = 0;
    bool mPlaying = false;
    bool mLoop = false;
    float mTime = 0;
};

#endif
