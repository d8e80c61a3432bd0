#include "CompoundGameObject.h"

#include "CompoundMetadata.h"
#include "CoreGameObjectManager.h"
#include "DataElement.h"
#include "GenericUtils.h"
#include "SelectorDataFile.h"

#include <OgreException.h>
#include <OgreLogManager.h>

#include <algorithm>

namespace Wren
{
    std::set<std::string> CompoundGameObject::mFilesBeingLoaded;

    namespace
    {
        void logMessage(const std::string& text)
        {
            if (Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr())
                logs->logMessage(text);
        }

        /** Makes the object element and every object below it name
            partition as theirs. */
        void assignPartition(DataElementPtr& object, const std::string& partition)
        {
            DataElementPtr core = object->getFirstChild("CoreData");
            if (!core->getIsEmpty())
                core->setAttributeString("PartitionID", partition);
            DataElementPtr children = object->getFirstChild("Children");
            if (children->getIsEmpty())
                return;
            for (DataElementPtr e = children->getFirstChild("Object"); !e->getIsEmpty();
                 e = e->getNextSibling("Object"))
                assignPartition(e, partition);
        }

        /** Marks an objects file as being read while alive. */
        class FileBeingLoaded
        {
        public:
            FileBeingLoaded(std::set<std::string>& files, const std::string& file)
                : mFiles(files), mFile(file)
            {
                mFiles.insert(mFile);
            }
            ~FileBeingLoaded() { mFiles.erase(mFile); }
            FileBeingLoaded(const FileBeingLoaded&) = delete;
            FileBeingLoaded& operator=(const FileBeingLoaded&) = delete;

        private:
            std::set<std::string>& mFiles;
            std::string mFile;
        };
    }

    CompoundGameObject::CompoundGameObject(CoreGameObjectManager* manager, const std::string& name)
        : CoreGameObject(manager, name)
    {
    }

    CompoundGameObject::~CompoundGameObject() {}

    const std::string& CompoundGameObject::getObjectType() const
    {
        static const std::string type = "CompoundGameObject";
        return type;
    }

    bool CompoundGameObject::checkObjectType(const std::string& type) const
    {
        return type == CompoundGameObject::getObjectType() || CoreGameObject::checkObjectType(type);
    }

    bool CompoundGameObject::initStart(CoreMetadata* metadata, bool flag)
    {
        const bool started = CoreGameObject::initStart(metadata, flag);
        takeMetadata();
        return started;
    }

    bool CompoundGameObject::initFinish(const Ogre::Vector3& worldPosition)
    {
        const bool finished = CoreGameObject::initFinish(worldPosition);
        loadContent();
        setCurrentState(STATE_SETTLED);
        return finished;
    }

    bool CompoundGameObject::loadStart(DataElementPtr& element,
                                       std::vector<CoreGameObject*>& created, bool rename)
    {
        const bool started = CoreGameObject::loadStart(element, created, rename);
        takeMetadata();
        return started;
    }

    bool CompoundGameObject::loadBinaryStart(CompleteObjectDataInfo& record,
                                             std::vector<CoreGameObject*>& created, bool rename)
    {
        const bool started = CoreGameObject::loadBinaryStart(record, created, rename);
        takeMetadata();
        return started;
    }

    bool CompoundGameObject::loadFinish()
    {
        // A base that could not find its partition still built the node, and
        // the loading partition keeps the object: it gets its content too.
        const bool finished = CoreGameObject::loadFinish();
        loadContent();
        setCurrentState(STATE_SETTLED);
        return finished;
    }

    bool CompoundGameObject::shouldSaveChild(const CoreGameObject* child) const
    {
        return std::find(mContent.begin(), mContent.end(), child) == mContent.end() &&
               CoreGameObject::shouldSaveChild(child);
    }

    void CompoundGameObject::takeMetadata()
    {
        mCompoundMetadata = dynamic_cast<CompoundMetadata*>(getMetadata());
    }

    void CompoundGameObject::loadContent()
    {
        if (!mCompoundMetadata || !getSceneNode() || !mContent.empty())
            return;
        const std::string& named = mCompoundMetadata->getObjectsFileName();
        const std::string refusal = "CompoundGameObject: " + getName() + " stays empty: ";
        std::string file = named;
        if (file.empty() || !GenericUtils::findFilePath(file))
        {
            logMessage(refusal + "its objects file '" + named + "' is not found");
            return;
        }
        if (mFilesBeingLoaded.count(file))
        {
            logMessage(refusal + "its objects file " + named +
                       " is being read already, so the compound would contain itself");
            return;
        }
        SelectorDataFile document;
        DataElementPtr root;
        if (document.load(file))
            root = document.getRootElement();
        if (!root || root->getIsEmpty())
        {
            logMessage(refusal + "its objects file " + file + " can not be read");
            return;
        }

        const std::string type = root->getAttributeString("Type", "");
        const std::string name =
            getManager()->getUniqueName(root->getAttributeString("Name", ""), true);
        CoreGameObject* content = getManager()->createCoreGameObjectFromFactory(type, name);
        if (!content)
        {
            logMessage(refusal + "its objects file " + named + " holds the type '" + type +
                       "' that no factory makes");
            return;
        }
        // The partition the file names is where the content was saved from;
        // here it belongs to the compound's.
        assignPartition(root, getPartitionID());

        FileBeingLoaded guard(mFilesBeingLoaded, file);
        std::vector<CoreGameObject*> created;
        try
        {
            if (!content->loadStart(root, created, true))
            {
                logMessage(refusal + "the content of " + named + " does not load");
                delete content;
                return;
            }
            content->loadFinish();
        }
        catch (const Ogre::Exception& e)
        {
            logMessage(refusal + "the content of " + named + " does not load: " +
                       e.getDescription());
            content->destroy(true, false);
            delete content;
            return;
        }
        mContent.swap(created);
        mContent.push_back(content);
        for (CoreGameObject* object : mContent)
            object->setAlternativeSelection(this);
        addChild(content);
        content->setPosition(Ogre::Vector3::ZERO, false, true);
    }
}
