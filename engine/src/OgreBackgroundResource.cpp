#include "OgreBackgroundResource.h"

#include <OgreResourceGroupManager.h>
#include <OgreResourceManager.h>

namespace Ogre
{
    BackgroundResource::BackgroundResource(ResourceManager* creator, const String& name,
                                           ResourceHandle handle, const String& group,
                                           bool isManual, ManualResourceLoader* loader)
        : Resource(creator, name, handle, group, isManual, loader)
    {
    }

    BackgroundResource::BackgroundResource() {}

    // The work holds the resource, so none can be left running here.
    BackgroundResource::~BackgroundResource() {}

    DataStreamPtr BackgroundResource::openFile()
    {
        return ResourceGroupManager::getSingleton().openResource(mName, mGroup, this);
    }

    bool BackgroundResource::readAndParse(const DataStreamPtr& stream, String& error)
    {
        try
        {
            DataStreamPtr source = stream;
            MemoryDataStream bytes(source, true, true);
            return parseFile(bytes.getPtr(), bytes.size(), error);
        }
        catch (const Exception& e)
        {
            error = e.getDescription();
        }
        catch (const std::bad_alloc&)
        {
            error = "out of memory";
        }
        catch (const std::exception& e)
        {
            error = e.what();
        }
        return false;
    }

    void BackgroundResource::loadInBackground(BackgroundLoader& loader)
    {
        if (isBackgroundLoading())
            return;
        const LoadingState state = mLoadingState.load();
        if (state != LOADSTATE_UNLOADED && state != LOADSTATE_PREPARED)
            return;
        ResourcePtr self = mCreator ? mCreator->getByHandle(mHandle) : ResourcePtr();
        if (self.get() != this)
        {
            try
            {
                load();
            }
            catch (const std::exception&)
            {
                // The subclass has recorded and logged the failure.
            }
            return;
        }
        LoadingState unloaded = state;
        if (!mLoadingState.compare_exchange_strong(unloaded, LOADSTATE_LOADING))
            return;
        mParsed = false;
        mBackgroundError.clear();
        DataStreamPtr stream;
        try
        {
            stream = openFile();
        }
        catch (const std::exception& e)
        {
            const Exception* ogre = dynamic_cast<const Exception*>(&e);
            mBackgroundError = ogre ? ogre->getDescription() : String(e.what());
        }
        if (!stream)
        {
            if (mBackgroundError.empty())
                mBackgroundError = "can not open " + mName;
            completeBackgroundLoad();
            return;
        }
        mTask = loader.submit(
            [this, stream]() mutable {
                mParsed = readAndParse(stream, mBackgroundError);
                stream->close();
                stream.reset();
            },
            [this]() { completeBackgroundLoad(); }, self);
    }

    bool BackgroundResource::isBackgroundLoading()
    {
        if (!mTask)
            return false;
        BackgroundLoader::TaskPtr task = mTask;
        return !task->complete();
    }

    void BackgroundResource::settleBackgroundLoad()
    {
        if (!mTask)
            return;
        BackgroundLoader::TaskPtr task = mTask;
        task->wait();
        task->complete();
    }

    void BackgroundResource::completeBackgroundLoad()
    {
        mTask.reset();
        if (!finishBackgroundLoad(mParsed, mBackgroundError))
        {
            mLoadingState.store(LOADSTATE_UNLOADED);
            return;
        }
        mSize = calculateSize();
        mLoadingState.store(LOADSTATE_LOADED);
        _dirtyState();
        // A resource its manager dropped meanwhile is no longer counted there.
        if (mCreator && mCreator->getByHandle(mHandle).get() == this)
            mCreator->_notifyResourceLoaded(this);
        _fireLoadingComplete(true);
    }

    ResourcePtr BackgroundResource::loadThrough(ResourceManager& manager, const String& name,
                                                const String& group, bool isManual,
                                                ManualResourceLoader* loader,
                                                const NameValuePairList* loadParams,
                                                bool backgroundThread)
    {
        ResourcePtr resource = manager.createOrRetrieve(name, group, isManual, loader, loadParams).first;
        BackgroundLoader* threads = BackgroundLoader::getSingletonPtr();
        auto* file = dynamic_cast<BackgroundResource*>(resource.get());
        if (backgroundThread && threads && file)
            file->loadInBackground(*threads);
        else
            resource->load();
        return resource;
    }

    void BackgroundResource::completeAllLoads()
    {
        if (BackgroundLoader* threads = BackgroundLoader::getSingletonPtr())
        {
            threads->waitForAll();
            threads->collect();
        }
    }

    void BackgroundResource::load(bool backgroundThread)
    {
        settleBackgroundLoad();
        Resource::load(backgroundThread);
    }

    void BackgroundResource::unload()
    {
        settleBackgroundLoad();
        Resource::unload();
    }
}
