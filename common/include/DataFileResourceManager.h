#ifndef __WrenDataFileResourceManager_H__
#define __WrenDataFileResourceManager_H__

#include "DataFileResource.h"

#include <OgreResourceManager.h>
#include <OgreSingleton.h>

namespace Wren
{
    /** Manager of the resource type "DataFile" (load order 400). The host
        makes the one instance; it registers itself with the resource group
        manager while it lives. */
    class WREN_COMMON_EXPORT DataFileResourceManager
        : public Ogre::ResourceManager,
          public Ogre::Singleton<DataFileResourceManager>
    {
    public:
        DataFileResourceManager();
        ~DataFileResourceManager() override;

        /** Finds or makes the resource of that name and loads it. With
            backgroundThread true and an Ogre::BackgroundLoader in existence
            the file is read and parsed on the loader's thread and the handle
            returns at once (poll getDataFile() or isLoaded(); see
            DataFileResource); otherwise it is loaded before the call
            returns. The handle is a DataFileResource. */
        Ogre::ResourcePtr load(const Ogre::String& name, const Ogre::String& group,
                               bool isManual = false, Ogre::ManualResourceLoader* loader = nullptr,
                               const Ogre::NameValuePairList* loadParams = nullptr,
                               bool backgroundThread = false);

        /** The resource of that name, made (not loaded) when absent. */
        DataFileResourcePtr createOrRetrieveDataFile(const Ogre::String& name,
                                                     const Ogre::String& group);
        /** The resource of that name if it exists, else null. */
        DataFileResourcePtr getDataFileByName(const Ogre::String& name, const Ogre::String& group);

        static DataFileResourceManager& getSingleton();
        static DataFileResourceManager* getSingletonPtr();

    protected:
        Ogre::Resource* createImpl(const Ogre::String& name, Ogre::ResourceHandle handle,
                                   const Ogre::String& group, bool isManual,
                                   Ogre::ManualResourceLoader* loader,
                                   const Ogre::NameValuePairList* createParams) override;
    };
}

#endif
