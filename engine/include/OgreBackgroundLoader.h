#ifndef __OgreBackgroundLoader_H__
#define __OgreBackgroundLoader_H__

#include "WrenEnginePrerequisites.h"

#include <OgreResource.h>
#include <OgreSharedPtr.h>
#include <OgreSingleton.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace Ogre
{
    /** The engine's background loader: one thread that runs loading work in
        the order it was submitted, while the frame thread goes on and polls.

        The host makes the one instance (after the Root, before any load is
        requested) and deletes it before the Root; without an instance, the
        resource managers that offer a background option load at once.

        What runs on the loader thread must not log, must not create or
        remove resources and must not change resource groups: stock OGRE is
        built here without locks around them. So the work handed over is file
        reading and parsing into memory that nobody else touches until the
        task reports finished. Everything else happens on the frame thread.

        A stock resource (a mesh, a texture) is prepared in the background
        with prepare(): its file is read on the loader thread, and the frame
        thread finishes it with Resource::load() once the task is finished.
    */
    class WREN_ENGINE_EXPORT BackgroundLoader : public Singleton<BackgroundLoader>
    {
    public:
        /** One piece of submitted work. Shared between the submitter and the
            loader; waiting on it needs no loader. */
        class WREN_ENGINE_EXPORT Task
        {
        public:
            /** True once the work has run. Everything the work wrote is
                visible to a thread that saw true. */
            bool isFinished() const;
            /** Blocks until isFinished(). */
            void wait() const;

        private:
            friend class BackgroundLoader;

            std::function<void()> mWork;
            ResourcePtr mKeepAlive;
            mutable std::mutex mMutex;
            mutable std::condition_variable mDone;
            bool mFinished = false;
        };
        typedef std::shared_ptr<Task> TaskPtr;

        BackgroundLoader();
        /** Runs every task still queued, then stops the thread. */
        ~BackgroundLoader();

        /** Queues work for the loader thread and returns at once. */
        TaskPtr submit(std::function<void()> work);

        /** Queues Resource::prepare(true) of a stock resource. The loader
            keeps the resource alive until the task is finished, and releases
            its hold on the frame thread (on a later submit(), prepare(),
            collect() or at destruction), so a resource is never destroyed
            on the loader thread. A prepare that throws leaves the resource
            unprepared; the frame thread's load() then reports the error. */
        TaskPtr prepare(const ResourcePtr& resource);

        /** Number of tasks submitted and not yet finished. */
        size_t getPendingCount() const;
        /** Blocks until every task submitted so far is finished. */
        void waitForAll();
        /** Releases, on the calling frame thread, the resources held by
            finished prepare() tasks. */
        void collect();

        static BackgroundLoader& getSingleton();
        static BackgroundLoader* getSingletonPtr();

    private:
        BackgroundLoader(const BackgroundLoader&) = delete;
        BackgroundLoader& operator=(const BackgroundLoader&) = delete;

        /** Queues the task for the thread and wakes it. */
        TaskPtr enqueue(const TaskPtr& task);
        void run();
        static void finish(Task& task);

        mutable std::mutex mMutex;
        std::condition_variable mWake;
        std::condition_variable mIdle;
        std::deque<TaskPtr> mQueue;
        std::vector<TaskPtr> mRetired;
        size_t mBusy;
        bool mStopping;
        std::thread mThread;
    };
}

#endif
