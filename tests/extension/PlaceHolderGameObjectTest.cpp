#include "ObjectTypesTestWorld.h"

#include "CompoundGameObject.h"
#include "CompoundMetadata.h"
#include "DummyGameObject.h"
#include "DummyMetadata.h"
#include "MeshGameObject.h"
#include "XMLDataFile.h"

#include <gtest/gtest.h>

using namespace Wren;
using namespace Wren::Test;

TEST(ExtensionFactory, MakesTheTypesOfItsTableAndNothingElse)
{
    ObjectTypesWorld world;
    ExtensionGameObjectFactory factory;
    GameObjectManager* manager = world.manager.get();
    for (const char* type : {"MeshGameObject", "ParticleSystemGameObject", "LightGameObject",
                             "CompoundGameObject", "EffectSystemGameObject", "DummyGameObject",
                             "SoundGameObject"})
    {
        SCOPED_TRACE(type);
        EXPECT_TRUE(factory.supportsObjectType(type));
        std::unique_ptr<GameObject> object(factory.createGameObject(type, "o", manager));
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(object->getObjectType(), type);
        EXPECT_TRUE(object->checkObjectType(type));
        std::unique_ptr<Metadata> meta(factory.createMetadata(type, "o.meta", manager));
        ASSERT_NE(meta, nullptr);
    }
    std::unique_ptr<Metadata> dummyMeta(factory.createMetadata("DummyGameObject", "d", manager));
    EXPECT_NE(dynamic_cast<DummyMetadata*>(dummyMeta.get()), nullptr);
    std::unique_ptr<Metadata> compoundMeta(factory.createMetadata("CompoundGameObject", "c", manager));
    EXPECT_NE(dynamic_cast<CompoundMetadata*>(compoundMeta.get()), nullptr);
    // The objects without a body of their own are placeholder objects.
    for (const char* type : {"ParticleSystemGameObject", "LightGameObject",
                             "EffectSystemGameObject", "DummyGameObject", "SoundGameObject"})
    {
        std::unique_ptr<GameObject> object(factory.createGameObject(type, "p", manager));
        EXPECT_TRUE(object->checkObjectType("PlaceHolderGameObject")) << type;
        EXPECT_FALSE(object->checkObjectType("CompoundGameObject")) << type;
    }

    for (const char* type : {"meshgameobject", "PlaceHolderGameObject", "Dummy", ""})
    {
        SCOPED_TRACE(type);
        EXPECT_FALSE(factory.supportsObjectType(type));
        EXPECT_EQ(factory.createGameObject(type, "o", manager), nullptr);
        EXPECT_EQ(factory.createMetadata(type, "o", manager), nullptr);
    }
    EXPECT_TRUE(factory.initGameObjectManager(manager));
    EXPECT_TRUE(factory.initGameObjectManager(manager));
}

TEST(ObjectTemplates, DummyAndCompoundTemplatesNeedTheirElementAndLoadWhatTheySave)
{
    TestEngine::instance();
    XMLDataFile bare;
    bare.load("<MetaData ObjectType=\"DummyGameObject\"><CoreData/></MetaData>");
    DataElementPtr bareRoot = bare.getRootElement();
    EXPECT_FALSE(DummyMetadata("d", nullptr).load(bareRoot));
    EXPECT_FALSE(CompoundMetadata("c", nullptr).load(bareRoot));

    DummyMetadata dummy("d.meta", nullptr);
    dummy.setType("DummyGameObject");
    dummy.setPlaceHolder("star.meta");
    CompoundMetadata compound("c.meta", nullptr);
    compound.setType("CompoundGameObject");
    compound.setObjectsFileName("camp.objects");
    XMLDataFile dummyFile, compoundFile;
    DataElementPtr dummyRoot = dummyFile.createRootElement("MetaData");
    DataElementPtr compoundRoot = compoundFile.createRootElement("MetaData");
    ASSERT_TRUE(dummy.save(dummyRoot));
    ASSERT_TRUE(compound.save(compoundRoot));

    DummyMetadata dummyAgain("d.meta", nullptr);
    CompoundMetadata compoundAgain("c.meta", nullptr);
    ASSERT_TRUE(dummyAgain.load(dummyRoot));
    ASSERT_TRUE(compoundAgain.load(compoundRoot));
    // A saved dummy template names its type, so the manager can load it.
    EXPECT_EQ(dummyAgain.getType(), "DummyGameObject");
    EXPECT_EQ(dummyAgain.getPlaceHolder(), "star.meta");
    EXPECT_EQ(compoundAgain.getType(), "CompoundGameObject");
    EXPECT_EQ(compoundAgain.getObjectsFileName(), "camp.objects");

}

TEST(PlaceHolder, DummyShowsItsTemplatesMeshAsAPickableChildThatIsNeverSaved)
{
    ObjectTypesWorld world;
    world.writeDummyMeta("marker.meta", "star.meta");
    ASSERT_TRUE(world.start());
    DummyGameObject* dummy = world.make<DummyGameObject>("marker.meta", Ogre::Vector3(5, 2, -3));
    ASSERT_NE(dummy, nullptr);
    EXPECT_EQ(dummy->getCurrentState(), STATE_SETTLED);
    MeshGameObject* mesh = dummy->getPlaceHolderMesh();
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->getMetadata()->getID(), "star.meta");
    EXPECT_EQ(mesh->getParent(), dummy);
    EXPECT_EQ(mesh->getPartition(), dummy->getPartition());
    EXPECT_EQ(mesh->getWorldPosition(), Ogre::Vector3(5, 2, -3));
    EXPECT_EQ(mesh->getSelection(), dummy);
    EXPECT_EQ(dummy->getHoldMeshNode(), mesh->getSceneNode());
    EXPECT_EQ(mesh->getSceneNode()->getParent(), dummy->getSceneNode());
    EXPECT_FALSE(mesh->getVisible());
    dummy->setBindMeshVisible(true);
    EXPECT_TRUE(mesh->getVisible());
    world.manager->setAllHoldGameObjectMeshVisible(false);
    EXPECT_FALSE(mesh->getVisible());

    XMLDataFile file;
    DataElementPtr element = file.createRootElement("Object");
    ASSERT_TRUE(dummy->save(element));
    EXPECT_TRUE(element->getFirstChild("Children")->getFirstChild("Object")->getIsEmpty());
    EXPECT_TRUE(dummy->fitsBinaryRecord());

    // While the game runs the placeholder is gone from the scene.
    world.manager->startSimulation();
    EXPECT_EQ(mesh->getSceneNode()->getParent(), nullptr);
    world.manager->endSimulation();
    EXPECT_EQ(mesh->getSceneNode()->getParent(), dummy->getSceneNode());
    EXPECT_EQ(mesh->getWorldPosition(), Ogre::Vector3(5, 2, -3));

    // Deleted while the game runs, the dummy takes its placeholder along.
    const std::string meshName = mesh->getName();
    world.manager->startSimulation();
    dummy->destroy(true, false);
    delete dummy;
    EXPECT_EQ(world.manager->getCoreObjectByName(meshName), nullptr);
    world.manager->endSimulation();
}

TEST(PlaceHolder, DummyWithAnEmptyPlaceHolderKeepsTheStandardBox)
{
    ObjectTypesWorld world;
    world.writeDummyMeta("marker.meta", "");
    ASSERT_TRUE(world.start());
    DummyGameObject* dummy = world.make<DummyGameObject>("marker.meta");
    ASSERT_NE(dummy, nullptr);
    EXPECT_EQ(dummy->getPlaceHolderMetaId(), PlaceHolderGameObject::PLACEHOLDER_META_ID);
    ASSERT_NE(dummy->getPlaceHolderMesh(), nullptr);
    EXPECT_EQ(dummy->getPlaceHolderMesh()->getMetadata()->getID(), "Box0Point5Meters.meta");
}

TEST(PlaceHolder, TemplateThatMakesNoMeshLeavesTheDummyWithoutPlaceholder)
{
    ObjectTypesWorld world;
    world.writeMetadata("standin.meta", "standin");
    world.writeDummyMeta("odd.meta", "standin.meta");
    world.writeDummyMeta("lost.meta", "missing.meta");
    world.writePartitionFile(
        "<Object Type=\"DummyGameObject\" Name=\"lost_1\"><CoreData PosX=\"1\" "
        "OrientW=\"1\" ScaleX=\"1\" ScaleY=\"1\" ScaleZ=\"1\" MetaID=\"lost.meta\" "
        "PartitionID=\"0_0\"/><Children/></Object>");
    ASSERT_TRUE(world.start());
    world.partitions->setUseBinaryFiles(false);

    // A placeholder template that is missing does not throw the dummy out
    // of its partition's load.
    LogCapture log;
    CorePartition* p = world.partition("0_0");
    p->unload(false);
    p->load("w");
    DummyGameObject* lost = dynamic_cast<DummyGameObject*>(p->getObjectByName("lost_1"));
    ASSERT_NE(lost, nullptr);
    EXPECT_EQ(lost->getPlaceHolderMesh(), nullptr);
    EXPECT_EQ(lost->getCurrentState(), STATE_SETTLED);
    EXPECT_TRUE(log.contains("missing.meta"));

    DummyGameObject* odd = world.make<DummyGameObject>("odd.meta");
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(odd->getPlaceHolderMesh(), nullptr);
    EXPECT_TRUE(log.contains("standin.meta is of the type 'StandIn'"));
    // No object of the other type was made for it.
    EXPECT_EQ(p->getObjects().size(), 2u);
}
