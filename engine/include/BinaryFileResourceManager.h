#ifndef __OgreBinaryFileResourceManager_H__
#define __OgreBinaryFileResourceManager_H__

#include "BinaryFileResource.h"

#include <OgreResourceManager.h>

namespace Ogre
{
    /** Manager of the resource type "BinaryFile" (load order 410). The host
        makes the one instance after the Root; it registers itself with the
        resource group manager while it lives and must be deleted before the
        Root. Only one may exist at a time. */
    class WREN_ENGINE_EXPORT BinaryFileResourceManager : public ResourceManager
    {
    public:
        BinaryFileResourceManager();
        ~BinaryFileResourceManager() override;

        /** Finds or makes the resource of that name and loads it. With
            backgroundThread true and a BackgroundLoader in existence the load
            runs on the loader's thread and the handle returns at once (poll
            isLoaded() and isBadResource()); otherwise the file is loaded
            before the call returns, and a missing or malformed file throws
            an Ogre::Exception. The handle is a BinaryFileResource. */
        ResourcePtr load(const String& name, const String& group, bool isManual = false,
                         ManualResourceLoader* loader = nullptr,
                         const NameValuePairList* loadParams = nullptr,
                         bool backgroundThread = false);

        /** The resource of that name, made (not loaded) when absent. */
        BinaryFileResourcePtr createOrRetrieveBinaryFile(const String& name, const String& group);
        /** The resource of that name if it exists, else null. */
        BinaryFileResourcePtr getBinaryFileByName(const String& name, const String& group);

        static BinaryFileResourceManager& getSingleton();
        static BinaryFileResourceManager* getSingletonPtr();

    protected:
        // Kept here rather than through Ogre::Singleton, whose constructor
        // casts to this class before it is constructed.
        static BinaryFileResourceManager* msSingleton;

        Resource* createImpl(const String& name, ResourceHandle handle, const String& group,
                             bool isManual, ManualResourceLoader* loader,
                             const NameValuePairList* createParams) override;
    };
}

#endif
