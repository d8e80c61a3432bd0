#ifndef __WrenStepDeadline_H__
#define __WrenStepDeadline_H__

#include "WrenCorePrerequisites.h"

#include <chrono>

namespace Wren
{
    /** The moment by which a streaming step is to stop bringing a partition
        in or taking one out (see CorePartitionManager::setLoadTimeBudget).
        The default deadline never passes: work given it is done whole, in
        one call. Work given a deadline always does one piece at least, so
        that it moves on however small the budget. */
    class StepDeadline
    {
    public:
        typedef std::chrono::steady_clock Clock;

        /** Never passes. */
        StepDeadline() = default;
        /** Passes milliseconds after start; a budget not above zero never
            passes. */
        StepDeadline(Clock::time_point start, float milliseconds)
            : mEnd(start + std::chrono::duration_cast<Clock::duration>(
                               std::chrono::duration<float, std::milli>(milliseconds))),
              mLimited(milliseconds > 0.0f)
        {
        }

        bool isLimited() const { return mLimited; }
        bool passed() const { return mLimited && Clock::now() >= mEnd; }

    private:
        Clock::time_point mEnd;
        bool mLimited = false;
    };
}

#endif
