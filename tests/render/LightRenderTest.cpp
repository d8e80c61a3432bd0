#include "../core/CoreGameObjectTestWorld.h"

#include "ExtensionGameObjectFactory.h"
#include "LightGameObject.h"

#include <OgreEntity.h>
#include <OgreHardwarePixelBuffer.h>
#include <OgreImage.h>
#include <OgreMaterialManager.h>
#include <OgreMeshManager.h>
#include <OgrePass.h>
#include <OgreRenderTexture.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>
#include <OgreViewport.h>

#include <gtest/gtest.h>

using namespace Wren;
using namespace Wren::Test;

TEST(LightDrawn, PlaneIsLitBrighterNearAPointLightThanFarFromIt)
{
    CoreTestWorld world;
    world.objectFactories->addGameObjectFactory(new ExtensionGameObjectFactory);
    TestEngine::writeFile(world.engine.getGeneralFolder(), "lamp.meta",
                          "<MetaData ObjectType=\"LightGameObject\" Name=\"lamp\">"
                          "<CoreData SizeHint=\"50\"/><LightData LightType=\"Point\" "
                          "AttRange=\"20\" AttConstant=\"0.2\" AttLinear=\"0.2\" AttQuadric=\"0\"/>"
                          "</MetaData>");
    world.writeWorld("w", "");
    ASSERT_TRUE(world.start("w"));
    Ogre::SceneManager* scene = world.engine.getSceneManager();
    scene->setAmbientLight(Ogre::ColourValue::Black);

    // A finely cut plane (the fixed pipeline lights its vertices) in a
    // material lit by the scene's lights only.
    Ogre::MaterialPtr material =
        Ogre::MaterialManager::getSingleton().create("LitPlane", "General");
    Ogre::Pass* pass = material->getTechnique(0)->getPass(0);
    pass->setLightingEnabled(true);
    pass->setAmbient(Ogre::ColourValue::Black);
    pass->setDiffuse(Ogre::ColourValue::White);
    Ogre::MeshManager::getSingleton().createPlane("LitPlane", "General",
                                                  Ogre::Plane(Ogre::Vector3::UNIT_Y, 0), 20, 20,
                                                  60, 60, true, 1, 1, 1, Ogre::Vector3::UNIT_Z);
    Ogre::Entity* plane = scene->createEntity("LitPlane", "LitPlane");
    plane->setMaterial(material);
    scene->getRootSceneNode()->createChildSceneNode()->attachObject(plane);

    // The player camera looks straight down on it, x to the right.
    world.cameraNode->setPosition(0, 10, 0);
    world.cameraNode->setOrientation(
        Ogre::Quaternion(Ogre::Degree(-90), Ogre::Vector3::UNIT_X));
    world.camera->setNearClipDistance(0.5f);
    Ogre::TexturePtr texture = Ogre::TextureManager::getSingleton().createManual(
        "LightView", "General", Ogre::TEX_TYPE_2D, 64, 64, 0, Ogre::PF_A8R8G8B8,
        Ogre::TU_RENDERTARGET);
    Ogre::RenderTarget* target = texture->getBuffer()->getRenderTarget();
    Ogre::Viewport* viewport = target->addViewport(world.camera);
    viewport->setBackgroundColour(Ogre::ColourValue::Blue);
    viewport->setOverlaysEnabled(false);

    LightGameObject* lamp = dynamic_cast<LightGameObject*>(
        world.manager->createCoreGameObject("lamp.meta", Ogre::Vector3(-3, 0.5f, 0)));
    ASSERT_NE(lamp, nullptr);
    for (int frame = 0; frame < 10; ++frame)
        world.manager->update(0.1f);
    ASSERT_NE(lamp->getLight(), nullptr);

    target->update();
    Ogre::Image image;
    texture->convertToImage(image);
    const Ogre::ColourValue near = image.getColourAt(9, 32, 0);
    const Ogre::ColourValue far = image.getColourAt(55, 32, 0);
    EXPECT_GT(near.r, 0.5f);
    EXPECT_LT(far.b, 0.5f) << "the plane is drawn there, not the background";
    EXPECT_LT(far.r, 0.25f);
    EXPECT_GT(near.r, far.r + 0.3f);

    target->removeAllViewports();
    Ogre::TextureManager::getSingleton().remove(texture);
    world.manager->destroy();
    world.manager.reset();
    scene->destroyEntity(plane);
    Ogre::MeshManager::getSingleton().remove("LitPlane", "General");
    Ogre::MaterialManager::getSingleton().remove(material);
}
