#include "BinaryFileResource.h"

#include "AtomicFile.h"
#include "BinaryDataFormat.h"
#include "EngineLog.h"

#include <OgreResourceGroupManager.h>
#include <OgreResourceManager.h>

#include <fstream>
#include <iterator>

namespace Ogre
{
    namespace
    {
        void logLine(const String& line) { Wren::EngineLog::line(line); }
    }

    BinaryFileResource::BinaryFileResource() : mFileSize(0), mBad(false) {}

    BinaryFileResource::BinaryFileResource(ResourceManager* creator, const String& name,
                                           ResourceHandle handle, const String& group,
                                           bool isManual, ManualResourceLoader* loader)
        : BackgroundResource(creator, name, handle, group, isManual, loader),
          mFileSize(0),
          mBad(false)
    {
    }

    BinaryFileResource::~BinaryFileResource() { unload(); }

    BinaryDataElement* BinaryFileResource::createRootElement(const char* name)
    {
        settleBackgroundLoad();
        mRoot.reset(new BinaryDataElement(name));
        return mRoot.get();
    }

    BinaryDataElement* BinaryFileResource::getRootElement()
    {
        if (isBackgroundLoading())
            return nullptr;
        return mRoot.get();
    }

    bool BinaryFileResource::save(const String& path)
    {
        settleBackgroundLoad();
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
        settleBackgroundLoad();
        std::ifstream in(path, std::ios::binary);
        if (!in)
        {
            logLine("BinaryFileResource: can not open " + path);
            return false;
        }
        DataStreamPtr stream(new FileStreamDataStream(path, &in, false));
        String error;
        if (!readAndParse(stream, error))
        {
            logLine("BinaryFileResource: can not read " + path + ": " + error);
            return false;
        }
        return true;
    }

    bool BinaryFileResource::loadFromMemory(const void* data, size_t size)
    {
        settleBackgroundLoad();
        DataStreamPtr stream(new MemoryDataStream(const_cast<void*>(data), size, false, true));
        String error;
        if (!readAndParse(stream, error))
        {
            logLine("BinaryFileResource: can not read " + (mName.empty() ? "<memory>" : mName) +
                    ": " + error);
            return false;
        }
        return true;
    }

    bool BinaryFileResource::parseFile(const void* data, size_t size, String& error)
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
        const_cast<BinaryFileResource*>(this)->isBackgroundLoading();
        return mBad.load();
    }

    const String& BinaryFileResource::getLastError() const
    {
        static const String none;
        return isLoading() ? none : mError;
    }

    void BinaryFileResource::failed(const String& what, const String& error)
    {
        mError = error;
        mBad.store(true);
        logLine("BinaryFileResource: can not " + what + " " + mName + ": " + error);
    }

    bool BinaryFileResource::finishBackgroundLoad(bool parsed, const String& error)
    {
        if (parsed)
        {
            mBad.store(false);
            mError.clear();
            return true;
        }
        failed("load", error);
        return false;
    }

    void BinaryFileResource::loadImpl()
    {
        mBad.store(false);
        mError.clear();
        DataStreamPtr stream;
        try
        {
            stream = openFile();
        }
        catch (const Exception& e)
        {
            failed("open", e.getDescription());
            throw;
        }
        String error;
        if (!readAndParse(stream, error))
        {
            failed("read", error);
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
