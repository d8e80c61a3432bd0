#include "ChimeExecutor.h"

#include "ChimeSoundSystem.h"

#include <OgreSceneNode.h>

#include <algorithm>
#include <cmath>

ChimeExecutor::~ChimeExecutor() { Stop(); }

void ChimeExecutor::InitSoundName(const std::string& file, float range, bool relative,
                                  bool preload, bool keep)
{
    Stop();
    mSound.reset();
    mFile = file;
    mRange = range > 0 ? range : ChimeSoundSystem::DEFAULT_RANGE;
    mRelative = relative;
    mKeep = keep;
    if (preload)
        CreateSoundObject();
}

void ChimeExecutor::AttachSceneNode(Ogre::SceneNode* node)
{
    mNode = node;
    followNode();
}

void ChimeExecutor::DetachSceneNode() { mNode = nullptr; }

Ogre::Vector3 ChimeExecutor::getPosition() const
{
    return mNode ? mNode->_getDerivedPosition() : Ogre::Vector3::ZERO;
}

bool ChimeExecutor::CreateSoundObject()
{
    if (!mSound && !mFile.empty())
        mSound = ChimeSoundSystem::getSingleton().getSound(mFile, mKeep);
    return mSound != nullptr;
}

float ChimeExecutor::GetLength() { return CreateSoundObject() ? mSound->getLength() : 0.0f; }

void ChimeExecutor::Play(bool loop)
{
    Stop();
    if (!CreateSoundObject())
        return;
    mPlaying = true;
    mLoop = loop;
    mVoice = ChimeSoundSystem::getSingleton().startVoice(*mSound, loop, mRange, mRelative,
                                                         getPosition());
}

void ChimeExecutor::Stop()
{
    if (!mPlaying)
        return;
    ChimeSoundSystem::getSingleton().stopVoice(mVoice);
    mVoice = 0;
    mPlaying = false;
    mTime = 0;
}

void ChimeExecutor::PlayOver()
{
    if (!mPlaying)
        return;
    mLoop = false;
    ChimeSoundSystem::getSingleton().loopVoice(mVoice, false);
}

void ChimeExecutor::Breathe(float dt)
{
    if (mPlaying && moveClockTo(mTime + std::max(dt, 0.0f)))
        followNode();
}

void ChimeExecutor::SetCurrentTime(float time)
{
    if (mPlaying && moveClockTo(std::max(time, 0.0f)))
        ChimeSoundSystem::getSingleton().seekVoice(mVoice, mTime);
}

bool ChimeExecutor::moveClockTo(float time)
{
    const float length = mSound->getLength();
    if (time >= length && !mLoop)
    {
        Stop();
        return false;
    }
    mTime = std::fmod(time, length);
    return true;
}

void ChimeExecutor::followNode()
{
    if (!mRelative)
        ChimeSoundSystem::getSingleton().moveVoice(mVoice, getPosition());
}
