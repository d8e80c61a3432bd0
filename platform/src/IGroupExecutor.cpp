#include "IGroupExecutor.h"

#include <algorithm>

bool IGroupExecutor::AddChild(IExecutor* executor, float delay, float duration, bool loop)
{
    if (!executor || executor == this ||
        std::any_of(mItems.begin(), mItems.end(),
                    [executor](const ExecutorItem& item) { return item.executor.get() == executor; }))
        return false;
    ExecutorItem item;
    item.executor.reset(executor);
    item.delay = std::max(delay, 0.0f);
    item.duration = duration;
    item.loop = loop;
    mItems.push_back(std::move(item));
    return true;
}

bool IGroupExecutor::GetItem(unsigned index, ExecutorItem& item) const
{
    if (index >= mItems.size())
        return false;
    item = mItems[index];
    return true;
}

void IGroupExecutor::ClearAll()
{
    Stop();
    mItems.clear();
}
