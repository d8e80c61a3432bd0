#ifndef __OgreThreadLoader_H__
#define __OgreThreadLoader_H__

#include "WrenEnginePrerequisites.h"

#include "OgreBackgroundLoader.h"

#include <OgreResource.h>

#include <memory>

namespace Ogre
{
    /** Base of something that is not an engine resource but loads like one,
        on request in the background: collision shapes, for example.

        Only a loader whose state is Resource::LOADSTATE_LOADED is usable. It
        loads at once, or, when asked for a background load while the engine's
        BackgroundLoader exists, its loadImpl runs on the loader thread and
        the frame thread polls GetLoadingState(), which completes the load
        once the work is done. So a loadImpl that may run in the background
        must only read and compute into the loader's own memory: no logging,
        no creating, opening or removing of resources.

        A background load needs the loader to be owned by a std::shared_ptr
        (an Ogre::SharedPtr, as every CollisionShapePtr is): the queued work
        holds the loader, so dropping its last handle while the load is
        queued or running never destroys it under the work; it is deleted
        on the frame thread once the work is done (at the BackgroundLoader's
        next collect()). A loader owned otherwise loads at once.

        Order of a load: preLoadImpl (frame thread), loadImpl, postLoadImpl
        (frame thread; also after a failed loadImpl). A failed loadImpl leaves
        the loader unloaded and marks it bad; a bad loader is not loaded again
        until it has been unloaded. Order of an unload: preUnloadImpl,
        unloadImpl, postUnloadImpl; a background load still running is
        waited for first.

        A loader whose loadImpl needs the frame thread says so through
        canLoadInBackground(); it then loads at once even when asked for a
        background load.
    */
    class WREN_ENGINE_EXPORT ThreadLoader : public std::enable_shared_from_this<ThreadLoader>
    {
    public:
        ThreadLoader();
        virtual ~ThreadLoader();

        ThreadLoader(const ThreadLoader&) = delete;
        ThreadLoader& operator=(const ThreadLoader&) = delete;

        /** Loads unless loaded, loading or bad. With background true, a
            loader thread present and the loader owned by a shared pointer,
            returns at once in LOADSTATE_LOADING. */
        void load(bool background = false);
        /** Unloads a loaded loader and clears the bad mark. */
        void unload();
        /** As load, but a background load already under way is waited for
            and completed now when background is false. */
        void escalatedload(bool background);
        /** As unload; background is accepted for symmetry, the unload always
            happens at once. */
        void escalatedunload(bool background);

        /** LOADSTATE_UNLOADED, LOADSTATE_LOADING or LOADSTATE_LOADED; polls a
            background load and completes it when its work is done. */
        Resource::LoadingState GetLoadingState();
        /** True after a load whose loadImpl failed, until unload. */
        bool isBadResource() const { return mBad; }

    protected:
        /** Whether loadImpl may run on the loader thread; the base says yes. */
        virtual bool canLoadInBackground() const { return true; }
        virtual void preLoadImpl() {}
        virtual void postLoadImpl() {}
        virtual void preUnloadImpl() {}
        virtual void postUnloadImpl() {}
        /** Does the loading work; false when it cannot. */
        virtual bool loadImpl() = 0;
        /** Releases what loadImpl made. */
        virtual void unloadImpl() = 0;

        /** Blocks until a background load of this loader has done its work.
            A destructor never needs it (the work holds the loader), but
            other frame-thread code may wait this way. */
        void waitForBackgroundLoad();

    private:
        void finishLoad(bool succeeded);
        void completeBackgroundLoad();

        Resource::LoadingState mState = Resource::LOADSTATE_UNLOADED;
        bool mBad = false;
        bool mBackgroundResult = false;
        BackgroundLoader::TaskPtr mTask;
    };
}

#endif
