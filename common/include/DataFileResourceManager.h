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
