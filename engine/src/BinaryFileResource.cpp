#include "BinaryFileResource.h"

#include "AtomicFile.h"
#include "BinaryDataFormat.h"

#include <OgreLogManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreResourceManager.h>

#include <fstream>
#include <iterator>

namespace Ogre
{
    namespace
    {
        void logLine(const String& line)
        {
            if (LogManager* logs = LogManager::getSingletonPtr())
                logs->logMessage(line);
        }
    }

    BinaryFileResource::BinaryFileResource() : mFileSize(0), mBad(false), mErrorLogged(true) {}

    BinaryFileResource::BinaryFileResource(ResourceManager* creator, const String& name,
                                           ResourceHandle handle, const String& group,
                                           bool isManual, ManualResourceLoader* loader)
        : Resource(creator, name, handle, group, isManual, loader),
          mFileSize(0),
          mBad(false),
          mErrorLogged(true)
    {
    }

    BinaryFileResource::~BinaryFileResource()
    {
        settleTask();
        unload();
    }

    BinaryDataElement* BinaryFileResource::createRootElement(const char* name)
    {
        settleTask();
        mRoot.reset(new BinaryDataElement(name));
        return mRoot.get();
    }

    BinaryDataElement* BinaryFileResource::getRootElement()
    {
        if (taskRunning())
            return nullptr;
        return mRoot.get();
    }

    bool BinaryFileResource::save(const String& path)
    {
        settleTask();
        std::vector<unsigned char> bytes;
        String error;
        if (!BinaryDataFormat::write(mRoot.get(), bytes, error))
        {
            logLine("BinaryFileResource: can not save " + path + ": " + error);
            return false;
        }
        return Wren::AtomicFile::write(path, bytes.data(), bytes.size());
    }

    bool BinaryFileResource::loadFromFile(const String& path)
    {
        settleTask();
        std::ifstream in(path, std::ios::binary);
        if (!in)
        {
            logLine("BinaryFileResource: can not open " + path);
            return false;
        }
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (in.bad())
        {
            logLine("BinaryFileResource: can not read " + path);
            return false;
        }
        String error;
        if (!parse(bytes.data(), bytes.size(), error))
        {
            logLine("BinaryFileResource: can not read " + path + ": " + error);
            return false;
        }
        return true;
    }

    bool BinaryFileResource::loadFromMemory(const void* data, size_t size)
    {
        settleTask();
        String error;
        if (!parse(data, size, error))
        {
            logLine("BinaryFileResource: can not read " + (mName.empty() ? "<memory>" : mName) +
                    ": " + error);
            return false;
        }
        return true;
    }

    bool BinaryFileResource::parse(const void* data, size_t size, String& error)
    {
        std::unique_ptr<BinaryDataElement> tree;
        if (!BinaryDataFormat::read(data, size, tree, error))
            return false;
        mRoot = std::move(tree);
        mFileSize = size;
        return true;
    }

    bool BinaryFileResource::isBadResource() const
    {
        if (!mBad.load())
            return false;
        if (!mErrorLogged && !taskRunning())
        {
            mErrorLogged = true;
            logLine("BinaryFileResource: can not load " + mName + ": " + mError);
        }
        return true;
    }

    const String& BinaryFileResource::getLastError() const
    {
        static const String none;
        return taskRunning() ? none : mError;
    }

    bool BinaryFileResource::taskRunning() const { return mTask && !mTask->isFinished(); }

    void BinaryFileResource::settleTask()
    {
        if (mTask)
        {
            mTask->wait();
            mTask.reset();
        }
    }

    void BinaryFileResource::loadInBackground(BackgroundLoader& loader)
    {
        if (taskRunning())
            return;
        settleTask();
        LoadingState old = mLoadingState.load();
        if (old != LOADSTATE_UNLOADED && old != LOADSTATE_PREPARED)
            return;
        if (!mLoadingState.compare_exchange_strong(old, LOADSTATE_LOADING))
            return;
        mBad.store(false);
        mError.clear();
        DataStreamPtr stream;
        try
        {
            // Opened here: the resource groups are not locked for the loader.
            stream = ResourceGroupManager::getSingleton().openResource(mName, mGroup, this);
        }
        catch (const Exception& e)
        {
            mError = e.getDescription();
            mBad.store(true);
            mLoadingState.store(LOADSTATE_UNLOADED);
            mErrorLogged = false;
            isBadResource();
            return;
        }
        mErrorLogged = false;
        mTask = loader.submit([this, stream]() { loadOnLoaderThread(stream); });
    }

    void BinaryFileResource::loadOnLoaderThread(DataStreamPtr stream)
    {
        // Touches nothing but this resource's own fields and the stream; the
        // frame thread reads them only after seeing the new loading state.
        String error;
        bool good = false;
        try
        {
            MemoryDataStream bytes(stream, true);
            stream->close();
            good = parse(bytes.getPtr(), bytes.size(), error);
        }
        catch (const Exception& e)
        {
            error = e.getDescription();
        }
        catch (const std::exception& e)
        {
            error = e.what();
        }
        if (good)
        {
            mSize = calculateSize();
            mLoadingState.store(LOADSTATE_LOADED);
            if (mCreator)
                mCreator->_notifyResourceLoaded(this);
        }
        else
        {
            mError = error;
            mBad.store(true);
            mLoadingState.store(LOADSTATE_UNLOADED);
        }
    }

    void BinaryFileResource::load(bool backgroundThread)
    {
        settleTask();
        Resource::load(backgroundThread);
    }

    void BinaryFileResource::unload()
    {
        settleTask();
        Resource::unload();
    }

    void BinaryFileResource::loadImpl()
    {
        mBad.store(false);
        mError.clear();
        mErrorLogged = true;
        DataStreamPtr stream;
        try
        {
            stream = ResourceGroupManager::getSingleton().openResource(mName, mGroup, this);
        }
        catch (const Exception& e)
        {
            mError = e.getDescription();
            mBad.store(true);
            logLine("BinaryFileResource: can not open " + mName + ": " + mError);
            throw;
        }
        MemoryDataStream bytes(stream, true);
        String error;
        if (!parse(bytes.getPtr(), bytes.size(), error))
        {
            mError = error;
            mBad.store(true);
            logLine("BinaryFileResource: can not read " + mName + ": " + error);
            OGRE_EXCEPT(Exception::ERR_INVALIDPARAMS, "malformed binary data file " + mName + ": " + error,
                        "BinaryFileResource::loadImpl");
        }
    }

    void BinaryFileResource::unloadImpl()
    {
        mRoot.reset();
        mFileSize = 0;
    }
}
