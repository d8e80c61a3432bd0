#include "../core/CoreGameObjectTestWorld.h"

#include "CompleteObjectDataInfo.h"
#include "ExtensionGameObjectFactory.h"
#include "FxEffectManager.h"
#include "MeshGameObject.h"
#include "MeshMetadata.h"
#include "OgreRenderableState.h"
#include "XMLDataFile.h"

#include <OgreEntity.h>
#include <OgreLight.h>
#include <OgreManualObject.h>
#include <OgreMaterial.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgreMeshSerializer.h>
#include <OgrePass.h>
#include <OgreSubEntity.h>
#include <OgreSubMesh.h>
#include <OgreTechnique.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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
        explicit MeshWorld(bool editing = true) : Test::CoreTestWorld(editing)
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
    // A light travelling down lights faces turned up, not those turned down.
    EXPECT_EQ(Ogre::ColourValue::Black,
              MeshGameObject::directionalLightColour(Ogre::Vector3::UNIT_Y,
                                                     Ogre::Vector3::UNIT_Y, white));
    EXPECT_FLOAT_EQ(1.0f, MeshGameObject::directionalLightColour(
                              Ogre::Vector3::UNIT_Y, Ogre::Vector3::NEGATIVE_UNIT_Y, white).r);
    // Light beyond range gives nothing.
    EXPECT_EQ(Ogre::ColourValue::Black,
              MeshGameObject::pointLightColour(Ogre::Vector3::UNIT_Y, Ogre::Vector3::ZERO,
                                               Ogre::Vector3(0, 30, 0), white, 20, 0, 1, 0));
    EXPECT_EQ(Ogre::ColourValue::Black,
              MeshGameObject::pointLightColour(Ogre::Vector3::NEGATIVE_UNIT_Y, Ogre::Vector3::ZERO,
                                               Ogre::Vector3(0, 10, 0), white, 20, 0, 1, 0));
    Ogre::ColourValue c = MeshGameObject::pointLightColour(
        Ogre::Vector3::UNIT_Y, Ogre::Vector3::ZERO, Ogre::Vector3(0, 10, 0), white, 20, 0, 1, 0);
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

TEST(MeshMetadataLoad, ObjectWideObstacleMeshNamesTheCollisionShape)
{
    MeshMetadata perSubMesh =
        loadMeta(meshMeta("<SubMeshData Mesh=\"a.mesh\" LogicObsMesh=\"o.mesh\"/>"));
    EXPECT_EQ("", perSubMesh.getCollisionShapeName());

    Wren::Test::TestEngine::instance();
    MeshMetadata meta("m.meta", nullptr);
    meta.setCollisionShapeName("byCode.mesh");
    auto load = [&meta](const std::string& text) {
        XMLDataFile file;
        file.load(text.c_str());
        DataElementPtr root = file.getRootElement();
        return meta.load(root);
    };
    // A template without obstacle mesh keeps a name given by code.
    ASSERT_TRUE(load(meshMeta("<SubMeshData Mesh=\"a.mesh\"/>")));
    EXPECT_EQ("byCode.mesh", meta.getCollisionShapeName());
    ASSERT_TRUE(load(meshMeta("<SubMeshData Mesh=\"a.mesh\"/>", "LogicObsMesh=\"o.mesh\"")));
    EXPECT_EQ("o.mesh", meta.getCollisionShapeName());
    // Reloaded without it, the name taken from the file goes with it.
    ASSERT_TRUE(load(meshMeta("<SubMeshData Mesh=\"a.mesh\"/>", "LogicObsMesh=\"\"")));
    EXPECT_EQ("", meta.getCollisionShapeName());
}

TEST(MeshGameObjectCollision, ObstacleMeshGivesTheShapeOutsideTheEditor)
{
    MeshWorld world(false);
    world.writeMeta("rock.meta",
                    "<MetaData ObjectType=\"MeshGameObject\" Name=\"rock\">"
                    "<CoreData SizeHint=\"Small\" Collidable=\"true\"/>"
                    "<MeshData LogicObsMesh=\"testLow.mesh\">"
                    "<SubMeshData Mesh=\"testHigh.mesh\"/></MeshData></MetaData>");
    world.writeWorld("w", "");
    ASSERT_TRUE(world.start("w"));
    MeshGameObject* rock = world.createMesh("rock.meta");
    rock->scale(Ogre::Vector3(2, 2, 2));
    MeshWorld::showAt(rock, LOD_HIGH);
    EXPECT_TRUE(rock->getCollisionShape());
    ASSERT_EQ(std::vector<std::string>{"testLow.mesh"}, world.collision()->askedNames);
    EXPECT_EQ(Ogre::Vector3(2, 2, 2), world.collision()->askedScales[0]);
    // The editor's lists stay empty in the game.
    EXPECT_EQ(MeshGameObject::MCT_NONE, rock->getActiveCollisionType());
    EXPECT_FALSE(rock->isHaveCollisionShape(MeshGameObject::MCT_LOGIC_OBSTACLE));
}

TEST(MeshGameObjectGeometry, LocalCentreIsTheMeanOfTheVertexPositions)
{
    MeshWorld world;
    world.writeMeta("rock.meta", meshMeta("<SubMeshData Mesh=\"testHigh.mesh\"/>"));
    world.writeWorld("w", "");
    ASSERT_TRUE(world.start("w"));
    MeshGameObject* rock = world.createMesh("rock.meta");
    EXPECT_EQ(Ogre::Vector3::ZERO, rock->GetLocalMeshCenter());
    MeshWorld::showAt(rock, LOD_HIGH);
    // The triangle (0 0 0) (1 0 0) (0 1 0): its bounds would centre on
    // (0.5 0.5 0).
    EXPECT_TRUE(rock->GetLocalMeshCenter().positionEquals(Ogre::Vector3(1, 1, 0) / 3, 1e-5f))
        << rock->GetLocalMeshCenter();
    rock->getSceneNode()->_update(true, false);
    EXPECT_TRUE(rock->GetGeometryCenterInWorldSpace().positionEquals(
        Ogre::Vector3(1 + 1 / 3.0f, 1 / 3.0f, 1), 1e-5f))
        << rock->GetGeometryCenterInWorldSpace();
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

namespace
{
    /** A mesh of three faces of one triangle each, in this vertex order: one
        turned up (+y), one turned sideways (+x) and one tilted (0, 0.8, 0.6). */
    void makeFacesMesh(const std::string& name)
    {
        if (Ogre::MeshManager::getSingleton().resourceExists(name, "General"))
            return;
        Ogre::SceneManager* scene = Wren::Test::TestEngine::instance().getSceneManager();
        Ogre::ManualObject* manual = scene->createManualObject();
        manual->begin("BaseWhite");
        const Ogre::Vector3 normals[] = {Ogre::Vector3::UNIT_Y, Ogre::Vector3::UNIT_X,
                                         Ogre::Vector3(0, 0.8f, 0.6f)};
        for (int face = 0; face < 3; ++face)
            for (int corner = 0; corner < 3; ++corner)
            {
                manual->position(float(face), float(corner == 1), float(corner == 2));
                manual->normal(normals[face]);
            }
        manual->triangle(0, 1, 2);
        manual->triangle(3, 4, 5);
        manual->triangle(6, 7, 8);
        manual->end();
        manual->convertToMesh(name, "General");
        scene->destroyManualObject(manual);
    }

    /** The vertex colours of a mesh, in vertex order; empty without any. */
    std::vector<Ogre::ColourValue> vertexColours(const Ogre::MeshPtr& mesh)
    {
        std::vector<Ogre::ColourValue> out;
        std::vector<Ogre::VertexData*> sets;
        if (mesh->sharedVertexData)
            sets.push_back(mesh->sharedVertexData);
        for (unsigned short i = 0; i < mesh->getNumSubMeshes(); ++i)
            if (!mesh->getSubMesh(i)->useSharedVertices)
                sets.push_back(mesh->getSubMesh(i)->vertexData);
        for (Ogre::VertexData* data : sets)
        {
            const Ogre::VertexElement* e =
                data->vertexDeclaration->findElementBySemantic(Ogre::VES_DIFFUSE);
            if (!e)
                continue;
            Ogre::HardwareVertexBufferSharedPtr buffer =
                data->vertexBufferBinding->getBuffer(e->getSource());
            const unsigned char* base = static_cast<const unsigned char*>(
                buffer->lock(Ogre::HardwareBuffer::HBL_READ_ONLY));
            for (size_t v = data->vertexStart; v < data->vertexStart + data->vertexCount; ++v)
            {
                Ogre::uint32 packed;
                std::memcpy(&packed, base + v * buffer->getVertexSize() + e->getOffset(), 4);
                Ogre::VertexElement::convertColourValue(
                    e->getType() == Ogre::VET_COLOUR
                        ? Ogre::VertexElement::getBestColourVertexElementType()
                        : e->getType(),
                    Ogre::VET_COLOUR_ARGB, &packed);
                Ogre::ColourValue c;
                c.setAsARGB(packed);
                out.push_back(c);
            }
            buffer->unlock();
        }
        return out;
    }

    /** Colours are kept in 8 bits a channel: a colour made of two sums may
        be off by two steps. */
    ::testing::AssertionResult near(const Ogre::ColourValue& expected,
                                    const Ogre::ColourValue& actual, float steps = 1.5f)
    {
        const float tolerance = steps / 255.0f;
        if (std::abs(expected.r - actual.r) < tolerance && std::abs(expected.g - actual.g) < tolerance &&
            std::abs(expected.b - actual.b) < tolerance && std::abs(expected.a - actual.a) < tolerance)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "expected " << expected << ", got " << actual;
    }

    /** A world with one mesh template whose objects stand at (1, 0, 1). */
    struct PaintWorld : MeshWorld
    {
        explicit PaintWorld(const std::string& subMeshes)
        {
            makeFacesMesh("faces.mesh");
            writeMeta("paint.meta", meshMeta(subMeshes, "Fade=\"false\""));
            writeWorld("w", "");
            started = start("w");
        }
        MeshGameObject* shown()
        {
            MeshGameObject* object = createMesh("paint.meta");
            if (object)
                showAt(object, LOD_HIGH);
            return object;
        }
        Ogre::MeshPtr meshOf(MeshGameObject* object)
        {
            return object->getEntityList().at(0)->getMesh();
        }
        bool started = false;
    };

    Ogre::Light* directionalLight(Ogre::SceneManager* scene, const Ogre::Vector3& direction,
                                  const Ogre::ColourValue& diffuse)
    {
        Ogre::Light* light = scene->createLight();
        light->setType(Ogre::Light::LT_DIRECTIONAL);
        light->setDiffuseColour(diffuse);
        Ogre::SceneNode* node = scene->getRootSceneNode()->createChildSceneNode();
        node->attachObject(light);
        node->setDirection(direction, Ogre::Node::TS_WORLD);
        return light;
    }
}

TEST(MeshVertexColours, DirectionalLightOnKnownFacesAfterAClear)
{
    PaintWorld world("<SubMeshData Mesh=\"faces.mesh\"/>");
    ASSERT_TRUE(world.started);
    MeshGameObject* object = world.shown();
    ASSERT_NE(nullptr, object);
    Ogre::Light* sun = directionalLight(world.engine.getSceneManager(),
                                        Ogre::Vector3::NEGATIVE_UNIT_Y,
                                        Ogre::ColourValue(0.5f, 0.25f, 1.0f));
    EXPECT_FALSE(object->computerVertexLight(sun, VertexColorLightModel(7)));
    EXPECT_FALSE(object->computerVertexLight(nullptr, VCLM_DIRECTIONAL));

    ASSERT_TRUE(object->clearVertexLight());
    std::vector<Ogre::ColourValue> colours = vertexColours(world.meshOf(object));
    ASSERT_EQ(9u, colours.size());
    for (const Ogre::ColourValue& c : colours)
        EXPECT_TRUE(near(Ogre::ColourValue(0, 0, 0, 1), c));

    ASSERT_TRUE(object->computerVertexLight(sun, VCLM_DIRECTIONAL));
    colours = vertexColours(world.meshOf(object));
    ASSERT_EQ(9u, colours.size());
    for (int v = 0; v < 3; ++v)
    {
        EXPECT_TRUE(near(Ogre::ColourValue(0.5f, 0.25f, 1.0f, 1), colours[v])) << v;
        EXPECT_TRUE(near(Ogre::ColourValue(0, 0, 0, 1), colours[3 + v])) << v;
        EXPECT_TRUE(near(Ogre::ColourValue(0.4f, 0.2f, 0.8f, 1), colours[6 + v])) << v;
    }
    Ogre::Pass* pass = object->getEntityList()[0]->getSubEntity(0)->getMaterial()->getTechnique(0)->getPass(0);
    EXPECT_EQ(Ogre::TVC_DIFFUSE, pass->getVertexColourTracking());

    // A second bake adds to the first, each channel at most 1.
    ASSERT_TRUE(object->computerVertexLight(sun, VCLM_DIRECTIONAL));
    colours = vertexColours(world.meshOf(object));
    EXPECT_TRUE(near(Ogre::ColourValue(1.0f, 0.5f, 1.0f, 1), colours[0]));
    EXPECT_TRUE(near(Ogre::ColourValue(0.8f, 0.4f, 1.0f, 1), colours[6], 2.5f));

    // Turned on its side, the object's upward face looks along -x: the sun
    // now lights nothing of it, and the sideways face looks up.
    ASSERT_TRUE(object->clearVertexLight());
    object->setOrientation(Ogre::Quaternion(Ogre::Degree(90), Ogre::Vector3::UNIT_Z), false, false);
    ASSERT_TRUE(object->computerVertexLight(sun, VCLM_DIRECTIONAL));
    colours = vertexColours(world.meshOf(object));
    EXPECT_TRUE(near(Ogre::ColourValue(0, 0, 0, 1), colours[0]));
    EXPECT_TRUE(near(Ogre::ColourValue(0.5f, 0.25f, 1.0f, 1), colours[3]));
}

TEST(MeshVertexColours, PointLightFallsOffWithItsRange)
{
    PaintWorld world("<SubMeshData Mesh=\"faces.mesh\"/>");
    ASSERT_TRUE(world.started);
    MeshGameObject* object = world.shown();
    Ogre::SceneManager* scene = world.engine.getSceneManager();
    Ogre::Light* lamp = scene->createLight();
    lamp->setType(Ogre::Light::LT_POINT);
    lamp->setDiffuseColour(Ogre::ColourValue::White);
    lamp->setAttenuation(20, 0, 1, 0);
    // Ten units above the first vertex, at world (1, 0, 1).
    scene->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(1, 10, 1))->attachObject(lamp);
    ASSERT_TRUE(object->clearVertexLight());
    ASSERT_TRUE(object->computerVertexLight(lamp, VCLM_POINT));
    const std::vector<Ogre::ColourValue> colours = vertexColours(world.meshOf(object));
    ASSERT_EQ(9u, colours.size());
    EXPECT_TRUE(near(Ogre::ColourValue(0.5f, 0.5f, 0.5f, 1), colours[0]));
    // The sideways face is turned away from a light straight above it.
    EXPECT_TRUE(near(Ogre::ColourValue(0, 0, 0, 1), colours[3]));
}

TEST(MeshVertexColours, BrushPaintsOnlyWithinItsRadiusAndOnlyThisObject)
{
    PaintWorld world("<SubMeshData HighLODMesh=\"testHigh.mesh\" LowLODMesh=\"testLow.mesh\"/>");
    ASSERT_TRUE(world.started);
    MeshGameObject* painted = world.shown();
    MeshGameObject* other = world.shown();
    ASSERT_NE(nullptr, other);
    const Ogre::MeshPtr shared = world.meshOf(other);

    // The vertices stand at world (1, 0, 1), (2, 0, 1) and (1, 1, 1).
    const Ogre::Vector3 centre(1, 0, 1);
    ASSERT_TRUE(painted->BrushVertexColor(centre, 0.5f, Ogre::ColourValue::Red, BVCM_REPLACE));
    std::vector<Ogre::ColourValue> colours = vertexColours(world.meshOf(painted));
    ASSERT_EQ(3u, colours.size());
    EXPECT_TRUE(near(Ogre::ColourValue::Red, colours[0]));
    EXPECT_TRUE(near(Ogre::ColourValue::White, colours[1]));
    EXPECT_TRUE(near(Ogre::ColourValue::White, colours[2]));

    // A vertex exactly on the rim is outside.
    ASSERT_TRUE(painted->BrushVertexColor(centre, 1.0f, Ogre::ColourValue(0, 0.5f, 0), BVCM_ADD));
    colours = vertexColours(world.meshOf(painted));
    EXPECT_TRUE(near(Ogre::ColourValue(1, 0.5f, 0), colours[0]));
    EXPECT_TRUE(near(Ogre::ColourValue::White, colours[1]));
    ASSERT_TRUE(painted->BrushVertexColor(centre, 1.01f, Ogre::ColourValue(0.5f, 0.5f, 0.5f, 1),
                                          BVCM_MULTIPLY));
    colours = vertexColours(world.meshOf(painted));
    EXPECT_TRUE(near(Ogre::ColourValue(0.5f, 0.25f, 0), colours[0]));
    EXPECT_TRUE(near(Ogre::ColourValue(0.5f, 0.5f, 0.5f), colours[1]));
    EXPECT_TRUE(near(Ogre::ColourValue(0.5f, 0.5f, 0.5f), colours[2]));

    // The other object of the template still shows the mesh untouched.
    EXPECT_EQ(shared, world.meshOf(other));
    EXPECT_EQ("testHigh.mesh", shared->getName());
    EXPECT_NE(shared, world.meshOf(painted));
    EXPECT_TRUE(vertexColours(shared).empty());
    EXPECT_EQ(painted, GameObject::fromMovable(painted->getEntityList()[0]));
    EXPECT_TRUE(painted->getEntityList()[0]->isAttached());

    // The colours stay with the object across levels of detail, and go with it.
    MeshWorld::showAt(painted, LOD_LOW);
    MeshWorld::showAt(painted, LOD_HIGH);
    world.manager->update(2.0f);
    colours = vertexColours(world.meshOf(painted));
    ASSERT_EQ(3u, colours.size());
    EXPECT_TRUE(near(Ogre::ColourValue(0.5f, 0.25f, 0), colours[0]));
    const std::string copyName = world.meshOf(painted)->getName();
    painted->destroy(true, false);
    delete painted;
    EXPECT_FALSE(Ogre::MeshManager::getSingleton().resourceExists(copyName, "General"));
    EXPECT_TRUE(vertexColours(world.meshOf(other)).empty());

    // Clearing turns every vertex black.
    ASSERT_TRUE(other->clearVertexLight());
    for (const Ogre::ColourValue& c : vertexColours(world.meshOf(other)))
        EXPECT_TRUE(near(Ogre::ColourValue(0, 0, 0, 1), c));
    MeshGameObject idle(world.manager.get(), "idle");
    EXPECT_FALSE(idle.clearVertexLight());
}

TEST(MeshVertexColours, SaveMeshWritesTheColoursAndAFailedWriteKeepsTheOldFile)
{
    Wren::Test::TestEngine& engine = Wren::Test::TestEngine::instance();
    makeFacesMesh("faces.mesh");
    const std::string path = engine.getGeneralFolder() + "/stored.mesh";
    Ogre::MeshSerializer().exportMesh(
        Ogre::MeshManager::getSingleton().getByName("faces.mesh", "General").get(), path);
    PaintWorld world("<SubMeshData Mesh=\"stored.mesh\"/>");
    ASSERT_TRUE(world.started);
    MeshGameObject* object = world.shown();
    ASSERT_NE(nullptr, object);
    ASSERT_EQ(1u, object->getEntityList().size());

    int checks = 0;
    auto readBack = [&]() {
        Ogre::MeshPtr check = Ogre::MeshManager::getSingleton().createManual(
            "stored-check-" + std::to_string(++checks), "General");
        // Marked loaded first, so that removing it frees what the import made.
        check->load();
        std::ifstream* in = new std::ifstream(path, std::ios::binary);
        Ogre::DataStreamPtr stream(new Ogre::FileStreamDataStream(in));
        Ogre::MeshSerializer().importMesh(stream, check.get());
        std::vector<Ogre::ColourValue> colours = vertexColours(check);
        Ogre::MeshManager::getSingleton().remove(check);
        return colours;
    };

    ASSERT_TRUE(object->BrushVertexColor(Ogre::Vector3(1, 0, 1), 100.0f, Ogre::ColourValue::Red,
                                         BVCM_REPLACE));
    {
        Wren::Test::LogCapture log;
        object->saveMesh();
        EXPECT_TRUE(log.contains("wrote the mesh stored.mesh"));
    }
    std::vector<Ogre::ColourValue> stored = readBack();
    ASSERT_EQ(9u, stored.size());
    for (const Ogre::ColourValue& c : stored)
        EXPECT_TRUE(near(Ogre::ColourValue::Red, c));
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp~"));

    // The write can not happen: the old file stays as it was.
    const std::string before = Wren::Test::TestEngine::readFile(path);
    std::filesystem::create_directories(path + ".tmp~/blocked");
    ASSERT_TRUE(object->BrushVertexColor(Ogre::Vector3(1, 0, 1), 100.0f, Ogre::ColourValue::Blue,
                                         BVCM_REPLACE));
    {
        Wren::Test::LogCapture log;
        object->saveMesh();
        EXPECT_TRUE(log.contains("stored.mesh is left as it was"));
    }
    EXPECT_EQ(before, Wren::Test::TestEngine::readFile(path));
    std::filesystem::remove_all(path + ".tmp~");

    // A mesh that was never read from a file is not written anywhere.
    world.writeMeta("plain.meta", meshMeta("<SubMeshData Mesh=\"faces.mesh\"/>"));
    world.engine.rescanResources();
    MeshGameObject* plain = world.createMesh("plain.meta");
    ASSERT_NE(nullptr, plain);
    MeshWorld::showAt(plain, LOD_HIGH);
    Wren::Test::LogCapture log;
    plain->saveMesh();
    EXPECT_TRUE(log.contains("faces.mesh of " + plain->getName() +
                             " was not read from a folder; not written"));
}
