#ifndef __WrenChimeGroupParallelExecutor_H__
#define __WrenChimeGroupParallelExecutor_H__

#include "IGroupExecutor.h"

/** A group whose children play side by side, each starting its delay
    after the beginning of the group's pass.

    One pass lasts until the last child's end (delay plus its duration, or
    its own length); a looping group then starts the next pass, so a single
    child added with a delay repeats with that much silence before each
    play. A child that loops without a duration never ends, and neither
    does the group. */
class WREN_PLATFORM_EXPORT ChimeGroupParallelExecutor : public IGroupExecutor
{
public:
    ChimeGroupParallelExecutor() = default;

    void Play(bool loop) override;
    void Stop() override;
    void PlayOver() override;
    void Breathe(float dt) override;
    bool IsPlay() const override { return mPlaying; }
    void SetCurrentTime(float time) override;
    bool CreateSoundObject() override;
    float GetLength() override;
    float GetCurrentTime() const override { return mTime; }

private:
    /** When the item's play ends in the group's pass. */
    static float endOf(ExecutorItem& item);
    /** Sets the group's clock: a looping group wraps into its next pass
        (its children starting over), a one-shot group past its end stops
        (false). */
    bool moveClockTo(float time);
    /** Starts the item when the clock is inside its play, at the matching
        point of its own clock. */
    void startIfDue(ExecutorItem& item);
    /** Stops every child and marks it not started in this pass. */
    void stopChildren();

    bool mPlaying = false;
    bool mLoop = false;
    float mTime = 0;
};

#endif
