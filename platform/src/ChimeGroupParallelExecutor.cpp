#include "ChimeGroupParallelExecutor.h"

#include <algorithm>
#include <cmath>
#include <limits>

float ChimeGroupParallelExecutor::endOf(ExecutorItem& item)
{
    if (item.duration >= 0)
        return item.delay + item.duration;
    if (item.loop)
        return std::numeric_limits<float>::infinity();
    return item.delay + item.executor->GetLength();
}

float ChimeGroupParallelExecutor::GetLength()
{
    float length = 0;
    for (ExecutorItem& item : mItems)
        length = std::max(length, endOf(item));
    return length;
}

bool ChimeGroupParallelExecutor::CreateSoundObject()
{
    for (ExecutorItem& item : mItems)
        item.executor->CreateSoundObject();
    return GetLength() > 0;
}

void ChimeGroupParallelExecutor::Play(bool loop)
{
    Stop();
    if (!CreateSoundObject())
        return;
    mPlaying = true;
    mLoop = loop;
    for (ExecutorItem& item : mItems)
        startIfDue(item);
}

void ChimeGroupParallelExecutor::Stop()
{
    if (!mPlaying)
        return;
    stopChildren();
    mPlaying = false;
    mTime = 0;
}

void ChimeGroupParallelExecutor::stopChildren()
{
    for (ExecutorItem& item : mItems)
    {
        item.executor->Stop();
        item.started = false;
    }
}

void ChimeGroupParallelExecutor::PlayOver()
{
    if (!mPlaying)
        return;
    mLoop = false;
    for (ExecutorItem& item : mItems)
        item.executor->PlayOver();
}

void ChimeGroupParallelExecutor::Breathe(float dt)
{
    if (!mPlaying)
        return;
    dt = std::max(dt, 0.0f);
    const float time = mTime + dt;
    for (ExecutorItem& item : mItems)
    {
        if (!item.started || !item.executor->IsPlay())
            continue;
        if (time >= endOf(item))
            item.executor->Stop();
        else
            item.executor->Breathe(dt);
    }
    if (!moveClockTo(time))
        return;
    for (ExecutorItem& item : mItems)
        startIfDue(item);
}

void ChimeGroupParallelExecutor::SetCurrentTime(float time)
{
    if (!mPlaying || !moveClockTo(std::max(time, 0.0f)))
        return;
    for (ExecutorItem& item : mItems)
    {
        if (item.delay <= mTime && mTime < endOf(item) && item.executor->IsPlay())
        {
            item.executor->SetCurrentTime(mTime - item.delay);
            continue;
        }
        item.executor->Stop();
        item.started = false;
        startIfDue(item);
    }
}

bool ChimeGroupParallelExecutor::moveClockTo(float time)
{
    const float length = GetLength();
    if (time < length)
    {
        mTime = time;
        return true;
    }
    if (!mLoop || length <= 0)
    {
        Stop();
        return false;
    }
    stopChildren();
    mTime = std::fmod(time, length);
    return true;
}

void ChimeGroupParallelExecutor::startIfDue(ExecutorItem& item)
{
    if (item.started || item.delay > mTime)
        return;
    item.started = true;
    if (mTime >= endOf(item))
        return;
    item.executor->Play(item.loop);
    if (mTime > item.delay)
        item.executor->SetCurrentTime(mTime - item.delay);
}
