#include "DataFileResourceManager.h"

#include <OgreResourceGroupManager.h>

template <> Wren::DataFileResourceManager* Ogre::Singleton<Wren::DataFileResourceManager>::msSingleton =
    nullptr;

namespace Wren
{
    DataFileResourceManager::DataFileResourceManager()
    {
        mResourceType = "DataFile";
        mLoadOrder = 400.0f;
        Ogre::ResourceGroupManager::getSingleton()._registerResourceManager(mResourceType, this);
    }

    DataFileResourceManager::~DataFileResourceManager()
    {
        Ogre::BackgroundResource::completeAllLoads();
        Ogre::ResourceGroupManager::getSingleton()._unregisterResourceManager(mResourceType);
    }

    Ogre::ResourcePtr DataFileResourceManager::load(const Ogre::String& name,
                                                    const Ogre::String& group, bool isManual,
                                                    Ogre::ManualResourceLoader* loader,
                                                    const Ogre::NameValuePairList* loadParams,
                                                    bool backgroundThread)
    {
        return Ogre::BackgroundResource::loadThrough(*this, name, group, isManual, loader,
                                                     loadParams, backgroundThread);
    }

    DataFileResourcePtr DataFileResourceManager::createOrRetrieveDataFile(const Ogre::String& name,
                                                                          const Ogre::String& group)
    {
        return Ogre::static_pointer_cast<DataFileResource>(createOrRetrieve(name, group).first);
    }

    DataFileResourcePtr DataFileResourceManager::getDataFileByName(const Ogre::String& name,
                                                                   const Ogre::String& group)
    {
        return Ogre::static_pointer_cast<DataFileResource>(getResourceByName(name, group));
    }

    Ogre::Resource* DataFileResourceManager::createImpl(const Ogre::String& name,
                                                        Ogre::ResourceHandle handle,
                                                        const Ogre::String& group, bool isManual,
                                                        Ogre::ManualResourceLoader* loader,
                                                        const Ogre::NameValuePairList*)
    {
        return new DataFileResource(this, name, handle, group, isManual, loader);
    }

    DataFileResourceManager& DataFileResourceManager::getSingleton()
    {
        assert(msSingleton);
        return *msSingleton;
    }

    DataFileResourceManager* DataFileResourceManager::getSingletonPtr() { return msSingleton; }
}
