#include "../core/CoreGameObjectTestWorld.h"
#include "../tools/GeneratedMedia.h"

#include "DummyGameObject.h"
#include "ExtensionGameObjectFactory.h"
#include "MediaGenerator.h"
#include "MeshGameObject.h"
#include "WorldGenerator.h"
#include "XMLDataFile.h"

#include <OgreHardwarePixelBuffer.h>
#include <OgreImage.h>
#include <OgreRenderTexture.h>
#include <OgreTextureManager.h>
#include <OgreViewport.h>

#include <gtest/gtest.h>

using namespace Wren;
using namespace Wren::Test;

namespace
{
    /** The player camera's view, drawn into a small texture. */
    class View
    {
    public:
        explicit View(Ogre::Camera* camera)
        {
            mTexture = Ogre::TextureManager::getSingleton().createManual(
                "PlaceHolderView", "General", Ogre::TEX_TYPE_2D, 64, 64, 0, Ogre::PF_A8R8G8B8,
                Ogre::TU_RENDERTARGET);
            mTarget = mTexture->getBuffer()->getRenderTarget();
            Ogre::Viewport* viewport = mTarget->addViewport(camera);
            viewport->setBackgroundColour(Ogre::ColourValue::Blue);
            viewport->setOverlaysEnabled(false);
        }
        ~View()
        {
            mTarget->removeAllViewports();
            Ogre::TextureManager::getSingleton().remove(mTexture);
        }
        Ogre::ColourValue centre()
        {
            mTarget->update();
            Ogre::Image image;
            mTexture->convertToImage(image);
            return image.getColourAt(32, 32, 0);
        }

    private:
        Ogre::TexturePtr mTexture;
        Ogre::RenderTarget* mTarget = nullptr;
    };
}

TEST(PlaceHolderDrawn, PlaceholderShowsOnlyOnceTheStaticSwitchIsOnWhenItIsMade)
{
    CoreTestWorld world;
    world.objectFactories->addGameObjectFactory(new ExtensionGameObjectFactory);
    // The placeholder box and its template as sample worlds have them.
    const std::string media = world.engine.makeTempFolder("placeholder-media");
    std::vector<std::string> files;
    ASSERT_TRUE(MediaGenerator::write(media, files));
    XMLDataFile box;
    DataElementPtr root = box.createRootElement("MetaData");
    WorldGenerator::writeMetadata(WorldGenerator::placeHolderTemplate(), root);
    ASSERT_TRUE(box.save(media + "/" + PlaceHolderGameObject::PLACEHOLDER_META_ID));
    Ogre::ResourceGroupManager::getSingleton().addResourceLocation(media, "FileSystem", "General");
    ASSERT_TRUE(MediaGenerator::declareMaterials());
    TestEngine::writeFile(world.engine.getGeneralFolder(), "marker.meta",
                          "<MetaData ObjectType=\"DummyGameObject\" Name=\"marker\"><CoreData/>"
                          "<DummyMetaData PlaceHolder=\"\"/></MetaData>");
    world.writeWorld("w", "");
    ASSERT_TRUE(world.start("w"));
    world.engine.getSceneManager()->setAmbientLight(Ogre::ColourValue::White);
    world.camera->setNearClipDistance(0.1f);
    View view(world.camera);
    const Ogre::ColourValue background = view.centre();
    auto settle = [&world] {
        for (int frame = 0; frame < 20; ++frame)
            world.manager->update(0.1f);
    };

    PlaceHolderGameObject::setVisibleStatic(false);
    DummyGameObject* hidden =
        dynamic_cast<DummyGameObject*>(world.manager->createCoreGameObject(
            "marker.meta", Ogre::Vector3(0, 0, -3)));
    ASSERT_TRUE(hidden && hidden->getPlaceHolderMesh());
    settle();
    ASSERT_EQ(hidden->getPlaceHolderMesh()->getEntityList().size(), 1u);
    EXPECT_EQ(view.centre(), background);

    // Switching on leaves the placeholder made before as it is ...
    PlaceHolderGameObject::setVisibleStatic(true);
    settle();
    EXPECT_EQ(view.centre(), background);

    // ... and shows the next one, in the colour of its template.
    DummyGameObject* shown = dynamic_cast<DummyGameObject*>(
        world.manager->createCoreGameObject("marker.meta", Ogre::Vector3(0, 0, -3)));
    ASSERT_TRUE(shown && shown->getPlaceHolderMesh());
    settle();
    const Ogre::ColourValue drawn = view.centre();
    EXPECT_NE(drawn, background);
    EXPECT_GT(drawn.r, 0.5f);
    EXPECT_GT(drawn.g, 0.5f);
    EXPECT_LT(drawn.b, 0.5f);

    PlaceHolderGameObject::setVisibleStatic(false);
    world.manager->destroy();
    world.manager.reset();
    forgetGeneratedMedia(media);
}
