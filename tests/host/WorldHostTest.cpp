#include "WorldHost.h"

#include "TestEngine.h"

#include "CollisionGameSystem.h"
#include "CoreAboveGroundManager.h"
#include "CoreGameObject.h"
#include "CoreGameObjectManager.h"
#include "CoreMetadata.h"
#include "CorePartition.h"
#include "CorePartitionManager.h"
#include "DataElement.h"
#include "DataFileResourceManager.h"
#include "GameObjectFactory.h"
#include "GameObjectFactoryManager.h"
#include "GameSystemManager.h"
#include "OperationManager.h"
#include "XMLDataElement.h"
#include "WorldsFolder.h"
#include "XMLDataFile.h"

#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreResourceGroupManager.h>
#include <OgreTechnique.h>
#include <OgreSceneManager.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

using namespace Wren;
using Wren::Test::LogCapture;
using Wren::Test::TestEngine;

namespace
{
    std::vector<std::string>& events()
    {
        static std::vector<std::string> list;
        return list;
    }

    /** The test's own object type. */
    class Prop : public CoreGameObject
    {
    public:
        using CoreGameObject::CoreGameObject;
        const std::string& getObjectType() const override
        {
            static const std::string type = "Prop";
            return type;
        }
        void changeLODLoadResources(bool immediate) override
        {
            CoreGameObject::changeLODLoadResources(immediate);
            setCurrentState(STATE_SETTLED);
        }
    };

    class PropMetadata : public CoreMetadata
    {
    public:
        using CoreMetadata::CoreMetadata;
        ~PropMetadata() override { events().push_back("metadata " + getID()); }
    };

    class PropFactory : public GameObjectFactory
    {
    public:
        bool supportsObjectType(const std::string& type) const override { return type == "Prop"; }
        GameObject* createGameObject(const std::string&, const std::string& name,
                                     GameObjectManager* manager) const override
        {
            return new Prop(dynamic_cast<CoreGameObjectManager*>(manager), name);
        }
        Metadata* createMetadata(const std::string&, const std::string& name,
                                 GameObjectManager* manager) const override
        {
            return new PropMetadata(name, dynamic_cast<CoreGameObjectManager*>(manager));
        }
    };

    /** The one partition of a small world; it keeps itself loaded. */
    class WholeWorld : public CorePartition
    {
    public:
        using CorePartition::CorePartition;
        void enumerateConnectedPartitions(std::vector<CorePartition*>& out) override
        {
            out.push_back(this);
        }
    };

    /** A world of one partition, loaded from its file as the world starts. */
    class OnePartitionManager : public CorePartitionManager
    {
    public:
        using CorePartitionManager::CorePartitionManager;
        ~OnePartitionManager() override { events().push_back("partition manager deleted"); }
        bool initFinish() override
        {
            addPartition(new WholeWorld("0_0", Ogre::Vector3::ZERO, this));
            immediateLoadAllPartition();
            return CorePartitionManager::initFinish();
        }
        void destroy() override
        {
            events().push_back("partition manager destroy");
            CorePartitionManager::destroy();
        }
    };

    class ReportingAreas : public CoreAboveGroundManager
    {
    public:
        using CoreAboveGroundManager::CoreAboveGroundManager;
        ~ReportingAreas() override { events().push_back("above-ground manager deleted"); }
        void destroy() override
        {
            events().push_back("above-ground manager destroy");
            CoreAboveGroundManager::destroy();
        }
    };

    /** A worlds folder with one world, metadata in a folder of its own, and
        the configuration that names them. */
    class HostedWorld : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            TestEngine& engine = TestEngine::instance();
            base = engine.makeTempFolder("host");
            worlds = base + "/worlds";
            metadata = base + "/meta";
            config = TestEngine::writeFile(base, "resources.cfg",
                                           "[Worlds]\nFileSystem=" + worlds + "/common\n");
            TestEngine::writeFile(metadata, "tree.meta",
                                  "<MetaData ObjectType=\"Prop\" Name=\"tree\"><CoreData>"
                                  "<DynamicProperties><Property ID=\"Tree_Height\" "
                                  "Name=\"Height\" FloatVal=\"3\" DataTypeEnum=\"1\"/>"
                                  "</DynamicProperties></CoreData></MetaData>");
            TestEngine::writeFile(metadata, "rock.meta",
                                  "<MetaData ObjectType=\"Prop\" Name=\"rock\"/>");
            TestEngine::writeFile(worlds + "/w1", "w1.World",
                                  "<World><GameObjectManagerData ObjectUniqueInt=\"10\"/></World>");
            events().clear();
        }

        WorldHostSettings settings(const std::string& world = "w1")
        {
            WorldHostSettings s;
            s.worldName = world;
            s.resourcesConfig = config;
            s.sceneManager = TestEngine::instance().getSceneManager();
            s.editing = true;
            s.backgroundLoading = false;
            s.resourceLocations.push_back({metadata, "General", false});
            s.objectFactories.emplace_back(new PropFactory);
            s.makePartitionManager = [](CoreGameObjectManager* m) {
                return new OnePartitionManager(m);
            };
            s.makeAboveGroundManager = [](CoreGameObjectManager* m, CorePartitionManager* p) {
                return new ReportingAreas(m, p);
            };
            return s;
        }

        void TearDown() override
        {
            WorldsFolder::setConfigPath("resources.cfg");
            TestEngine::instance().clearScene();
        }

        std::string base, worlds, metadata, config;
    };

    typedef HostedWorld WorldStart;
    typedef HostedWorld WorldRoundTrip;
}

TEST_F(WorldRoundTrip, ObjectsWithChildrenAndPropertiesSurviveTheirStoredFormsAndTheWorldFile)
{
    WorldHost host;
    ASSERT_TRUE(host.start(settings()));
    CoreGameObjectManager* manager = host.getManager();
    EXPECT_NE(manager->getCollisionGameSystem(), nullptr);
    EXPECT_NE(manager->getPlayerCamera(), nullptr);
    CorePartition* partition = manager->getPartitionManager()->getPartition("0_0");
    ASSERT_TRUE(partition && partition->getLoaded());
    // Children and dynamic properties are kept by the XML form only.
    manager->getPartitionManager()->setUseBinaryFiles(false);

    // Uniquely named objects with children and dynamic properties.
    CoreGameObject* tree = manager->createCoreGameObject("tree.meta", Ogre::Vector3(4, 0, -3));
    CoreGameObject* rock = manager->createCoreGameObject("rock.meta", Ogre::Vector3(5, 1, -3));
    ASSERT_TRUE(tree && rock);
    const std::regex stamp("_\\d{4}_\\d{1,2}_\\d{1,2}_\\d{1,2}_\\d{1,2}_\\d{1,2}");
    EXPECT_TRUE(std::regex_search(tree->getName(), std::regex("^tree_11_"))) << tree->getName();
    EXPECT_TRUE(std::regex_search(rock->getName(), std::regex("^rock_12_"))) << rock->getName();
    EXPECT_TRUE(std::regex_search(tree->getName(), stamp));
    tree->addChild(rock);
    tree->getDynamicProperty("Tree_Height")->data.floatVal = 8.5f;
    Property label;
    label.initString("Tree_Label", "Label", "oak by the gate", 64, false);
    tree->addDynamicProperty(label);
    tree->rotate(Ogre::Vector3::UNIT_Y, Ogre::Degree(40));

    // Stored in an element and made again from it: nothing lost.
    DataElementPtr element(new XMLDataElement("Object"));
    ASSERT_TRUE(tree->save(element));
    std::vector<CoreGameObject*> created;
    CoreGameObject* copy = manager->createCoreGameObjectFromFactory("Prop", "copy");
    ASSERT_TRUE(copy->loadStart(element, created, true));
    ASSERT_EQ(created.size(), 1u);
    EXPECT_NE(created[0]->getName(), rock->getName());
    ASSERT_TRUE(copy->loadFinish());
    EXPECT_TRUE(copy->getWorldPosition().positionEquals(tree->getWorldPosition(), 1e-4f));
    EXPECT_TRUE(copy->getWorldOrientation().equals(tree->getWorldOrientation(), Ogre::Radian(1e-4f)));
    EXPECT_EQ(copy->getMetadata(), tree->getMetadata());
    ASSERT_EQ(copy->getDynamicProperties().size(), 2u);
    EXPECT_FLOAT_EQ(copy->getDynamicProperty("Tree_Height")->data.floatVal, 8.5f);
    EXPECT_EQ(copy->getDynamicProperty("Tree_Label")->data.stringVal, "oak by the gate");
    EXPECT_TRUE(created[0]->getWorldPosition().positionEquals(rock->getWorldPosition(), 1e-4f));
    EXPECT_EQ(created[0]->getParent(), copy);

    // The world file and the partition are saved...
    const std::string treeName = tree->getName();
    const std::string rockName = rock->getName();
    partition->notifyObjectDirty();
    ASSERT_TRUE(host.save());
    XMLDataFile saved;
    ASSERT_TRUE(saved.load(worlds + "/w1/w1.World"));
    EXPECT_EQ(saved.getRootElement()
                  ->getFirstChild("GameObjectManagerData")
                  ->getAttributeInt("ObjectUniqueInt", 0),
              manager->getObjectUniqueInt());
    const int counter = manager->getObjectUniqueInt();

    // ...torn down in order...
    events().clear();
    host.stop();
    EXPECT_FALSE(host.isRunning());
    EXPECT_EQ(events(), (std::vector<std::string>{
                            "above-ground manager destroy", "above-ground manager deleted",
                            "partition manager destroy", "partition manager deleted",
                            "metadata rock.meta", "metadata tree.meta"}));
    EXPECT_EQ(GameObjectFactoryManager::getSingletonPtr(), nullptr);
    EXPECT_EQ(GameSystemManager::getSingletonPtr(), nullptr);
    EXPECT_EQ(DataFileResourceManager::getSingletonPtr(), nullptr);
    EXPECT_EQ(OperationManager::getSingletonPtr(), nullptr);
    EXPECT_FALSE(TestEngine::instance().getSceneManager()->hasSceneNode("0_0"));

    // ...and read back by the next start.
    ASSERT_TRUE(host.start(settings()));
    manager = host.getManager();
    EXPECT_EQ(manager->getObjectUniqueInt(), counter);
    CoreGameObject* loadedTree = manager->getCoreObjectByName(treeName);
    ASSERT_NE(loadedTree, nullptr);
    EXPECT_TRUE(loadedTree->getWorldPosition().positionEquals(Ogre::Vector3(4, 0, -3), 1e-4f));
    EXPECT_EQ(loadedTree->getDynamicProperty("Tree_Label")->data.stringVal, "oak by the gate");
    CoreGameObject* loadedRock = manager->getCoreObjectByName(rockName);
    ASSERT_NE(loadedRock, nullptr);
    EXPECT_EQ(loadedRock->getParent(), loadedTree);
    host.update(0.1f);
    host.stop();
}

TEST_F(WorldStart, MissingWorldIsRefusedAndEverythingIsUndone)
{
    const size_t groupsBefore =
        Ogre::ResourceGroupManager::getSingleton().getResourceLocationList("General").size();
    WorldHost host;
    LogCapture log;
    EXPECT_FALSE(host.start(settings("nowhere")));
    EXPECT_FALSE(host.isRunning());
    EXPECT_TRUE(log.contains("can not read the world file nowhere.World"));
    EXPECT_EQ(GameObjectFactoryManager::getSingletonPtr(), nullptr);
    EXPECT_EQ(Ogre::ResourceGroupManager::getSingleton().getResourceLocationList("General").size(),
              groupsBefore);
    EXPECT_FALSE(TestEngine::instance().getSceneManager()->hasCamera("PlayerCam"));

    // A host whose world runs refuses a second start.
    ASSERT_TRUE(host.start(settings()));
    EXPECT_FALSE(host.start(settings()));
    EXPECT_TRUE(host.isRunning());
}

TEST_F(WorldStart, WorldsStartedInTheSameRegistriesShareOneOfEachStandardFactory)
{
    GameObjectFactoryManager objects;
    GameSystemManager systems;
    for (int start = 0; start < 2; ++start)
    {
        WorldHost host;
        ASSERT_TRUE(host.start(settings()));
        host.stop();
    }
    std::vector<GameSystemFactory*> systemFactories;
    systems.enumerateGameSystemFactories(systemFactories);
    EXPECT_EQ(WorldHost::makeStandardSystemFactories().size(), systemFactories.size());
    std::vector<GameObjectFactory*> objectFactories;
    objects.enumerateGameObjectFactories(objectFactories);
    // The callers' own factories are theirs to repeat: one per start.
    EXPECT_EQ(WorldHost::makeStandardObjectFactories().size() + 2, objectFactories.size());
}

TEST_F(WorldStart, CallerFactoriesComeAfterTheStandardOnes)
{
    WorldHost host;
    ASSERT_TRUE(host.start(settings()));
    std::vector<GameObjectFactory*> factories;
    GameObjectFactoryManager::getSingleton().enumerateGameObjectFactories(factories);
    ASSERT_EQ(factories.size(), WorldHost::makeStandardObjectFactories().size() + 1);
    EXPECT_NE(dynamic_cast<PropFactory*>(factories.back()), nullptr);
    EXPECT_NE(GameSystemManager::getSingleton().getGameSystemFactory("CollisionGameSystem"),
              nullptr);
    EXPECT_NE(GameSystemManager::getSingleton().getGameSystem("CollisionGameSystem"), nullptr);
}

TEST_F(WorldStart, CollisionShapesAreRecoveredUnlessTheHostSaysNo)
{
    for (bool recovery : {true, false})
    {
        WorldHost host;
        WorldHostSettings s = settings();
        s.collisionShapeRecovery = recovery;
        s.collisionShapeHold = 64;
        ASSERT_TRUE(host.start(std::move(s)));
        CollisionGameSystem* collision = host.getManager()->getCollisionGameSystem();
        ASSERT_NE(collision, nullptr);
        EXPECT_EQ(collision->getRecovery(), recovery);
        if (recovery)
        {
            EXPECT_EQ(collision->getHoldMaxCount(), 64);
        }
    }
}

TEST_F(WorldStart, WorldWithoutWorldsFolderRunsButRefusesToSave)
{
    TestEngine::writeFile(TestEngine::instance().getPlsm2Folder(), "loose.World", "<World/>");
    TestEngine::instance().rescanResources();
    WorldHostSettings s = settings("loose");
    s.resourcesConfig = base + "/empty.cfg";
    WorldHost host;
    LogCapture log;
    ASSERT_TRUE(host.start(std::move(s)));
    EXPECT_TRUE(log.contains("names no worlds folder"));
    EXPECT_EQ(host.getWorldsFolder(), "");
    EXPECT_FALSE(host.save());
}

TEST_F(WorldStart, NewWorldFolderIsMadeSoTheFirstSaveHasSomewhereToGo)
{
    WorldHost host;
    ASSERT_TRUE(host.start(settings()));
    EXPECT_TRUE(std::filesystem::is_directory(worlds + "/w1/Partitions"));
    CoreGameObject* rock =
        host.getManager()->createCoreGameObject("rock.meta", Ogre::Vector3(1, 0, 1));
    ASSERT_NE(rock, nullptr);
    rock->getPartition()->notifyObjectDirty();
    ASSERT_TRUE(host.save());
    EXPECT_TRUE(std::filesystem::exists(worlds + "/w1/Partitions/w1_Partition0_0.objbinary"));
}

TEST_F(WorldStart, FramesWithoutDrawingFreeThePassesOfRemovedMaterials)
{
    // Every fade clones a material and removes the clone when it ends; OGRE
    // frees the clone's passes only when it draws, so a headless client
    // would keep them all.
    WorldHost host;
    ASSERT_TRUE(host.start(settings()));
    Ogre::MaterialPtr faded =
        Ogre::MaterialManager::getSingleton().create("FadedOnce", "General");
    faded->createTechnique()->createPass();
    Ogre::MaterialManager::getSingleton().remove(faded);
    faded.reset();
    EXPECT_FALSE(Ogre::Pass::getPassGraveyard().empty());
    host.update(0.1f);
    EXPECT_TRUE(Ogre::Pass::getPassGraveyard().empty());
    host.stop();
}
