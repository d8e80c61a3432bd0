#include "DataFileResource.h"

#include "EngineLog.h"
#include "GenericUtils.h"
#include "SelectorDataFile.h"

#include <OgreResourceGroupManager.h>
#include <OgreStringInterface.h>

#include <fstream>
#include <memory>

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

        void logLine(const std::string& line) { EngineLog::line("DataFileResource: " + line); }
    }

    DataFileResource::DataFileResource(Ogre::ResourceManager* creator, const Ogre::String& name,
                                       Ogre::ResourceHandle handle, const Ogre::String& group,
                                       bool isManual, Ogre::ManualResourceLoader* loader)
        : Ogre::BackgroundResource(creator, name, handle, group, isManual, loader),
          mDataFile(nullptr)
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

    DataFile* DataFileResource::getDataFile() const
    {
        if (const_cast<DataFileResource*>(this)->isBackgroundLoading())
            return nullptr;
        return mDataFile;
    }

    void DataFileResource::loadImpl()
    {
        delete mDataFile;
        mDataFile = nullptr;
        Ogre::DataStreamPtr stream;
        try
        {
            stream = openFile();
        }
        catch (const Ogre::Exception& e)
        {
            logLine("can not open " + mName + ": " + e.getDescription());
            return;
        }
        Ogre::String error;
        if (!readAndParse(stream, error))
            logLine("can not read " + mName + ": " + error);
    }

    Ogre::DataStreamPtr DataFileResource::openFile()
    {
        if (!mFullPath.empty())
            return openFullPath();
        std::string group, fileName, fullName;
        if (!GenericUtils::findFile(mName, group, fileName, fullName))
            OGRE_EXCEPT(Ogre::Exception::ERR_FILE_NOT_FOUND, "can not find data file " + mName,
                        "DataFileResource::openFile");
        return Ogre::ResourceGroupManager::getSingleton().openResource(fileName, group, this);
    }

    bool DataFileResource::parseFile(const void* data, size_t size, Ogre::String& error)
    {
        const std::string text(static_cast<const char*>(data), size);
        std::unique_ptr<SelectorDataFile> file(new SelectorDataFile(false));
        if (!file->parse(text.c_str(), error))
            return false;
        delete mDataFile;
        mDataFile = file.release();
        return true;
    }

    bool DataFileResource::finishBackgroundLoad(bool parsed, const Ogre::String& error)
    {
        if (!parsed)
            logLine("can not read " + mName + ": " + error);
        // As a load on the frame thread: loaded, without a document.
        return true;
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
