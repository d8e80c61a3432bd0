#include "Line3D.h"
#include "ManipulatorScene.h"
#include "TranslationManipulator.h"

#include <OgreHardwarePixelBuffer.h>
#include <OgreImage.h>
#include <OgreManualObject.h>
#include <OgreRenderTexture.h>
#include <OgreTextureManager.h>
#include <OgreViewport.h>

using namespace Wren;
using Wren::Test::TestEngine;

namespace
{
    /** The manipulator scene drawn into a 128 x 128 texture on black,
        through a narrow (20 degree) view. */
    class DrawnEditingAids : public Wren::Test::ManipulatorScene
    {
    protected:
        static const int kSize = 128;

        void SetUp() override
        {
            ManipulatorScene::SetUp();
            ASSERT_EQ(TestEngine::instance().getMode(), TestEngine::Mode::Rendered);
            mCamera->setFOVy(Ogre::Degree(20));
            mTexture = Ogre::TextureManager::getSingleton().createManual(
                "EditingAidsScreen", "General", Ogre::TEX_TYPE_2D, kSize, kSize, 0,
                Ogre::PF_A8R8G8B8, Ogre::TU_RENDERTARGET);
            mTarget = mTexture->getBuffer()->getRenderTarget();
            mTarget->setAutoUpdated(false);
            Ogre::Viewport* viewport = mTarget->addViewport(mCamera);
            viewport->setBackgroundColour(Ogre::ColourValue::Black);
            viewport->setOverlaysEnabled(false);
            mCamera->setAspectRatio(1);
        }
        void TearDown() override
        {
            mTarget->removeAllViewports();
            Ogre::TextureManager::getSingleton().remove(mTexture);
            ManipulatorScene::TearDown();
        }

        Ogre::Image draw()
        {
            mTarget->update();
            Ogre::Image image;
            mTexture->convertToImage(image);
            return image;
        }

        Ogre::ColourValue colourAt(const Ogre::Image& image, const Ogre::Vector3& point) const
        {
            const Ogre::Vector2 at = screenOf(point) * kSize;
            return image.getColourAt(size_t(at.x), size_t(at.y), 0);
        }

        static bool near(const Ogre::ColourValue& a, const Ogre::ColourValue& b)
        {
            return std::fabs(a.r - b.r) < 0.05f && std::fabs(a.g - b.g) < 0.05f &&
                   std::fabs(a.b - b.b) < 0.05f;
        }

        /** Expects the white pixels of image to lie within 1.5 pixels of the
            projected segment from a to b, and to cover most of its length. */
        void expectLineBetween(const Ogre::Image& image, const Ogre::Vector3& a,
                               const Ogre::Vector3& b) const
        {
            const Ogre::Vector2 pa = screenOf(a) * kSize, pb = screenOf(b) * kSize;
            const Ogre::Vector2 along = pb - pa;
            size_t white = 0, astray = 0;
            for (int y = 0; y < kSize; ++y)
                for (int x = 0; x < kSize; ++x)
                {
                    if (!near(image.getColourAt(x, y, 0), Ogre::ColourValue::White))
                        continue;
                    ++white;
                    const Ogre::Vector2 p(x + 0.5f, y + 0.5f);
                    const float t = Ogre::Math::Clamp((p - pa).dotProduct(along) /
                                                          along.squaredLength(), 0.0f, 1.0f);
                    if (p.distance(pa + along * t) > 1.5f)
                        ++astray;
                }
            EXPECT_EQ(astray, 0u);
            EXPECT_GT(white, size_t(0.8f * along.length()));
        }

        Ogre::TexturePtr mTexture;
        Ogre::RenderTexture* mTarget = nullptr;
    };
}

TEST_F(DrawnEditingAids, WhiteLineLiesBetweenItsProjectedEndsAndFollowsUpdateLine)
{
    const Ogre::Vector3 a(-1.2f, -0.6f, 0), b(1.2f, 0.6f, 0), c(-1.0f, 1.0f, 0), d(1.4f, -0.2f, 0);
    Line3D line(2);
    mScene->getRootSceneNode()->createChildSceneNode()->attachObject(&line);
    line.drawLine(a, b);
    expectLineBetween(draw(), a, b);

    const Ogre::Vector3 moved[] = {c, d};
    line.updateLine(moved);
    expectLineBetween(draw(), c, d);
}

TEST_F(DrawnEditingAids, HandlesShowInsideObjectsAndTheHoveredArrowTurnsYellow)
{
    // A white box around the manipulator hides everything but the handles.
    Ogre::ManualObject* box = mScene->createManualObject("EnclosingBox");
    box->begin("BaseWhiteNoLighting", Ogre::RenderOperation::OT_TRIANGLE_LIST, "General");
    for (int i = 0; i < 8; ++i)
        box->position(i & 1 ? 2.0f : -2.0f, i & 2 ? 2.0f : -2.0f, i & 4 ? 2.0f : -2.0f);
    const int faces[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                             {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (const auto& f : faces)
        box->quad(f[0], f[1], f[2], f[3]);
    box->end();
    mScene->getRootSceneNode()->createChildSceneNode()->attachObject(box);

    TranslationManipulator move;
    ready(move, nullptr, "Move");
    const float size = 10.0f / 8;
    const Ogre::Vector3 yTip(0, 0.84f * size, 0), xTip(0.84f * size, 0, 0);

    Ogre::Image image = draw();
    EXPECT_TRUE(near(image.getColourAt(2, 2, 0), Ogre::ColourValue::White));
    EXPECT_TRUE(near(colourAt(image, yTip), Ogre::ColourValue::Red)) << colourAt(image, yTip);
    EXPECT_TRUE(near(colourAt(image, xTip), Ogre::ColourValue::Green)) << colourAt(image, xTip);

    ASSERT_TRUE(move.mouseMoved(screenOf(yTip)));
    place(move);
    image = draw();
    EXPECT_TRUE(near(colourAt(image, yTip), Ogre::ColourValue(1, 1, 0))) << colourAt(image, yTip);
    EXPECT_TRUE(near(colourAt(image, xTip), Ogre::ColourValue::Green)) << colourAt(image, xTip);
}
