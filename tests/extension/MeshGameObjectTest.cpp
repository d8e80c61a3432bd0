#include "MeshTestWorld.h"

#include "CompleteObjectDataInfo.h"
#include "CorePartition.h"
#include "FxEffectManager.h"
#include "ImpostorGameSystemFactory.h"
#include "ImpostorHandler.h"
#include "OgreBackgroundLoader.h"
#include "OgreRenderableState.h"

#include <OgreEntity.h>
#include <OgreMaterialManager.h>
#include <OgreMesh.h>
#include <OgrePass.h>
#include <OgreSubEntity.h>
#include <OgreTechnique.h>

#include <gtest/gtest.h>

#include <future>

using namespace Wren;
using namespace Wren::Test;

TEST(MeshFadeArithmetic, OutgoingStaysOpaqueForHalfTheFade)
{
    EXPECT_FLOAT_EQ(1.0f, MeshFade::outgoingOpacity(0.25f));
    EXPECT_FLOAT_EQ(0.75f, MeshFade::outgoingOpacity(0.75f));
    EXPECT_FLOAT_EQ(0.5f, MeshFade::outgoingOpacity(1.0f));
    EXPECT_FLOAT_EQ(0.3f, MeshGameObject::viewRangeScale(SIZE_SMALL));
    EXPECT_FLOAT_EQ(1.3f, MeshGameObject::viewRangeScale(SIZE_VERY_LARGE));
}

TEST(MeshGameObjectLod, FadesInAndSettles)
{
    MeshWorld world;
    ASSERT_TRUE(world.startWith(meshMeta("<SubMeshData HighLODMesh=\"testHigh.mesh\" "
                                         "LowLODMesh=\"testLow.mesh\"/>")));
    MeshGameObject* rock = world.createMesh("rock.meta");
    ASSERT_NE(nullptr, rock);

    MeshWorld::showAt(rock, LOD_HIGH);
    ASSERT_EQ(1u, rock->getEntityList().size());
    Ogre::Entity* entity = rock->getEntityList()[0];
    EXPECT_EQ("testHigh.mesh", entity->getMesh()->getName());
    // A plain mesh object is one node: its entity hangs on the object's node.
    EXPECT_EQ(rock->getSceneNode(), entity->getParentSceneNode());
    EXPECT_EQ(nullptr, rock->GetMeshSceneNode());
    EXPECT_EQ(0u, rock->getSceneNode()->numChildren());
    EXPECT_EQ(STATE_FADING, rock->getCurrentState());
    EXPECT_EQ(MeshFade::FADE_IN, rock->getFadeState());
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
    ASSERT_TRUE(world.startWith(meshMeta("<SubMeshData HighLODMesh=\"testHigh.mesh\" "
                                         "LowLODMesh=\"testLow.mesh\"/>",
                                         "Fade=\"false\" FadeBetweenLODs=\"true\"")));
    MeshGameObject* rock = world.createMesh("rock.meta");
    MeshWorld::showAt(rock, LOD_HIGH);
    EXPECT_EQ(STATE_SETTLED, rock->getCurrentState()); // no fade in without "Fade"
    MeshWorld::showAt(rock, LOD_LOW);
    ASSERT_EQ(1u, rock->getOutgoingEntityList().size());
    Ogre::SubEntity* outgoing = rock->getOutgoingEntityList()[0]->getSubEntity(0);
    EXPECT_EQ(MeshFade::FADE_CROSS, rock->getFadeState());
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
    ASSERT_TRUE(world.startWith(meshMeta("<SubMeshData Mesh=\"testHigh.mesh\"/>")));
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
    ASSERT_TRUE(world.startWith(meshMeta("<SubMeshData Mesh=\"testHigh.mesh\"/>"
                                         "<SubMeshData Mesh=\"missing.mesh\"/>")));
    MeshGameObject* a = world.createMesh("rock.meta");
    MeshGameObject* b = world.createMesh("rock.meta");
    MeshWorld::showAt(a, LOD_HIGH);
    MeshWorld::showAt(b, LOD_HIGH);
    EXPECT_EQ(1u, a->getEntityList().size());
    EXPECT_EQ(1u, b->getEntityList().size());
    world.manager->update(2.0f);
    MeshWorld::showAt(a, LOD_BEYOND_HINT);
    EXPECT_EQ(MeshFade::FADE_OUT, a->getFadeState());
    world.manager->update(2.0f);
    EXPECT_TRUE(a->getOutgoingEntityList().empty());
    EXPECT_TRUE(a->getEntityList().empty());
    EXPECT_EQ(STATE_SETTLED, a->getCurrentState());
}

TEST(MeshGameObjectStoredForms, FlagsSurviveXmlAndBinary)
{
    MeshWorld world;
    ASSERT_TRUE(world.startWith(meshMeta("<SubMeshData Mesh=\"testHigh.mesh\"/>",
                                         "IsStatic=\"true\" CastShadows=\"false\"")));
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

    // Both flags are stored, so setting either through its property is an
    // edit the partition's next save must write.
    CorePartition* partition = rock->getPartition();
    ASSERT_NE(nullptr, partition);
    for (const char* id : {"MeshGameObject_IsStatic", "MeshGameObject_CastShadows"})
    {
        ASSERT_TRUE(world.manager->save("w"));
        ASSERT_FALSE(partition->isObjectDirty());
        PropertyData value;
        value.boolVal = true;
        rock->setProperty(id, value);
        EXPECT_TRUE(partition->isObjectDirty()) << id;
    }
}

TEST(MeshGameObjectCollision, EditingFillsListsFromMeshes)
{
    MeshWorld world;
    ASSERT_TRUE(world.startWith(
        meshMeta("<SubMeshData Mesh=\"testHigh.mesh\" LogicHighMesh=\"testLow.mesh\"/>")));
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

TEST(MeshGameObjectCollision, ObstacleMeshGivesTheShapeOutsideTheEditor)
{
    MeshWorld world(false);
    ASSERT_TRUE(world.startWith("<MetaData ObjectType=\"MeshGameObject\" Name=\"rock\">"
                    "<CoreData SizeHint=\"Small\" Collidable=\"true\"/>"
                    "<MeshData LogicObsMesh=\"testLow.mesh\">"
                    "<SubMeshData Mesh=\"testHigh.mesh\"/></MeshData></MetaData>"));
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
    ASSERT_TRUE(world.startWith(meshMeta("<SubMeshData Mesh=\"testHigh.mesh\"/>")));
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
    ASSERT_TRUE(world.startWith(meshMeta("<SubMeshData Mesh=\"testHigh.mesh\"/>", "",
                             "<DefaultEffectData><EffectData EffectName=\"fire\" BoneName=\"top\"/>"
                             "<EffectData EffectName=\"smoke\"/></DefaultEffectData>")));
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
    /** The pass an entity's first sub-entity draws with, and the material
        that sub-entity holds as its own. */
    Ogre::Pass* shownPass(Ogre::Entity* entity)
    {
        return entity->getSubEntity(0)->getMaterial()->getTechnique(0)->getPass(0);
    }

    ::testing::AssertionResult drawnOpaque(Ogre::Entity* entity)
    {
        Ogre::Pass* pass = shownPass(entity);
        if (pass->getDepthWriteEnabled() && pass->getDiffuse().a == 1.0f &&
            pass->getDestBlendFactor() == Ogre::SBF_ZERO)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << entity->getName() << " is drawn see-through";
    }
}

TEST(MeshGameObjectDisplay, EditsDuringAFadeReachWhatIsDrawnAndOutliveTheFadeAndTheLevel)
{
    makeMesh("fadingHigh.mesh");
    makeMesh("fadingLow.mesh");
    MeshWorld world;
    ASSERT_TRUE(world.startWith(meshMeta("<SubMeshData HighLODMesh=\"fadingHigh.mesh\" "
                                         "LowLODMesh=\"fadingLow.mesh\"/>",
                                         "Fade=\"true\" FadeBetweenLODs=\"true\"")));
    MeshGameObject* rock = world.createMesh("rock.meta");
    MeshWorld::showAt(rock, LOD_HIGH);
    world.manager->update(1.0f);
    ASSERT_EQ(MeshFade::FADE_IN, rock->getFadeState());

    // Half-way through the fade, what the editor reads is the material
    // itself, and what it sets is kept.
    std::list<Ogre::MaterialPtr> own;
    rock->GetMaterials(own);
    ASSERT_EQ(1u, own.size());
    const Ogre::MaterialPtr shared = own.front();
    EXPECT_EQ("BaseWhite", shared->getName());
    Ogre::MaterialPtr edited = Ogre::MaterialManager::getSingleton().create("RockEdited", "General");
    rock->SetMaterials({edited});
    ASSERT_TRUE(rock->changeToWireframe());
    rock->setVisibilityFlags(0x4);
    ASSERT_TRUE(rock->BrushVertexColor(Ogre::Vector3(1, 0, 1), 100.0f, Ogre::ColourValue::Red,
                                       BVCM_REPLACE));
    world.manager->update(1.5f);
    ASSERT_EQ(MeshFade::FADE_NONE, rock->getFadeState());

    Ogre::Entity* high = rock->getEntityList().at(0);
    EXPECT_TRUE(drawnOpaque(high));
    EXPECT_EQ(edited, Ogre::RenderableState::getMaterial(high->getSubEntity(0)));
    EXPECT_EQ(Ogre::PM_WIREFRAME, shownPass(high)->getPolygonMode());
    EXPECT_EQ(Ogre::TVC_DIFFUSE, shownPass(high)->getVertexColourTracking());
    EXPECT_EQ(0x4u, high->getVisibilityFlags());

    // The next level shows the same: flags, material and wireframe.
    MeshWorld::showAt(rock, LOD_LOW);
    world.manager->update(2.0f);
    ASSERT_EQ(1u, rock->getEntityList().size());
    Ogre::Entity* low = rock->getEntityList()[0];
    EXPECT_EQ("fadingLow.mesh", low->getMesh()->getName());
    EXPECT_TRUE(drawnOpaque(low));
    EXPECT_EQ(0x4u, low->getVisibilityFlags());
    EXPECT_EQ(0x4u, rock->getVisibilityFlags());
    EXPECT_EQ(edited, Ogre::RenderableState::getMaterial(low->getSubEntity(0)));
    EXPECT_EQ(Ogre::PM_WIREFRAME, shownPass(low)->getPolygonMode());

    // Undone, the materials read during the fade are real ones, and the
    // wireframe never reached the materials other objects share.
    rock->SetMaterials(own);
    EXPECT_EQ(shared, Ogre::MaterialManager::getSingleton().getByName(shared->getName()));
    EXPECT_EQ(shared, Ogre::RenderableState::getMaterial(low->getSubEntity(0)));
    for (const Ogre::MaterialPtr& m : {shared, edited})
        EXPECT_EQ(Ogre::PM_SOLID, m->getTechnique(0)->getPass(0)->getPolygonMode()) << m->getName();
    ASSERT_TRUE(rock->changeToWireframe());
    EXPECT_EQ(shared, low->getSubEntity(0)->getMaterial());
    EXPECT_TRUE(drawnOpaque(low));
    rock->destroy(true, false);
    delete rock;
    Ogre::MaterialManager::getSingleton().remove(edited);
}

TEST(MeshGameObjectSharedEntities, BorrowingDestroysWhatTheObjectOwnedAndGivesTheAreasEntitiesBack)
{
    MeshWorld world;
    ASSERT_TRUE(world.startWith(meshMeta("<SubMeshData HighLODMesh=\"testHigh.mesh\" "
                                         "LowLODMesh=\"testLow.mesh\"/>")));
    Ogre::SceneManager* scene = world.engine.getSceneManager();
    MeshGameObject* rock = world.createMesh("rock.meta");
    MeshWorld::showAt(rock, LOD_HIGH);
    const std::string ownName = rock->getEntityList().at(0)->getName();
    ASSERT_EQ(MeshEntities::OWNED, rock->getEntityOwnership());

    Ogre::Entity* areas = scene->createEntity("AreaTemplate", "testHigh.mesh", "General");
    rock->SetEntities({areas});
    EXPECT_FALSE(scene->hasEntity(ownName)) << "the object's own entity is not left behind";
    EXPECT_EQ(MeshEntities::BORROWED, rock->getEntityOwnership());
    EXPECT_EQ(MeshFade::FADE_NONE, rock->getFadeState());
    EXPECT_EQ(rock, GameObject::fromMovable(areas));
    EXPECT_EQ(rock->GetMeshSceneNode(), areas->getParentSceneNode());
    EXPECT_TRUE(Ogre::RenderableState::getStaticCulling(rock->GetMeshSceneNode()));

    // Level changes leave the area's entity to the area.
    MeshWorld::showAt(rock, LOD_BEYOND_HINT);
    world.manager->update(2.0f);
    MeshWorld::showAt(rock, LOD_LOW);
    ASSERT_EQ(std::vector<Ogre::Entity*>{areas}, rock->getEntityList());
    EXPECT_FALSE(rock->BrushVertexColor(Ogre::Vector3::ZERO, 10, Ogre::ColourValue::Red, BVCM_REPLACE));

    rock->ClearEntities();
    EXPECT_TRUE(scene->hasEntity("AreaTemplate"));
    EXPECT_FALSE(areas->isAttached());
    EXPECT_EQ(nullptr, GameObject::fromMovable(areas));
    EXPECT_TRUE(rock->getEntityList().empty());
    MeshWorld::showAt(rock, LOD_HIGH);
    ASSERT_EQ(1u, rock->getEntityList().size());
    EXPECT_NE(areas, rock->getEntityList()[0]);
    rock->destroy(true, false);
    delete rock;
    EXPECT_TRUE(scene->hasEntity("AreaTemplate"));
}

namespace
{
    /** A shape that loads on the loader thread until the test opens the gate. */
    class GatedShape : public CollisionShape
    {
    public:
        explicit GatedShape(std::shared_future<void> gate) : mGate(std::move(gate)) {}
        ~GatedShape() override { waitForBackgroundLoad(); }

    protected:
        bool loadImpl() override
        {
            mGate.wait();
            return true;
        }

    private:
        std::shared_future<void> mGate;
    };

    /** Puts a shape into a collision system's cache, as its own making would. */
    struct ShapeCache : CollisionGameSystem
    {
        static void add(CollisionGameSystem& system, const std::string& name, CollisionShapePtr shape)
        {
            (system.*&ShapeCache::addCollisionShape)(name, shape);
        }
    };
}

TEST(MeshGameObjectCollision, LevelChangeWaitsForTheCollisionShapesItAskedFor)
{
    std::unique_ptr<Ogre::BackgroundLoader> loader;
    if (!Ogre::BackgroundLoader::getSingletonPtr())
        loader.reset(new Ogre::BackgroundLoader());
    MeshWorld world(false);
    ASSERT_TRUE(world.startWith("<MetaData ObjectType=\"MeshGameObject\" Name=\"rock\">"
                    "<CoreData SizeHint=\"Small\" Collidable=\"true\"/>"
                    "<MeshData LogicObsMesh=\"slow.mesh\">"
                    "<SubMeshData Mesh=\"testHigh.mesh\"/></MeshData></MetaData>"));
    std::promise<void> open;
    CollisionShapePtr slow(new GatedShape(open.get_future().share()));
    ShapeCache::add(*world.collision(), "slow.mesh", slow);
    slow->load(true);

    MeshGameObject* rock = world.createMesh("rock.meta");
    rock->setLevelOfDetail(LOD_HIGH, false);
    rock->changeLODLoadResources(false);
    EXPECT_EQ(STATE_RESOURCES_LOADING, rock->getCurrentState());
    EXPECT_TRUE(rock->getEntityList().empty());

    open.set_value();
    Ogre::BackgroundLoader::getSingleton().waitForAll();
    rock->changeLODLoadResources(false);
    EXPECT_EQ(STATE_RESOURCES_READY, rock->getCurrentState());
    EXPECT_EQ(Ogre::Resource::LOADSTATE_LOADED, rock->getCollisionShape()->GetLoadingState());
    rock->destroy(true, false);
    delete rock;
}

namespace
{
    class WatchedHandler : public ImpostorHandler
    {
    public:
        WatchedHandler(Ogre::SceneNode* node, bool* gone)
            : ImpostorHandler(node, 64, 64, 256, 0.99f), mGone(gone)
        {
        }
        ~WatchedHandler() override { *mGone = true; }

    private:
        bool* mGone;
    };
}

TEST(MeshGameObjectImpostor, ObjectOwnsItsHandlerAndLetsItGoWhenDestroyed)
{
    MeshWorld world;
    world.systems->addGameSystemFactory(new ImpostorGameSystemFactory);
    world.writeMeta("rock.meta", meshMeta("<SubMeshData Mesh=\"testHigh.mesh\"/>"));
    world.writeWorld("w", "<GameObjectManagerData><GameSystems><GameSystem Name=\"ImpostorGameSystem\"/>"
                          "</GameSystems></GameObjectManagerData>");
    ASSERT_TRUE(world.start("w"));
    ASSERT_NE(nullptr, world.manager->getGameObjectManagerGameSystemByType("ImpostorGameSystem"));
    MeshGameObject* rock = world.createMesh("rock.meta");
    bool firstGone = false, secondGone = false;
    rock->setImpostorHandler(new WatchedHandler(rock->getSceneNode(), &firstGone));
    rock->setImpostorHandler(new WatchedHandler(rock->getSceneNode(), &secondGone));
    EXPECT_TRUE(firstGone);
    MeshWorld::showAt(rock, LOD_HIGH);
    rock->destroy(true, false);
    EXPECT_TRUE(secondGone);
    EXPECT_EQ(nullptr, rock->getImpostorHandler());
    delete rock;
}
