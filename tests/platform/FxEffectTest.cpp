#include "FxEffectManager.h"
#include "TestEngine.h"

#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <gtest/gtest.h>

using namespace Wren::Test;

TEST(FxEffect, FollowsItsParentIntoAnotherSceneAndOutlivesTheSceneItIsIn)
{
    FxEffectManager& effects = FxEffectManager::getSingleton();
    const size_t before = effects.getEffectCount();
    Ogre::SceneManager* world = TestEngine::instance().getSceneManager();
    const size_t worldNodes = world->getRootSceneNode()->numChildren();
    FxEffect* effect = effects.createEffect("Fire", 8, false, Ogre::Vector3(1, 0, 0),
                                            Ogre::Quaternion::IDENTITY, world);
    ASSERT_EQ(world, effect->getSceneManager());

    Ogre::SceneManager* other = TestEngine::instance().getRoot()->createSceneManager();
    Ogre::SceneNode* torch = other->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(10, 0, 0));
    effect->SetParent(torch);
    EXPECT_EQ(other, effect->getSceneManager());
    EXPECT_EQ(torch, effect->getParent());
    EXPECT_EQ(Ogre::Vector3(11, 0, 0), effect->getWorldPosition()) << "the offset goes along";
    EXPECT_EQ(worldNodes, world->getRootSceneNode()->numChildren()) << "the old scene let go";

    Ogre::SceneNode* shelf = other->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(0, 5, 0));
    effect->SetParent(shelf, true);
    EXPECT_EQ(shelf, effect->getParent());
    EXPECT_TRUE(effect->getWorldPosition().positionEquals(Ogre::Vector3(11, 0, 0)));

    TestEngine::instance().getRoot()->destroySceneManager(other);
    EXPECT_EQ(nullptr, effect->getSceneNode());
    effect->SetWorldPos(Ogre::Vector3::ZERO);
    effects.removeEffect(effect);
    EXPECT_EQ(before, effects.getEffectCount());
}
