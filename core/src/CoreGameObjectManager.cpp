#include "CoreGameObjectManager.h"

#include "AboveGroundManager.h"
#include "CollisionGameSystem.h"
#include "CoreAboveGroundManager.h"
#include "CoreGameObject.h"
#include "CoreMetadata.h"
#include "CorePartition.h"
#include "CorePartitionManager.h"
#include "DataElement.h"
#include "DataFileResourceManager.h"
#include "GameObjectFactory.h"
#include "GameObjectFactoryManager.h"
#include "GameObjectManagerGameSystem.h"
#include "GameSystemManager.h"
#include "GenericUtils.h"
#include "ResourceDataFile.h"
#include "SceneManagerWrapper.h"
#include "SelectorDataFile.h"
#include "WorldsFolder.h"

#include <OgreCamera.h>
#include <OgreException.h>
#include <OgreLogManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreStringConverter.h>

#include <algorithm>
#include <filesystem>

namespace Wren
{
    namespace
    {
        const std::string gCollisionSystemName = "CollisionGameSystem";
        const std::string gWorldGroup = "PLSM2";
        const std::string gMetadataGroup = "General";

        void logMessage(const std::string& text)
        {
            Ogre::LogManager::getSingleton().logMessage(text);
        }

    }

    CoreGameObjectManager::CoreGameObjectManager(OIS::Keyboard* keyboard, OIS::Mouse* mouse,
                                                 OIS::JoyStick* joyStick, bool editing)
        : GameObjectManager(keyboard, mouse, joyStick), mEditing(editing)
    {
        mSelectionCursor = mSelection.end();
    }

    CoreGameObjectManager::~CoreGameObjectManager()
    {
        if (mPartitionManager || mAboveGroundManager || !mGameSystems.empty() ||
            !mMetadataCache.empty())
        {
            logMessage("CoreGameObjectManager: destroyed without destroy(); tearing the world "
                       "down now");
            destroy();
        }
    }

    void CoreGameObjectManager::dropGameSystems()
    {
        GameSystemManager* registry = GameSystemManager::getSingletonPtr();
        for (auto& entry : mGameSystems)
        {
            if (registry)
                registry->removeGameSystem(entry.second);
            delete entry.second;
        }
        mGameSystems.clear();
    }

    void CoreGameObjectManager::destroy()
    {
        IgnoreSelectObject();

        if (mAboveGroundManager)
        {
            // The partition manager must not reach the areas any more.
            auto* areas = dynamic_cast<CoreAboveGroundManager*>(mAboveGroundManager);
            if (mPartitionManager && mPartitionManager->getAboveGroundMgr() == areas)
                mPartitionManager->setAboveGroundMgr(nullptr);
            mAboveGroundManager->destroy();
            delete mAboveGroundManager;
            mAboveGroundManager = nullptr;
        }
        if (mPartitionManager)
        {
            mPartitionManager->destroy();
            delete mPartitionManager;
            mPartitionManager = nullptr;
        }

        dropGameSystems();

        for (auto& entry : mMetadataCache)
            delete entry.second;
        mMetadataCache.clear();

        mUpdateListeners.clear();
        mAnimUpdateListeners.clear();
        mPlayerCamera = nullptr;
        mCollisionGameSystem = nullptr;
    }

    bool CoreGameObjectManager::initStart(const std::string& worldName,
                                          SceneManagerWrapper* wrapper,
                                          PartitionManager* partitionManager,
                                          AboveGroundManager* aboveGroundManager)
    {
        const std::string refusal = "CoreGameObjectManager::initStart: world " + worldName + ": ";
        if (!wrapper || !wrapper->getSceneManager())
        {
            logMessage(refusal + "no scene manager");
            return false;
        }
        CorePartitionManager* corePartitions = dynamic_cast<CorePartitionManager*>(partitionManager);
        if (partitionManager && !corePartitions)
        {
            logMessage(refusal + "the partition manager is not a CorePartitionManager");
            return false;
        }
        DataFileResourceManager* dataFiles = DataFileResourceManager::getSingletonPtr();
        GameSystemManager* systems = GameSystemManager::getSingletonPtr();
        if (!dataFiles || !systems)
        {
            logMessage(refusal + "the data-file and game-system registries must exist");
            return false;
        }

        const std::string resourceName = getWorldResourceName(worldName);
        ResourceDataFile world(resourceName, gWorldGroup);
        if (!world.getFile())
        {
            logMessage(refusal + "can not read the world file " + resourceName);
            return false;
        }
        DataElementPtr root = world.getFile()->getRootElement();

        GameSystem* collision = systems->getGameSystem(gCollisionSystemName);
        if (!collision)
        {
            collision = systems->createGameSystem(gCollisionSystemName);
            if (collision && !systems->addGameSystem(gCollisionSystemName, collision))
            {
                delete collision;
                collision = nullptr;
            }
        }
        CollisionGameSystem* collisionSystem = dynamic_cast<CollisionGameSystem*>(collision);
        if (!collisionSystem)
        {
            logMessage(refusal + "there is no game system \"" + gCollisionSystemName + "\"");
            if (mEditing)
                world.forget();
            return false;
        }

        mSceneManagerWrapper = wrapper;
        mWorldName = worldName;
        mStartWorldName = worldName;
        mCollisionGameSystem = collisionSystem;

        if (!root->getIsEmpty())
        {
            DataElementPtr data = root->getFirstChild("GameObjectManagerData");
            if (!data->getIsEmpty())
            {
                mObjectUniqueInt = data->getAttributeInt("ObjectUniqueInt", 0);
                DataElementPtr list = data->getFirstChild("GameSystems");
                if (!list->getIsEmpty())
                {
                    for (DataElementPtr e = list->getFirstChild("GameSystem"); !e->getIsEmpty();
                         e = e->getNextSibling("GameSystem"))
                    {
                        const std::string type = e->getAttributeString("Name", "");
                        if (type.empty())
                            continue;
                        mGameSystemTypes.push_back(type);
                        createGameObjectManagerGameSystem(type);
                    }
                }
            }
        }

        Ogre::SceneManager* scene = wrapper->getSceneManager();
        mPlayerCamera = scene->hasCamera("PlayerCam") ? scene->getCamera("PlayerCam") : nullptr;
        if (!mPlayerCamera)
            logMessage("CoreGameObjectManager::initStart: the scene has no camera \"PlayerCam\"; "
                       "levels of detail stay as they are");

        mPartitionManager = corePartitions;
        mAboveGroundManager = aboveGroundManager;
        CoreAboveGroundManager* coreAreas = dynamic_cast<CoreAboveGroundManager*>(aboveGroundManager);
        const bool linked = mPartitionManager && coreAreas && !mPartitionManager->getAboveGroundMgr();
        if (linked)
            mPartitionManager->setAboveGroundMgr(coreAreas);
        std::string refused;
        if (mPartitionManager && !mPartitionManager->initStart(worldName, root))
            refused = "the partition manager";
        else if (mAboveGroundManager && !mAboveGroundManager->initStart(worldName, root))
            refused = "the above-ground manager";
        if (!refused.empty())
        {
            // The caller keeps both managers (it deletes them after a
            // refusal), and what this call made from the world file goes.
            logMessage(refusal + refused + " refuses the world data");
            if (linked)
                mPartitionManager->setAboveGroundMgr(nullptr);
            mPartitionManager = nullptr;
            mAboveGroundManager = nullptr;
            dropGameSystems();
            mGameSystemTypes.clear();
            mObjectUniqueInt = 0;
            mPlayerCamera = nullptr;
            mCollisionGameSystem = nullptr;
            mSceneManagerWrapper = nullptr;
            mWorldName.clear();
            mStartWorldName.clear();
            if (mEditing)
                world.forget();
            return false;
        }

        if (GameObjectFactoryManager* factories = GameObjectFactoryManager::getSingletonPtr())
        {
            std::vector<GameObjectFactory*> list;
            factories->enumerateGameObjectFactories(list);
            for (GameObjectFactory* factory : list)
                factory->initGameObjectManager(this);
        }

        for (auto& entry : mGameSystems)
            entry.second->load(root);

        if (mEditing)
            world.forget();
        return true;
    }

    bool CoreGameObjectManager::initFinish()
    {
        if (mAboveGroundManager)
            mAboveGroundManager->initFinish();
        return mPartitionManager ? mPartitionManager->initFinish() : true;
    }

    FullSceneOperation* CoreGameObjectManager::createOperation(const std::string& name)
    {
        return mPartitionManager ? mPartitionManager->createOperation(name) : nullptr;
    }

    void CoreGameObjectManager::update(float elapsed)
    {
        if (mPartitionManager)
            mPartitionManager->update(elapsed);
        if (mAboveGroundManager)
            mAboveGroundManager->update(elapsed);

        // An object may take itself off the list during its call; the walk
        // then stays on the index, so the next object keeps its turn.
        for (size_t i = 0; i < mUpdateListeners.size();)
        {
            CoreGameObject* object = mUpdateListeners[i].first;
            object->update(elapsed);
            if (i < mUpdateListeners.size() && mUpdateListeners[i].first == object)
                ++i;
        }
        for (size_t i = 0; i < mAnimUpdateListeners.size();)
        {
            CoreGameObject* object = mAnimUpdateListeners[i];
            object->updateAnim(elapsed);
            if (i < mAnimUpdateListeners.size() && mAnimUpdateListeners[i] == object)
                ++i;
        }

        if (mCollisionGameSystem)
            mCollisionGameSystem->update(elapsed);
    }

    void CoreGameObjectManager::enumerateObjects(std::vector<GameObject*>& out)
    {
        std::vector<CoreGameObject*> objects;
        enumerateObjects(objects);
        const std::vector<GameObject*> cast = castCoreObjectsToGameObjects(objects);
        out.insert(out.end(), cast.begin(), cast.end());
    }

    void CoreGameObjectManager::enumeratePartitions(std::vector<Partition*>& out)
    {
        std::vector<CorePartition*> partitions;
        enumeratePartitions(partitions);
        const std::vector<Partition*> cast = castCorePartitionsToPartitions(partitions);
        out.insert(out.end(), cast.begin(), cast.end());
    }

    void CoreGameObjectManager::enumerateObjectsByType(std::vector<GameObject*>& out,
                                                       const std::string& type)
    {
        std::vector<CoreGameObject*> objects;
        enumerateObjectsByType(objects, type);
        const std::vector<GameObject*> cast = castCoreObjectsToGameObjects(objects);
        out.insert(out.end(), cast.begin(), cast.end());
    }

    GameObject* CoreGameObjectManager::getObjectByName(const std::string& name)
    {
        return getCoreObjectByName(name);
    }

    GameObject* CoreGameObjectManager::createGameObject(const std::string& metaID,
                                                        const Ogre::Vector3& position)
    {
        return createCoreGameObject(metaID, position);
    }

    void CoreGameObjectManager::enumerateObjects(std::vector<CoreGameObject*>& out)
    {
        if (mPartitionManager)
            mPartitionManager->enumerateObjects(out);
    }

    void CoreGameObjectManager::enumeratePartitions(std::vector<CorePartition*>& out)
    {
        if (mPartitionManager)
            mPartitionManager->enumeratePartitions(out);
    }

    void CoreGameObjectManager::enumerateObjectsByType(std::vector<CoreGameObject*>& out,
                                                       const std::string& type)
    {
        if (mPartitionManager)
            mPartitionManager->enumerateObjectsByType(out, type);
    }

    void CoreGameObjectManager::enumetateObjectsByLogicInfo(std::vector<CoreGameObject*>& out)
    {
        if (mPartitionManager)
            mPartitionManager->enumetateObjectsByLogicInfo(out);
    }

    void CoreGameObjectManager::enumerateNearbyPartitionObjects(const Ogre::Vector3& position,
                                                                std::vector<CoreGameObject*>& out,
                                                                bool logicOnly)
    {
        if (mPartitionManager)
            mPartitionManager->enumerateNearbyPartitionObjects(position, out, logicOnly);
    }

    void CoreGameObjectManager::enumerateAreas(std::vector<CoreAboveGroundArea*>& out)
    {
        if (mAboveGroundManager)
            mAboveGroundManager->enumerateAreas(out);
    }

    CoreGameObject* CoreGameObjectManager::getCoreObjectByName(const std::string& name)
    {
        return mPartitionManager ? mPartitionManager->getObjectByName(name) : nullptr;
    }

    CoreGameObject* CoreGameObjectManager::createCoreGameObject(const std::string& metaID,
                                                                const Ogre::Vector3& worldPosition)
    {
        // An object no partition takes in would never be saved nor freed.
        CorePartition* partition =
            mPartitionManager ? mPartitionManager->getPartition(worldPosition, true) : nullptr;
        if (!partition || !partition->getLoaded())
        {
            logMessage("CoreGameObjectManager::createCoreGameObject: no loaded partition lies under " +
                       Ogre::StringConverter::toString(worldPosition) + "; no " + metaID +
                       " object made");
            return nullptr;
        }
        CoreMetadata* metadata = getMetadata(metaID);
        if (!metadata)
            return nullptr;
        const std::string name = getUniqueName(metadata->getName(), false) + "_" + getTimeStamp();
        CoreGameObject* object = createCoreGameObjectFromFactory(metadata->getType(), name);
        if (!object)
            return nullptr;
        object->initStart(metadata, false);
        object->initFinish(worldPosition);
        if (!object->getPartition())
        {
            logMessage("CoreGameObjectManager::createCoreGameObject: no partition takes " + name +
                       " in; the object is dropped");
            object->destroy(true, false);
            delete object;
            return nullptr;
        }
        return object;
    }

    CoreGameObject* CoreGameObjectManager::createCoreGameObjectFromFactory(const std::string& type,
                                                                           const std::string& name)
    {
        GameObjectFactoryManager* factories = GameObjectFactoryManager::getSingletonPtr();
        GameObjectFactory* factory = factories ? factories->getGameObjectFactory(type) : nullptr;
        if (!factory || !factory->isSupported(type, this))
            return nullptr;
        GameObject* made = factory->createGameObject(type, name, this);
        CoreGameObject* object = dynamic_cast<CoreGameObject*>(made);
        if (made && !object)
        {
            logMessage("CoreGameObjectManager: the factory of " + type +
                       " made an object that is not a CoreGameObject; discarded");
            delete made;
        }
        return object;
    }

    bool CoreGameObjectManager::save(const std::string& worldName)
    {
        mWorldName = worldName;
        const std::string path = getWorldFileName(worldName);
        if (path.empty())
        {
            logMessage("CoreGameObjectManager::save: world " + worldName +
                       " not saved: the configuration file " + WorldsFolder::getConfigPath() +
                       " names no worlds folder");
            return false;
        }

        SelectorDataFile file;
        DataElementPtr root = file.createRootElement("World");
        saveManagerData(root);

        bool saved = true;
        if (mPartitionManager && !mPartitionManager->save(worldName, &file))
        {
            logMessage("CoreGameObjectManager::save: some partitions of world " + worldName +
                       " could not be saved");
            saved = false;
        }
        for (auto& entry : mGameSystems)
        {
            if (!entry.second->save(root))
            {
                logMessage("CoreGameObjectManager::save: the game system " + entry.first +
                           " could not save its part of world " + worldName);
                saved = false;
            }
        }

        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
        if (!file.save(path))
        {
            logMessage("CoreGameObjectManager::save: can not write the world file " + path);
            return false;
        }
        return saved;
    }

    void CoreGameObjectManager::saveManagerData(DataElementPtr& root)
    {
        DataElementPtr data = root->createChild("GameObjectManagerData");
        data->setAttributeInt("ObjectUniqueInt", mObjectUniqueInt);
        DataElementPtr list = data->createChild("GameSystems");
        for (const std::string& type : mGameSystemTypes)
            list->createChild("GameSystem")->setAttributeString("Name", type);
    }

    void CoreGameObjectManager::startSimulation()
    {
        if (mPartitionManager)
            mPartitionManager->startSimulation();
        mSimulating = true;
    }

    void CoreGameObjectManager::endSimulation()
    {
        IgnoreSelectObject();
        if (mPartitionManager)
            mPartitionManager->endSimulation();
        mSimulating = false;
    }

    bool CoreGameObjectManager::worldExists(const std::string& worldName)
    {
        std::string name = worldName + ".World";
        return GenericUtils::findFilePath(name);
    }

    void CoreGameObjectManager::enumerateGameObjectManagerGameSystems(
        std::vector<GameObjectManagerGameSystem*>& out)
    {
        for (auto& entry : mGameSystems)
            out.push_back(entry.second);
    }

    void CoreGameObjectManager::enumerateProperties(std::vector<Property>& out)
    {
        PropertyContainer::enumerateProperties(out);
        if (mPartitionManager)
            mPartitionManager->enumerateProperties(out);
        for (auto& entry : mGameSystems)
            entry.second->enumerateProperties(out);
    }

    void CoreGameObjectManager::setProperty(const std::string& id, const PropertyData& value)
    {
        PropertyContainer::setProperty(id, value);
        if (mPartitionManager)
            mPartitionManager->setProperty(id, value);
        for (auto& entry : mGameSystems)
            entry.second->setProperty(id, value);
    }

    std::string CoreGameObjectManager::getUniqueName(const std::string& base, bool stripSuffix)
    {
        const std::string stem = stripSuffix ? getNameWithoutSuffix(base) : base;
        // Names end in a time stamp, whose seconds are what a stripped suffix
        // takes off: the next number may give back a name in use.
        std::string name;
        do
            name = stem + "_" + std::to_string(++mObjectUniqueInt);
        while (getCoreObjectByName(name));
        return name;
    }

    std::string CoreGameObjectManager::getNameWithoutSuffix(const std::string& name)
    {
        const std::string::size_type at = name.rfind('_');
        return at == std::string::npos ? name : name.substr(0, at);
    }

    std::string CoreGameObjectManager::getTimeStamp()
    {
        const std::time_t now = std::time(nullptr);
        std::tm utc = {};
        gmtime_r(&now, &utc);
        return formatTimeStamp(utc);
    }

    std::string CoreGameObjectManager::formatTimeStamp(const std::tm& utc)
    {
        return std::to_string(utc.tm_year + 1900) + "_" + std::to_string(utc.tm_mon + 1) + "_" +
               std::to_string(utc.tm_mday) + "_" + std::to_string(utc.tm_hour) + "_" +
               std::to_string(utc.tm_min) + "_" + std::to_string(utc.tm_sec);
    }

    CoreMetadata* CoreGameObjectManager::getMetadata(const std::string& metaID)
    {
        MetadataMap::iterator cached = mMetadataCache.find(metaID);
        if (cached != mMetadataCache.end())
            return cached->second;

        ResourceDataFile resource(metaID, gMetadataGroup);
        DataFile* file = resource.getFile();
        DataElementPtr root = file ? file->getRootElement() : DataElementPtr();
        if (!root || root->getIsEmpty())
        {
            resource.forget();
            OGRE_EXCEPT(Ogre::Exception::ERR_INTERNAL_ERROR, "can not find meta file:" + metaID,
                        "CoreGameObjectManager::getMetadata");
        }

        // A template that is not kept is not kept as a file either, so that
        // a corrected file is read next time.
        const std::string type = root->getAttributeString("ObjectType", "");
        if (type.empty())
        {
            resource.forget();
            return nullptr;
        }
        GameObjectFactoryManager* factories = GameObjectFactoryManager::getSingletonPtr();
        GameObjectFactory* factory = factories ? factories->getGameObjectFactory(type) : nullptr;
        if (!factory)
        {
            resource.forget();
            return nullptr;
        }

        Metadata* made = factory->createMetadata(type, metaID, this);
        CoreMetadata* metadata = dynamic_cast<CoreMetadata*>(made);
        if (made && !metadata)
        {
            logMessage("CoreGameObjectManager::getMetadata: the factory of " + type +
                       " made metadata that is not a CoreMetadata; discarded");
            delete made;
        }
        if (!metadata || metadata->load(root))
        {
            mMetadataCache[metaID] = metadata;
            return metadata;
        }
        logMessage("CoreGameObjectManager::getMetadata: " + metaID + " does not load");
        delete metadata;
        resource.forget();
        return nullptr;
    }

    bool CoreGameObjectManager::isMetadataExit(const std::string& metaID)
    {
        if (mMetadataCache.count(metaID))
            return true;
        Ogre::ResourceGroupManager* groups = Ogre::ResourceGroupManager::getSingletonPtr();
        return groups && groups->resourceGroupExists(gMetadataGroup) &&
               groups->resourceExists(gMetadataGroup, metaID);
    }

    CoreMetadata* CoreGameObjectManager::createMetadata(const std::string& metaID,
                                                        const std::string& type)
    {
        if (isMetadataExit(metaID))
            return getMetadata(metaID);
        GameObjectFactoryManager* factories = GameObjectFactoryManager::getSingletonPtr();
        GameObjectFactory* factory = factories ? factories->getGameObjectFactory(type) : nullptr;
        if (!factory)
            return nullptr;
        Metadata* made = factory->createMetadata(type, metaID, this);
        CoreMetadata* metadata = dynamic_cast<CoreMetadata*>(made);
        if (made && !metadata)
        {
            delete made;
            return nullptr;
        }
        mMetadataCache[metaID] = metadata;
        return metadata;
    }

    void CoreGameObjectManager::deleteMetadata(const std::string& metaID)
    {
        MetadataMap::iterator it = mMetadataCache.find(metaID);
        if (it == mMetadataCache.end())
            return;
        delete it->second;
        mMetadataCache.erase(it);
    }

    void CoreGameObjectManager::addUpdateListener(CoreGameObject* object)
    {
        for (auto& entry : mUpdateListeners)
        {
            if (entry.first == object)
            {
                ++entry.second;
                return;
            }
        }
        mUpdateListeners.emplace_back(object, 1);
    }

    void CoreGameObjectManager::removeUpdateListener(CoreGameObject* object, bool force)
    {
        for (auto it = mUpdateListeners.begin(); it != mUpdateListeners.end(); ++it)
        {
            if (it->first != object)
                continue;
            if (--it->second <= 0 || force)
                mUpdateListeners.erase(it);
            return;
        }
    }

    void CoreGameObjectManager::addUpdateListenerAnim(CoreGameObject* object)
    {
        if (!isUpdateListenerAnim(object))
            mAnimUpdateListeners.push_back(object);
    }

    void CoreGameObjectManager::removeUpdateListenerAnim(CoreGameObject* object)
    {
        auto it = std::find(mAnimUpdateListeners.begin(), mAnimUpdateListeners.end(), object);
        if (it != mAnimUpdateListeners.end())
            mAnimUpdateListeners.erase(it);
    }

    int CoreGameObjectManager::getUpdateListenerCount(const CoreGameObject* object) const
    {
        for (const auto& entry : mUpdateListeners)
            if (entry.first == object)
                return entry.second;
        return 0;
    }

    bool CoreGameObjectManager::isUpdateListenerAnim(const CoreGameObject* object) const
    {
        return std::find(mAnimUpdateListeners.begin(), mAnimUpdateListeners.end(), object) !=
               mAnimUpdateListeners.end();
    }

    GameObjectManagerGameSystem* CoreGameObjectManager::createGameObjectManagerGameSystem(
        const std::string& type)
    {
        const std::string name = getGameSystemName(type);
        if (getGameObjectManagerGameSystemByName(name))
            return nullptr;
        GameSystemManager* registry = GameSystemManager::getSingletonPtr();
        GameSystem* made = registry ? registry->createGameSystem(type) : nullptr;
        GameObjectManagerGameSystem* system = dynamic_cast<GameObjectManagerGameSystem*>(made);
        if (!system)
        {
            if (made)
                logMessage("CoreGameObjectManager: the game system " + type +
                           " does not belong to a world; discarded");
            else
                logMessage("CoreGameObjectManager: no factory makes the game system " + type);
            delete made;
            return nullptr;
        }
        system->init(this);
        addGameObjectManagerGameSystem(name, system);
        return system;
    }

    GameObjectManagerGameSystem* CoreGameObjectManager::getGameObjectManagerGameSystemByType(
        const std::string& type)
    {
        return getGameObjectManagerGameSystemByName(getGameSystemName(type));
    }

    void CoreGameObjectManager::setAllHoldGameObjectMeshVisible(bool visible)
    {
        for (auto& entry : mUpdateListeners)
        {
            const std::string& type = entry.first->getObjectType();
            if (type == "EffectSystemGameObject" || type == "ParticleSystemGameObject")
                entry.first->setBindMeshVisible(visible);
        }
        std::vector<CoreGameObject*> dummies;
        enumerateObjectsByType(dummies, "DummyGameObject");
        for (CoreGameObject* dummy : dummies)
            dummy->setBindMeshVisible(visible);
    }

    Ogre::SceneManager* CoreGameObjectManager::getSceneManager() const
    {
        return mSceneManagerWrapper ? mSceneManagerWrapper->getSceneManager() : nullptr;
    }

    std::string CoreGameObjectManager::getWorldFileName(const std::string& worldName)
    {
        const std::string worlds = WorldsFolder::find();
        if (worlds.empty())
            return std::string();
        return worlds + "/" + worldName + "/" + worldName + ".World";
    }

    std::string CoreGameObjectManager::getWorldResourceName(const std::string& worldName)
    {
        const std::string canonical = worldName + ".World";
        const std::string lower = worldName + ".world";
        Ogre::ResourceGroupManager* groups = Ogre::ResourceGroupManager::getSingletonPtr();
        if (groups && groups->resourceGroupExists(gWorldGroup) &&
            !groups->resourceExists(gWorldGroup, canonical) &&
            groups->resourceExists(gWorldGroup, lower))
            return lower;
        return canonical;
    }

    std::string CoreGameObjectManager::getGameSystemName(const std::string& type) const
    {
        return mStartWorldName + "_" + type;
    }

    bool CoreGameObjectManager::addGameObjectManagerGameSystem(const std::string& name,
                                                               GameObjectManagerGameSystem* system)
    {
        return mGameSystems.emplace(name, system).second;
    }

    GameObjectManagerGameSystem* CoreGameObjectManager::getGameObjectManagerGameSystemByName(
        const std::string& name)
    {
        GameSystemMap::iterator it = mGameSystems.find(name);
        return it == mGameSystems.end() ? nullptr : it->second;
    }
}
