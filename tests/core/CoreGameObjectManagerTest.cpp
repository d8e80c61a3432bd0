#include "CoreGameObjectTestWorld.h"

#include "XMLDataFile.h"

#include <OgreException.h>

#include <gtest/gtest.h>

#include <filesystem>

using namespace Wren;
using namespace Wren::Test;

namespace
{
    /** Exposes the protected world-file helpers. */
    class ManagerView : public CoreGameObjectManager
    {
    public:
        using CoreGameObjectManager::getWorldFileName;
    };

    /** An update listener that reports its turn. */
    class ReportingObject : public StandInObject
    {
    public:
        using StandInObject::StandInObject;
        void update(float elapsed) override
        {
            events().push_back("update " + getName());
            StandInObject::update(elapsed);
        }
        void updateAnim(float) override { events().push_back("anim " + getName()); }
    };

    class ReportingPartitionManager : public StandInPartitionManager
    {
    public:
        using StandInPartitionManager::StandInPartitionManager;
        void update(float elapsed) override
        {
            events().push_back("partitions");
            StandInPartitionManager::update(elapsed);
        }
    };

    class ReportingAreas : public StandInAboveGroundManager
    {
    public:
        using StandInAboveGroundManager::StandInAboveGroundManager;
        void update(float) override { events().push_back("areas"); }
    };

    class ObjectManager : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            world.writeMetadata("tree.meta", "tree");
            world.writeMetadata("untyped.meta", "nothing", "<CoreData/>", "");
            world.writeMetadata("alien.meta", "alien", "<CoreData/>", "AlienGameObject");
        }

        std::string readSaved(const std::string& worldName)
        {
            return TestEngine::readFile(world.worlds + "/" + worldName + "/" + worldName +
                                        ".World");
        }

        CoreTestWorld world;
    };

    typedef ObjectManager ObjectNaming;
    typedef ObjectManager WorldFile;
    typedef ObjectManager WorldSave;
    typedef ObjectManager MetadataCache;
    typedef ObjectManager UpdateOrder;
    typedef ObjectManager WorldTeardown;
}

TEST(ObjectNames, SuffixIsTheTextAfterTheLastUnderscore)
{
    EXPECT_EQ(CoreGameObjectManager::getNameWithoutSuffix("a_b_c"), "a_b");
    EXPECT_EQ(CoreGameObjectManager::getNameWithoutSuffix("abc"), "abc");
    EXPECT_EQ(CoreGameObjectManager::getNameWithoutSuffix("_x"), "");

    std::tm t = {};
    t.tm_year = 110;
    t.tm_mon = 0;
    t.tm_mday = 21;
    t.tm_hour = 13;
    t.tm_min = 8;
    t.tm_sec = 9;
    EXPECT_EQ(CoreGameObjectManager::formatTimeStamp(t), "2010_1_21_13_8_9");
}

TEST_F(ObjectNaming, NamesWithinOneSecondDifferInTheUniqueNumber)
{
    world.writeWorld("naming", "<GameObjectManagerData ObjectUniqueInt=\"6\"/>");
    ASSERT_TRUE(world.start("naming"));
    EXPECT_EQ(world.factory->initCalls, 1);

    const std::string before = CoreGameObjectManager::getTimeStamp();
    StandInObject* first = world.create("tree.meta");
    StandInObject* second = world.create("tree.meta");
    const std::string after = CoreGameObjectManager::getTimeStamp();
    ASSERT_TRUE(first && second);
    if (before == after)
    {
        EXPECT_EQ(first->getName(), "tree_7_" + before);
        EXPECT_EQ(second->getName(), "tree_8_" + before);
    }
    EXPECT_EQ(world.manager->getObjectUniqueInt(), 8);

    EXPECT_EQ(world.manager->getUniqueName("a_b", true), "a_9");
    EXPECT_EQ(world.manager->getUniqueName("a_b", false), "a_b_10");
    EXPECT_EQ(world.manager->getObjectUniqueInt(), 10);
}

TEST_F(ObjectNaming, UnknownTypesYieldNoObject)
{
    world.writeWorld("unknown", "");
    ASSERT_TRUE(world.start("unknown"));
    EXPECT_EQ(world.manager->createCoreGameObject("alien.meta", Ogre::Vector3::ZERO), nullptr);
    EXPECT_EQ(world.manager->createCoreGameObjectFromFactory("AlienGameObject", "x"), nullptr);
    EXPECT_EQ(world.manager->createGameObject("untyped.meta", Ogre::Vector3::ZERO), nullptr);
}

TEST_F(WorldFile, WithoutManagerDataTheCounterIsZeroAndNoSystemIsMade)
{
    world.writeWorld("bare", "<Other/>");
    ASSERT_TRUE(world.start("bare"));
    EXPECT_EQ(world.manager->getObjectUniqueInt(), 0);
    std::vector<GameObjectManagerGameSystem*> systems;
    world.manager->enumerateGameObjectManagerGameSystems(systems);
    EXPECT_TRUE(systems.empty());
    EXPECT_EQ(world.manager->getWorldName(), "bare");
    EXPECT_EQ(world.manager->getPlayerCamera(), world.camera);
    EXPECT_NE(world.collision(), nullptr);
    EXPECT_EQ(world.systems->getGameSystem("CollisionGameSystem"), world.collision());
}

TEST_F(WorldFile, SystemsAreMadeOncePerTypeAndListedAsTheFileListsThem)
{
    world.writeWorld("systems",
                     "<GameObjectManagerData ObjectUniqueInt=\"3\"><GameSystems>"
                     "<GameSystem Name=\"StandInSky\"/><GameSystem Name=\"\"/>"
                     "<GameSystem Name=\"StandInSky\"/><GameSystem Name=\"NobodyMakesThis\"/>"
                     "</GameSystems></GameObjectManagerData>");
    ASSERT_TRUE(world.start("systems"));
    std::vector<GameObjectManagerGameSystem*> systems;
    world.manager->enumerateGameObjectManagerGameSystems(systems);
    ASSERT_EQ(systems.size(), 1u);
    StandInWorldSystem* sky = dynamic_cast<StandInWorldSystem*>(systems[0]);
    ASSERT_NE(sky, nullptr);
    EXPECT_EQ(world.manager->getGameObjectManagerGameSystemByType("StandInSky"), sky);
    EXPECT_EQ(sky->inits, 1);
    EXPECT_EQ(sky->loads, 1);
    EXPECT_FALSE(sky->loadedRootEmpty);
    EXPECT_EQ(world.manager->getGameSystemTypes(),
              (std::vector<std::string>{"StandInSky", "StandInSky", "NobodyMakesThis"}));
    // Made later, a system is kept but not listed in the world file.
    EXPECT_NE(world.manager->createGameObjectManagerGameSystem("StandInRain"), nullptr);
    EXPECT_EQ(world.manager->createGameObjectManagerGameSystem("StandInRain"), nullptr);

    ASSERT_TRUE(world.manager->save("systems"));
    XMLDataFile saved;
    ASSERT_TRUE(saved.load(world.worlds + "/systems/systems.World"));
    DataElementPtr data = saved.getRootElement()->getFirstChild("GameObjectManagerData");
    EXPECT_EQ(data->getAttributeInt("ObjectUniqueInt", -1), 3);
    std::vector<std::string> listed;
    DataElementPtr list = data->getFirstChild("GameSystems");
    for (DataElementPtr e = list->getFirstChild("GameSystem"); !e->getIsEmpty();
         e = e->getNextSibling("GameSystem"))
        listed.push_back(e->getAttributeString("Name", ""));
    EXPECT_EQ(listed, (std::vector<std::string>{"StandInSky", "StandInSky", "NobodyMakesThis"}));
    EXPECT_FALSE(saved.getRootElement()->getFirstChild("StandInSkyData")->getIsEmpty());
    EXPECT_FALSE(saved.getRootElement()->getFirstChild("StandInRainData")->getIsEmpty());
}

TEST_F(WorldFile, BothSpellingsNameTheOneFileAndSavesUseTheCanonicalOne)
{
    // A world whose file is spelled in lower case still starts...
    world.writeWorld("lower", "<GameObjectManagerData ObjectUniqueInt=\"5\"/>", ".world");
    ASSERT_TRUE(world.start("lower"));
    EXPECT_EQ(world.manager->getObjectUniqueInt(), 5);
    EXPECT_TRUE(world.manager->worldExists("lower"));
    // ...and is written back under the canonical spelling.
    EXPECT_EQ(ManagerView::getWorldFileName("lower"),
              world.worlds + "/lower/lower.World");
    ASSERT_TRUE(world.manager->save("lower"));
    EXPECT_TRUE(std::filesystem::exists(world.worlds + "/lower/lower.World"));
    EXPECT_FALSE(std::filesystem::exists(world.worlds + "/lower/lower.world"));
    EXPECT_FALSE(world.manager->worldExists("nowhere"));
}

TEST_F(WorldFile, MissingWorldOrCollisionSystemRefusesTheStart)
{
    world.engine.rescanResources();
    LogCapture log;
    EXPECT_FALSE(world.start("absent"));
    EXPECT_TRUE(log.contains("can not read the world file absent.World"));
    EXPECT_EQ(world.manager->getWorldName(), "");
    EXPECT_EQ(world.manager->getPartitionManager(), nullptr);

    // Without any factory of the collision system.
    world.writeWorld("nocollision", "");
    world.systems.reset();
    world.systems.reset(new GameSystemManager);
    EXPECT_FALSE(world.start("nocollision"));
    EXPECT_TRUE(log.contains("there is no game system \"CollisionGameSystem\""));
    EXPECT_EQ(world.manager->getPartitionManager(), nullptr);
}

TEST_F(WorldFile, ManagerThatRefusesTheWorldDataRefusesTheStartAndLeavesNothingBehind)
{
    world.writeWorld("refused", "<GameObjectManagerData ObjectUniqueInt=\"4\"><GameSystems>"
                                "<GameSystem Name=\"StandInSky\"/></GameSystems>"
                                "</GameObjectManagerData>");
    for (int refusing = 0; refusing < 2; ++refusing)
    {
        SCOPED_TRACE(refusing == 0 ? "partition manager" : "above-ground manager");
        events().clear();
        world.partitionsRefuseStart = refusing == 0;
        world.areasRefuseStart = refusing == 1;
        LogCapture log;
        EXPECT_FALSE(world.start("refused"));
        EXPECT_TRUE(log.contains(refusing == 0 ? "the partition manager refuses the world data"
                                               : "the above-ground manager refuses the world data"));
        EXPECT_EQ(world.manager->getPartitionManager(), nullptr);
        EXPECT_EQ(world.manager->getAboveGroundManager(), nullptr);
        EXPECT_EQ(world.manager->getWorldName(), "");
        EXPECT_TRUE(world.manager->getGameSystemTypes().empty());
        EXPECT_EQ(world.manager->getGameObjectManagerGameSystemByType("StandInSky"), nullptr);
        // The caller deleted both managers; the object manager never tore them down.
        EXPECT_EQ(events(), (std::vector<std::string>{"world system StandInSky",
                                                      "above-ground manager deleted",
                                                      "partition manager deleted"}));
    }

    // The same world starts with managers that accept it, its systems made once.
    world.partitionsRefuseStart = false;
    world.areasRefuseStart = false;
    ASSERT_TRUE(world.start("refused"));
    EXPECT_EQ(world.manager->getObjectUniqueInt(), 4);
    std::vector<GameObjectManagerGameSystem*> systems;
    world.manager->enumerateGameObjectManagerGameSystems(systems);
    EXPECT_EQ(systems.size(), 1u);
    EXPECT_NE(world.manager->getPartitionManager(), nullptr);
}

TEST(WorldFileName, WorldsFolderOfTheConfigurationGivesTheSavePath)
{
    TestEngine& engine = TestEngine::instance();
    const std::string folder = engine.makeTempFolder("cfg");
    const std::string config = TestEngine::writeFile(
        folder, "resources.cfg",
        "# comment\n[General]\nFileSystem=../../media/models\n[Worlds]\n"
        "FileSystem=../../media/worlds/common\n");
    WorldsFolder::setConfigPath(config);
    // Relative folders are relative to the configuration's own folder.
    const std::string worlds =
        (std::filesystem::path(folder) / "../../media/worlds").lexically_normal().string();
    EXPECT_EQ(ManagerView::getWorldFileName("w1"), worlds + "/w1/w1.World");
    WorldsFolder::setConfigPath(folder + "/missing.cfg");
    EXPECT_EQ(ManagerView::getWorldFileName("w1"), "");
    WorldsFolder::setConfigPath("resources.cfg");
}

TEST_F(WorldSave, WorldFileIsWrittenAndReadBackByTheNextStart)
{
    world.writeWorld("saved", "<GameObjectManagerData ObjectUniqueInt=\"2\"/>");
    ASSERT_TRUE(world.start("saved"));
    world.create("tree.meta");
    ASSERT_TRUE(world.manager->save("saved"));
    const std::string text = readSaved("saved");
    EXPECT_NE(text.find("<GameObjectManagerData ObjectUniqueInt=\"3\">"), std::string::npos) << text;

    // The saved file is the world of a fresh start.
    world.manager->destroy();
    world.manager.reset(new CoreGameObjectManager(nullptr, nullptr, nullptr, true));
    TestEngine::writeFile(world.engine.getPlsm2Folder(), "saved.World", text);
    ASSERT_TRUE(world.start("saved"));
    EXPECT_EQ(world.manager->getObjectUniqueInt(), 3);
}

TEST_F(WorldSave, NoWorldsFolderIsAClearRefusalNotAWriteToAnEmptyPath)
{
    world.writeWorld("unconfigured", "");
    ASSERT_TRUE(world.start("unconfigured"));
    TestEngine::writeFile(world.worlds, "plain.cfg", "[General]\nFileSystem=/tmp/models\n");
    WorldsFolder::setConfigPath(world.worlds + "/plain.cfg");
    LogCapture log;
    EXPECT_FALSE(world.manager->save("unconfigured"));
    EXPECT_TRUE(log.contains("names no worlds folder"));
}

TEST_F(WorldSave, FailedWriteOfTheWorldFileIsReported)
{
    world.writeWorld("blocked", "");
    ASSERT_TRUE(world.start("blocked"));
    // A folder in the place of the world file can not be replaced by a file.
    std::filesystem::create_directories(world.worlds + "/blocked/blocked.World/x");
    LogCapture log;
    EXPECT_FALSE(world.manager->save("blocked"));
    EXPECT_TRUE(log.contains("can not write the world file"));
    EXPECT_TRUE(std::filesystem::is_directory(world.worlds + "/blocked/blocked.World/x"));
}

TEST_F(WorldSave, FailedPartOfAGameSystemIsReported)
{
    world.writeWorld("systemfails",
                     "<GameObjectManagerData><GameSystems><GameSystem Name=\"StandInSky\"/>"
                     "</GameSystems></GameObjectManagerData>");
    ASSERT_TRUE(world.start("systemfails"));
    dynamic_cast<StandInWorldSystem*>(
        world.manager->getGameObjectManagerGameSystemByType("StandInSky"))
        ->saveResult = false;
    EXPECT_FALSE(world.manager->save("systemfails"));
    // The rest is still written.
    EXPECT_NE(readSaved("systemfails").find("StandInSkyData"), std::string::npos);
}

TEST_F(MetadataCache, MissingFileRaisesInternalErrorWithTheID)
{
    world.writeWorld("meta", "");
    ASSERT_TRUE(world.start("meta"));
    try
    {
        world.manager->getMetadata("ghost.meta");
        FAIL() << "no exception";
    }
    catch (const Ogre::InternalErrorException& e)
    {
        EXPECT_NE(std::string(e.what()).find("InternalErrorException"), std::string::npos);
        EXPECT_EQ(e.getDescription(), "can not find meta file:ghost.meta");
        EXPECT_EQ(e.getSource(), "CoreGameObjectManager::getMetadata");
    }
    EXPECT_THROW(world.manager->getMetadata(""), Ogre::InternalErrorException);

    // A file written later is found: the failure was not kept.
    world.writeMetadata("ghost.meta", "ghost");
    world.engine.rescanResources();
    ASSERT_NE(world.manager->getMetadata("ghost.meta"), nullptr);
}

TEST_F(MetadataCache, TemplatesAreLoadedOnceAndNullsCachedOnlyForTypesWithoutFactory)
{
    world.writeWorld("meta", "");
    ASSERT_TRUE(world.start("meta"));
    CoreMetadata* tree = world.manager->getMetadata("tree.meta");
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->getName(), "tree");
    EXPECT_EQ(tree->getType(), "StandIn");
    EXPECT_EQ(world.manager->getMetadata("tree.meta"), tree);

    // No "ObjectType": null and not cached, so a corrected file loads.
    EXPECT_EQ(world.manager->getMetadata("untyped.meta"), nullptr);
    world.writeMetadata("untyped.meta", "now typed");
    world.engine.rescanResources();
    ASSERT_NE(world.manager->getMetadata("untyped.meta"), nullptr);

    // A type without factory: null, not cached either.
    EXPECT_EQ(world.manager->getMetadata("alien.meta"), nullptr);
    EXPECT_FALSE(world.manager->isMetadataExit("alien.meta") &&
                 world.manager->getMetadata("alien.meta"));

    // A factory that yields no metadata for its type: null, cached, not retried.
    world.writeMetadata("plain.meta", "plain", "<CoreData/>", "StandInOther");
    world.engine.rescanResources();
    EXPECT_EQ(world.manager->getMetadata("plain.meta"), nullptr);
    world.writeMetadata("plain.meta", "plain");
    world.engine.rescanResources();
    EXPECT_EQ(world.manager->getMetadata("plain.meta"), nullptr);

    EXPECT_TRUE(world.manager->isMetadataExit("tree.meta"));
    EXPECT_TRUE(world.manager->isMetadataExit("rock_never_loaded.meta") == false);
    CoreMetadata* made = world.manager->createMetadata("new.meta", "StandIn");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->getID(), "new.meta");
    EXPECT_EQ(world.manager->createMetadata("new.meta", "StandIn"), made);
    EXPECT_EQ(world.manager->createMetadata("tree.meta", "StandIn"), tree);
    EXPECT_EQ(world.manager->createMetadata("other.meta", "AlienGameObject"), nullptr);
    world.manager->deleteMetadata("new.meta");
    EXPECT_FALSE(world.manager->isMetadataExit("new.meta"));
}

TEST_F(UpdateOrder, FrameRunsManagersThenListenersThenAnimationsThenCollision)
{
    world.writeWorld("frame", "");
    world.engine.rescanResources();
    world.partitions = new ReportingPartitionManager(world.manager.get());
    world.areas = new ReportingAreas(world.manager.get(), world.partitions);
    ASSERT_TRUE(world.manager->initStart("frame", world.wrapper.get(), world.partitions,
                                         world.areas));
    ASSERT_TRUE(world.manager->initFinish());

    ReportingObject a(world.manager.get(), "a", "StandIn");
    ReportingObject b(world.manager.get(), "b", "StandIn");
    ReportingObject c(world.manager.get(), "c", "StandIn");
    world.manager->addUpdateListener(&a);
    world.manager->addUpdateListener(&b);
    world.manager->addUpdateListener(&c);
    world.manager->addUpdateListenerAnim(&b);
    world.manager->addUpdateListenerAnim(&b);
    a.removeSelfOnUpdate = true;

    events().clear();
    world.manager->update(0.1f);
    // a leaves during its own turn; b still gets its turn in the same frame.
    EXPECT_EQ(events(), (std::vector<std::string>{"partitions", "areas", "update a", "update b",
                                                 "update c", "anim b"}));
    events().clear();
    world.manager->update(0.1f);
    EXPECT_EQ(events(),
              (std::vector<std::string>{"partitions", "areas", "update b", "update c", "anim b"}));
    world.manager->removeUpdateListener(&b, true);
    world.manager->removeUpdateListener(&c, true);
    world.manager->removeUpdateListenerAnim(&b);
}

TEST_F(UpdateOrder, RegistrationsAreCountedAndForceReleasesAll)
{
    world.writeWorld("counts", "");
    ASSERT_TRUE(world.start("counts"));
    StandInObject obj(world.manager.get(), "counted", "StandIn");
    world.manager->addUpdateListener(&obj);
    world.manager->addUpdateListener(&obj);
    world.manager->removeUpdateListener(&obj, false);
    EXPECT_EQ(world.manager->getUpdateListenerCount(&obj), 1);
    world.manager->removeUpdateListener(&obj, false);
    EXPECT_EQ(world.manager->getUpdateListenerCount(&obj), 0);
    world.manager->addUpdateListener(&obj);
    world.manager->addUpdateListener(&obj);
    world.manager->removeUpdateListener(&obj, true);
    EXPECT_EQ(world.manager->getUpdateListenerCount(&obj), 0);
    world.manager->removeUpdateListener(&obj, true);
}

TEST_F(WorldTeardown, DestroyRunsInTheDocumentedOrderAndKeepsTheCollisionSystem)
{
    world.writeWorld("teardown",
                     "<GameObjectManagerData><GameSystems><GameSystem Name=\"StandInSky\"/>"
                     "</GameSystems></GameObjectManagerData>");
    ASSERT_TRUE(world.start("teardown"));
    StandInObject* parent = world.create("tree.meta");
    parent->addChild(world.create("tree.meta"));
    world.manager->update(0.05f);

    events().clear();
    world.manager->destroy();
    EXPECT_EQ(events(), (std::vector<std::string>{
                            "above-ground manager destroy", "above-ground manager deleted",
                            "partition manager destroy", "partition manager deleted",
                            "world system StandInSky", "metadata tree.meta"}));
    EXPECT_EQ(world.manager->getPartitionManager(), nullptr);
    EXPECT_NE(world.systems->getGameSystem("CollisionGameSystem"), nullptr);
    EXPECT_FALSE(world.engine.getSceneManager()->hasSceneNode("0_0"));
}

TEST_F(WorldTeardown, PropertiesComeFromThePartitionManagerThenTheSystems)
{
    world.writeWorld("props",
                     "<GameObjectManagerData><GameSystems><GameSystem Name=\"StandInSky\"/>"
                     "</GameSystems></GameObjectManagerData>");
    ASSERT_TRUE(world.start("props"));
    std::vector<Property> props;
    world.manager->enumerateProperties(props);
    ASSERT_EQ(props.size(), 3u);
    EXPECT_EQ(props[0].id, "PartitionManager_OverrideShowBounds");
    EXPECT_EQ(props[2].id, "PartitionManager_LoadTimeBudget");
    PropertyData off;
    off.boolVal = false;
    world.manager->setProperty("PartitionManager_ShowAllBounds", off);
    EXPECT_FALSE(world.partitions->getShowAllBounds());

    world.manager->startSimulation();
    EXPECT_TRUE(world.manager->getSimulating());
    world.manager->endSimulation();
    EXPECT_FALSE(world.manager->getSimulating());
}
