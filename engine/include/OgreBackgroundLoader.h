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
        remove resources, must not open resources and must not change
        resource groups: stock OGRE is built here without locks around them.
        So the work handed over is reading an already opened stream and
        parsing into memory that nobody else touches until the task reports
        finished. Everything else happens on the frame thread: opening
        streams before the work is submitted, and completing the load after
        it finished (a task's completion), where the resource manager is
        told and listeners run.

        A task's completion runs on the frame thread once the work has
        finished: when its owner calls Task::complete(), or else at the
        frame thread's next collect(), submit() or prepare(), or at the
        loader's destruction. The frame thread calls collect() once per frame
        (the partition prefetcher does on every poll); what a task keeps
        alive is released there too, so nothing is ever destroyed on the
        loader thread.

        A stock resource (a mesh, a texture) is prepared in the background
        with prepare(): its file is opened on the frame thread and read into
        memory on the loader thread; the frame thread's Resource::load()
        later parses those bytes instead of reading the file again.
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
            /** Frame thread: when the work has finished, runs the completion
                (once, whoever asks first) and returns true; false while the
                work is still queued or running. */
            bool complete();

        private:
            friend class BackgroundLoader;

            std::function<void()> mWork;
            /** Frame thread only. */
            std::function<void()> mComplete;
            /** Frame thread only; released by collect(). */
            std::shared_ptr<void> mKeepAlive;
            mutable std::mutex mMutex;
            mutable std::condition_variable mDone;
            bool mFinished = false;
            /** Whether the frame thread must see it again; fixed at submit. */
            bool mRetire = false;
        };
        typedef std::shared_ptr<Task> TaskPtr;

        BackgroundLoader();
        /** Runs every task still queued, stops the thread, then runs the
            completions still due and releases what the tasks kept. */
        ~BackgroundLoader();

        /** Queues work for the loader thread and returns at once. complete,
            when given, runs afterwards on the frame thread (see the class).
            keepAlive is held until the completion has run and is released
            on the frame thread: the owner of the work passes itself, so that
            it can not be destroyed while its work is queued or running. */
        TaskPtr submit(std::function<void()> work, std::function<void()> complete = nullptr,
                       std::shared_ptr<void> keepAlive = nullptr);

        /** Reads the file of a stock resource in the background: the file
            of the resource's name is opened in its group now, on the calling
            frame thread, and read into memory on the loader thread. The
            resource itself is not touched until the frame thread loads it;
            its Resource::load() then parses the bytes read (waiting for the
            read if it is still running) instead of opening the file again.
            Returns the task of the read, the one already under way when
            the resource is being read, or a finished task when there is
            nothing to read (a loaded or manual resource, or a file that can
            not be opened: the frame thread's load() reports that). */
        TaskPtr prepare(const ResourcePtr& resource);

        /** Number of tasks submitted and not yet finished. */
        size_t getPendingCount() const;
        /** Frame thread: finished tasks whose completion or hold waits for
            the next collect(), and files read for resources not yet loaded. */
        size_t getHeldCount() const;
        /** Blocks until every task submitted so far is finished. */
        void waitForAll();
        /** Frame thread: runs the completions of finished tasks, releases
            what they kept and forgets read files of resources that were
            loaded, unloaded or dropped by other means. */
        void collect();

        static BackgroundLoader& getSingleton();
        static BackgroundLoader* getSingletonPtr();

    private:
        BackgroundLoader(const BackgroundLoader&) = delete;
        BackgroundLoader& operator=(const BackgroundLoader&) = delete;

        class PreparedFiles;

        /** Queues the task for the thread and wakes it. */
        TaskPtr enqueue(const TaskPtr& task);
        void run();
        static void finish(Task& task);

        mutable std::mutex mMutex;
        std::condition_variable mWake;
        std::condition_variable mIdle;
        std::deque<TaskPtr> mQueue;
        /** Finished tasks with a completion or a hold, for the frame thread. */
        std::vector<TaskPtr> mRetired;
        size_t mBusy;
        bool mStopping;
        /** Frame thread only. */
        std::unique_ptr<PreparedFiles> mPrepared;
        std::thread mThread;
    };
}

#endif
