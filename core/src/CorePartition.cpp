#include "CorePartition.h"

#include "BinaryDataElement.h"
#include "BinaryFileResource.h"
#include "BinaryFileResourceManager.h"
#include "CompleteObjectDataInfo.h"
#include "CoreGameObject.h"
#include "CoreGameObjectManager.h"
#include "CorePartitionManager.h"
#include "DataElement.h"
#include "ResourceDataFile.h"
#include "SelectorDataFile.h"
#include "WorldsFolder.h"
#include "FullSceneOperation.h"
#include "PartitionXmlBinaryConvert.h"
#include "XMLDataElement.h"

#include <OgreCamera.h>
#include <OgreException.h>
#include <OgreLogManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>
#include <filesystem>

namespace Wren
{
    namespace
    {
        const std::string gPartitionType = "CorePartition";
        const std::string gShowBoundsId = "CorePartition_ShowBounds";
        const Ogre::Vector3 gNoPosition = Ogre::Vector3::ZERO;

        void logMessage(const std::string& text)
        {
            Ogre::LogManager::getSingleton().logMessage(text);
        }

        void makeParentFolder(const std::string& path)
        {
            std::error_code ec;
            std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
        }
    }

    const float CorePartition::DEFAULT_OBJECT_BOUND = 64.0f;

    CorePartition::CorePartition(const std::string& id, const Ogre::Vector3& worldPosition,
                                 CorePartitionManager* manager)
        : mManager(manager), mID(id), mWorldPosition(worldPosition)
    {
    }

    CorePartition::~CorePartition() { delete mState; }

    void CorePartition::enumerateProperties(std::vector<Property>& out)
    {
        Partition::enumerateProperties(out);
        Property showBounds;
        showBounds.initBool(gShowBoundsId, "Show bounds", mShowBounds);
        out.push_back(showBounds);
    }

    void CorePartition::setProperty(const std::string& id, const PropertyData& value)
    {
        Partition::setProperty(id, value);
        if (id == gShowBoundsId)
            setShowBounds(value.boolVal);
    }

    const std::string& CorePartition::getPartitionType() const { return gPartitionType; }

    void CorePartition::setShowBounds(bool) {}

    void CorePartition::destroy() { unload(true); }

    void CorePartition::addObject(CoreGameObject* obj, bool skipChecks)
    {
        if (!obj)
            return;
        if (obj->IsInstanced() && !skipChecks)
        {
            Ogre::Matrix4 transform = Ogre::Matrix4::IDENTITY;
            if (mSceneNode)
            {
                const Ogre::Affine3& world = mSceneNode->_getFullTransform();
                for (size_t row = 0; row < 3; ++row)
                    for (size_t col = 0; col < 4; ++col)
                        transform[row][col] = world[row][col];
            }
            mObjects.push_back(obj);
            ++mObjectNames[obj->getName()];
            mManager->addStaticObject(obj, transform);
            return;
        }
        if (!skipChecks && mObjectNames.count(obj->getName()) > 0)
            OGRE_EXCEPT(Ogre::Exception::ERR_DUPLICATE_ITEM,
                        "core object with the same name " + obj->getName(),
                        "CorePartition::addObject");
        mObjects.push_back(obj);
        ++mObjectNames[obj->getName()];
        if (!obj->getParent() && mSceneNode)
            obj->addToParentSceneNode(mSceneNode);
        obj->checkLevelOfDetail();
    }

    void CorePartition::addObject(CoreGameObject* obj) { addObject(obj, false); }

    void CorePartition::removeObject(CoreGameObject* obj)
    {
        std::vector<CoreGameObject*>::iterator it = std::find(mObjects.begin(), mObjects.end(), obj);
        if (it != mObjects.end())
        {
            auto named = mObjectNames.find(obj->getName());
            if (named != mObjectNames.end() && --named->second == 0)
                mObjectNames.erase(named);
            mObjects.erase(it);
            return;
        }
        if (obj && !obj->getParent() && mSceneNode && obj->getSceneNode() &&
            obj->getSceneNode()->getParent() == mSceneNode)
            obj->removeFromParentSceneNode(mSceneNode);
    }

    void CorePartition::update(float elapsed)
    {
        mProximity = calculateProximity(elapsed);
        // An object's check may hand it to another partition: walk a copy.
        const std::vector<CoreGameObject*> objects = mObjects;
        for (CoreGameObject* obj : objects)
            obj->checkLevelOfDetail();
    }

    bool CorePartition::shouldSave(const CoreGameObject* obj) const
    {
        return const_cast<CoreGameObject*>(obj)->GetSaveFlag() && !obj->getParent();
    }

    bool CorePartition::save(DataElementPtr& parent)
    {
        if (!parent || parent->getIsEmpty())
            return false;
        mRefusedObjects.clear();
        parent->createChild("CorePartitionData")->setAttributeBool("ShowBounds", mShowBounds);
        for (CoreGameObject* obj : mObjects)
        {
            if (!shouldSave(obj))
                continue;
            if (!obj->passesSaveRule())
            {
                // No empty "Object" is left behind for it.
                if (obj->isRefusedForPosition(true))
                    mRefusedObjects.push_back(obj->getName());
                continue;
            }
            DataElementPtr element = parent->createChild("Object");
            obj->save(element);
        }
        return true;
    }

    bool CorePartition::save(const std::string& worldName)
    {
        if (!mObjectDirty)
            return true;
        const std::string path = getObjectsFilePath(worldName);
        if (path.empty())
        {
            logMessage("CorePartition::save: partition " + mID + " of world " + worldName +
                       " not saved: no worlds folder is configured");
            return false;
        }
        DataFile* file = getState();
        if (!file)
            return true;
        makeParentFolder(path);
        const bool written = file->save(path);
        if (written)
            mObjectDirty = false;
        else
            logMessage("CorePartition::save: can not write " + path);
        if (mLoaded)
            delete file;
        return written;
    }

    void CorePartition::createSceneNode()
    {
        if (mSceneNode)
            return;
        Ogre::SceneManager* scene = mManager->getGameObjectManager()->getSceneManager();
        mSceneNode = scene->getRootSceneNode()->createChildSceneNode(mID, mWorldPosition,
                                                                     Ogre::Quaternion::IDENTITY);
    }

    CoreGameObject* CorePartition::startObject(const std::string& type, const std::string& name,
                                               DataElementPtr* element,
                                               CompleteObjectDataInfo* record)
    {
        CoreGameObjectManager* objects = mManager->getGameObjectManager();
        CoreGameObject* obj = objects->createCoreGameObjectFromFactory(type, name);
        if (!obj)
        {
            logMessage("CorePartition::load: partition " + mID + ": no factory makes the type '" +
                       type + "' of " + name + "; left out");
            return nullptr;
        }
        std::vector<CoreGameObject*> created;
        try
        {
            if (element)
                obj->loadStart(*element, created, false);
            else
                obj->loadBinaryStart(*record, created, false);
        }
        catch (const Ogre::Exception& e)
        {
            logMessage("CorePartition::load: partition " + mID + ": " + name + " left out: " +
                       e.getDescription());
            delete obj;
            return nullptr;
        }
        return obj;
    }

    void CorePartition::finishLoading(const std::vector<CoreGameObject*>& started)
    {
        for (CoreGameObject* obj : started)
        {
            try
            {
                if (!obj->loadFinish() && !obj->getPartition())
                {
                    // Its own partition does not exist: the partition whose
                    // file held it keeps it, so nothing stored is lost.
                    obj->setPartition(this);
                    addObject(obj);
                    obj->moveDescendantsTo(this);
                    logMessage("CorePartition::load: partition " + mID + " keeps " +
                               obj->getName());
                }
            }
            catch (const Ogre::Exception& e)
            {
                logMessage("CorePartition::load: partition " + mID + ": " + obj->getName() +
                           " left out: " + e.getDescription());
                obj->destroy(true, false);
                delete obj;
            }
        }
    }

    bool CorePartition::load(DataElementPtr& root, bool)
    {
        createSceneNode();
        if (root && !root->getIsEmpty())
        {
            DataElementPtr data = root->getFirstChild("CorePartitionData");
            if (!data->getIsEmpty())
                mShowBounds = data->getAttributeBool("ShowBounds", mShowBounds);
            std::vector<CoreGameObject*> started;
            for (DataElementPtr e = root->getFirstChild("Object"); !e->getIsEmpty();
                 e = e->getNextSibling("Object"))
            {
                CoreGameObject* obj = startObject(e->getAttributeString("Type", ""),
                                                  e->getAttributeString("Name", ""), &e, nullptr);
                if (obj)
                    started.push_back(obj);
            }
            finishLoading(started);
        }
        mLoaded = true;
        checkBounds();
        return true;
    }

    bool CorePartition::loadCapturedState()
    {
        if (!mState)
            return false;
        DataElementPtr root = mState->getRootElement();
        load(root, false);
        return true;
    }

    void CorePartition::reportCorruptFile(const std::string& fileName)
    {
        logMessage("CorePartition::load: the objects file " + fileName + " of partition " + mID +
                   " can not be read; the partition comes up empty");
        mManager->notifyCorruptPartitionFile(this);
    }

    bool CorePartition::load(const std::string& worldName)
    {
        if (loadCapturedState())
            return true;
        if (!loadObjectsFile(worldName))
        {
            DataElementPtr none;
            load(none, false);
        }
        return true;
    }

    bool CorePartition::loadObjectsFile(const std::string& worldName)
    {
        ResourceDataFile resource(getObjectsFileName(worldName), "General");
        DataFile* file = resource.getFile();
        // A file saved after the groups indexed their folders is read where
        // it was saved.
        SelectorDataFile saved;
        const std::string path = getObjectsFilePath(worldName, false);
        if (!file && !path.empty() && std::filesystem::exists(path) && saved.load(path))
            file = &saved;
        if (!file)
        {
            const std::string name = getObjectsFileName(worldName);
            bool exists = !path.empty() && std::filesystem::exists(path);
            try
            {
                exists = exists ||
                         Ogre::ResourceGroupManager::getSingleton().resourceExists("General", name);
            }
            catch (const Ogre::Exception&)
            {
            }
            if (exists)
                reportCorruptFile(name);
            return false;
        }
        DataElementPtr root = file->getRootElement();
        load(root, false);
        // The objects are made: the file is not kept, so that the next load
        // reads what a save wrote since.
        resource.forget();
        return true;
    }

    bool CorePartition::unload(bool)
    {
        if (mLoaded && mObjectDirty)
        {
            // Unsaved edits (an undo among them) stay with the partition, to
            // be loaded and saved later.
            setState(getState());
        }
        else
        {
            delete mState;
            mState = nullptr;
        }
        return unloadBinary(false);
    }

    bool CorePartition::unloadBinary(bool)
    {
        mLoaded = false;
        mResourceLoading.resetLoadState();
        destroyBoundsVisualization();
        destroyObjectsAndNode();
        return true;
    }

    void CorePartition::destroyObjectsAndNode()
    {
        // The list is taken whole and the objects' nodes are let go of at
        // once, so that each object leaving finds nothing to search for:
        // neither in the list nor among the partition node's children (a
        // partition of n objects unloads in n steps, not n squared).
        std::vector<CoreGameObject*> objects;
        objects.swap(mObjects);
        mObjectNames.clear();
        if (mSceneNode)
            mSceneNode->removeAllChildren();
        for (CoreGameObject* obj : objects)
        {
            obj->destroy(false, false);
            delete obj;
        }
        if (mSceneNode)
        {
            mManager->getGameObjectManager()->getSceneManager()->destroySceneNode(mSceneNode);
            mSceneNode = nullptr;
        }
    }

    void CorePartition::startSimulation()
    {
        for (CoreGameObject* obj : mObjects)
            obj->startSimulation();
    }

    void CorePartition::endSimulation()
    {
        for (CoreGameObject* obj : mObjects)
            obj->endSimulation();
    }

    void CorePartition::enumerateObjectsByType(std::vector<CoreGameObject*>& out,
                                               const std::string& type)
    {
        for (CoreGameObject* obj : mObjects)
            if (obj->checkObjectType(type))
                out.push_back(obj);
    }

    void CorePartition::enumetateObjectsByLogicInfo(std::vector<CoreGameObject*>& out)
    {
        for (CoreGameObject* obj : mObjects)
            if (obj->getIsExistLogicObj())
                out.push_back(obj);
    }

    CoreGameObject* CorePartition::getObjectByName(const std::string& name)
    {
        for (CoreGameObject* obj : mObjects)
            if (obj->getName() == name)
                return obj;
        return nullptr;
    }

    CorePartition::Proximity CorePartition::calculateProximity(float) const
    {
        return PROXIMITY_NEAR;
    }

    LevelOfDetail CorePartition::checkLevelOfDetail(CoreGameObject* obj)
    {
        const LevelOfDetail current = obj->getLevelOfDetail();
        Ogre::Camera* camera = mManager->getGameObjectManager()->getPlayerCamera();
        if (!camera)
            return current;
        float d2 = 0.0f;
        if (Ogre::SceneNode* node = obj->getSceneNode())
            d2 = camera->getDerivedPosition().squaredDistance(node->_getDerivedPosition());
        return getLODDistanceInfo().levelOfDetailFor(
            obj->getSizeHint(), d2, mManager->GetFogLevel(), obj->getCustomLodSwitchDiatanceSquared(),
            obj->getCustomHintDistanceSquared(), current);
    }

    CorePartition::PositionResult CorePartition::isPositionInPartition(const Ogre::Vector3&)
    {
        return POSITION_INSIDE;
    }

    void CorePartition::activate() {}

    void CorePartition::deactivate() {}

    void CorePartition::enumerateConnectedPartitions(std::vector<CorePartition*>&) {}

    void CorePartition::addObjectToChangeLODQueue(CoreGameObject* obj)
    {
        mManager->addObjectToChangeLODQueue(obj);
    }

    void CorePartition::removeObjectFromChangeLODQueue(CoreGameObject* obj)
    {
        mManager->removeObjectFromChangeLODQueue(obj);
    }

    void CorePartition::handleObjectDestroyed(CoreGameObject* obj)
    {
        removeObjectFromChangeLODQueue(obj);
        removeObject(obj);
    }

    const LODDistanceInfo& CorePartition::getLODDistanceInfo() const
    {
        return mManager->getLODDistanceInfo();
    }

    bool CorePartition::saveBinary(Ogre::IBinaryDataElement* root)
    {
        Ogre::BinaryDataElement* element = dynamic_cast<Ogre::BinaryDataElement*>(root);
        if (!element)
            return false;
        mRefusedObjects.clear();
        *static_cast<unsigned char*>(element->allocBuf(1)) = mShowBounds ? 1 : 0;
        for (CoreGameObject* obj : mObjects)
        {
            if (!shouldSave(obj))
                continue;
            if (obj->isRefusedForPosition(false))
            {
                obj->isRefusedForPosition(true);
                mRefusedObjects.push_back(obj->getName());
                continue;
            }
            CompleteObjectDataInfo record;
            if (!obj->saveBinary(record))
            {
                // Its texts do not fit the record (logged by the object).
                mRefusedObjects.push_back(obj->getName());
                continue;
            }
            Ogre::BinaryDataElement* child = element->createDefaultChild("Object");
            record.toBytes(child->allocBuf(CompleteObjectDataInfo::Size));
        }
        return true;
    }

    bool CorePartition::saveBinary(const std::string& worldName)
    {
        if (!mObjectDirty)
            return true;
        const std::string path = getObjectsFilePath(worldName, true);
        if (path.empty())
        {
            logMessage("CorePartition::saveBinary: partition " + mID + " of world " + worldName +
                       " not saved: no worlds folder is configured");
            return false;
        }
        std::unique_ptr<Ogre::BinaryFileResource> file;
        if (mLoaded)
        {
            warnAboutDataTheRecordDrops();
            file.reset(getBinaryState());
        }
        else if (mState)
        {
            // A snapshot handed over while unloaded is what the partition
            // now holds.
            std::string error;
            file.reset(PartitionXmlBinaryConvert::ConvetToBinary(mState, &error));
            if (!file)
            {
                logMessage("CorePartition::saveBinary: the held state of partition " + mID +
                           " can not be written in binary form: " + error);
                return false;
            }
        }
        else
        {
            return true;
        }
        makeParentFolder(path);
        if (!file->save(path))
        {
            logMessage("CorePartition::saveBinary: can not write " + path);
            return false;
        }
        mObjectDirty = false;
        return true;
    }

    void CorePartition::warnAboutDataTheRecordDrops() const
    {
        for (const CoreGameObject* obj : mObjects)
        {
            if (!shouldSave(obj) || obj->fitsBinaryRecord())
                continue;
            logMessage("CorePartition::saveBinary: warning: " + obj->getName() + " of partition " +
                       mID +
                       " holds children, dynamic properties or type data that the binary form "
                       "does not keep; they are not written");
        }
    }

    bool CorePartition::loadBinary(Ogre::IBinaryDataElement* root, bool)
    {
        createSceneNode();
        if (Ogre::BinaryDataElement* element = dynamic_cast<Ogre::BinaryDataElement*>(root))
        {
            mShowBounds = element->getSize() > 0 &&
                          *static_cast<const unsigned char*>(element->getBuf()) != 0;
            std::vector<CoreGameObject*> started;
            for (Ogre::IBinaryDataElement* e = element->getFirstChildElement("Object"); e;
                 e = e->getNextChildElement("Object"))
            {
                CompleteObjectDataInfo record;
                if (e->getSize() == 0)
                    continue;
                if (!record.fromBytes(e->getBuf(), e->getSize()))
                {
                    logMessage("CorePartition::loadBinary: partition " + mID +
                               ": a record of " + std::to_string(e->getSize()) +
                               " bytes is not an object; left out");
                    continue;
                }
                CoreGameObject* obj =
                    startObject(record.getType(), record.getName(), nullptr, &record);
                if (obj)
                    started.push_back(obj);
            }
            finishLoading(started);
        }
        mLoaded = true;
        checkBounds();
        return true;
    }

    bool CorePartition::loadBinary(const std::string& worldName)
    {
        if (loadCapturedState())
            return true;
        const std::string name = getObjectsBinaryFileName(worldName);
        bool corrupt = false;
        Ogre::BinaryFileResourceManager* binaryFiles =
            Ogre::BinaryFileResourceManager::getSingletonPtr();
        Ogre::BinaryFileResourcePtr file;
        if (binaryFiles)
        {
            Ogre::BinaryFileResourcePtr known = binaryFiles->getBinaryFileByName(name, "PLSM2");
            if (known && known->isBadResource())
            {
                corrupt = true;
                // Forgotten, so that a file saved later is read.
                binaryFiles->remove(known->getHandle());
            }
            else
            {
                try
                {
                    file = Ogre::static_pointer_cast<Ogre::BinaryFileResource>(
                        binaryFiles->load(name, "PLSM2"));
                }
                catch (const Ogre::Exception&)
                {
                    // The file logged why.
                    corrupt = true;
                    if (Ogre::BinaryFileResourcePtr failed =
                            binaryFiles->getBinaryFileByName(name, "PLSM2"))
                        binaryFiles->remove(failed->getHandle());
                }
            }
        }
        if (file)
        {
            loadBinary(file->getRootElement(), false);
            binaryFiles->remove(file->getHandle());
            return true;
        }
        // A file saved after the groups indexed their folders is read where
        // it was saved; a partition saved in XML form (it held more than the
        // record keeps) is read from its XML file; otherwise the partition
        // comes up empty.
        const std::string path = getObjectsFilePath(worldName, true);
        Ogre::BinaryFileResource saved;
        const bool saveExists = !path.empty() && std::filesystem::exists(path);
        if (saveExists)
        {
            if (saved.loadFromFile(path))
                return loadBinary(saved.getRootElement(), false);
            corrupt = true;
        }
        // A resource that failed because there is no such file is no damage.
        bool inGroup = false;
        try
        {
            inGroup = Ogre::ResourceGroupManager::getSingleton().resourceExists("PLSM2", name);
        }
        catch (const Ogre::Exception&)
        {
        }
        if (corrupt && (saveExists || inGroup))
        {
            reportCorruptFile(name);
            return loadBinary(nullptr, false);
        }
        if (loadObjectsFile(worldName))
            return true;
        return loadBinary(nullptr, false);
    }

    void CorePartition::createBoundsVisualization() {}

    void CorePartition::destroyBoundsVisualization() {}

    std::string CorePartition::getObjectsFileName(const std::string& worldName) const
    {
        return worldName + "_Partition" + mID + ".objects";
    }

    std::string CorePartition::getObjectsFilePath(const std::string& worldName) const
    {
        return getObjectsFilePath(worldName, mUseBinaryFiles);
    }

    std::string CorePartition::getObjectsFilePath(const std::string& worldName, bool binary) const
    {
        const std::string worlds = WorldsFolder::find();
        if (worlds.empty())
            return std::string();
        return worlds + "/" + worldName + "/Partitions/" +
               (binary ? getObjectsBinaryFileName(worldName) : getObjectsFileName(worldName));
    }

    std::string CorePartition::getObjectsBinaryFileName(const std::string& worldName) const
    {
        return worldName + "_Partition" + mID + ".objbinary";
    }

    float CorePartition::getObjectBound() const { return DEFAULT_OBJECT_BOUND; }

    void CorePartition::enumerateObjects(std::vector<CoreGameObject*>& out)
    {
        for (CoreGameObject* obj : mObjects)
            if (obj->getSelection() == obj)
                out.push_back(obj);
    }

    void CorePartition::enumerateNearbyObjects(const Ogre::AxisAlignedBox&,
                                               std::vector<CoreGameObject*>& out)
    {
        out.insert(out.end(), mObjects.begin(), mObjects.end());
    }

    DataFile* CorePartition::getState()
    {
        if (!mLoaded)
            return mState;
        SelectorDataFile* file = new SelectorDataFile();
        DataElementPtr root = file->createRootElement("Objects");
        save(root);
        return file;
    }

    void CorePartition::setState(DataFile* state)
    {
        if (state == mState)
            return;
        delete mState;
        mState = state;
    }

    Ogre::BinaryFileResource* CorePartition::getBinaryState()
    {
        if (!mLoaded)
            return nullptr;
        Ogre::BinaryFileResource* file = new Ogre::BinaryFileResource();
        saveBinary(file->createRootElement("Objects"));
        return file;
    }

    void CorePartition::setBinaryState(Ogre::BinaryFileResource*) {}

    void CorePartition::threadLoadResource(const std::string& worldName)
    {
        if (mUseBinaryFiles)
            mResourceLoading.loadBinary(getObjectsBinaryFileName(worldName));
        else
            mResourceLoading.load(getObjectsFileName(worldName));
    }

    bool CorePartition::isResourceLoaded()
    {
        return mUseBinaryFiles ? mResourceLoading.isBinaryLoaded() : mResourceLoading.isLoaded();
    }

    void CorePartition::checkBounds()
    {
        const bool show =
            mManager->getOverrideShowBounds() ? mManager->getShowAllBounds() : mShowBounds;
        if (show)
            createBoundsVisualization();
        else
            destroyBoundsVisualization();
    }

    Ogre::AxisAlignedBox CorePartition::GetAABB() const
    {
        return mSceneNode ? mSceneNode->_getWorldAABB() : Ogre::AxisAlignedBox();
    }

    bool CorePartition::IsEnableConsultPos() const
    {
        return mManager->getGameObjectManager()->IsEnableConsultPos();
    }

    const Ogre::Vector3& CorePartition::GetConsultPos() const
    {
        return mManager->getGameObjectManager()->GetConsultPos();
    }
}
