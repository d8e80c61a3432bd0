#include "TestEngine.h"

#include "OgreTinyXmlBuffer.h"

#include <OgreEntity.h>
#include <OgreMeshManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>

#include <gtest/gtest.h>
#include <tinyxml.h>

using Wren::Test::TestEngine;

TEST(HeadlessEngine, ServesMeshesEntitiesAndBothResourceGroups)
{
    TestEngine& engine = TestEngine::instance();
    EXPECT_EQ(&engine, &TestEngine::instance());
    EXPECT_EQ(engine.getMode(), TestEngine::Mode::Headless);
    EXPECT_EQ(Ogre::Root::getSingleton().getRenderSystem(), nullptr);

    Ogre::MeshManager::getSingleton().createPlane(
        "HarnessPlane", "General", Ogre::Plane(Ogre::Vector3::UNIT_Y, 0), 10, 10, 1, 1, true, 1, 1, 1,
        Ogre::Vector3::UNIT_Z);
    Ogre::SceneManager* scene = engine.getSceneManager();
    Ogre::Entity* entity = scene->createEntity("HarnessEntity", "HarnessPlane");
    scene->getRootSceneNode()->createChildSceneNode()->attachObject(entity);
    // The engine pads bounds a little.
    EXPECT_NEAR(entity->getBoundingBox().getSize().x, 10.0f, 0.5f);
    engine.clearScene();
    EXPECT_FALSE(scene->hasEntity("HarnessEntity"));

    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    EXPECT_TRUE(groups.resourceGroupExists("General"));
    EXPECT_TRUE(groups.resourceGroupExists("PLSM2"));
}

TEST(HeadlessEngine, ModeIsFixedOnceTheEngineExists)
{
    TestEngine::instance();
    EXPECT_THROW(TestEngine::configure(TestEngine::Mode::Rendered), std::logic_error);
    EXPECT_NO_THROW(TestEngine::configure(TestEngine::Mode::Headless));
}

TEST(TinyXmlBuffer, ParsesMemoryAndRejectsBrokenText)
{
    TiXmlDocument doc;
    EXPECT_TRUE(Ogre::TinyXmlBuffer::LoadFileFromBuffer(doc, "<A><B x=\"1\"/></A>"));
    ASSERT_NE(doc.RootElement(), nullptr);
    EXPECT_STREQ(doc.RootElement()->FirstChildElement("B")->Attribute("x"), "1");

    EXPECT_FALSE(Ogre::TinyXmlBuffer::LoadFileFromBuffer(doc, "<A><B></A>"));
    EXPECT_EQ(doc.RootElement(), nullptr);
    EXPECT_FALSE(Ogre::TinyXmlBuffer::LoadFileFromBuffer(doc, static_cast<const char*>(nullptr)));

    Ogre::DataStreamPtr stream(new Ogre::MemoryDataStream(const_cast<char*>("<S/>"), 4, false, true));
    EXPECT_TRUE(Ogre::TinyXmlBuffer::LoadFileFromBuffer(doc, stream));
    EXPECT_STREQ(doc.RootElement()->Value(), "S");
}
