#include "OgreBackgroundLoader.h"

template <> Ogre::BackgroundLoader* Ogre::Singleton<Ogre::BackgroundLoader>::msSingleton = nullptr;

namespace Ogre
{
    bool BackgroundLoader::Task::isFinished() const
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mFinished;
    }

    void BackgroundLoader::Task::wait() const
    {
        std::unique_lock<std::mutex> lock(mMutex);
        mDone.wait(lock, [this] { return mFinished; });
    }

    BackgroundLoader::BackgroundLoader() : mBusy(0), mStopping(false)
    {
        mThread = std::thread(&BackgroundLoader::run, this);
    }

    BackgroundLoader::~BackgroundLoader()
    {
        {
            std::lock_guard<std::mutex> lock(mMutex);
            mStopping = true;
        }
        mWake.notify_all();
        mThread.join();
        // The thread drained the queue before it stopped; what it retired
        // is released here, on the thread that owns the resources.
        mRetired.clear();
    }

    BackgroundLoader::TaskPtr BackgroundLoader::submit(std::function<void()> work)
    {
        TaskPtr task = std::make_shared<Task>();
        task->mWork = std::move(work);
        return enqueue(task);
    }

    BackgroundLoader::TaskPtr BackgroundLoader::enqueue(const TaskPtr& task)
    {
        // Tasks the thread finished are released here, on the frame thread,
        // outside the lock.
        std::vector<TaskPtr> retired;
        {
            std::lock_guard<std::mutex> lock(mMutex);
            mQueue.push_back(task);
            retired.swap(mRetired);
        }
        mWake.notify_one();
        return task;
    }

    BackgroundLoader::TaskPtr BackgroundLoader::prepare(const ResourcePtr& resource)
    {
        if (!resource)
            return TaskPtr();
        Resource* raw = resource.get();
        TaskPtr task = std::make_shared<Task>();
        task->mKeepAlive = resource;
        task->mWork = [raw] {
            try
            {
                raw->prepare(true);
            }
            catch (...)
            {
                // Left unprepared: the frame thread's load() reports it.
            }
        };
        return enqueue(task);
    }

    size_t BackgroundLoader::getPendingCount() const
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mQueue.size() + mBusy;
    }

    void BackgroundLoader::waitForAll()
    {
        std::unique_lock<std::mutex> lock(mMutex);
        mIdle.wait(lock, [this] { return mQueue.empty() && mBusy == 0; });
    }

    void BackgroundLoader::collect()
    {
        std::vector<TaskPtr> retired;
        std::lock_guard<std::mutex> lock(mMutex);
        retired.swap(mRetired);
    }

    void BackgroundLoader::finish(Task& task)
    {
        {
            std::lock_guard<std::mutex> lock(task.mMutex);
            task.mFinished = true;
            task.mWork = nullptr;
        }
        task.mDone.notify_all();
    }

    void BackgroundLoader::run()
    {
        std::unique_lock<std::mutex> lock(mMutex);
        for (;;)
        {
            mWake.wait(lock, [this] { return mStopping || !mQueue.empty(); });
            if (mQueue.empty())
                break;
            TaskPtr task = mQueue.front();
            mQueue.pop_front();
            ++mBusy;
            lock.unlock();
            std::function<void()> work;
            {
                std::lock_guard<std::mutex> taskLock(task->mMutex);
                work.swap(task->mWork);
            }
            try
            {
                if (work)
                    work();
            }
            catch (...)
            {
                // Work reports its own failures; nothing may escape the thread.
            }
            work = nullptr;
            lock.lock();
            // Finished and no longer pending in one step, as seen by pollers.
            finish(*task);
            --mBusy;
            // A task holding a resource is released on the frame thread.
            if (task->mKeepAlive)
                mRetired.push_back(task);
            task.reset();
            if (mQueue.empty() && mBusy == 0)
                mIdle.notify_all();
        }
        mIdle.notify_all();
    }

    BackgroundLoader& BackgroundLoader::getSingleton()
    {
        assert(msSingleton);
        return *msSingleton;
    }

    BackgroundLoader* BackgroundLoader::getSingletonPtr() { return msSingleton; }
}
