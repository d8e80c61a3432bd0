#include "DataFileResource.h"

#include "GenericUtils.h"
#include "SelectorDataFile.h"

#include <OgreLogManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreStringInterface.h>

#include <fstream>

namespace Wren
{
    namespace
    {
        class FullPathCommand : public Ogre::ParamCommand
        {
        public:
            Ogre::String doGet(const void* target) const override
            {
                return static_cast<const DataFileResource*>(target)->getFullPath();
            }
            void doSet(void* target, const Ogre::String& value) override
            {
                static_cast<DataFileResource*>(target)->setFullPath(value);
            }
        };

        FullPathCommand gFullPathCommand;
    }

    DataFileResource::DataFileResource(Ogre::ResourceManager* creator, const Ogre::String& name,
                                       Ogre::ResourceHandle handle, const Ogre::String& group,
                                       bool isManual, Ogre::ManualResourceLoader* loader)
        : Ogre::Resource(creator, name, handle, group, isManual, loader), mDataFile(nullptr)
    {
        if (createParamDictionary("DataFileResource"))
        {
            getParamDictionary()->addParameter(
                Ogre::ParameterDef("full_path",
                                   "The full path to the data file, including file\tname. Used if "
                                   "you don't\tthe\tdata file to automatically look\tup the "
                                   "path\tfrom the archive system.",
                                   Ogre::PT_STRING),
                &gFullPathCommand);
        }
    }

    DataFileResource::~DataFileResource() { unload(); }

    void DataFileResource::loadImpl()
    {
        mDataFile = new SelectorDataFile(false);
        if (mFullPath.empty())
        {
            std::string path = mName;
            if (!GenericUtils::findFilePath(path))
            {
                Ogre::LogManager::getSingleton().logMessage(
                    "DataFileResource: can not find data file " + mName);
                delete mDataFile;
                mDataFile = nullptr;
                return;
            }
        }
        Ogre::DataStreamPtr stream;
        try
        {
            stream = mFullPath.empty() ? openByName() : openFullPath();
        }
        catch (const Ogre::Exception& e)
        {
            Ogre::LogManager::getSingleton().logMessage("DataFileResource: can not open " + mName +
                                                        ": " + e.getDescription());
        }
        if (!stream || !mDataFile->load(stream))
        {
            delete mDataFile;
            mDataFile = nullptr;
        }
    }

    Ogre::DataStreamPtr DataFileResource::openByName()
    {
        // World files live in "PLSM2"; metadata and objects files may be in
        // any group, so the group that holds the name is asked next.
        Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
        std::string group = "PLSM2";
        if (!groups.resourceGroupExists(group) || !groups.resourceExists(group, mName))
            group = groups.findGroupContainingResource(mName);
        return groups.openResource(mName, group, this);
    }

    Ogre::DataStreamPtr DataFileResource::openFullPath()
    {
        auto* file = new std::ifstream(mFullPath, std::ios::in | std::ios::binary);
        if (!*file)
        {
            delete file;
            OGRE_EXCEPT(Ogre::Exception::ERR_FILE_NOT_FOUND, "can not open file " + mFullPath,
                        "DataFileResource::openFullPath");
        }
        return Ogre::DataStreamPtr(new Ogre::FileStreamDataStream(mFullPath, file, true));
    }

    void DataFileResource::unloadImpl()
    {
        delete mDataFile;
        mDataFile = nullptr;
    }
}
