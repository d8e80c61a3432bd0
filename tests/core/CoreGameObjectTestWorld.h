#ifndef __WrenCoreGameObjectTestWorld_H__
#define __WrenCoreGameObjectTestWorld_H__

#include "TestEngine.h"

#include "CollisionGameSystem.h"
#include "CoreAboveGroundManager.h"
#include "DataElement.h"
#include "CoreGameObject.h"
#include "CoreGameObjectManager.h"
#include "CoreMetadata.h"
#include "CorePartition.h"
#include "CorePartitionManager.h"
#include "DataFileResourceManager.h"
#include "GameObjectFactory.h"
#include "GameObjectFactoryManager.h"
#include "GameObjectManagerGameSystem.h"
#include "GameSystemFactory.h"
#include "GameSystemManager.h"
#include "SceneManagerWrapper.h"
#include "WorldsFolder.h"

#include <OgreCamera.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Wren
{
namespace Test
{
    /** What the stand-ins report, in order, so that tests can check the
        order of teardown. */
    inline std::vector<std::string>& events()
    {
        static std::vector<std::string> list;
        return list;
    }

    /** The tests' own object type: a core object whose resources are ready
        at once (state 1 after a load), unless a test asks for another state. */
    class StandInObject : public CoreGameObject
    {
    public:
        StandInObject(CoreGameObjectManager* manager, const std::string& name,
                      const std::string& type)
            : CoreGameObject(manager, name), mType(type)
        {
        }

        const std::string& getObjectType() const override { return mType; }

        void changeLODLoadResources(bool immediate) override
        {
            CoreGameObject::changeLODLoadResources(immediate);
            ++loads;
            setCurrentState(stateAfterLoad);
        }
        void changeLODFinalize(bool immediate) override
        {
            CoreGameObject::changeLODFinalize(immediate);
            ++finalizes;
            setCurrentState(STATE_SETTLED);
        }
        void update(float elapsed) override
        {
            CoreGameObject::update(elapsed);
            ++updates;
            if (removeSelfOnUpdate)
                getManager()->removeUpdateListener(this, true);
        }
        bool loadStart(DataElementPtr& element, std::vector<CoreGameObject*>& created,
                       bool rename) override
        {
            if (element->getAttributeBool("Fail", false))
                return false;
            return CoreGameObject::loadStart(element, created, rename);
        }
        bool shouldSaveChild(const CoreGameObject* child) const override
        {
            return child->getName() != refusedChild;
        }
        Ogre::AxisAlignedBox getWorldAABB() const override { return worldBox; }

        using CoreGameObject::getChildren;
        using CoreGameObject::getCollidable;
        using CoreGameObject::setCollidable;
        using CoreGameObject::setParent;

        std::string mType;
        CurrentState stateAfterLoad = STATE_SETTLED;
        int loads = 0;
        int finalizes = 0;
        int updates = 0;
        bool removeSelfOnUpdate = false;
        std::string refusedChild = "-";
        Ogre::AxisAlignedBox worldBox;
    };

    /** A partition that claims the square of 128 units around its origin. */
    class RegionPartition : public CorePartition
    {
    public:
        using CorePartition::CorePartition;
        PositionResult isPositionInPartition(const Ogre::Vector3& p) override
        {
            const Ogre::Vector3& o = getWorldPosition();
            return std::abs(p.x - o.x) <= 64 && std::abs(p.z - o.z) <= 64 ? POSITION_INSIDE
                                                                         : POSITION_OUTSIDE;
        }
        static CorePartition* make(const std::string& id, const Ogre::Vector3& origin,
                                   CorePartitionManager* manager)
        {
            return new RegionPartition(id, origin, manager);
        }
    };

    /** Metadata that reports its end. */
    class StandInMetadata : public CoreMetadata
    {
    public:
        using CoreMetadata::CoreMetadata;
        ~StandInMetadata() override { events().push_back("metadata " + getID()); }
    };

    /** Makes StandInObject for "StandIn" and "StandInOther". */
    class StandInFactory : public GameObjectFactory
    {
    public:
        bool supportsObjectType(const std::string& type) const override
        {
            return type == "StandIn" || type == "StandInOther";
        }
        GameObject* createGameObject(const std::string& type, const std::string& name,
                                     GameObjectManager* manager) const override
        {
            return new StandInObject(dynamic_cast<CoreGameObjectManager*>(manager), name, type);
        }
        /** "StandInOther" has no metadata of its own. */
        Metadata* createMetadata(const std::string& type, const std::string& name,
                                 GameObjectManager* manager) const override
        {
            if (type == "StandInOther")
                return nullptr;
            return new StandInMetadata(name, dynamic_cast<CoreGameObjectManager*>(manager));
        }
        bool initGameObjectManager(GameObjectManager*) override
        {
            ++initCalls;
            return true;
        }
        int initCalls = 0;
    };

    /** A shape that is loaded from the start. */
    class StandInShape : public CollisionShape
    {
    public:
        StandInShape() { load(); }
    };

    /** Collision that always hits, recording what it was asked. */
    class StandInCollisionSystem : public CollisionGameSystem
    {
    public:
        CollisionShapePtr createCollisionShape(const std::string& meshName,
                                               const Ogre::Vector3& scale) override
        {
            askedNames.push_back(meshName);
            askedScales.push_back(scale);
            CollisionShapePtr shape = getCollisionShape(meshName);
            if (!shape)
            {
                shape = CollisionShapePtr(new StandInShape);
                addCollisionShape(meshName, shape);
            }
            return shape;
        }
        CollisionShapePtr createCollisionShapeFromMesh(const Ogre::MeshPtr&,
                                                       const Ogre::Vector3&) override
        {
            return CollisionShapePtr();
        }
        Ogre::AxisAlignedBox getCollisionShapeBounds(const CollisionShapePtr&) const override
        {
            return Ogre::AxisAlignedBox();
        }
        bool collideRay(const CollisionShapePtr&, const Ogre::Matrix4& transform, const Ogre::Ray&,
                        CollisionInfo& info) const override
        {
            info.point = transform.getTrans();
            return true;
        }
        bool collideShapes(const CollisionShapePtr&, const Ogre::Matrix4&, const CollisionShapePtr&,
                           const Ogre::Matrix4&, std::vector<CollisionInfo>& infos) const override
        {
            infos.push_back(CollisionInfo());
            return true;
        }
        bool collideBox(const CollisionShapePtr&, const Ogre::Matrix4&, const Ogre::AxisAlignedBox&,
                        std::vector<CollisionInfo>&) const override
        {
            return false;
        }
        ~StandInCollisionSystem() override { events().push_back("collision system"); }

        std::vector<std::string> askedNames;
        std::vector<Ogre::Vector3> askedScales;
    };

    /** A world game system that writes one element and counts its calls. */
    class StandInWorldSystem : public GameObjectManagerGameSystem
    {
    public:
        explicit StandInWorldSystem(const std::string& type) : mType(type) {}
        ~StandInWorldSystem() override { events().push_back("world system " + mType); }
        void init(GameObjectManager*) override { ++inits; }
        bool load(DataElementPtr element) override
        {
            ++loads;
            loadedRootEmpty = element->getIsEmpty();
            return true;
        }
        bool save(DataElementPtr element) override
        {
            element->createChild(mType + "Data");
            return saveResult;
        }
        std::string mType;
        int inits = 0;
        int loads = 0;
        bool loadedRootEmpty = true;
        bool saveResult = true;
    };

    /** Makes the collision system and the world systems whose type starts
        with "StandIn". */
    class StandInSystemFactory : public GameSystemFactory
    {
    public:
        bool supportsGameSystemType(const std::string& type) const override
        {
            return type == "CollisionGameSystem" || type.compare(0, 7, "StandIn") == 0;
        }
        GameSystem* createGameSystem(const std::string& type) const override
        {
            if (type == "CollisionGameSystem")
                return new StandInCollisionSystem;
            return new StandInWorldSystem(type);
        }
    };

    /** A partition manager whose partitions the test names; they are made
        and loaded (empty) by initFinish, as a layout of partitions would. */
    class StandInPartitionManager : public CorePartitionManager
    {
    public:
        explicit StandInPartitionManager(GameObjectManager* owner) : CorePartitionManager(owner) {}
        ~StandInPartitionManager() override { events().push_back("partition manager deleted"); }

        /** Refuses the world data when asked to, as a manager would that
            finds its part of the world file unusable. */
        bool initStart(const std::string& worldName, DataElementPtr& element) override
        {
            return !refuseStart && CorePartitionManager::initStart(worldName, element);
        }

        bool initFinish() override
        {
            for (const auto& cell : cells)
            {
                CorePartition* p = makePartition ? makePartition(cell.first, cell.second, this)
                                                 : new CorePartition(cell.first, cell.second, this);
                addPartition(p);
                DataElementPtr none;
                p->load(none, false);
            }
            return CorePartitionManager::initFinish();
        }
        void destroy() override
        {
            events().push_back("partition manager destroy");
            CorePartitionManager::destroy();
        }

        using CorePartitionManager::addPartition;

        std::vector<std::pair<std::string, Ogre::Vector3>> cells;
        std::function<CorePartition*(const std::string&, const Ogre::Vector3&,
                                     CorePartitionManager*)>
            makePartition;
        bool refuseStart = false;
    };

    class StandInAboveGroundManager : public CoreAboveGroundManager
    {
    public:
        using CoreAboveGroundManager::CoreAboveGroundManager;
        ~StandInAboveGroundManager() override { events().push_back("above-ground manager deleted"); }
        bool initStart(const std::string& worldName, DataElementPtr& element) override
        {
            return !refuseStart && CoreAboveGroundManager::initStart(worldName, element);
        }
        void destroy() override
        {
            events().push_back("above-ground manager destroy");
            CoreAboveGroundManager::destroy();
        }
        bool refuseStart = false;
    };

    /** The registries, a scene with a "PlayerCam" and a worlds folder of one
        test, torn down in the order a host would use. */
    class CoreTestWorld
    {
    public:
        explicit CoreTestWorld(bool editing = true) : engine(TestEngine::instance())
        {
            events().clear();
            dataFiles.reset(new DataFileResourceManager);
            objectFactories.reset(new GameObjectFactoryManager);
            systems.reset(new GameSystemManager);
            factory = new StandInFactory;
            objectFactories->addGameObjectFactory(factory);
            systems->addGameSystemFactory(new StandInSystemFactory);

            Ogre::SceneManager* scene = engine.getSceneManager();
            camera = scene->createCamera("PlayerCam");
            cameraNode = scene->getRootSceneNode()->createChildSceneNode("PlayerCamNode");
            cameraNode->attachObject(camera);
            wrapper.reset(new SceneManagerWrapper(scene));

            const std::string base = engine.makeTempFolder("w");
            worlds = base + "/worlds";
            config = TestEngine::writeFile(base, "resources.cfg",
                                           "[Worlds]\nFileSystem=" + worlds + "/common\n");
            WorldsFolder::setConfigPath(config);

            manager.reset(new CoreGameObjectManager(nullptr, nullptr, nullptr, editing));
        }

        ~CoreTestWorld()
        {
            if (manager)
                manager->destroy();
            manager.reset();
            wrapper.reset();
            systems.reset();
            objectFactories.reset();
            dataFiles.reset();
            Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
            for (const std::string& folder : declaredFolders)
                for (const char* group : {"General", "PLSM2"})
                    groups.removeResourceLocation(folder, group);
            WorldsFolder::setConfigPath("resources.cfg");
            engine.clearScene();
        }

        /** Makes the folder "Partitions" of a world and declares it in
            "General" and "PLSM2", where partition files are looked up;
            forgotten again when the test world goes. */
        std::string declarePartitionsFolder(const std::string& worldName)
        {
            const std::string folder = worlds + "/" + worldName + "/Partitions";
            std::filesystem::create_directories(folder);
            Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
            for (const char* group : {"General", "PLSM2"})
                groups.addResourceLocation(folder, "FileSystem", group);
            declaredFolders.push_back(folder);
            return folder;
        }

        /** Writes a metadata file of type StandIn into "General". */
        void writeMetadata(const std::string& id, const std::string& name,
                           const std::string& coreData = "<CoreData/>",
                           const std::string& type = "StandIn")
        {
            TestEngine::writeFile(engine.getGeneralFolder(), id,
                                  "<MetaData ObjectType=\"" + type + "\" Name=\"" + name + "\">" +
                                      coreData + "</MetaData>");
        }

        /** Writes the world file w.World into "PLSM2". */
        void writeWorld(const std::string& worldName, const std::string& body,
                        const std::string& extension = ".World")
        {
            TestEngine::writeFile(engine.getPlsm2Folder(), worldName + extension,
                                  "<World>" + body + "</World>");
        }

        /** Starts the world with the given partitions (ID, origin). */
        bool start(const std::string& worldName,
                   std::vector<std::pair<std::string, Ogre::Vector3>> cells = {
                       {"0_0", Ogre::Vector3::ZERO}})
        {
            engine.rescanResources();
            partitions = makePartitionManager ? makePartitionManager(manager.get())
                                              : new StandInPartitionManager(manager.get());
            partitions->cells = std::move(cells);
            partitions->makePartition = makePartition;
            partitions->refuseStart = partitionsRefuseStart;
            areas = new StandInAboveGroundManager(manager.get(), partitions);
            areas->refuseStart = areasRefuseStart;
            if (!manager->initStart(worldName, wrapper.get(), partitions, areas))
            {
                delete areas;
                delete partitions;
                areas = nullptr;
                partitions = nullptr;
                return false;
            }
            return manager->initFinish();
        }

        CorePartition* partition(const std::string& id) { return partitions->getPartition(id); }

        StandInObject* create(const std::string& metaID,
                              const Ogre::Vector3& position = Ogre::Vector3::ZERO)
        {
            return dynamic_cast<StandInObject*>(manager->createCoreGameObject(metaID, position));
        }

        StandInCollisionSystem* collision()
        {
            return dynamic_cast<StandInCollisionSystem*>(manager->getCollisionGameSystem());
        }

        TestEngine& engine;
        std::unique_ptr<DataFileResourceManager> dataFiles;
        std::unique_ptr<GameObjectFactoryManager> objectFactories;
        std::unique_ptr<GameSystemManager> systems;
        StandInFactory* factory = nullptr;
        Ogre::Camera* camera = nullptr;
        Ogre::SceneNode* cameraNode = nullptr;
        std::unique_ptr<SceneManagerWrapper> wrapper;
        std::string worlds;
        std::string config;
        /** The folders declarePartitionsFolder declared. */
        std::vector<std::string> declaredFolders;
        std::unique_ptr<CoreGameObjectManager> manager;
        StandInPartitionManager* partitions = nullptr;
        StandInAboveGroundManager* areas = nullptr;
        /** Kind of the partitions start() makes; CorePartition when empty. */
        std::function<CorePartition*(const std::string&, const Ogre::Vector3&,
                                     CorePartitionManager*)>
            makePartition;
        /** Kind of the partition manager start() makes; StandInPartitionManager
            when empty. */
        std::function<StandInPartitionManager*(GameObjectManager*)> makePartitionManager;
        /** Managers that start() makes refuse the world data. */
        bool partitionsRefuseStart = false;
        bool areasRefuseStart = false;
    };
}
}

#endif
