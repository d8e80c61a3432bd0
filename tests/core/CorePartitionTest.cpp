#include "CoreGameObjectTestWorld.h"

#include "BinaryFileResourceManager.h"
#include "CoreAboveGroundArea.h"
#include "XMLDataElement.h"
#include "XMLDataFile.h"

#include <OgreException.h>

#include <gtest/gtest.h>

#include <filesystem>

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
    world.create("rock.meta", Ogre::Vector3(110, 0, 0));
    EXPECT_TRUE(p->save("parts"));
    EXPECT_FALSE(std::filesystem::exists(path));

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

TEST_F(ObjectsFile, BinaryFormWarnsAboutWhatItDropsAndXmlFormKeepsIt)
{
    ASSERT_TRUE(world.start("parts", {{"0_0", Ogre::Vector3(0, 0, 0)}}));
    CorePartition* p = world.partition("0_0");
    const std::string binary = partitionsFolder + "/parts_Partition0_0.objbinary";
    const std::string xmlFile = partitionsFolder + "/parts_Partition0_0.objects";
    StandInObject* parent = world.create("rock.meta", Ogre::Vector3(1, 0, 0));
    StandInObject* child = world.create("rock.meta", Ogre::Vector3(2, 0, 0));
    parent->addChild(child);
    Property note;
    note.initString("Rock_Note", "Note", "mossy", 16, false);
    parent->addDynamicProperty(note);
    const std::string parentName = parent->getName();
    const std::string childName = child->getName();

    // The binary form stays the binary form: the parent is written as far
    // as the record goes, with a warning naming it.
    p->notifyObjectDirty();
    {
        LogCapture log;
        ASSERT_TRUE(world.manager->save("parts"));
        EXPECT_TRUE(log.contains("warning: " + parentName));
    }
    EXPECT_TRUE(std::filesystem::exists(binary));
    EXPECT_FALSE(std::filesystem::exists(xmlFile));
    reload(p);
    ASSERT_NE(p->getObjectByName(parentName), nullptr);
    EXPECT_EQ(p->getObjectByName(parentName)->getDynamicProperty("Rock_Note"), nullptr);
    EXPECT_EQ(p->getObjectByName(childName), nullptr);

    // A world kept in XML keeps all of it, for every partition.
    world.partitions->setUseBinaryFiles(false);
    EXPECT_FALSE(p->getUseBinaryFiles());
    CoreGameObject* bare = p->getObjectByName(parentName);
    StandInObject* again = world.create("rock.meta", Ogre::Vector3(2, 0, 0));
    bare->addChild(again);
    bare->addDynamicProperty(note);
    const std::string againName = again->getName();
    p->notifyObjectDirty();
    ASSERT_TRUE(world.manager->save("parts"));
    EXPECT_TRUE(std::filesystem::exists(xmlFile));
    reload(p);
    CoreGameObject* loaded = p->getObjectByName(parentName);
    ASSERT_NE(loaded, nullptr);
    ASSERT_NE(loaded->getDynamicProperty("Rock_Note"), nullptr);
    EXPECT_EQ(loaded->getDynamicProperty("Rock_Note")->data.stringVal, "mossy");
    ASSERT_NE(p->getObjectByName(againName), nullptr);
    EXPECT_EQ(p->getObjectByName(againName)->getParent(), loaded);
}

TEST_F(ObjectsFile, BadEntriesAreLeftOutAndTheRestLoads)
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
    EXPECT_TRUE(log.contains("good left out"));
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
    p->notifyObjectDirty();
    LogCapture log;
    ASSERT_TRUE(world.manager->save("parts"));
    EXPECT_TRUE(log.contains("position invalid"));
    ASSERT_EQ(world.partitions->getRefusedObjects().size(), 1u);
    EXPECT_EQ(world.partitions->getRefusedObjects()[0].second, outsideName);

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
