#include "CorePartitionResourceLoading.h"

#include "BinaryFileResourceManager.h"
#include "CompleteObjectDataInfo.h"
#include "DataElement.h"
#include "DataFile.h"
#include "DataFileResourceManager.h"
#include "EngineLog.h"
#include "OgreBackgroundLoader.h"

#include <OgreStringConverter.h>

#include <cstring>

namespace Wren
{
    namespace
    {
        void logLine(const std::string& line)
        {
            EngineLog::line("CorePartitionResourceLoading: " + line);
        }

        /** Loaded, or failed and no longer loading: nothing to wait for.
            Completes a background load whose work has ended. */
        bool isSettled(const DataFileResourcePtr& file)
        {
            if (file->isBackgroundLoading())
                return false;
            Ogre::Resource::LoadingState state = file->getLoadingState();
            return state != Ogre::Resource::LOADSTATE_LOADING &&
                   state != Ogre::Resource::LOADSTATE_PREPARING;
        }

        /** Completes, on this frame thread, the loads whose work has ended. */
        void collectFinishedLoads()
        {
            if (Ogre::BackgroundLoader* loader = Ogre::BackgroundLoader::getSingletonPtr())
                loader->collect();
        }
    }

    CorePartitionResourceLoading::CorePartitionResourceLoading() : mMetadataStage(false) {}

    CorePartitionResourceLoading::~CorePartitionResourceLoading() {}

    void CorePartitionResourceLoading::load(const std::string& xmlFileName)
    {
        if (mXmlFile || mMetadataStage)
            return;
        DataFileResourceManager* files = DataFileResourceManager::getSingletonPtr();
        if (!files)
        {
            logLine("no data file manager to load " + xmlFileName);
            return;
        }
        try
        {
            mXmlFile = Ogre::static_pointer_cast<DataFileResource>(
                files->load(xmlFileName, "General", false, nullptr, nullptr, true));
        }
        catch (const Ogre::Exception& e)
        {
            logLine("can not load objects file " + xmlFileName + ": " + e.getDescription());
            mXmlFile.reset();
        }
    }

    void CorePartitionResourceLoading::loadBinary(const std::string& binaryFileName)
    {
        if (mBinaryFile || mMetadataStage)
            return;
        Ogre::BinaryFileResourceManager* files = Ogre::BinaryFileResourceManager::getSingletonPtr();
        if (!files)
        {
            logLine("no binary file manager to load " + binaryFileName);
            return;
        }
        try
        {
            mBinaryFile = Ogre::static_pointer_cast<Ogre::BinaryFileResource>(
                files->load(binaryFileName, "PLSM2", false, nullptr, nullptr, true));
        }
        catch (const Ogre::Exception& e)
        {
            // Without a loader thread the file loads at once and may fail.
            logLine("can not load objects file " + binaryFileName + ": " + e.getDescription());
            mBinaryFile.reset();
        }
    }

    void CorePartitionResourceLoading::requestMetadata(const std::string& metadataId,
                                                       bool background)
    {
        if (metadataId.empty())
            return;
        DataFileResourceManager* files = DataFileResourceManager::getSingletonPtr();
        if (!files)
            return;
        try
        {
            mPendingMetadata.push_back(Ogre::static_pointer_cast<DataFileResource>(
                files->load(metadataId, "General", false, nullptr, nullptr, background)));
        }
        catch (const Ogre::Exception& e)
        {
            logLine("can not load metadata file " + metadataId + ": " + e.getDescription());
        }
    }

    bool CorePartitionResourceLoading::drainMetadata()
    {
        for (auto it = mPendingMetadata.begin(); it != mPendingMetadata.end();)
        {
            if (isSettled(*it))
                it = mPendingMetadata.erase(it);
            else
                ++it;
        }
        if (!mPendingMetadata.empty())
            return false;
        mMetadataStage = false;
        return true;
    }

    bool CorePartitionResourceLoading::isBinaryLoaded()
    {
        collectFinishedLoads();
        if (!mBinaryFile)
            return drainMetadata();

        const bool bad = mBinaryFile->isBadResource();
        if (!bad && !mBinaryFile->isLoaded())
            return false;
        mPendingMetadata.clear();
        Ogre::BinaryDataElement* root = bad ? nullptr : mBinaryFile->getRootElement();
        if (root)
        {
            size_t index = 0;
            for (Ogre::IBinaryDataElement* object = root->getFirstChildElement("Object"); object;
                 object = object->getNextChildElement("Object"), ++index)
            {
                if (object->getSize() == 0)
                    continue;
                if (object->getSize() != CompleteObjectDataInfo::Size)
                {
                    logLine(mBinaryFile->getName() + ": record " +
                            Ogre::StringConverter::toString(index) + " is not 276 bytes");
                    continue;
                }
                const char* record = static_cast<const char*>(object->getBuf());
                requestMetadata(CompleteObjectDataInfo::text(record + CompleteObjectDataInfo::MetaIdOffset,
                                                             CompleteObjectDataInfo::MetaIdSize),
                                true);
            }
        }
        mBinaryFile.reset();
        mMetadataStage = true;
        return false;
    }

    bool CorePartitionResourceLoading::isLoaded()
    {
        collectFinishedLoads();
        if (!mXmlFile)
            return drainMetadata();

        if (!isSettled(mXmlFile) || !mXmlFile->isLoaded())
        {
            if (isSettled(mXmlFile))
            {
                // Failed and no longer loading: the partition's load reports it.
                mXmlFile.reset();
                mMetadataStage = true;
            }
            return false;
        }
        mPendingMetadata.clear();
        DataFile* document = mXmlFile->getDataFile();
        if (!document)
        {
            logLine("objects file " + mXmlFile->getName() + " holds no document");
            mXmlFile.reset();
            mMetadataStage = true;
            return false;
        }
        DataElementPtr root = document->getRootElement();
        if (!root->getIsEmpty())
        {
            for (DataElementPtr object = root->getFirstChild("Object"); !object->getIsEmpty();
                 object = object->getNextSibling("Object"))
            {
                const std::string type = object->getAttributeString("Type", "");
                if (type.empty())
                    continue;
                DataElementPtr core = object->getFirstChild("CoreData");
                if (core->getIsEmpty())
                    continue;
                requestMetadata(core->getAttributeString("MetaID", ""), true);
            }
        }
        mXmlFile.reset();
        mMetadataStage = true;
        return false;
    }

    void CorePartitionResourceLoading::resetLoadState()
    {
        mMetadataStage = false;
        mBinaryFile.reset();
        mXmlFile.reset();
        mPendingMetadata.clear();
    }
}
