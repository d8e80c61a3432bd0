#include "ImpostorManager.h"
#include "TestEngine.h"
#include "UniqueImpostorHandler.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <gtest/gtest.h>

using Ogre::UniqueImpostorHandler;
using Wren::Test::LogCapture;
using Wren::Test::TestEngine;

namespace
{
    class ImpostorHandlerSetup : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            mScene = TestEngine::instance().getSceneManager();
            mNode = mScene->getRootSceneNode()->createChildSceneNode("Tower");
        }
        void TearDown() override { TestEngine::instance().clearScene(); }

        Ogre::SceneManager* mScene = nullptr;
        Ogre::SceneNode* mNode = nullptr;
    };
}

TEST_F(ImpostorHandlerSetup, TakesItsNameAndLimitsFromTheNodeAndArguments)
{
    UniqueImpostorHandler handler(mNode, 99.9f, 32, 512, 0.98f);
    EXPECT_EQ(handler.getName(), "TowerUniqueImpostorHandler");
    EXPECT_EQ(handler.getNode(), mNode);
    EXPECT_EQ(handler.getScreenSizeThreshold(), 99u);
    EXPECT_FLOAT_EQ(handler.getSizeScale(), (512.0f - 32.0f) / 99.0f);
    EXPECT_EQ(handler.getCachedPixelSize(0), 99u);
    for (int level = 1; level < Ogre::ImpostorMath::LEVEL_COUNT; ++level)
        EXPECT_EQ(handler.getCachedPixelSize(level), 0u);
    EXPECT_EQ(handler.getCurrentTextureSize(), 0);
    EXPECT_EQ(handler.getBillboard(), nullptr);
}

TEST_F(ImpostorHandlerSetup, TextureSizesThatAreNotPowersOfTwoAreRoundedDownAndOrdered)
{
    LogCapture log;
    UniqueImpostorHandler rounded(mNode, 256, 48, 500, 0.98f);
    EXPECT_EQ(rounded.getMinTextureSize(), 32u);
    EXPECT_EQ(rounded.getMaxTextureSize(), 256u);
    EXPECT_TRUE(log.contains("texture size 500 is not a power of two; 256 is used"));

    UniqueImpostorHandler swapped(mNode, 256, 512, 64, 0.98f);
    EXPECT_EQ(swapped.getMinTextureSize(), 64u);
    EXPECT_EQ(swapped.getMaxTextureSize(), 512u);

    UniqueImpostorHandler zero(mNode, -5, 0, 0, 0.98f);
    EXPECT_EQ(zero.getMinTextureSize(), 1u);
    EXPECT_EQ(zero.getScreenSizeThreshold(), 0u);
    EXPECT_EQ(zero.getSizeScale(), 0.0f);
}

TEST_F(ImpostorHandlerSetup, HandlerWithoutASceneNodeIsInert)
{
    LogCapture log;
    UniqueImpostorHandler handler(nullptr, 256, 32, 512, 0.98f);
    EXPECT_TRUE(log.contains("needs a scene node"));
    Ogre::ImpostorManager manager;
    manager.addHandler(&handler);
    Ogre::Camera* camera = mScene->createCamera("InertCam");
    handler.update(camera);
    manager.removeHandler(&handler);
    EXPECT_EQ(handler.getManager(), nullptr);
}

TEST_F(ImpostorHandlerSetup, CameraWithoutAViewportLeavesTheNodeInTheScene)
{
    Ogre::MeshPtr mesh = Ogre::MeshManager::getSingleton().createPlane(
        "TowerPlane", "General", Ogre::Plane(Ogre::Vector3::UNIT_Z, 0), 20, 20);
    mNode->attachObject(mScene->createEntity("TowerEntity", "TowerPlane", "General"));
    mNode->setPosition(0, 0, -500);
    Ogre::Camera* camera = mScene->createCamera("NoViewportCam");
    mScene->getRootSceneNode()->createChildSceneNode()->attachObject(camera);

    Ogre::ImpostorManager manager;
    auto* handler = new UniqueImpostorHandler(mNode, 256, 32, 512, 0.98f);
    manager.addHandler(handler);
    LogCapture log;
    for (int frame = 0; frame < 2; ++frame)
        handler->update(camera);
    EXPECT_EQ(mNode->getParent(), mScene->getRootSceneNode());
    EXPECT_TRUE(log.contains("no viewport"));
    EXPECT_NEAR(handler->getCentre().z, -500, 1e-3f);
    EXPECT_GT(handler->getBoundingRadius(), 10);
    // The manager deletes the handler it still holds.
    Ogre::MeshManager::getSingleton().remove(mesh->getHandle());
}

TEST_F(ImpostorHandlerSetup, NodeDestroyedBeforeItsHandlerIsForgotten)
{
    auto* handler = new UniqueImpostorHandler(mNode, 256, 32, 512, 0.98f);
    EXPECT_EQ(mNode->getListener(), handler);
    mScene->destroySceneNode(mNode);
    EXPECT_EQ(handler->getNode(), nullptr);
    Ogre::Camera* camera = mScene->createCamera("AfterNodeCam");
    handler->update(camera);
    delete handler;
}

TEST_F(ImpostorHandlerSetup, HandlerLeavesAnotherListenerOfTheNodeAlone)
{
    Ogre::Node::Listener other;
    mNode->setListener(&other);
    {
        UniqueImpostorHandler handler(mNode, 256, 32, 512, 0.98f);
        EXPECT_EQ(mNode->getListener(), &other);
    }
    EXPECT_EQ(mNode->getListener(), &other);
    mNode->setListener(nullptr);
}
