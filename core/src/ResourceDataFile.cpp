#include "ResourceDataFile.h"

#include "DataFileResourceManager.h"
#include "EngineLog.h"

#include <OgreException.h>

#include <OgreResourceGroupManager.h>

namespace Wren
{
    ResourceDataFile::ResourceDataFile(const std::string& name, const std::string& group)
    {
        DataFileResourceManager* dataFiles = DataFileResourceManager::getSingletonPtr();
        if (!dataFiles || name.empty())
            return;
        try
        {
            mResource = Ogre::static_pointer_cast<DataFileResource>(dataFiles->load(name, group));
        }
        catch (const Ogre::Exception& e)
        {
            EngineLog::line("can not load " + name + ": " + e.getDescription());
        }
        if (mResource && mResource->getDataFile())
            return;
        forget();

        Ogre::ResourceGroupManager* groups = Ogre::ResourceGroupManager::getSingletonPtr();
        if (!groups || !groups->resourceGroupExists(group))
            return;
        Ogre::DataStreamPtr stream = groups->openResource(name, group, nullptr, false);
        if (!stream)
            return;
        std::unique_ptr<SelectorDataFile> file(new SelectorDataFile());
        if (file->load(stream))
            mDirect = std::move(file);
    }

    DataFile* ResourceDataFile::getFile() const
    {
        if (mDirect)
            return mDirect.get();
        return mResource ? mResource->getDataFile() : nullptr;
    }

    void ResourceDataFile::forget()
    {
        if (!mResource || mForgotten)
            return;
        mForgotten = true;
        if (DataFileResourceManager* dataFiles = DataFileResourceManager::getSingletonPtr())
            if (dataFiles->getByHandle(mResource->getHandle()))
                dataFiles->remove(mResource->getHandle());
    }
}
