#include "TestEngine.h"

#include <OgreCamera.h>
#include <OgreHardwarePixelBuffer.h>
#include <OgreManualObject.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreRenderTexture.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>
#include <OgreViewport.h>

#include <gtest/gtest.h>

using Wren::Test::TestEngine;

TEST(RenderedEngine, RendersAColouredQuadIntoATextureAndReadsItBack)
{
    TestEngine& engine = TestEngine::instance();
    ASSERT_EQ(engine.getMode(), TestEngine::Mode::Rendered);
    ASSERT_NE(engine.getWindow(), nullptr);
    Ogre::SceneManager* scene = engine.getSceneManager();

    Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().create("HarnessRed", "General");
    Ogre::Pass* pass = material->getTechnique(0)->getPass(0);
    pass->setLightingEnabled(false);
    pass->setCullingMode(Ogre::CULL_NONE);

    Ogre::ManualObject* quad = scene->createManualObject("HarnessQuad");
    quad->begin("HarnessRed", Ogre::RenderOperation::OT_TRIANGLE_LIST, "General");
    quad->position(-1, -1, 0); quad->colour(1, 0, 0);
    quad->position(1, -1, 0); quad->colour(1, 0, 0);
    quad->position(1, 1, 0); quad->colour(1, 0, 0);
    quad->position(-1, 1, 0); quad->colour(1, 0, 0);
    quad->quad(0, 1, 2, 3);
    quad->end();
    scene->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(0, 0, -10))->attachObject(quad);

    Ogre::Camera* camera = scene->createCamera("HarnessCam");
    camera->setNearClipDistance(1);
    scene->getRootSceneNode()->createChildSceneNode()->attachObject(camera);

    Ogre::TexturePtr texture = Ogre::TextureManager::getSingleton().createManual(
        "HarnessTarget", "General", Ogre::TEX_TYPE_2D, 64, 64, 0, Ogre::PF_A8R8G8B8, Ogre::TU_RENDERTARGET);
    Ogre::RenderTarget* target = texture->getBuffer()->getRenderTarget();
    Ogre::Viewport* viewport = target->addViewport(camera);
    viewport->setBackgroundColour(Ogre::ColourValue(0, 0, 1, 1));
    viewport->setOverlaysEnabled(false);
    target->update();

    Ogre::Image image;
    texture->convertToImage(image);
    EXPECT_EQ(image.getColourAt(32, 32, 0), Ogre::ColourValue(1, 0, 0, 1));
    EXPECT_EQ(image.getColourAt(1, 1, 0), Ogre::ColourValue(0, 0, 1, 1));

    target->removeAllViewports();
    Ogre::TextureManager::getSingleton().remove(texture);
    engine.clearScene();
    Ogre::MaterialManager::getSingleton().remove(material);
}
