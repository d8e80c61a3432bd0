#include "../core/CoreGameObjectTestWorld.h"

#include "ExtensionGameObjectFactory.h"
#include "FxShaderInstancingManager.h"
#include "GridAboveGroundArea.h"
#include "GridAboveGroundManager.h"
#include "MeshGameObject.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreHardwarePixelBuffer.h>
#include <OgreImage.h>
#include <OgreManualObject.h>
#include <OgreMaterialManager.h>
#include <OgreMeshManager.h>
#include <OgrePass.h>
#include <OgreRenderTexture.h>
#include <OgreSceneNode.h>
#include <OgreSubEntity.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>
#include <OgreLight.h>
#include <OgreViewport.h>

#include <gtest/gtest.h>

using namespace Wren;
using Ogre::FxShaderInstancingManager;
using Ogre::Vector3;

namespace
{
    const unsigned int kScreen = 256;
    const float kHalf = 2.5f;

    /** A closed box of half size kHalf standing on y = 0, with normals. */
    void makeCrateMesh()
    {
        if (Ogre::MeshManager::getSingleton().resourceExists("instancedCrate.mesh", "General"))
            return;
        // Red from the scene's ambient alone, lights adding to it; one white
        // texture, so the material is drawn in its batch form.
        Ogre::uchar white[4] = {255, 255, 255, 255};
        Ogre::Image texel;
        texel.loadDynamicImage(white, 1, 1, 1, Ogre::PF_BYTE_RGBA);
        Ogre::TextureManager::getSingleton().loadImage("InstanceWhite", "General", texel);
        Ogre::MaterialPtr red = Ogre::MaterialManager::getSingleton().create("InstanceRed", "General");
        Ogre::Pass* pass = red->getTechnique(0)->getPass(0);
        pass->setAmbient(Ogre::ColourValue::Red);
        pass->setDiffuse(Ogre::ColourValue::White);
        pass->createTextureUnitState("InstanceWhite");

        Ogre::SceneManager* scene = Wren::Test::TestEngine::instance().getSceneManager();
        Ogre::ManualObject* box = scene->createManualObject();
        box->begin("InstanceRed");
        const Vector3 normals[6] = {Vector3::UNIT_X, Vector3::NEGATIVE_UNIT_X, Vector3::UNIT_Y,
                                    Vector3::NEGATIVE_UNIT_Y, Vector3::UNIT_Z, Vector3::NEGATIVE_UNIT_Z};
        Ogre::uint32 index = 0;
        for (const Vector3& n : normals)
        {
            // Two axes spanning the face, turning counter-clockwise seen from outside.
            const Vector3 u = n.perpendicular();
            const Vector3 v = n.crossProduct(u);
            for (const auto& corner : {std::make_pair(-1, -1), std::make_pair(1, -1),
                                       std::make_pair(1, 1), std::make_pair(-1, 1)})
            {
                box->position((n + u * float(corner.first) + v * float(corner.second)) * kHalf +
                              Vector3(0, kHalf, 0));
                box->normal(n);
            }
            box->quad(index, index + 1, index + 2, index + 3);
            index += 4;
        }
        box->end();
        box->convertToMesh("instancedCrate.mesh", "General");
        scene->destroyManualObject(box);
    }

    /** 130 instanced crates 10 apart in area 0_0 of the default area grid,
        seen from above by the player camera on a render texture, drawn with
        the technique of the test's parameter. */
    class InstancedAreaScene : public ::testing::TestWithParam<FxShaderInstancingManager::Technique>
    {
    protected:
        void SetUp() override
        {
            if (FxShaderInstancingManager::detectTechnique() == FxShaderInstancingManager::TECHNIQUE_NONE ||
                (GetParam() == FxShaderInstancingManager::TECHNIQUE_HARDWARE &&
                 FxShaderInstancingManager::detectTechnique() != FxShaderInstancingManager::TECHNIQUE_HARDWARE))
                GTEST_SKIP() << "the render system does not offer this technique";
            Ogre::SceneManager* scene = world.engine.getSceneManager();
            instancing = &FxShaderInstancingManager::get(scene);
            instancing->setTechnique(GetParam());
            scene->setAmbientLight(Ogre::ColourValue::White);
            makeCrateMesh();

            world.objectFactories->addGameObjectFactory(new ExtensionGameObjectFactory);
            Wren::Test::TestEngine::writeFile(
                world.engine.getGeneralFolder(), "crate.meta",
                "<MetaData ObjectType=\"MeshGameObject\" Name=\"crate\"><CoreData Instanced=\"true\" "
                "SizeHint=\"Large\"/><MeshData><SubMeshData Mesh=\"instancedCrate.mesh\"/></MeshData>"
                "</MetaData>");
            world.writeWorld("w", "");
            world.engine.rescanResources();
            world.partitions = new Wren::Test::StandInPartitionManager(world.manager.get());
            world.partitions->cells = {{"0_0", Vector3::ZERO}};
            areas = new GridAboveGroundManager(world.manager.get(), world.partitions);
            ASSERT_TRUE(world.manager->initStart("w", world.wrapper.get(), world.partitions, areas));
            ASSERT_TRUE(world.manager->initFinish());
            world.manager->SetEnabledInstanced(true);
            for (size_t k = 0; k < 130; ++k)
                crates.push_back(dynamic_cast<MeshGameObject*>(
                    world.manager->createCoreGameObject("crate.meta", place(k))));
            areas->load();
            for (int i = 0; i < 20 && !areas->getBuildingAreas().empty(); ++i)
                world.manager->update(0.02f);
            area = static_cast<GridAboveGroundArea*>(areas->getArea(std::string("0_0")));
            ASSERT_EQ(area->GetAreaState(), AreaBuilt);

            // Straight down, screen right along +x and screen down along +z.
            world.cameraNode->setPosition(Vector3(-2510, 230, -2495));
            world.cameraNode->setOrientation(
                Ogre::Quaternion(Vector3::UNIT_X, Vector3::NEGATIVE_UNIT_Z, Vector3::UNIT_Y));
            world.camera->setNearClipDistance(1);
            world.camera->setFarClipDistance(1000);
            world.camera->setAspectRatio(1);
            texture = Ogre::TextureManager::getSingleton().createManual(
                "InstancedAreaScreen", "General", Ogre::TEX_TYPE_2D, kScreen, kScreen, 0,
                Ogre::PF_A8R8G8B8, Ogre::TU_RENDERTARGET);
            screen = texture->getBuffer()->getRenderTarget();
            screen->setAutoUpdated(false);
            Ogre::Viewport* viewport = screen->addViewport(world.camera);
            viewport->setBackgroundColour(Ogre::ColourValue::Black);
            viewport->setOverlaysEnabled(false);
        }

        void TearDown() override
        {
            if (screen)
                screen->removeAllViewports();
            if (texture)
                Ogre::TextureManager::getSingleton().remove(texture);
            if (instancing)
            {
                world.manager->destroy();
                instancing->setTechnique(FxShaderInstancingManager::detectTechnique());
                world.engine.getSceneManager()->setAmbientLight(Ogre::ColourValue::Black);
            }
        }

        static Vector3 place(size_t k)
        {
            return Vector3(-2555.0f + 10 * float(k % 10), 0, -2555.0f + 10 * float(k / 10));
        }

        /** The pixel showing a world point. */
        static Ogre::ColourValue pixelAt(const Ogre::Image& image, const Ogre::Camera& camera,
                                         const Vector3& point)
        {
            const Vector3 ndc = camera.getProjectionMatrix() * (camera.getViewMatrix() * point);
            return image.getColourAt(size_t((ndc.x + 1) * 0.5f * kScreen),
                                     size_t((1 - ndc.y) * 0.5f * kScreen), 0);
        }

        /** Draws a frame; returns the colours at the centres of the crates' tops. */
        std::vector<Ogre::ColourValue> drawTops()
        {
            screen->update();
            texture->convertToImage(image);
            std::vector<Ogre::ColourValue> tops;
            for (size_t k = 0; k < crates.size(); ++k)
                tops.push_back(pixelAt(image, *world.camera, place(k) + Vector3(0, 2 * kHalf, 0)));
            return tops;
        }

        /** Draws a frame; returns which crates show red at their tops' centres. */
        std::vector<bool> drawnCrates()
        {
            std::vector<bool> drawn;
            for (const Ogre::ColourValue& c : drawTops())
                drawn.push_back(c.r > 0.8f && c.g < 0.2f && c.b < 0.2f);
            return drawn;
        }

        Wren::Test::CoreTestWorld world;
        FxShaderInstancingManager* instancing = nullptr;
        GridAboveGroundManager* areas = nullptr;
        GridAboveGroundArea* area = nullptr;
        std::vector<MeshGameObject*> crates;
        Ogre::TexturePtr texture;
        Ogre::RenderTexture* screen = nullptr;
        Ogre::Image image;
    };

    size_t countDrawn(const std::vector<bool>& drawn)
    {
        return size_t(std::count(drawn.begin(), drawn.end(), true));
    }
}

TEST_P(InstancedAreaScene, CratesAreDrawnAtTheirPlacesInOneDrawPerBlockAndLit)
{
    EXPECT_EQ(instancing->getInstanceCount(), 130u);
    EXPECT_EQ(countDrawn(drawnCrates()), 130u);
    EXPECT_EQ(screen->getStatistics().batchCount, 3u);
    // The gaps between crates stay background.
    EXPECT_EQ(pixelAt(image, *world.camera, place(44) + Vector3(5, 0, 5)), Ogre::ColourValue::Black);

    // A green light from straight above turns the tops yellow.
    Ogre::SceneManager* scene = world.engine.getSceneManager();
    Ogre::Light* sun = scene->createLight("InstancedAreaSun");
    sun->setType(Ogre::Light::LT_DIRECTIONAL);
    sun->setDiffuseColour(Ogre::ColourValue::Green);
    // A light shines along its node's -z.
    Ogre::SceneNode* sunNode = scene->getRootSceneNode()->createChildSceneNode();
    sunNode->setDirection(Vector3::NEGATIVE_UNIT_Y, Ogre::Node::TS_WORLD);
    sunNode->attachObject(sun);
    const Ogre::ColourValue top = drawTops()[44];
    scene->destroyLight(sun);
    scene->destroySceneNode(sunNode);
    EXPECT_GT(top.r, 0.8f);
    EXPECT_GT(top.g, 0.8f);
}

TEST_P(InstancedAreaScene, HiddenAreaDrawsNothing)
{
    area->SetVisible(false);
    EXPECT_EQ(countDrawn(drawnCrates()), 0u);
    EXPECT_EQ(screen->getStatistics().batchCount, 0u);
    area->SetVisible(true);
    EXPECT_EQ(countDrawn(drawnCrates()), 130u);
}

TEST_P(InstancedAreaScene, SeeThroughTakesExactlyOneInstanceOutOfItsBatch)
{
    // The pulled-out crate is drawn by its own entity, in the batch form of
    // its material; hiding that entity leaves its place empty.
    MeshGameObject* pulled = crates[75];
    areas->SeeThroughObject(pulled);
    EXPECT_EQ(pulled->getEntityList()[0]->getSubEntity(0)->getMaterialName(),
              "InstanceRedDefaultTemplate1_b");
    EXPECT_EQ(countDrawn(drawnCrates()), 130u);
    pulled->setVisible(false);
    const std::vector<bool> drawn = drawnCrates();
    EXPECT_EQ(countDrawn(drawn), 129u);
    EXPECT_FALSE(drawn[75]);
    EXPECT_TRUE(drawn[15]);
    areas->SeeBackObject(pulled);
    EXPECT_EQ(countDrawn(drawnCrates()), 130u);
}

TEST_P(InstancedAreaScene, DeletedCrateLeavesOnlyItsOwnPlaceEmpty)
{
    std::vector<CoreGameObject*> gone{crates[75]};
    world.manager->deleteObjects(gone);
    const std::vector<bool> drawn = drawnCrates();
    EXPECT_EQ(countDrawn(drawn), 129u);
    EXPECT_FALSE(drawn[75]);
    EXPECT_TRUE(drawn[74] && drawn[76] && drawn[15]);
}

INSTANTIATE_TEST_SUITE_P(Techniques, InstancedAreaScene,
                         ::testing::Values(FxShaderInstancingManager::TECHNIQUE_HARDWARE,
                                           FxShaderInstancingManager::TECHNIQUE_SHADER),
                         [](const ::testing::TestParamInfo<FxShaderInstancingManager::Technique>& info) {
                             return info.param == FxShaderInstancingManager::TECHNIQUE_HARDWARE
                                        ? std::string("Hardware")
                                        : std::string("Shader");
                         });
