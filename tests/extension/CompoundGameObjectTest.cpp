#include "ObjectTypesTestWorld.h"

#include "BinaryFileResourceManager.h"
#include "CompoundGameObject.h"
#include "DummyGameObject.h"
#include "XMLDataFile.h"

#include <gtest/gtest.h>

using namespace Wren;
using namespace Wren::Test;

namespace
{
    /** One stored object element; children go inside. */
    std::string object(const std::string& type, const std::string& name, const std::string& metaId,
                       const std::string& position = "0", const std::string& children = "",
                       const std::string& partition = "9_9")
    {
        return "<Object Type=\"" + type + "\" Name=\"" + name + "\"><CoreData PosX=\"" + position +
               "\" OrientW=\"1\" ScaleX=\"1\" ScaleY=\"1\" ScaleZ=\"1\" MetaID=\"" + metaId +
               "\" PartitionID=\"" + partition + "\"/><Children>" + children +
               "</Children></Object>";
    }

    struct CompoundWorld : ObjectTypesWorld
    {
        CompoundWorld() { writeMetadata("tent.meta", "tent"); }
        /** An objects file and the compound template reading it. */
        void writeCompound(const std::string& name, const std::string& content)
        {
            writeMeta(name + ".objects", content);
            writeCompoundMeta(name + ".meta", name + ".objects");
        }
        CompoundGameObject* makeCompound(const std::string& name,
                                         const Ogre::Vector3& position = Ogre::Vector3::ZERO)
        {
            return make<CompoundGameObject>(name + ".meta", position);
        }
    };
}

TEST(Compound, ContentHangsBelowTheCompoundInItsPartitionAndSelectsIt)
{
    CompoundWorld world;
    // Saved elsewhere: the file names a partition this world does not have.
    world.writeCompound("camp", object("StandIn", "tent_3", "tent.meta", "7",
                                       object("StandIn", "pole_4", "tent.meta", "1")));
    ASSERT_TRUE(world.start());

    CompoundGameObject* camp = world.makeCompound("camp", Ogre::Vector3(10, 0, 5));
    ASSERT_NE(camp, nullptr);
    EXPECT_EQ(camp->getCurrentState(), STATE_SETTLED);
    ASSERT_EQ(camp->getContent().size(), 2u);
    CoreGameObject* pole = camp->getContent()[0];
    CoreGameObject* tent = camp->getContent()[1];
    EXPECT_EQ(tent->getParent(), camp);
    EXPECT_EQ(pole->getParent(), tent);
    // The content stands at the compound's origin, its inner layout kept.
    EXPECT_EQ(tent->getWorldPosition(), Ogre::Vector3(10, 0, 5));
    EXPECT_EQ(pole->getWorldPosition(), Ogre::Vector3(11, 0, 5));
    for (CoreGameObject* o : camp->getContent())
    {
        EXPECT_EQ(o->getSelection(), camp) << o->getName();
        EXPECT_EQ(o->getPartition(), world.partition("0_0")) << o->getName();
    }
    EXPECT_EQ(tent->getName().compare(0, 5, "tent_"), 0) << tent->getName();
    EXPECT_NE(tent->getName(), "tent_3");
    EXPECT_NE(pole->getName(), "pole_4");

    // A second compound of the same file gets content of its own names.
    CompoundGameObject* other = world.makeCompound("camp", Ogre::Vector3(-20, 0, 0));
    ASSERT_EQ(other->getContent().size(), 2u);
    EXPECT_NE(other->getContent()[1]->getName(), tent->getName());
    EXPECT_NE(other->getContent()[0]->getName(), pole->getName());

    // The content lives in its file only.
    XMLDataFile file;
    DataElementPtr element = file.createRootElement("Object");
    ASSERT_TRUE(camp->save(element));
    EXPECT_TRUE(element->getFirstChild("Children")->getFirstChild("Object")->getIsEmpty());
    EXPECT_TRUE(camp->fitsBinaryRecord());
}

TEST(Compound, WithoutUsableObjectsFileItIsAnEmptySettledObject)
{
    CompoundWorld world;
    world.writeCompoundMeta("gone.meta", "gone.objects");
    world.writeCompound("broken", "<Object Type=\"StandIn\"");
    world.writeCompound("nameless", "<Object Type=\"Nope\" Name=\"n_1\"/>");
    world.writeCompound("unmade", object("StandIn", "t_1", "missing.meta"));
    ASSERT_TRUE(world.start());

    LogCapture log;
    for (const char* name : {"gone", "broken", "nameless", "unmade"})
    {
        SCOPED_TRACE(name);
        CompoundGameObject* compound = world.makeCompound(name);
        ASSERT_NE(compound, nullptr);
        EXPECT_EQ(compound->getCurrentState(), STATE_SETTLED);
        EXPECT_TRUE(compound->getContent().empty());
        EXPECT_TRUE(log.contains(compound->getName() + " stays empty"));
    }
    EXPECT_TRUE(log.contains("'gone.objects' is not found"));
    EXPECT_TRUE(log.contains("the type 'Nope' that no factory makes"));
    EXPECT_TRUE(log.contains("missing.meta"));
    std::vector<CoreGameObject*> objects;
    world.manager->enumerateObjects(objects);
    EXPECT_EQ(objects.size(), 4u);
}

TEST(Compound, CompoundContainingItselfIsRefusedInsteadOfRecursing)
{
    CompoundWorld world;
    world.writeCompound("loop", object("CompoundGameObject", "loop_1", "loop.meta"));
    world.writeCompound("b", object("CompoundGameObject", "c_1", "c.meta"));
    world.writeCompound("c", object("CompoundGameObject", "b_1", "b.meta"));
    ASSERT_TRUE(world.start());

    LogCapture log;
    CompoundGameObject* loop = world.makeCompound("loop");
    ASSERT_EQ(loop->getContent().size(), 1u);
    auto* inner = dynamic_cast<CompoundGameObject*>(loop->getContent()[0]);
    ASSERT_NE(inner, nullptr);
    EXPECT_TRUE(inner->getContent().empty());
    EXPECT_TRUE(log.contains("would contain itself"));

    CompoundGameObject* b = world.makeCompound("b");
    auto* c = dynamic_cast<CompoundGameObject*>(b->getContent().at(0));
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(c->getContent().size(), 1u);
    auto* innerB = dynamic_cast<CompoundGameObject*>(c->getContent()[0]);
    ASSERT_NE(innerB, nullptr);
    EXPECT_TRUE(innerB->getContent().empty());
    // Picking the innermost selects the outermost compound.
    EXPECT_EQ(innerB->getSelection(), b);

    // Once read, the file may be read again.
    EXPECT_EQ(world.makeCompound("loop")->getContent().size(), 1u);
}

TEST(Compound, SavingAWorldWritesNeitherPlaceholdersNorCompoundContent)
{
    CompoundWorld world;
    Ogre::BinaryFileResourceManager binaryFiles;
    world.writeCompound("camp", object("StandIn", "tent_3", "tent.meta", "7"));
    world.writeDummyMeta("marker.meta", "");
    const std::string folder = world.writePartitionFile(
        object("CompoundGameObject", "camp_1", "camp.meta", "5", "", "0_0") +
        object("DummyGameObject", "marker_2", "marker.meta", "-5", "", "0_0"));
    ASSERT_TRUE(world.start());
    world.partitions->setUseBinaryFiles(false);
    CorePartition* p = world.partition("0_0");
    p->unload(false);
    p->load("w");
    // Both objects, the placeholder and the content.
    EXPECT_EQ(p->getObjects().size(), 4u);

    // As if edited, so that both forms are written.
    LogCapture log;
    p->notifyObjectDirty();
    ASSERT_TRUE(p->save("w"));
    p->notifyObjectDirty();
    ASSERT_TRUE(p->saveBinary("w"));
    ASSERT_FALSE(p->isObjectDirty());
    EXPECT_FALSE(log.contains("does not keep"));
    XMLDataFile saved;
    ASSERT_TRUE(saved.load(folder + "/w_Partition0_0.objects"));
    size_t top = 0;
    for (DataElementPtr e = saved.getRootElement()->getFirstChild("Object"); !e->getIsEmpty();
         e = e->getNextSibling("Object"), ++top)
        EXPECT_TRUE(e->getFirstChild("Children")->getFirstChild("Object")->getIsEmpty());
    EXPECT_EQ(top, 2u);

    // Read back from the binary form, the two come with their own again.
    world.indexPartitionsFolder();
    world.partitions->setUseBinaryFiles(true);
    p->unload(false);
    p->loadBinary("w");
    EXPECT_EQ(p->getObjects().size(), 4u);
}

TEST(Compound, SavedGroupComesBackAsTheContentOfANewCompound)
{
    CompoundWorld world;
    ASSERT_TRUE(world.start());
    // Compounds are saved where templates are looked up.
    world.manager->setCompoundsFolder(world.engine.getGeneralFolder());
    StandInObject* tent = world.create("tent.meta", Ogre::Vector3(3, 0, 3));
    StandInObject* pole = world.create("tent.meta", Ogre::Vector3(4, 0, 5));
    ASSERT_TRUE(world.manager->linkObjects(std::vector<CoreGameObject*>{pole}, tent));
    ASSERT_TRUE(world.manager->saveCompoundGameObject(tent, "hut"));
    world.engine.rescanResources();

    CompoundGameObject* hut = world.makeCompound("hut", Ogre::Vector3(20, 0, 0));
    ASSERT_NE(hut, nullptr);
    ASSERT_EQ(hut->getContent().size(), 2u);
    CoreGameObject* pole2 = hut->getContent()[0];
    CoreGameObject* tent2 = hut->getContent()[1];
    for (CoreGameObject* o : {tent2, pole2})
    {
        EXPECT_EQ(o->getObjectType(), "StandIn");
        EXPECT_EQ(o->getMetadataID(), "tent.meta");
    }
    EXPECT_EQ(pole2->getParent(), tent2);
    EXPECT_EQ(tent2->getWorldPosition(), Ogre::Vector3(20, 0, 0));
    EXPECT_EQ(pole2->getWorldPosition(), Ogre::Vector3(21, 0, 2));
}
