#include "OgreThreadLoader.h"

namespace Ogre
{
    ThreadLoader::ThreadLoader() {}

    // A background load holds the loader until its work is done and the
    // frame thread has released it, so no work can be left to wait for.
    ThreadLoader::~ThreadLoader() {}

    void ThreadLoader::waitForBackgroundLoad()
    {
        if (mTask)
            mTask->wait();
    }

    void ThreadLoader::load(bool background)
    {
        if (mState != Resource::LOADSTATE_UNLOADED || mBad)
            return;
        preLoadImpl();
        BackgroundLoader* loader = BackgroundLoader::getSingletonPtr();
        std::shared_ptr<ThreadLoader> self;
        if (background && loader && canLoadInBackground())
            self = weak_from_this().lock();
        if (self)
        {
            mState = Resource::LOADSTATE_LOADING;
            mTask = loader->submit([this]() { mBackgroundResult = loadImpl(); }, nullptr, self);
            return;
        }
        finishLoad(loadImpl());
    }

    void ThreadLoader::escalatedload(bool background)
    {
        if (mState == Resource::LOADSTATE_LOADING && !background)
        {
            mTask->wait();
            completeBackgroundLoad();
            return;
        }
        load(background);
    }

    void ThreadLoader::unload()
    {
        if (mState == Resource::LOADSTATE_LOADING)
        {
            mTask->wait();
            completeBackgroundLoad();
        }
        mBad = false;
        if (mState != Resource::LOADSTATE_LOADED)
            return;
        preUnloadImpl();
        unloadImpl();
        mState = Resource::LOADSTATE_UNLOADED;
        postUnloadImpl();
    }

    void ThreadLoader::escalatedunload(bool) { unload(); }

    Resource::LoadingState ThreadLoader::GetLoadingState()
    {
        if (mState == Resource::LOADSTATE_LOADING && mTask->isFinished())
            completeBackgroundLoad();
        return mState;
    }

    void ThreadLoader::finishLoad(bool succeeded)
    {
        mState = succeeded ? Resource::LOADSTATE_LOADED : Resource::LOADSTATE_UNLOADED;
        mBad = !succeeded;
        postLoadImpl();
    }

    void ThreadLoader::completeBackgroundLoad()
    {
        mTask.reset();
        finishLoad(mBackgroundResult);
    }
}
