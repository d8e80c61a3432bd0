#include "OgreBackgroundLoader.h"

#include <OgreResourceGroupManager.h>

#include <map>

template <> Ogre::BackgroundLoader* Ogre::Singleton<Ogre::BackgroundLoader>::msSingleton = nullptr;

namespace Ogre
{
    /** Files of stock resources read on the loader thread, handed to the
        resource when the frame thread opens the same file to load it. It is
        the resource group manager's loading listener while the loader has
        prepared something, and passes every other call on to the listener
        it replaced. Frame thread only; the loader thread writes only the
        slot of its own read. */
    class BackgroundLoader::PreparedFiles : public ResourceLoadingListener
    {
    public:
        /** Where the loader thread puts the bytes it read. */
        struct Slot
        {
            DataStreamPtr bytes;
        };

        ~PreparedFiles() override
        {
            ResourceGroupManager* groups = ResourceGroupManager::getSingletonPtr();
            if (mInstalled && groups && groups->getLoadingListener() == this)
                groups->setLoadingListener(mPrevious);
        }

        /** The read under way or done for resource, if any. */
        TaskPtr find(Resource* resource) const
        {
            auto it = mFiles.find(resource);
            return it == mFiles.end() ? TaskPtr() : it->second.task;
        }

        void add(const ResourcePtr& resource, const TaskPtr& task, const std::shared_ptr<Slot>& slot)
        {
            install();
            mFiles[resource.get()] = Entry{resource, task, slot};
        }

        size_t size() const { return mFiles.size(); }

        /** Forgets the reads of resources that no one will load from them. */
        void prune()
        {
            for (auto it = mFiles.begin(); it != mFiles.end();)
            {
                const ResourcePtr& resource = it->second.resource;
                const Resource::LoadingState state = resource->getLoadingState();
                const bool waiting =
                    state == Resource::LOADSTATE_UNLOADED && resource.use_count() > 1;
                it = waiting ? std::next(it) : mFiles.erase(it);
            }
        }

        DataStreamPtr resourceLoading(const String& name, const String& group,
                                      Resource* resource) override
        {
            auto it = resource ? mFiles.find(resource) : mFiles.end();
            if (it != mFiles.end() && it->second.resource->getName() == name)
            {
                it->second.task->wait();
                DataStreamPtr bytes = it->second.slot->bytes;
                mFiles.erase(it);
                if (bytes)
                    return bytes;
            }
            return mPrevious ? mPrevious->resourceLoading(name, group, resource) : DataStreamPtr();
        }

        void resourceStreamOpened(const String& name, const String& group, Resource* resource,
                                  DataStreamPtr& stream) override
        {
            if (mPrevious)
                mPrevious->resourceStreamOpened(name, group, resource, stream);
        }

        bool resourceCollision(Resource* resource, ResourceManager* manager) override
        {
            return mPrevious ? mPrevious->resourceCollision(resource, manager) : true;
        }

    private:
        struct Entry
        {
            ResourcePtr resource;
            TaskPtr task;
            std::shared_ptr<Slot> slot;
        };

        void install()
        {
            ResourceGroupManager* groups = ResourceGroupManager::getSingletonPtr();
            if (mInstalled || !groups)
                return;
            mPrevious = groups->getLoadingListener();
            groups->setLoadingListener(this);
            mInstalled = true;
        }

        std::map<Resource*, Entry> mFiles;
        ResourceLoadingListener* mPrevious = nullptr;
        bool mInstalled = false;
    };

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

    bool BackgroundLoader::Task::complete()
    {
        if (!isFinished())
            return false;
        std::function<void()> completion;
        completion.swap(mComplete);
        if (completion)
            completion();
        return true;
    }

    BackgroundLoader::BackgroundLoader()
        : mBusy(0), mStopping(false), mPrepared(new PreparedFiles())
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
        // The thread drained the queue before it stopped.
        collect();
        mPrepared.reset();
    }

    BackgroundLoader::TaskPtr BackgroundLoader::submit(std::function<void()> work,
                                                       std::function<void()> complete,
                                                       std::shared_ptr<void> keepAlive)
    {
        TaskPtr task = std::make_shared<Task>();
        task->mWork = std::move(work);
        task->mComplete = std::move(complete);
        task->mKeepAlive = std::move(keepAlive);
        return enqueue(task);
    }

    BackgroundLoader::TaskPtr BackgroundLoader::enqueue(const TaskPtr& task)
    {
        // Set before the thread sees the task; never changed afterwards.
        task->mRetire = task->mComplete || task->mKeepAlive;
        {
            std::lock_guard<std::mutex> lock(mMutex);
            mQueue.push_back(task);
        }
        mWake.notify_one();
        collect();
        return task;
    }

    BackgroundLoader::TaskPtr BackgroundLoader::prepare(const ResourcePtr& resource)
    {
        if (!resource)
            return TaskPtr();
        if (TaskPtr running = mPrepared->find(resource.get()))
            return running;
        DataStreamPtr stream;
        ResourceGroupManager* groups = ResourceGroupManager::getSingletonPtr();
        if (groups && !resource->isManuallyLoaded() &&
            resource->getLoadingState() == Resource::LOADSTATE_UNLOADED)
        {
            try
            {
                stream = groups->openResource(resource->getName(), resource->getGroup(),
                                              resource.get(), false);
            }
            catch (const std::exception&)
            {
                // The frame thread's load() reports it.
            }
        }
        if (!stream)
        {
            TaskPtr done = std::make_shared<Task>();
            done->mFinished = true;
            collect();
            return done;
        }
        auto slot = std::make_shared<PreparedFiles::Slot>();
        TaskPtr task = submit([slot, stream]() mutable {
            try
            {
                slot->bytes.reset(new MemoryDataStream(stream->getName(), stream, true, true));
            }
            catch (...)
            {
                // Left unread: the frame thread's load() opens the file itself.
                slot->bytes.reset();
            }
            stream->close();
            stream.reset();
        });
        mPrepared->add(resource, task, slot);
        return task;
    }

    size_t BackgroundLoader::getPendingCount() const
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mQueue.size() + mBusy;
    }

    size_t BackgroundLoader::getHeldCount() const
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mRetired.size() + (mPrepared ? mPrepared->size() : 0);
    }

    void BackgroundLoader::waitForAll()
    {
        std::unique_lock<std::mutex> lock(mMutex);
        mIdle.wait(lock, [this] { return mQueue.empty() && mBusy == 0; });
    }

    void BackgroundLoader::collect()
    {
        std::vector<TaskPtr> retired;
        {
            std::lock_guard<std::mutex> lock(mMutex);
            retired.swap(mRetired);
        }
        for (const TaskPtr& task : retired)
        {
            task->complete();
            task->mKeepAlive.reset();
        }
        if (mPrepared)
            mPrepared->prune();
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
            // Finished and no longer pending in one step, as seen by pollers;
            // what the frame thread must complete or release waits for it.
            if (task->mRetire)
                mRetired.push_back(task);
            finish(*task);
            --mBusy;
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
