#include "TestEngine.h"

#include "OgreRenderableState.h"

#include <OgreEntity.h>
#include <OgreManualObject.h>
#include <OgreMaterialManager.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgrePass.h>
#include <OgreSceneManager.h>
#include <OgreSubEntity.h>
#include <OgreTechnique.h>

#include <gtest/gtest.h>

namespace
{
    Ogre::Entity* makeEntity(const std::string& name)
    {
        Ogre::SceneManager* scene = Wren::Test::TestEngine::instance().getSceneManager();
        const std::string mesh = name + ".mesh";
        if (!Ogre::MeshManager::getSingleton().resourceExists(mesh, "General"))
        {
            Ogre::ManualObject* manual = scene->createManualObject();
            manual->begin("BaseWhite");
            manual->position(0, 0, 0);
            manual->position(1, 0, 0);
            manual->position(0, 1, 0);
            manual->end();
            manual->convertToMesh(mesh, "General");
            scene->destroyManualObject(manual);
        }
        return scene->createEntity(name, mesh, "General");
    }
}

TEST(RenderableSpecificState, FadeStateLeavesTheSharedMaterialAloneAndIsCleared)
{
    Ogre::Entity* a = makeEntity("stateA");
    Ogre::Entity* b = makeEntity("stateB");
    Ogre::SubEntity* sub = a->getSubEntity(0);
    const Ogre::MaterialPtr shared = sub->getMaterial();
    const bool depthBefore = shared->getTechnique(0)->getPass(0)->getDepthWriteEnabled();

    Ogre::RenderableState::CreateSpecificState(sub, 0.25f);
    EXPECT_NE(shared, sub->getMaterial());
    EXPECT_EQ(shared, b->getSubEntity(0)->getMaterial());
    Ogre::Pass* pass = sub->getMaterial()->getTechnique(0)->getPass(0);
    EXPECT_FALSE(pass->getDepthWriteEnabled());
    EXPECT_FLOAT_EQ(0.25f, pass->getDiffuse().a);
    EXPECT_FLOAT_EQ(0.25f, sub->getCustomParameter(0).x);
    EXPECT_EQ(depthBefore, shared->getTechnique(0)->getPass(0)->getDepthWriteEnabled());

    const std::string clone = sub->getMaterial()->getName();
    Ogre::RenderableState::CreateSpecificState(sub, 0.5f);
    EXPECT_EQ(clone, sub->getMaterial()->getName());
    EXPECT_FLOAT_EQ(0.5f, Ogre::RenderableState::getOpacity(sub));

    Ogre::RenderableState::releaseEntity(a);
    EXPECT_EQ(shared, sub->getMaterial());
    EXPECT_FALSE(Ogre::MaterialManager::getSingleton().resourceExists(clone, "General"));
    EXPECT_FLOAT_EQ(1.0f, sub->getCustomParameter(0).x);
    EXPECT_EQ(0u, Ogre::RenderableState::getSpecificStateCount());
    Wren::Test::TestEngine::instance().clearScene();
}

TEST(RenderableSpecificState, HintsReadBackWithDefaults)
{
    Ogre::Entity* e = makeEntity("stateC");
    EXPECT_FLOAT_EQ(1.0f, Ogre::RenderableState::GetViewRangeScale(e));
    e->setRenderingDistance(100);
    Ogre::RenderableState::SetViewRangeScale(e, 0.5f);
    EXPECT_FLOAT_EQ(0.5f, Ogre::RenderableState::GetViewRangeScale(e));
    EXPECT_FLOAT_EQ(50.0f, e->getRenderingDistance());
    EXPECT_EQ(0, Ogre::RenderableState::GetFarDistLevel(e->getSubEntity(0)));
    Ogre::RenderableState::SetFarDistLevel(e->getSubEntity(0), 2);
    EXPECT_EQ(2, Ogre::RenderableState::GetFarDistLevel(e->getSubEntity(0)));
    EXPECT_FALSE(Ogre::RenderableState::getStaticCulling(nullptr));
    Wren::Test::TestEngine::instance().clearScene();
}

TEST(RenderableSpecificState, EntityDestroyedWithItsStateTakesTheCloneAndLeavesNothingToInherit)
{
    Ogre::SceneManager* scene = Wren::Test::TestEngine::instance().getSceneManager();
    const size_t before = Ogre::RenderableState::getSpecificStateCount();
    // Made and destroyed again and again, entities come back at the
    // addresses of the ones before them.
    for (int round = 0; round < 8; ++round)
    {
        Ogre::Entity* entity = makeEntity("stateGone");
        Ogre::SubEntity* sub = entity->getSubEntity(0);
        EXPECT_FALSE(Ogre::RenderableState::hasSpecificState(sub)) << "round " << round;
        EXPECT_EQ("BaseWhite", sub->getMaterial()->getName());
        Ogre::RenderableState::CreateSpecificState(sub, 0.5f);
        Ogre::RenderableState::setWireframe(sub, true);
        const std::string clone = sub->getMaterial()->getName();
        scene->destroyEntity(entity);
        EXPECT_FALSE(Ogre::MaterialManager::getSingleton().resourceExists(clone, "General"));
        EXPECT_EQ(before, Ogre::RenderableState::getSpecificStateCount());
    }
}

TEST(RenderableSpecificState, WireframeAndFadeShareOneCloneOverTheOwnMaterial)
{
    Ogre::Entity* entity = makeEntity("stateD");
    Ogre::SubEntity* sub = entity->getSubEntity(0);
    const Ogre::MaterialPtr shared = sub->getMaterial();
    Ogre::MaterialPtr own = Ogre::MaterialManager::getSingleton().create("stateDOwn", "General");
    auto shownPass = [sub]() { return sub->getMaterial()->getTechnique(0)->getPass(0); };

    Ogre::RenderableState::setWireframe(sub, true);
    Ogre::RenderableState::CreateSpecificState(sub, 0.5f);
    // A material given under the states is the own one and shows through them.
    Ogre::RenderableState::setMaterial(sub, own);
    EXPECT_EQ(own, Ogre::RenderableState::getMaterial(sub));
    EXPECT_EQ(Ogre::PM_WIREFRAME, shownPass()->getPolygonMode());
    EXPECT_FLOAT_EQ(0.5f, shownPass()->getDiffuse().a);
    EXPECT_EQ(1u, Ogre::RenderableState::getSpecificStateCount());
    // An edit of the own material shows once refreshed.
    own->getTechnique(0)->getPass(0)->setVertexColourTracking(Ogre::TVC_DIFFUSE);
    Ogre::RenderableState::refreshMaterial(sub);
    EXPECT_EQ(Ogre::TVC_DIFFUSE, shownPass()->getVertexColourTracking());

    // The fade ends: the wireframe stays, drawn opaque.
    Ogre::RenderableState::clearSpecificState(sub);
    EXPECT_EQ(Ogre::PM_WIREFRAME, shownPass()->getPolygonMode());
    EXPECT_TRUE(shownPass()->getDepthWriteEnabled());
    EXPECT_FLOAT_EQ(1.0f, shownPass()->getDiffuse().a);
    Ogre::RenderableState::setWireframe(sub, false);
    EXPECT_EQ(own, sub->getMaterial());
    EXPECT_EQ(0u, Ogre::RenderableState::getSpecificStateCount());
    for (const Ogre::MaterialPtr& m : {shared, own})
        EXPECT_EQ(Ogre::PM_SOLID, m->getTechnique(0)->getPass(0)->getPolygonMode());
    Wren::Test::TestEngine::instance().clearScene();
    Ogre::MaterialManager::getSingleton().remove(own);
}
