#ifndef __WrenImpostorScene_H__
#define __WrenImpostorScene_H__

#include "ImpostorManager.h"
#include "TestEngine.h"
#include "UniqueImpostorHandler.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreHardwarePixelBuffer.h>
#include <OgreImage.h>
#include <OgreManualObject.h>
#include <OgreMaterialManager.h>
#include <OgreMeshManager.h>
#include <OgrePass.h>
#include <OgreRenderTexture.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>
#include <OgreViewport.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace Wren
{
namespace Test
{
    /** A scene for impostor tests on the rendered engine: a player camera
        at the origin looking down -z onto a 128 x 128 render texture (the
        "screen"), an impostor manager with 1024 textures on queue 4, and
        boxes made on request, each on its own node under a parent node. */
    class ImpostorScene : public ::testing::Test
    {
    protected:
        static const unsigned int kScreen = 128;

        void SetUp() override
        {
            TestEngine& engine = TestEngine::instance();
            ASSERT_EQ(engine.getMode(), TestEngine::Mode::Rendered);
            mScene = engine.getSceneManager();

            mMaterial = Ogre::MaterialManager::getSingleton().create("ImpostorTestColours", "General");
            Ogre::Pass* pass = mMaterial->getTechnique(0)->getPass(0);
            pass->setLightingEnabled(false);
            pass->setCullingMode(Ogre::CULL_NONE);

            mCamera = mScene->createCamera("PlayerCam");
            mCamera->setNearClipDistance(1);
            mCamera->setFarClipDistance(20000);
            mCameraNode = mScene->getRootSceneNode()->createChildSceneNode("PlayerCamNode");
            mCameraNode->attachObject(mCamera);

            mScreenTexture = Ogre::TextureManager::getSingleton().createManual(
                "ImpostorTestScreen", "General", Ogre::TEX_TYPE_2D, kScreen, kScreen, 0,
                Ogre::PF_A8R8G8B8, Ogre::TU_RENDERTARGET);
            mScreen = mScreenTexture->getBuffer()->getRenderTarget();
            mScreen->setAutoUpdated(false);
            Ogre::Viewport* viewport = mScreen->addViewport(mCamera);
            viewport->setBackgroundColour(Ogre::ColourValue(0, 0, 0, 1));
            viewport->setOverlaysEnabled(false);

            mParent = mScene->getRootSceneNode()->createChildSceneNode("ImpostorTestParent");
            mManager.reset(new Ogre::ImpostorManager());
            ASSERT_TRUE(mManager->init(mScene, "TestWorld_ImpostorGameSystem", "General", 400, 1024, 4));
        }

        void TearDown() override
        {
            mManager.reset();
            mScreen->removeAllViewports();
            Ogre::TextureManager::getSingleton().remove(mScreenTexture);
            TestEngine::instance().clearScene();
            for (const std::string& mesh : mMeshes)
                Ogre::MeshManager::getSingleton().remove(mesh, "General");
            Ogre::MaterialManager::getSingleton().remove(mMaterial);
        }

        /** A box of the given half size at position: its upper half (y > 0)
            in top, its lower half in bottom, as an entity on its own node
            under the parent node. */
        Ogre::SceneNode* makeBox(const std::string& name, const Ogre::Vector3& position, float half,
                                 const Ogre::ColourValue& top, const Ogre::ColourValue& bottom)
        {
            Ogre::ManualObject* box = mScene->createManualObject(name + "Build");
            box->begin("ImpostorTestColours", Ogre::RenderOperation::OT_TRIANGLE_LIST, "General");
            const float h = half;
            // Each face in two bands split at y = 0, so the colours meet there.
            const Ogre::Vector3 corners[8] = {{-h, -h, -h}, {h, -h, -h}, {h, h, -h}, {-h, h, -h},
                                              {-h, -h, h},  {h, -h, h},  {h, h, h},  {-h, h, h}};
            const int faces[6][4] = {{4, 5, 6, 7}, {1, 0, 3, 2}, {5, 1, 2, 6},
                                     {0, 4, 7, 3}, {7, 6, 2, 3}, {0, 1, 5, 4}};
            Ogre::uint32 index = 0;
            for (const auto& face : faces)
            {
                for (int band = 0; band < 2; ++band)
                {
                    for (int k = 0; k < 4; ++k)
                    {
                        Ogre::Vector3 p = corners[face[k]];
                        // The band keeps its half: y clamped to [-h, 0] or [0, h].
                        p.y = band == 0 ? std::max(p.y, 0.0f) : std::min(p.y, 0.0f);
                        box->position(p);
                        box->colour(band == 0 ? top : bottom);
                    }
                    box->quad(index, index + 1, index + 2, index + 3);
                    index += 4;
                }
            }
            box->end();
            box->convertToMesh(name + "Mesh", "General");
            mScene->destroyManualObject(box);
            mMeshes.push_back(name + "Mesh");

            Ogre::Entity* entity = mScene->createEntity(name, name + "Mesh", "General");
            Ogre::SceneNode* node = mParent->createChildSceneNode(name + "Node", position);
            node->attachObject(entity);
            return node;
        }

        /** A box named "Box" of the given half size straight ahead of the
            camera at distance, with the camera placed at the origin looking
            at it. */
        Ogre::SceneNode* makeBoxAhead(float distance, float half, const Ogre::ColourValue& top,
                                      const Ogre::ColourValue& bottom)
        {
            Ogre::SceneNode* node = makeBox("Box", Ogre::Vector3(0, 0, -distance), half, top, bottom);
            placeCamera(Ogre::Vector3::ZERO, Ogre::Vector3(0, 0, -distance));
            return node;
        }

        /** makeBoxAhead, a handler for the box with the given values, and
            one frame of the impostor manager. */
        Ogre::UniqueImpostorHandler* showBoxAhead(float distance, float half, const Ogre::ColourValue& top,
                                                  const Ogre::ColourValue& bottom, float threshold = 64,
                                                  unsigned int minSize = 64, unsigned int maxSize = 512)
        {
            Ogre::UniqueImpostorHandler* handler =
                addHandler(makeBoxAhead(distance, half, top, bottom), threshold, minSize, maxSize);
            mManager->update(mCamera);
            return handler;
        }

        Ogre::UniqueImpostorHandler* addHandler(Ogre::SceneNode* node, float threshold = 64,
                                                unsigned int minSize = 64, unsigned int maxSize = 512,
                                                float redrawCosine = 0.99f)
        {
            auto* handler = new Ogre::UniqueImpostorHandler(node, threshold, minSize, maxSize, redrawCosine);
            mManager->addHandler(handler);
            return handler;
        }

        void placeCamera(const Ogre::Vector3& position, const Ogre::Vector3& lookAt)
        {
            mCameraNode->setPosition(position);
            mCameraNode->lookAt(lookAt, Ogre::Node::TS_WORLD);
            mCameraNode->_update(true, true);
        }

        /** What the player camera sees now. */
        Ogre::Image renderScreen()
        {
            mScreen->update();
            Ogre::Image image;
            mScreenTexture->convertToImage(image);
            return image;
        }

        static Ogre::Image readTexture(const Ogre::TexturePtr& texture)
        {
            Ogre::Image image;
            texture->convertToImage(image);
            return image;
        }

        /** Whether every object under node waits in the hidden queue. */
        static bool hidden(Ogre::SceneNode* node)
        {
            bool all = node->numAttachedObjects() > 0 || node->numChildren() > 0;
            for (Ogre::MovableObject* object : node->getAttachedObjects())
                all = all && object->getRenderQueueGroup() == Ogre::ImpostorManager::HIDDEN_RENDER_QUEUE;
            for (Ogre::Node* child : node->getChildren())
                all = all && hidden(static_cast<Ogre::SceneNode*>(child));
            return all;
        }

        /** Whether node is drawn as itself where it was made: under the
            parent node, no object of it hidden. */
        ::testing::AssertionResult shown(Ogre::SceneNode* node) const
        {
            if (node->getParent() != mParent)
                return ::testing::AssertionFailure() << node->getName() << " left its parent";
            for (Ogre::MovableObject* object : node->getAttachedObjects())
                if (object->getRenderQueueGroup() == Ogre::ImpostorManager::HIDDEN_RENDER_QUEUE)
                    return ::testing::AssertionFailure() << object->getName() << " is hidden";
            return ::testing::AssertionSuccess();
        }

        static bool near(const Ogre::ColourValue& a, const Ogre::ColourValue& b)
        {
            const float e = 0.02f;
            return std::abs(a.r - b.r) < e && std::abs(a.g - b.g) < e && std::abs(a.b - b.b) < e &&
                   std::abs(a.a - b.a) < e;
        }

        Ogre::SceneManager* mScene = nullptr;
        Ogre::Camera* mCamera = nullptr;
        Ogre::SceneNode* mCameraNode = nullptr;
        Ogre::SceneNode* mParent = nullptr;
        Ogre::TexturePtr mScreenTexture;
        Ogre::RenderTarget* mScreen = nullptr;
        Ogre::MaterialPtr mMaterial;
        std::unique_ptr<Ogre::ImpostorManager> mManager;
        std::vector<std::string> mMeshes;
    };
}
}

#endif
