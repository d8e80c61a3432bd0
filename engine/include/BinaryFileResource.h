#ifndef __OgreBinaryFileResource_H__
#define __OgreBinaryFileResource_H__

#include "BinaryDataElement.h"
#include "OgreBackgroundResource.h"

#include <atomic>
#include <memory>

namespace Ogre
{
    /** A binary data file: one tree of BinaryDataElement, kept in the bytes
        that BinaryDataFormat describes. It is either made free-standing with
        the default constructor (to be filled and saved) or is an engine
        resource of type "BinaryFile" made by BinaryFileResourceManager and
        loaded from its resource group by name.

        Loading: a file that is missing or malformed fails the load with an
        Ogre::Exception (the reason is logged), leaves the resource unloaded
        and marks it bad until a later load succeeds; so does a file whose
        tree would take more memory than BinaryDataFormat allows, and any
        other failure of reading it (a failed allocation among them). A
        background load (loadInBackground, see BackgroundResource) reads and
        parses the file on the BackgroundLoader's thread; the frame thread
        polls isBadResource() (which completes a finished load) and
        isLoaded(). While it runs, getRootElement() is null; a load() or
        unload() on the frame thread first waits for it to end.
    */
    class WREN_ENGINE_EXPORT BinaryFileResource : public BackgroundResource
    {
    public:
        /** A free-standing, empty file without root; not managed. */
        BinaryFileResource();
        BinaryFileResource(ResourceManager* creator, const String& name, ResourceHandle handle,
                           const String& group, bool isManual = false,
                           ManualResourceLoader* loader = nullptr);
        ~BinaryFileResource() override;

        /** Makes a new root element of that name, replacing any previous
            tree, and returns it. */
        BinaryDataElement* createRootElement(const char* name);
        /** The root, or null when there is none or a background load is
            still running. */
        BinaryDataElement* getRootElement();

        /** Writes the tree to a file through a temporary file and a rename,
            so that a failed save leaves the previous file as it was. False
            (and a logged reason) when the tree breaks a limit of the format
            or the file can not be written. */
        bool save(const String& path);
        /** Replaces the tree by the one in a file on disk, bypassing the
            resource groups. On failure the tree is unchanged, the reason is
            logged and false is returned. */
        bool loadFromFile(const String& path);
        /** The same, from bytes in memory. */
        bool loadFromMemory(const void* data, size_t size);

        /** True when the last load failed. Completes a background load
            whose work has ended (frame thread). */
        bool isBadResource() const;
        /** Why the last load failed (empty after a good one and while a
            load runs). */
        const String& getLastError() const;

    protected:
        void loadImpl() override;
        void unloadImpl() override;
        size_t calculateSize() const override { return mFileSize; }
        bool parseFile(const void* data, size_t size, String& error) override;
        bool finishBackgroundLoad(bool parsed, const String& error) override;

    private:
        BinaryFileResource(const BinaryFileResource&) = delete;
        BinaryFileResource& operator=(const BinaryFileResource&) = delete;

        /** Records and logs a failed load. */
        void failed(const String& what, const String& error);

        std::unique_ptr<BinaryDataElement> mRoot;
        size_t mFileSize;
        std::atomic<bool> mBad;
        String mError;
    };

    typedef SharedPtr<BinaryFileResource> BinaryFileResourcePtr;
    /** The handle callers keep of a binary data file. */
    typedef BinaryFileResourcePtr IBinaryFileResourcePtr;
}

#endif
