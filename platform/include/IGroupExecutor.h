#ifndef __WrenIGroupExecutor_H__
#define __WrenIGroupExecutor_H__

#include "IExecutor.h"

#include <memory>
#include <vector>

/** An executor made of child executors, which it owns. How the children
    are timed against each other is the subclass's (for example
    ChimeGroupParallelExecutor). */
class WREN_PLATFORM_EXPORT IGroupExecutor : public IExecutor
{
public:
    /** One child and how the group plays it. */
    struct ExecutorItem
    {
        std::shared_ptr<IExecutor> executor;
        /** Seconds from the beginning of the group's pass to the child's start. */
        float delay = 0;
        /** Seconds the child plays per pass; negative: its own length. */
        float duration = -1;
        /** The child loops while it plays (for ever when duration is negative). */
        bool loop = false;
        /** The child has been started in the group's current pass. */
        bool started = false;
    };

    IGroupExecutor() = default;
    IGroupExecutor(const IGroupExecutor&) = delete;
    IGroupExecutor& operator=(const IGroupExecutor&) = delete;

    /** Adds a child the group then owns; a negative delay counts as 0. A
        null executor, the group itself or a child it already holds is
        refused (false) and stays with the caller. A child added while the
        group plays joins it at the next Breathe. */
    virtual bool AddChild(IExecutor* executor, float delay, float duration, bool loop);
    virtual unsigned getSize() const { return static_cast<unsigned>(mItems.size()); }
    /** Copies the item at index; false when there is none. */
    virtual bool GetItem(unsigned index, ExecutorItem& item) const;
    /** Stops the group and drops every child. */
    virtual void ClearAll();

protected:
    std::vector<ExecutorItem> mItems;
};

#endif
