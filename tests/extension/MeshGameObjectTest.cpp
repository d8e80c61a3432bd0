#include "../core/CoreGameObjectTestWorld.h"

#include "CompleteObjectDataInfo.h"
#include "ExtensionGameObjectFactory.h"
#include "FxEffectManager.h"
#include "MeshGameObject.h"
#include "MeshMetadata.h"
#include "OgreRenderableState.h"
#include "XMLDataFile.h"

#include <OgreEntity.h>
#include <OgreManualObject.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgreSubEntity.h>

#include <gtest/gtest.h>

using namespace Wren;

namespace
{
    /** Makes a one-triangle mesh of that name in "General" once. */
    void makeMesh(const std::string& name)
    {
        if (Ogre::MeshManager::getSingleton().resourceExists(name, "General"))
            return;
        Ogre::SceneManager* scene = Test::TestEngine::instance().getSceneManager();
        Ogre::ManualObject* manual = scene->createManualObject();
        manual->begin("BaseWhite");
        manual->position(0, 0, 0);
        manual->position(1, 0, 0);
        manual->position(0, 1, 0);
        manual->triangle(0, 1, 2);
        manual->end();
        manual->convertToMesh(name, "General");
        scene->destroyManualObject(manual);
    }

    std::string meshMeta(const std::string& subMeshes, const std::string& flags = "",
                         const std::string& extra = "")
    {
        return "<MetaData ObjectType=\"MeshGameObject\" Name=\"rock\"><CoreData SizeHint=\"Small\"/>"
               "<MeshData " + flags + ">" + subMeshes + extra + "</MeshData></MetaData>";
    }

    /** A test world whose factory is the extension factory. */
    struct MeshWorld : Test::CoreTestWorld
    {
        MeshWorld() : Test::CoreTestWorld(true)
        {
            objectFactories->addGameObjectFactory(new ExtensionGameObjectFactory);
            makeMesh("testHigh.mesh");
            makeMesh("testLow.mesh");
        }
        void writeMeta(const std::string& id, const std::string& text)
        {
            Test::TestEngine::writeFile(engine.getGeneralFolder(), id, text);
        }
        /** Brings the object to level as the partition manager would, also
            when the object queued itself for that level on creation. */
        static void showAt(MeshGameObject* object, LevelOfDetail level)
        {
            if (object->getLevelOfDetail() == level && object->getQueuedForLODChange())
            {
                object->changeLODLoadResources(true);
                object->changeLODFinalize(true);
            }
            else
                object->setLevelOfDetail(level, true);
        }
        MeshGameObject* createMesh(const std::string& metaID)
        {
            return dynamic_cast<MeshGameObject*>(
                manager->createCoreGameObject(metaID, Ogre::Vector3(1, 0, 1)));
        }
    };

    MeshMetadata loadMeta(const std::string& text)
    {
        Test::TestEngine::instance();
        XMLDataFile file;
        file.load(text.c_str());
        DataElementPtr root = file.getRootElement();
        MeshMetadata meta("m.meta", nullptr);
        EXPECT_TRUE(meta.load(root));
        return meta;
    }
}

TEST(MeshMetadataLoad, SubMeshRuleFillsAndSkips)
{
    MeshMetadata meta = loadMeta(meshMeta(
        "<SubMeshData Mesh=\"a.mesh\"/>"
        "<SubMeshData HighLODMesh=\"b.mesh\"/>"              // Small: accepted without low
        "<SubMeshData LowLODMesh=\"c.mesh\"/>"               // no high: skipped
        "<SubMeshData HighLODMesh=\"d.mesh\" LowLODMesh=\"e.mesh\" LogicObsMesh=\"o.mesh\">"
        "<Material Managed=\"false\" SubIndex=\"1\" MatName=\"m\"/></SubMeshData>",
        "Fade=\"false\" IsStatic=\"true\""));
    ASSERT_EQ(3u, meta.getSubMeshCount());
    EXPECT_EQ("a.mesh", meta.getSubMeshes()[0].highLODMesh);
    EXPECT_EQ("a.mesh", meta.getSubMeshes()[0].lowLODMesh);
    EXPECT_EQ("", meta.getSubMeshes()[1].lowLODMesh);
    ASSERT_EQ(1u, meta.getSubMeshes()[2].materials.size());
    EXPECT_FALSE(meta.getSubMeshes()[2].materials[0].managed);
    EXPECT_EQ(1, meta.getSubMeshes()[2].materials[0].subIndex);
    EXPECT_TRUE(meta.getIsExistLogicObj());
    EXPECT_FALSE(meta.getFade());
    EXPECT_TRUE(meta.getIsStatic());
}

TEST(MeshMetadataLoad, MediumHintSkipsSubMeshWithoutLow)
{
    std::string text = meshMeta("<SubMeshData HighLODMesh=\"b.mesh\"/>");
    text.replace(text.find("Small"), 5, "Medium");
    EXPECT_EQ(0u, loadMeta(text).getSubMeshCount());
}

TEST(MeshMetadataLoad, WithoutMeshDataFails)
{
    Wren::Test::TestEngine::instance();
    XMLDataFile file;
    file.load("<MetaData ObjectType=\"MeshGameObject\"/>");
    DataElementPtr root = file.getRootElement();
    MeshMetadata meta("m.meta", nullptr);
    EXPECT_FALSE(meta.load(root));
}

TEST(MeshMetadataLoad, SaveAndLoadKeepEffectsAndStrikes)
{
    MeshMetadata meta = loadMeta(
        "<MetaData ObjectType=\"MeshGameObject\"><MeshData FadeBetweenLODs=\"true\">"
        "<SubMeshData Mesh=\"a.mesh\"><MaterialData MatName=\"old\"/></SubMeshData>"
        "<DefaultEffectData><EffectData EffectName=\"fire\" BoneName=\"top\" OffsetPos=\"1 2 3\"/>"
        "</DefaultEffectData></MeshData>"
        "<StrikeData><StrikeItem StrikeName=\"top\" OffsetPos=\"0 5 0\"/></StrikeData></MetaData>");
    EXPECT_EQ("old", meta.getSubMeshes()[0].legacyMaterialName);
    XMLDataFile out;
    DataElementPtr root = out.createRootElement("MetaData");
    ASSERT_TRUE(meta.save(root));
    MeshMetadata again("m.meta", nullptr);
    ASSERT_TRUE(again.load(root));
    ASSERT_EQ(1u, again.getEffects().size());
    EXPECT_EQ("top", again.getEffects()[0].boneName);
    EXPECT_EQ(Ogre::Vector3(1, 2, 3), again.getEffects()[0].offsetPosition);
    ASSERT_EQ(1u, again.getStrikeItems().size());
    EXPECT_EQ(Ogre::Vector3(0, 5, 0), again.getStrikeItems()[0].offsetPosition);
    EXPECT_TRUE(again.getFadeBetweenLODs());
    EXPECT_TRUE(root->getFirstChild("MeshData")->getFirstChild("SubMeshData")
                    ->getFirstChild("MaterialData")->getIsEmpty());
}

TEST(MeshFadeArithmetic, OutgoingStaysOpaqueForHalfTheFade)
{
    EXPECT_FLOAT_EQ(1.0f, MeshGameObject::outgoingOpacity(0.25f));
    EXPECT_FLOAT_EQ(0.75f, MeshGameObject::outgoingOpacity(0.75f));
    EXPECT_FLOAT_EQ(0.5f, MeshGameObject::outgoingOpacity(1.0f));
    EXPECT_FLOAT_EQ(0.3f, MeshGameObject::viewRangeScale(SIZE_SMALL));
    EXPECT_FLOAT_EQ(1.3f, MeshGameObject::viewRangeScale(SIZE_VERY_LARGE));
}

TEST(MeshLightArithmetic, DirectionalAndPointLight)
{
    const Ogre::ColourValue white = Ogre::ColourValue::White;
    EXPECT_EQ(Ogre::ColourValue::Black,
              MeshGameObject::directionalLightColour(Ogre::Vector3::UNIT_Y,
                                                     Ogre::Vector3::NEGATIVE_UNIT_Y, white));
    EXPECT_FLOAT_EQ(1.0f, MeshGameObject::directionalLightColour(Ogre::Vector3::UNIT_Y,
                                                                 Ogre::Vector3::UNIT_Y, white).r);
    // Light beyond range gives nothing.
    EXPECT_EQ(Ogre::ColourValue::Black,
              MeshGameObject::pointLightColour(Ogre::Vector3::NEGATIVE_UNIT_Y, Ogre::Vector3::ZERO,
                                               Ogre::Vector3(0, 30, 0), white, 20, 0, 1, 0));
    Ogre::ColourValue c = MeshGameObject::pointLightColour(
        Ogre::Vector3::NEGATIVE_UNIT_Y, Ogre::Vector3::ZERO, Ogre::Vector3(0, 10, 0), white, 20, 0, 1, 0);
    EXPECT_NEAR(0.5f, c.r, 1e-5);
    EXPECT_FLOAT_EQ(1.0f, MeshGameObject::addClamped(Ogre::ColourValue(0.8f, 0, 0), c).r);
}

TEST(MeshGameObjectLod, FadesInAndSettles)
{
    MeshWorld world;
    world.writeMeta("rock.meta", meshMeta("<SubMeshData HighLODMesh=\"testHigh.mesh\" "
                                          "LowLODMesh=\"testLow.mesh\"/>"));
    world.writeWorld("w", "");
    ASSERT_TRUE(world.start("w"));
    MeshGameObject* rock = world.createMesh("rock.meta");
    ASSERT_NE(nullptr, rock);
    ASSERT_NE(nullptr, rock->GetMeshSceneNode());
    EXPECT_TRUE(Ogre::RenderableState::getStaticCulling(rock->GetMeshSceneNode()));

    MeshWorld::showAt(rock, LOD_HIGH);
    ASSERT_EQ(1u, rock->getEntityList().size());
    Ogre::Entity* entity = rock->getEntityList()[0];
    EXPECT_EQ("testHigh.mesh", entity->getMesh()->getName());
    EXPECT_TRUE(entity->isAttached());
    EXPECT_EQ(STATE_FADING, rock->getCurrentState());
    EXPECT_EQ(MeshGameObject::FADE_IN, rock->getFadeState());
    EXPECT_TRUE(Ogre::RenderableState::hasSpecificState(entity->getSubEntity(0)));
    EXPECT_EQ(rock, GameObject::fromMovable(entity));
    EXPECT_FLOAT_EQ(0.3f, Ogre::RenderableState::GetViewRangeScale(entity));

    world.manager->update(1.0f);
    EXPECT_NEAR(0.5f, Ogre::RenderableState::getOpacity(entity->getSubEntity(0)), 1e-4);
    world.manager->update(1.0f);
    EXPECT_EQ(STATE_SETTLED, rock->getCurrentState());
    EXPECT_FALSE(Ogre::RenderableState::hasSpecificState(entity->getSubEntity(0)));
    EXPECT_EQ(0, world.manager->getUpdateListenerCount(rock));
}

TEST(MeshGameObjectLod, CrossFadeKeepsOutgoingUntilTheEnd)
{
    MeshWorld world;
    world.writeMeta("rock.meta", meshMeta("<SubMeshData HighLODMesh=\"testHigh.mesh\" "
                                          "LowLODMesh=\"testLow.mesh\"/>",
                                          "Fade=\"false\" FadeBetweenLODs=\"true\""));
    world.writeWorld("w", "");
    ASSERT_TRUE(world.start("w"));
    MeshGameObject* rock = world.createMesh("rock.meta");
    MeshWorld::showAt(rock, LOD_HIGH);
    EXPECT_EQ(STATE_SETTLED, rock->getCurrentState()); // no fade in without "Fade"
    MeshWorld::showAt(rock, LOD_LOW);
    ASSERT_EQ(1u, rock->getOutgoingEntityList().size());
    Ogre::SubEntity* outgoing = rock->getOutgoingEntityList()[0]->getSubEntity(0);
    EXPECT_EQ(MeshGameObject::FADE_CROSS, rock->getFadeState());
    world.manager->update(0.5f);
    EXPECT_FLOAT_EQ(1.0f, Ogre::RenderableState::getOpacity(outgoing));
    world.manager->update(1.0f);
    EXPECT_NEAR(0.75f, Ogre::RenderableState::getOpacity(outgoing), 1e-4);
    world.manager->update(0.5f);
    EXPECT_TRUE(rock->getOutgoingEntityList().empty());
    EXPECT_EQ("testLow.mesh", rock->getEntityList()[0]->getMesh()->getName());
    EXPECT_EQ(0u, Ogre::RenderableState::getSpecificStateCount());
}

TEST(MeshGameObjectLod, SameMeshForBothLevelsNeedsNoChange)
{
    MeshWorld world;
    world.writeMeta("rock.meta", meshMeta("<SubMeshData Mesh=\"testHigh.mesh\"/>"));
    world.writeWorld("w", "");
    ASSERT_TRUE(world.start("w"));
    MeshGameObject* rock = world.createMesh("rock.meta");
    MeshWorld::showAt(rock, LOD_HIGH);
    Ogre::Entity* before = rock->getEntityList()[0];
    MeshWorld::showAt(rock, LOD_LOW);
    EXPECT_EQ(before, rock->getEntityList()[0]);
    EXPECT_EQ(LOD_LOW, rock->getLevelOfDetail());
}

TEST(MeshGameObjectLod, FadeOutRemovesEntitiesAndMissingMeshIsSkipped)
{
    MeshWorld world;
    world.writeMeta("rock.meta", meshMeta("<SubMeshData Mesh=\"testHigh.mesh\"/>"
                                          "<SubMeshData Mesh=\"missing.mesh\"/>"));
    world.writeWorld("w", "");
    ASSERT_TRUE(world.start("w"));
    MeshGameObject* a = world.createMesh("rock.meta");
    MeshGameObject* b = world.createMesh("rock.meta");
    MeshWorld::showAt(a, LOD_HIGH);
    MeshWorld::showAt(b, LOD_HIGH);
    EXPECT_EQ(1u, a->getEntityList().size());
    EXPECT_EQ(1u, b->getEntityList().size());
    world.manager->update(2.0f);
    MeshWorld::showAt(a, LOD_BEYOND_HINT);
    EXPECT_EQ(MeshGameObject::FADE_OUT, a->getFadeState());
    world.manager->update(2.0f);
    EXPECT_TRUE(a->getOutgoingEntityList().empty());
    EXPECT_TRUE(a->getEntityList().empty());
    EXPECT_EQ(STATE_SETTLED, a->getCurrentState());
}

TEST(MeshGameObjectStoredForms, FlagsSurviveXmlAndBinary)
{
    MeshWorld world;
    world.writeMeta("rock.meta", meshMeta("<SubMeshData Mesh=\"testHigh.mesh\"/>",
                                          "IsStatic=\"true\" CastShadows=\"false\""));
    world.writeWorld("w", "");
    ASSERT_TRUE(world.start("w"));
    MeshGameObject* rock = world.createMesh("rock.meta");
    EXPECT_TRUE(rock->getIsStatic());
    EXPECT_FALSE(rock->getCastShadows());
    EXPECT_TRUE(rock->fitsBinaryRecord());

    CompleteObjectDataInfo record;
    record.clear();
    ASSERT_TRUE(rock->saveBinary(record));
    EXPECT_EQ(1, record.isStatic);
    EXPECT_EQ(0, record.castShadows);
    MeshGameObject copy(world.manager.get(), "copy");
    std::vector<CoreGameObject*> created;
    record.castShadows = 1;
    ASSERT_TRUE(copy.loadBinaryStart(record, created, false));
    EXPECT_TRUE(copy.getIsStatic());
    EXPECT_TRUE(copy.getCastShadows());

    XMLDataFile file;
    DataElementPtr element = file.createRootElement("Object");
    ASSERT_TRUE(rock->save(element));
    EXPECT_TRUE(element->getFirstChild("MeshData")->getAttributeBool("IsStatic", false));
    MeshGameObject fromXml(world.manager.get(), "x");
    ASSERT_TRUE(fromXml.loadStart(element, created, false));
    EXPECT_TRUE(fromXml.getIsStatic());
    EXPECT_FALSE(fromXml.getCastShadows());
}

TEST(MeshGameObjectCollision, EditingFillsListsFromMeshes)
{
    MeshWorld world;
    world.writeMeta("rock.meta",
                    meshMeta("<SubMeshData Mesh=\"testHigh.mesh\" LogicHighMesh=\"testLow.mesh\"/>"));
    world.writeWorld("w", "");
    ASSERT_TRUE(world.start("w"));
    MeshGameObject* rock = world.createMesh("rock.meta");
    MeshWorld::showAt(rock, LOD_HIGH);
    EXPECT_EQ(MeshGameObject::MCT_RENDER, rock->getActiveCollisionType());
    EXPECT_TRUE(rock->isHaveCollisionShape(MeshGameObject::MCT_LOGIC_HIGH));
    EXPECT_EQ(1u, rock->getLogicEntityList(MeshMetadata::LOGIC_HIGH).size());
    EXPECT_FALSE(rock->getLogicEntityList(MeshMetadata::LOGIC_HIGH)[0]->getVisible());
    EXPECT_FALSE(rock->changeActiveCollisionType(MeshGameObject::MCT_LOGIC_UNDERGROUND_HIGH));
    EXPECT_EQ(MeshGameObject::MCT_RENDER, rock->getActiveCollisionType());
    CollisionInfo info;
    EXPECT_TRUE(rock->collidewithheighplane(Ogre::Ray(Ogre::Vector3(1, 5, 1),
                                                      Ogre::Vector3::NEGATIVE_UNIT_Y), info));
    EXPECT_EQ(rock, info.object);
    EXPECT_FALSE(rock->collidewithundergroundheighplane(
        Ogre::Ray(Ogre::Vector3(1, 5, 1), Ogre::Vector3::NEGATIVE_UNIT_Y), info));
}

TEST(MeshGameObjectEffects, EffectsHangUnderStrikeNodes)
{
    MeshWorld world;
    world.writeMeta("rock.meta",
                    meshMeta("<SubMeshData Mesh=\"testHigh.mesh\"/>", "",
                             "<DefaultEffectData><EffectData EffectName=\"fire\" BoneName=\"top\"/>"
                             "<EffectData EffectName=\"smoke\"/></DefaultEffectData>"));
    world.writeWorld("w", "");
    ASSERT_TRUE(world.start("w"));
    const size_t before = FxEffectManager::getSingleton().getEffectCount();
    MeshGameObject* rock = world.createMesh("rock.meta");
    MeshWorld::showAt(rock, LOD_HIGH);
    ASSERT_EQ(2u, rock->getEffects().size());
    Ogre::SceneNode* strike = rock->getStrikeNode(rock->getName() + "_top");
    ASSERT_NE(nullptr, strike);
    EXPECT_EQ(strike, rock->getEffects()[0]->getParent());
    EXPECT_EQ(rock->GetMeshSceneNode(), rock->getEffects()[1]->getParent());
    rock->destroy(true, false);
    delete rock;
    EXPECT_EQ(before, FxEffectManager::getSingleton().getEffectCount());
}

TEST(ExtensionGameObjectFactoryTypes, OnlyMeshTypeIsMade)
{
    MeshWorld world;
    ExtensionGameObjectFactory factory;
    EXPECT_TRUE(factory.supportsObjectType("MeshGameObject"));
    EXPECT_FALSE(factory.supportsObjectType("meshgameobject"));
    EXPECT_FALSE(factory.supportsObjectType("PlaceHolderGameObject"));
    EXPECT_EQ(nullptr, factory.createGameObject("meshgameobject", "x", world.manager.get()));
    EXPECT_EQ(nullptr, factory.createMetadata("PlaceHolderGameObject", "x", world.manager.get()));
    std::unique_ptr<GameObject> object(
        factory.createGameObject("MeshGameObject", "x", world.manager.get()));
    ASSERT_NE(nullptr, object);
    EXPECT_TRUE(object->checkObjectType("MeshGameObject"));
    std::unique_ptr<Metadata> meta(factory.createMetadata("MeshGameObject", "m", world.manager.get()));
    EXPECT_NE(nullptr, dynamic_cast<MeshMetadata*>(meta.get()));
    EXPECT_TRUE(factory.initGameObjectManager(world.manager.get()));
}
