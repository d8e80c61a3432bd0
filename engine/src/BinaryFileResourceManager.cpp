#include "BinaryFileResourceManager.h"

#include <OgreResourceGroupManager.h>

#include <cassert>

namespace Ogre
{
    BinaryFileResourceManager* BinaryFileResourceManager::msSingleton = nullptr;

    BinaryFileResourceManager::BinaryFileResourceManager()
    {
        assert(!msSingleton);
        msSingleton = this;
        mResourceType = "BinaryFile";
        mLoadOrder = 410.0f;
        ResourceGroupManager::getSingleton()._registerResourceManager(mResourceType, this);
    }

    BinaryFileResourceManager::~BinaryFileResourceManager()
    {
        BackgroundResource::completeAllLoads();
        removeAll();
        ResourceGroupManager::getSingleton()._unregisterResourceManager(mResourceType);
        msSingleton = nullptr;
    }

    ResourcePtr BinaryFileResourceManager::load(const String& name, const String& group,
                                                bool isManual, ManualResourceLoader* loader,
                                                const NameValuePairList* loadParams,
                                                bool backgroundThread)
    {
        return BackgroundResource::loadThrough(*this, name, group, isManual, loader, loadParams,
                                               backgroundThread);
    }

    BinaryFileResourcePtr BinaryFileResourceManager::createOrRetrieveBinaryFile(const String& name,
                                                                               const String& group)
    {
        return static_pointer_cast<BinaryFileResource>(createOrRetrieve(name, group).first);
    }

    BinaryFileResourcePtr BinaryFileResourceManager::getBinaryFileByName(const String& name,
                                                                        const String& group)
    {
        return static_pointer_cast<BinaryFileResource>(getResourceByName(name, group));
    }

    Resource* BinaryFileResourceManager::createImpl(const String& name, ResourceHandle handle,
                                                    const String& group, bool isManual,
                                                    ManualResourceLoader* loader,
                                                    const NameValuePairList*)
    {
        return new BinaryFileResource(this, name, handle, group, isManual, loader);
    }

    BinaryFileResourceManager& BinaryFileResourceManager::getSingleton()
    {
        assert(msSingleton);
        return *msSingleton;
    }

    BinaryFileResourceManager* BinaryFileResourceManager::getSingletonPtr() { return msSingleton; }
}
