#include "OgreThreadLoader.h"

namespace Ogre
{
    ThreadLoader::ThreadLoader() {}

    ThreadLoader::~ThreadLoader() { waitForBackgroundLoad(); }

    void ThreadLoader::waitForBackgroundLoad()
    {
        // The loader thread's work refers to this object; it must be done
        // before the object goes.
        if (mTask)
            mTask->wait();
    }

    void ThreadLoader::load(bool background)
    {
        if (mState != Resource::LOADSTATE_UNLOADED || mBad)
            return;
        preLoadImpl();
        BackgroundLoader* loader = BackgroundLoader::getSingletonPtr();
        if (background && loader && canLoadInBackground())
        {
            mState = Resource::LOADSTATE_LOADING;
            mTask = loader->submit([this]() { mBackgroundResult = loadImpl(); });
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
