#include "CoreGameObjectTestWorld.h"

#include "BinaryFileResource.h"
#include "BinaryFileResourceManager.h"
#include "CoreAboveGroundArea.h"
#include "OperationManager.h"
#include "XMLDataElement.h"
#include "XMLDataFile.h"

#include <OgreException.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using namespace Wren;
using namespace Wren::Test;

namespace
{
    /** Areas found everywhere: the one area the test gives. */
    class OneAreaManager : public StandInAboveGroundManager
    {
    public:
        using StandInAboveGroundManager::StandInAboveGroundManager;
        CoreAboveGroundArea* __FindAreaByPos(Ogre::Vector3& position) override
        {
            lastPosition = position;
            return area;
        }
        CoreAboveGroundArea* area = nullptr;
        Ogre::Vector3 lastPosition;
    };

    class PartitionWorld : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            binaryFiles.reset(new Ogre::BinaryFileResourceManager);
            world.writeMetadata("rock.meta", "rock");
            world.writeWorld("parts", "");
            partitionsFolder = world.declarePartitionsFolder("parts");
        }

        void startXml()
        {
            ASSERT_TRUE(world.start("parts", {{"0_0", Ogre::Vector3(100, 0, 0)}}));
            world.partitions->setUseBinaryFiles(false);
        }

        /** Reloads the partition from its file, as streaming would. */
        void reload(CorePartition* p)
        {
            p->unload(false);
            if (p->getUseBinaryFiles())
                p->loadBinary("parts");
            else
                p->load("parts");
        }

        CoreTestWorld world;
        std::unique_ptr<Ogre::BinaryFileResourceManager> binaryFiles;
        std::string partitionsFolder;
    };

    typedef PartitionWorld PartitionMembership;
    typedef PartitionWorld ObjectsFile;
    typedef PartitionWorld CapturedState;
}

TEST_F(PartitionMembership, SecondObjectOfANameIsRefusedUnlessChecksAreSkipped)
{
    ASSERT_TRUE(world.start("parts"));
    CorePartition* p = world.partition("0_0");
    StandInObject first(world.manager.get(), "same", "StandIn");
    StandInObject second(world.manager.get(), "same", "StandIn");
    p->addObject(&first);
    try
    {
        p->addObject(&second);
        FAIL() << "no exception";
    }
    catch (const Ogre::ItemIdentityException& e)
    {
        EXPECT_EQ(e.getDescription(), "core object with the same name same");
        EXPECT_EQ(e.getSource(), "CorePartition::addObject");
    }
    EXPECT_EQ(p->getObjects().size(), 1u);
    p->addObject(&second, true);
    EXPECT_EQ(p->getObjects().size(), 2u);
    p->removeObject(&first);
    p->removeObject(&second);
}

TEST_F(PartitionMembership, InstancedObjectGoesToItsAreaWithThePartitionTransform)
{
    world.engine.rescanResources();
    world.partitions = new StandInPartitionManager(world.manager.get());
    world.partitions->cells = {{"0_0", Ogre::Vector3(100, 0, 50)}};
    OneAreaManager* areas = new OneAreaManager(world.manager.get(), world.partitions);
    CoreAboveGroundArea area("3_4", Ogre::Vector3::ZERO, areas);
    areas->area = &area;
    ASSERT_TRUE(world.manager->initStart("parts", world.wrapper.get(), world.partitions, areas));
    ASSERT_TRUE(world.manager->initFinish());
    world.manager->SetEnabledInstanced(true);
    world.manager->getMetadata("rock.meta")->setInstanced(true);

    StandInObject* obj = world.create("rock.meta", Ogre::Vector3(110, 0, 50));
    ASSERT_TRUE(obj->IsInstanced());
    CorePartition* p = world.partition("0_0");
    EXPECT_EQ(p->getObjects(), std::vector<CoreGameObject*>{obj});
    EXPECT_NE(obj->getSceneNode()->getParent(), p->getSceneNode());
    EXPECT_EQ(obj->getLevelOfDetail(), LOD_BEYOND_HINT);
    ASSERT_EQ(area.getObjectGroups().count("rock.meta"), 1u);
    EXPECT_EQ(area.getObjectGroups().at("rock.meta").size(), 1u);
    EXPECT_EQ(area.GetAreaState(), AreaPending);
    EXPECT_EQ(areas->getPendingAreas().size(), 1u);
    areas->area = nullptr;
    world.manager->destroy();
}

TEST_F(PartitionMembership, UnlistedObjectUnderThePartitionNodeIsDetachedByRemove)
{
    ASSERT_TRUE(world.start("parts"));
    CorePartition* p = world.partition("0_0");
    StandInObject* listed = world.create("rock.meta");
    StandInObject stray(world.manager.get(), "stray", "StandIn");
    stray.initSceneNode();
    stray.addToParentSceneNode(p->getSceneNode());
    p->removeObject(&stray);
    EXPECT_EQ(stray.getSceneNode()->getParent(), nullptr);
    p->removeObject(listed);
    EXPECT_TRUE(p->getObjects().empty());
    EXPECT_EQ(listed->getSceneNode()->getParent(), p->getSceneNode());
    stray.destroy(false, true);
    listed->destroy(true, true);
    delete listed;
}

TEST_F(ObjectsFile, UnchangedPartitionWritesNothingAndAChangedOneIsReadBack)
{
    startXml();
    CorePartition* p = world.partition("0_0");
    const std::string path = partitionsFolder + "/parts_Partition0_0.objects";
    EXPECT_EQ(p->getObjectsFilePath("parts"), path);
    EXPECT_TRUE(p->save("parts"));
    EXPECT_FALSE(std::filesystem::exists(path));
    // A new object is a change: the save writes it.
    world.create("rock.meta", Ogre::Vector3(110, 0, 0));
    EXPECT_TRUE(p->isObjectDirty());

    StandInObject* parent = world.create("rock.meta", Ogre::Vector3(120, 1, 0));
    parent->addChild(world.create("rock.meta", Ogre::Vector3(121, 1, 0)));
    const std::string parentName = parent->getName();
    p->notifyObjectDirty();
    ASSERT_TRUE(world.manager->save("parts"));
    EXPECT_FALSE(p->isObjectDirty());
    XMLDataFile file;
    ASSERT_TRUE(file.load(path));
    EXPECT_FALSE(file.getRootElement()->getFirstChild("CorePartitionData")->getIsEmpty());

    reload(p);
    ASSERT_EQ(p->getObjects().size(), 3u);
    CoreGameObject* loaded = p->getObjectByName(parentName);
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(loaded->getWorldPosition().positionEquals(Ogre::Vector3(120, 1, 0), 1e-4f));
    std::vector<CoreGameObject*> all;
    p->enumerateObjectsByType(all, "StandIn");
    EXPECT_EQ(all.size(), 3u);
}

TEST_F(ObjectsFile, BinaryFormKeepsTopLevelObjects)
{
    ASSERT_TRUE(world.start("parts", {{"0_0", Ogre::Vector3(0, 0, 0)}}));
    CorePartition* p = world.partition("0_0");
    StandInObject* a = world.create("rock.meta", Ogre::Vector3(1, 2, 3));
    StandInObject* b = world.create("rock.meta", Ogre::Vector3(-4, 0, 5));
    const std::string nameA = a->getName();
    const std::string nameB = b->getName();
    p->notifyObjectDirty();
    ASSERT_TRUE(world.manager->save("parts"));
    EXPECT_TRUE(std::filesystem::exists(partitionsFolder + "/parts_Partition0_0.objbinary"));

    reload(p);
    ASSERT_EQ(p->getObjects().size(), 2u);
    EXPECT_TRUE(p->getObjectByName(nameA)->getWorldPosition().positionEquals(
        Ogre::Vector3(1, 2, 3)));
    EXPECT_NE(p->getObjectByName(nameB), nullptr);
}

TEST_F(ObjectsFile, BinaryFormRefusesWhatItWouldDropAndXmlFormKeepsIt)
{
    ASSERT_TRUE(world.start("parts", {{"0_0", Ogre::Vector3(0, 0, 0)}}));
    CorePartition* p = world.partition("0_0");
    const std::string binary = partitionsFolder + "/parts_Partition0_0.objbinary";
    const std::string xmlFile = partitionsFolder + "/parts_Partition0_0.objects";
    StandInObject* parent = world.create("rock.meta", Ogre::Vector3(1, 0, 0));
    const std::string parentName = parent->getName();
    ASSERT_TRUE(world.manager->save("parts"));
    const std::string stored = TestEngine::readFile(binary);

    // A child (or a dynamic property) has no place in the record: the
    // partition is not written in binary form, its old file stays, and the
    // save says so, naming the object.
    StandInObject* child = world.create("rock.meta", Ogre::Vector3(2, 0, 0));
    parent->addChild(child);
    Property note;
    note.initString("Rock_Note", "Note", "mossy", 16, false);
    parent->addDynamicProperty(note);
    {
        LogCapture log;
        EXPECT_FALSE(world.manager->save("parts"));
        EXPECT_TRUE(log.contains(parentName + " of partition 0_0 holds children"));
    }
    EXPECT_TRUE(p->isObjectDirty());
    EXPECT_EQ(TestEngine::readFile(binary), stored);
    ASSERT_EQ(world.partitions->getRefusedObjects().size(), 1u);
    EXPECT_EQ(world.partitions->getRefusedObjects()[0].second, parentName);

    // A name too long for the record is named with its own reason.
    StandInObject* longName = new StandInObject(world.manager.get(), std::string(200, 'n'), "StandIn");
    longName->initStart(world.manager->getMetadata("rock.meta"), false);
    longName->initFinish(Ogre::Vector3(3, 0, 0));
    {
        LogCapture log;
        EXPECT_FALSE(world.manager->save("parts"));
        EXPECT_TRUE(log.contains("is too long for the binary record"));
    }
    std::vector<CoreGameObject*> gone{longName};
    world.manager->deleteObjects(gone);

    // A world kept in XML keeps all of it, for every partition.
    world.partitions->setUseBinaryFiles(false);
    EXPECT_FALSE(p->getUseBinaryFiles());
    const std::string againName = child->getName();
    ASSERT_TRUE(world.manager->save("parts"));
    EXPECT_TRUE(std::filesystem::exists(xmlFile));
    reload(p);
    CoreGameObject* loaded = p->getObjectByName(parentName);
    ASSERT_NE(loaded, nullptr);
    EXPECT_FALSE(p->isObjectDirty());
    ASSERT_NE(loaded->getDynamicProperty("Rock_Note"), nullptr);
    EXPECT_EQ(loaded->getDynamicProperty("Rock_Note")->data.stringVal, "mossy");
    ASSERT_NE(p->getObjectByName(againName), nullptr);
    EXPECT_EQ(p->getObjectByName(againName)->getParent(), loaded);
}

TEST_F(ObjectsFile, BadEntriesAreKeptAsStoredAndWrittenBackWhileTheRestLoads)
{
    startXml();
    TestEngine::writeFile(
        partitionsFolder, "parts_Partition0_0.objects",
        "<Objects><CorePartitionData ShowBounds=\"true\"/>"
        "<Object Type=\"StandIn\" Name=\"good\"><CoreData MetaID=\"rock.meta\" "
        "PartitionID=\"0_0\" ScaleX=\"1\" ScaleY=\"1\" ScaleZ=\"1\" OrientW=\"1\"/></Object>"
        "<Object Type=\"Alien\" Name=\"alien\"/>"
        "<Object Type=\"StandIn\" Name=\"ghost\"><CoreData MetaID=\"nowhere.meta\"/></Object>"
        "<Object Type=\"StandIn\" Name=\"good\"><CoreData MetaID=\"rock.meta\" "
        "PartitionID=\"0_0\"/></Object>"
        "<Object Type=\"StandIn\" Name=\"stale\"><CoreData MetaID=\"rock.meta\" "
        "PartitionID=\"7_7\"/></Object>"
        "</Objects>");
    CorePartition* p = world.partition("0_0");
    LogCapture log;
    reload(p);
    EXPECT_TRUE(p->getShowBounds());
    ASSERT_EQ(p->getObjects().size(), 2u);
    EXPECT_NE(p->getObjectByName("good"), nullptr);
    // An object whose partition is gone stays with the file that held it.
    EXPECT_EQ(p->getObjectByName("stale")->getPartition(), p);
    EXPECT_TRUE(log.contains("'Alien'"));
    EXPECT_TRUE(log.contains("can not find meta file:nowhere.meta"));
    EXPECT_TRUE(log.contains("good kept as stored"));
    EXPECT_EQ(p->getKeptObjectCount(), 3u);

    // What could not be shown is written back by the next save, and
    // survives a snapshot; the binary form keeps it too.
    world.create("rock.meta", Ogre::Vector3(101, 0, 0));
    ASSERT_TRUE(world.manager->save("parts"));
    const std::string saved = TestEngine::readFile(partitionsFolder + "/parts_Partition0_0.objects");
    EXPECT_NE(saved.find("Name=\"alien\""), std::string::npos);
    EXPECT_NE(saved.find("nowhere.meta"), std::string::npos);
    size_t goods = 0;
    for (size_t at = saved.find("Name=\"good\""); at != std::string::npos;
         at = saved.find("Name=\"good\"", at + 1))
        ++goods;
    EXPECT_EQ(goods, 2u);
    world.partitions->setUseBinaryFiles(true);
    p->notifyObjectDirty();
    ASSERT_TRUE(world.manager->save("parts"));
    reload(p);
    EXPECT_EQ(p->getObjects().size(), 3u);
    EXPECT_EQ(p->getKeptObjectCount(), 3u);
}

TEST_F(ObjectsFile, FailedWriteKeepsThePartitionDirty)
{
    startXml();
    CorePartition* p = world.partition("0_0");
    world.create("rock.meta", Ogre::Vector3(110, 0, 0));
    p->notifyObjectDirty();
    std::filesystem::create_directories(partitionsFolder + "/parts_Partition0_0.objects/x");
    EXPECT_FALSE(world.manager->save("parts"));
    EXPECT_TRUE(p->isObjectDirty());

    WorldsFolder::setConfigPath(world.worlds + "/nothing.cfg");
    EXPECT_FALSE(p->save("parts"));
    EXPECT_TRUE(p->isObjectDirty());
}

TEST_F(CapturedState, LoadedPartitionGivesACopyAndUnloadDiscardsAHeldOne)
{
    startXml();
    CorePartition* p = world.partition("0_0");
    world.create("rock.meta", Ogre::Vector3(100, 0, 0));
    std::unique_ptr<DataFile> copy(p->getState());
    ASSERT_TRUE(copy);
    EXPECT_FALSE(copy->getRootElement()->getFirstChild("Object")->getIsEmpty());

    p->unloadBinary(false);
    EXPECT_EQ(p->getState(), nullptr);
    DataFile* held = copy.release();
    p->setState(held);
    EXPECT_EQ(p->getState(), held);
    p->unloadBinary(false);
    EXPECT_EQ(p->getState(), held);

    // A held state is preferred to the file by the next load.
    p->load("parts");
    EXPECT_EQ(p->getObjects().size(), 1u);
    // Saved, the partition has nothing to keep when it unloads.
    ASSERT_TRUE(p->save("parts"));
    p->unload(false);
    EXPECT_EQ(p->getState(), nullptr);
    EXPECT_EQ(p->getBinaryState(), nullptr);
}

namespace
{
    /** A partition as wide as a default grid cell: 128 units each way. */
    class WideCell : public CorePartition
    {
    public:
        using CorePartition::CorePartition;
        float getObjectBound() const override { return 128.0f; }
    };
}

TEST_F(ObjectsFile, TopLevelBoundIsThePartitionsExtentAndRefusalsAreListed)
{
    world.makePartition = [](const std::string& id, const Ogre::Vector3& origin,
                             CorePartitionManager* m) { return new WideCell(id, origin, m); };
    ASSERT_TRUE(world.start("parts", {{"0_0", Ogre::Vector3(0, 0, 0)}}));
    world.partitions->setUseBinaryFiles(false);
    CorePartition* p = world.partition("0_0");
    StandInObject* far = world.create("rock.meta", Ogre::Vector3(100, 0, 0));
    StandInObject* outside = world.create("rock.meta", Ogre::Vector3(0, 0, 127));
    outside->setPosition(Ogre::Vector3(0, 0, 130), false, false);
    StandInObject* child = world.create("rock.meta", Ogre::Vector3(0, 0, 0));
    far->addChild(child);
    child->setPosition(Ogre::Vector3(100, 0, 0), false, false);
    const std::string farName = far->getName();
    const std::string outsideName = outside->getName();
    LogCapture log;
    // The rest is written, the refusals (a child among them) are listed and
    // the save says it did not write everything.
    EXPECT_FALSE(world.manager->save("parts"));
    EXPECT_TRUE(p->isObjectDirty());
    EXPECT_TRUE(log.contains("position invalid"));
    ASSERT_EQ(world.partitions->getRefusedObjects().size(), 2u);
    EXPECT_EQ(world.partitions->getRefusedObjects()[0].second, child->getName());
    EXPECT_EQ(world.partitions->getRefusedObjects()[1].second, outsideName);

    reload(p);
    CoreGameObject* loaded = p->getObjectByName(farName);
    ASSERT_NE(loaded, nullptr);
    // The child lay 100 units from its parent: beyond its own 64.
    EXPECT_TRUE(static_cast<StandInObject*>(loaded)->getChildren().empty());
    EXPECT_EQ(p->getObjectByName(outsideName), nullptr);
}

TEST_F(ObjectsFile, DamagedFileIsCountedAndThePartitionComesUpEmpty)
{
    startXml();
    TestEngine::writeFile(partitionsFolder, "parts_Partition0_0.objects", "<Objects><Obj");
    world.engine.rescanResources();
    CorePartition* p = world.partition("0_0");
    reload(p);
    EXPECT_TRUE(p->getLoaded());
    EXPECT_TRUE(p->getObjects().empty());
    EXPECT_EQ(world.partitions->getCorruptPartitionFileCount(), 1u);
}

namespace
{
    typedef PartitionWorld DirtyTracking;

    /** Objects of an objects file on disk, in either form; -1 when it can
        not be read. */
    int storedObjects(const std::string& path, bool binary)
    {
        int count = 0;
        if (binary)
        {
            Ogre::BinaryFileResource file;
            if (!file.loadFromFile(path))
                return -1;
            for (Ogre::IBinaryDataElement* e = file.getRootElement()->getFirstChildElement("Object");
                 e; e = e->getNextChildElement("Object"))
                ++count;
            return count;
        }
        XMLDataFile file;
        if (!file.load(path))
            return -1;
        for (DataElementPtr e = file.getRootElement()->getFirstChild("Object"); !e->getIsEmpty();
             e = e->getNextSibling("Object"))
            ++count;
        return count;
    }
    typedef PartitionWorld SaveAs;
    typedef PartitionWorld EditedWorld;
}

TEST_F(DirtyTracking, EveryChangeToWhatIsStoredMarksThePartitionAndLoadingDoesNot)
{
    startXml();
    CorePartition* p = world.partition("0_0");
    StandInObject* a = world.create("rock.meta", Ogre::Vector3(101, 0, 0));
    StandInObject* b = world.create("rock.meta", Ogre::Vector3(102, 0, 0));
    Property note;
    note.initString("Rock_Note", "Note", "mossy", 16, false);
    PropertyData other = note.data;
    other.stringVal = "dry";
    PropertyData place;
    place.vectorVal = Ogre::Vector3(105, 1, 0);

    const std::vector<std::pair<std::string, std::function<void()>>> changes = {
        {"create", [&] { world.create("rock.meta", Ogre::Vector3(103, 0, 0)); }},
        {"position property", [&] { a->setProperty("CoreGameObject_Position", place); }},
        {"orientation", [&] { a->setOrientation(Ogre::Quaternion(Ogre::Degree(30), Ogre::Vector3::UNIT_Y), false, false); }},
        {"translate", [&] { a->translate(Ogre::Vector3(0, 1, 0), false); }},
        {"rotate", [&] { a->rotate(Ogre::Vector3::UNIT_Y, Ogre::Degree(10)); }},
        {"scale", [&] { a->scale(Ogre::Vector3(2, 2, 2)); }},
        {"dynamic property added", [&] { a->addDynamicProperty(note); }},
        {"dynamic property set", [&] { a->setProperty("Rock_Note", other); }},
        {"child added", [&] { a->addChild(b); }},
        {"child removed", [&] { a->removeChild(b); b->addToParentSceneNode(p->getSceneNode()); }},
        {"destroyed", [&] { std::vector<CoreGameObject*> gone{b}; world.manager->deleteObjects(gone); }},
    };
    for (const auto& change : changes)
    {
        ASSERT_TRUE(world.manager->save("parts")) << change.first;
        ASSERT_FALSE(p->isObjectDirty()) << change.first;
        change.second();
        EXPECT_TRUE(p->isObjectDirty()) << change.first;
    }

    // The save after the edits writes them; loading them back is no edit.
    const std::string name = a->getName();
    ASSERT_TRUE(world.manager->save("parts"));
    reload(p);
    EXPECT_FALSE(p->isObjectDirty());
    CoreGameObject* loaded = p->getObjectByName(name);
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(loaded->getWorldPosition().positionEquals(Ogre::Vector3(105, 2, 0), 1e-3f));
    EXPECT_EQ(loaded->getDynamicProperty("Rock_Note")->data.stringVal, "dry");
    EXPECT_EQ(p->getObjects().size(), 2u);
}

TEST_F(SaveAs, EveryPartitionIsWrittenUnderTheNewNameAndTheSystemsStayFound)
{
    world.writeWorld("parts", "<GameObjectManagerData><GameSystems><GameSystem Name=\"StandInSky\"/>"
                              "</GameSystems></GameObjectManagerData>");
    // 1_0 has an objects file of the world; 2_0 will hold a snapshot.
    TestEngine::writeFile(partitionsFolder, "parts_Partition1_0.objects",
                          "<Objects><CorePartitionData ShowBounds=\"false\"/>"
                          "<Object Type=\"StandIn\" Name=\"stored\"><CoreData MetaID=\"rock.meta\" "
                          "PartitionID=\"1_0\" PosX=\"4\"/></Object></Objects>");
    world.makePartition = RegionPartition::make;
    ASSERT_TRUE(world.start("parts", {{"0_0", Ogre::Vector3::ZERO},
                                      {"1_0", Ogre::Vector3(128, 0, 0)},
                                      {"2_0", Ogre::Vector3(256, 0, 0)}}));
    world.partitions->setUseBinaryFiles(false);
    GameObjectManagerGameSystem* sky = world.manager->getGameObjectManagerGameSystemByType("StandInSky");
    ASSERT_NE(sky, nullptr);
    world.create("rock.meta", Ogre::Vector3(1, 0, 0));
    world.create("rock.meta", Ogre::Vector3(257, 0, 0));
    world.partition("1_0")->unload(false);
    world.partition("2_0")->unload(false);
    ASSERT_NE(world.partition("2_0")->getState(), nullptr);

    for (bool binary : {false, true})
    {
        SCOPED_TRACE(binary ? "binary" : "XML");
        const std::string name = binary ? "copyb" : "copyx";
        world.partitions->setUseBinaryFiles(binary);
        ASSERT_TRUE(world.manager->save(name));
        EXPECT_EQ(world.manager->getWorldName(), name);
        EXPECT_TRUE(std::filesystem::exists(world.worlds + "/" + name + "/" + name + ".World"));
        // Every cell's file holds its objects: the loaded one's, the
        // snapshot's and the stored file's.
        for (const char* cell : {"0_0", "1_0", "2_0"})
            EXPECT_EQ(storedObjects(world.partition(cell)->getObjectsFilePath(name, binary), binary),
                      1)
                << cell;
    }
    EXPECT_EQ(world.manager->getGameObjectManagerGameSystemByType("StandInSky"), sky);
    EXPECT_EQ(world.manager->createGameObjectManagerGameSystem("StandInSky"), nullptr);
}

TEST_F(EditedWorld, SnapshotsOfAWorldThatIsGoneUndoNothing)
{
    OperationManager history(10);
    startXml();
    history.addOperation(world.manager->createOperation(""));
    world.create("rock.meta", Ogre::Vector3(101, 0, 0));
    history.addOperation(world.manager->createOperation(""));
    world.manager->destroy();

    LogCapture log;
    history.undo();
    history.redo();
    EXPECT_TRUE(log.contains("the world of this step is gone"));
    // Another world of the same manager's kind is not reached either.
    ASSERT_TRUE(world.start("parts"));
    history.undo();
    EXPECT_TRUE(world.partition("0_0")->getObjects().empty());
}

TEST_F(EditedWorld, ObjectsFindAPartitionThatHoldsThemOrAreNotMade)
{
    world.makePartition = RegionPartition::make;
    // The file of 1_0 names 0_0, which is not loaded, for one object, and
    // holds a parent whose first child takes a name already taken.
    TestEngine::writeFile(partitionsFolder, "parts_Partition1_0.objects",
                          "<Objects><CorePartitionData ShowBounds=\"false\"/>"
                          "<Object Type=\"StandIn\" Name=\"wanderer\"><CoreData MetaID=\"rock.meta\" "
                          "PartitionID=\"0_0\" PosX=\"5\" OrientW=\"1\" ScaleX=\"1\" ScaleY=\"1\" "
                          "ScaleZ=\"1\"/></Object>"
                          "<Object Type=\"StandIn\" Name=\"twin\"><CoreData MetaID=\"rock.meta\" "
                          "PartitionID=\"1_0\"/></Object>"
                          "<Object Type=\"StandIn\" Name=\"parent\"><CoreData MetaID=\"rock.meta\" "
                          "PartitionID=\"1_0\"/><Children>"
                          "<Object Type=\"StandIn\" Name=\"twin\"><CoreData MetaID=\"rock.meta\" "
                          "PartitionID=\"1_0\"/></Object>"
                          "<Object Type=\"StandIn\" Name=\"sibling\"><CoreData MetaID=\"rock.meta\" "
                          "PartitionID=\"1_0\"/></Object>"
                          "</Children></Object></Objects>");
    ASSERT_TRUE(world.start("parts", {{"0_0", Ogre::Vector3::ZERO},
                                      {"1_0", Ogre::Vector3(128, 0, 0)}}));
    world.partitions->setUseBinaryFiles(false);
    CorePartition* west = world.partition("0_0");
    CorePartition* east = world.partition("1_0");
    west->unload(false);
    east->unload(false);
    east->load("parts");

    CoreGameObject* wanderer = east->getObjectByName("wanderer");
    ASSERT_NE(wanderer, nullptr);
    EXPECT_EQ(wanderer->getPartition(), east);
    EXPECT_EQ(wanderer->getSceneNode()->getParent(), east->getSceneNode());
    EXPECT_TRUE(wanderer->getWorldPosition().positionEquals(Ogre::Vector3(133, 0, 0), 1e-4f));
    // The child of the taken name goes; its sibling and its parent stay.
    CoreGameObject* sibling = east->getObjectByName("sibling");
    ASSERT_NE(sibling, nullptr);
    EXPECT_EQ(sibling->getParent(), east->getObjectByName("parent"));
    EXPECT_EQ(east->getObjects().size(), 4u);

    // No object is made where no loaded partition would hold it.
    const int counter = world.manager->getObjectUniqueInt();
    LogCapture log;
    EXPECT_EQ(world.create("rock.meta", Ogre::Vector3(0, 0, 0)), nullptr);
    EXPECT_TRUE(log.contains("no loaded partition lies under"));
    EXPECT_EQ(world.manager->getObjectUniqueInt(), counter);
}

TEST_F(ObjectsFile, TheFormWrittenLastIsRead)
{
    ASSERT_TRUE(world.start("parts", {{"0_0", Ogre::Vector3(0, 0, 0)}}));
    CorePartition* p = world.partition("0_0");
    world.create("rock.meta", Ogre::Vector3(1, 0, 0));
    ASSERT_TRUE(world.manager->save("parts"));
    world.create("rock.meta", Ogre::Vector3(2, 0, 0));
    world.partitions->setUseBinaryFiles(false);
    ASSERT_TRUE(world.manager->save("parts"));

    // The binary file is the older: the XML one is read, and the choice is
    // logged.
    world.partitions->setUseBinaryFiles(true);
    {
        LogCapture log;
        reload(p);
        EXPECT_TRUE(log.contains("reads its XML objects file"));
    }
    EXPECT_EQ(p->getObjects().size(), 2u);
    world.create("rock.meta", Ogre::Vector3(3, 0, 0));
    ASSERT_TRUE(world.manager->save("parts"));
    world.partitions->setUseBinaryFiles(false);
    reload(p);
    EXPECT_EQ(p->getObjects().size(), 3u);
}
