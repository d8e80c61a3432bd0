#ifndef __WrenIExecutor_H__
#define __WrenIExecutor_H__

#include "WrenPlatformPrerequisites.h"

/** Something that plays over time: one sound (ChimeExecutor) or a group of
    executors (IGroupExecutor).

    An executor keeps its own clock, advanced only by Breathe, so its state
    (IsPlay, GetCurrentTime) is the same whether sound is really heard or the
    sound system runs silent. Main thread only. */
class WREN_PLATFORM_EXPORT IExecutor
{
public:
    virtual ~IExecutor() = default;

    /** Starts from the beginning (a playing executor restarts). A looping
        executor plays until Stop or PlayOver; otherwise it ends by itself
        after GetLength seconds. An executor with nothing to play (an
        unreadable sound, an empty group) does not start. */
    virtual void Play(bool loop) = 0;
    /** Ends at once and goes back to the beginning; nothing when stopped. */
    virtual void Stop() = 0;
    /** Lets a playing executor finish its current pass and end there
        instead of looping again. */
    virtual void PlayOver() = 0;
    /** Advances the clock of a playing executor by dt seconds: sounds end
        or loop, groups start and end their children. */
    virtual void Breathe(float dt) = 0;
    /** True from Play until the executor ends or is stopped. */
    virtual bool IsPlay() const = 0;
    /** Moves a playing executor to the given time in seconds from its
        beginning (a looping one wraps, a one-shot one past its end ends);
        a stopped executor ignores it. */
    virtual void SetCurrentTime(float time) = 0;
    /** Makes the executor ready to play (a sound is decoded); true when
        it has something to play. Play does this itself when needed. */
    virtual bool CreateSoundObject() = 0;

    /** Seconds of one pass (0 when there is nothing to play, infinite
        for an executor that never ends by itself). */
    virtual float GetLength() = 0;
    /** Seconds since the beginning of the current pass; 0 when stopped. */
    virtual float GetCurrentTime() const = 0;
};

#endif
