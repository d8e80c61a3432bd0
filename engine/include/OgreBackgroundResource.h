#ifndef __OgreBackgroundResource_H__
#define __OgreBackgroundResource_H__

#include "OgreBackgroundLoader.h"

#include <OgreResource.h>

namespace Ogre
{
    /** A resource read from one file whose reading and parsing can run on
        the BackgroundLoader's thread while the frame thread goes on.

        loadInBackground() opens the file on the calling frame thread (the
        resource groups are not locked for other threads) and hands the
        loader thread only the stream: there the file is read and parsed
        (parseFile). The load completes on the frame thread, where the state
        becomes LOADSTATE_LOADED, the manager is told and the resource's
        listeners run: at the first isBackgroundLoading(), load(), unload()
        or accessor of the subclass after the work ended, or at the loader's
        next collect(), whichever comes first. Until then the state reads
        LOADSTATE_LOADING.

        The work holds the resource: a resource whose handles are all
        dropped while it loads lives until its load completed on the frame
        thread, and is deleted there.
    */
    class WREN_ENGINE_EXPORT BackgroundResource : public Resource
    {
    public:
        /** A managed resource, as Resource's own constructor. */
        BackgroundResource(ResourceManager* creator, const String& name, ResourceHandle handle,
                           const String& group, bool isManual, ManualResourceLoader* loader);
        ~BackgroundResource() override;

        /** Starts loading on the loader's thread and returns at once. Does
            nothing unless the resource is unloaded (or prepared). A file that
            can not be opened ends the load at once. A resource that no
            manager holds loads at once. */
        void loadInBackground(BackgroundLoader& loader);
        /** Frame thread: completes a background load whose work has ended;
            true while the work is still queued or running. */
        bool isBackgroundLoading();

        /** What the managers of such resources do in their load(): finds or
            makes the resource of that name in manager and loads it, in the
            background when backgroundThread is true, a BackgroundLoader
            exists and the resource is a BackgroundResource, at once
            otherwise (throwing what the load throws). */
        static ResourcePtr loadThrough(ResourceManager& manager, const String& name,
                                       const String& group, bool isManual,
                                       ManualResourceLoader* loader,
                                       const NameValuePairList* loadParams,
                                       bool backgroundThread);

        /** Waits for every background load and completes it: what the
            manager of such resources does before it goes. */
        static void completeAllLoads();

        /** Waits for a background load and completes it, then loads as
            Resource::load does. */
        void load(bool backgroundThread = false) override;
        /** Waits for a background load and completes it, then unloads. */
        void unload() override;

    protected:
        /** A free-standing resource (no manager, no name). */
        BackgroundResource();

        /** Opens the file to read, on the frame thread; throws an
            Ogre::Exception when there is none. The default opens the
            resource's name in its group. */
        virtual DataStreamPtr openFile();
        /** Parses the whole file into the resource's own fields; false, with
            the reason in error, when it can not. During a background load it
            runs on the loader thread: it may touch only this resource's own
            fields (none that the frame thread reads while the load runs) and
            must not log or call on other resources. */
        virtual bool parseFile(const void* data, size_t size, String& error) = 0;
        /** Frame thread, at the end of a background load: whether the file
            was parsed, and why not (it could not be opened, read or parsed).
            Returns whether the resource counts as loaded. */
        virtual bool finishBackgroundLoad(bool parsed, const String& error) = 0;

        /** Reads stream to its end and parses it (parseFile); false with
            the reason. Catches what reading or parsing throws, so that a
            hostile file or a failed allocation never escapes. */
        bool readAndParse(const DataStreamPtr& stream, String& error);
        /** Waits for a background load and completes it. */
        void settleBackgroundLoad();

    private:
        void completeBackgroundLoad();

        BackgroundLoader::TaskPtr mTask;
        /** Written by the work, read by the frame thread once it ended. */
        bool mParsed = false;
        String mBackgroundError;
    };
}

#endif
