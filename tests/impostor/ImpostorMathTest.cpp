#include "ImpostorMath.h"
#include "TestEngine.h"

#include <OgreAxisAlignedBox.h>
#include <OgreCamera.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <gtest/gtest.h>

using Ogre::AxisAlignedBox;
using Ogre::ImpostorMath;
using Ogre::Matrix4;
using Ogre::Vector3;

TEST(ImpostorTextureSize, FollowsThePixelSizeThroughTheScale)
{
    // Threshold 256, minimum 32, maximum 512.
    const Ogre::Real scale = ImpostorMath::sizeScale(32, 512, 256);
    EXPECT_FLOAT_EQ(scale, 1.875f);
    EXPECT_EQ(ImpostorMath::chooseTextureSize(100, scale, 32, 512), 256u); // a = 187
    EXPECT_EQ(ImpostorMath::chooseTextureSize(256, scale, 32, 512), 512u); // the threshold itself
    EXPECT_EQ(ImpostorMath::chooseTextureSize(69, scale, 32, 512), 256u);  // a = 129
    EXPECT_EQ(ImpostorMath::chooseTextureSize(68, scale, 32, 512), 128u);  // a = 127.5 -> 127
    EXPECT_EQ(ImpostorMath::chooseTextureSize(17, scale, 32, 512), 32u);   // a = 31
    EXPECT_EQ(ImpostorMath::chooseTextureSize(0, scale, 32, 512), 32u);
    EXPECT_EQ(ImpostorMath::chooseTextureSize(100000, scale, 32, 512), 512u);
}

TEST(ImpostorTextureSize, ZeroThresholdGivesNoScaleInsteadOfInfinity)
{
    EXPECT_EQ(ImpostorMath::sizeScale(32, 512, 0), 0.0f);
    EXPECT_EQ(ImpostorMath::chooseTextureSize(100, 0.0f, 32, 512), 32u);
}

TEST(ImpostorDistanceBands, BandIsTheFirstWhoseDistanceIsNotBelow)
{
    EXPECT_FLOAT_EQ(ImpostorMath::levelSquaredDistance(0), 100.0f * 100.0f);
    EXPECT_FLOAT_EQ(ImpostorMath::levelSquaredDistance(5), 3200.0f * 3200.0f);
    EXPECT_EQ(ImpostorMath::chooseLevel(100.0f * 100.0f + 1), 1);
    EXPECT_EQ(ImpostorMath::chooseLevel(200.0f * 200.0f), 1);
    EXPECT_EQ(ImpostorMath::chooseLevel(200.0f * 200.0f + 1), 2);
    EXPECT_EQ(ImpostorMath::chooseLevel(3000.0f * 3000.0f), 5);
    EXPECT_EQ(ImpostorMath::chooseLevel(3200.0f * 3200.0f), 5);
    EXPECT_EQ(ImpostorMath::chooseLevel(3201.0f * 3201.0f), 0);
}

TEST(ImpostorProjectedSize, CountsThePixelsABoxCoversOnAPerspectiveCamera)
{
    Ogre::SceneManager* scene = Wren::Test::TestEngine::instance().getSceneManager();
    Ogre::Camera* camera = scene->createCamera("ProjectedSizeCam");
    camera->setFOVy(Ogre::Degree(90));
    camera->setAspectRatio(1);
    camera->setNearClipDistance(1);
    Ogre::SceneNode* node = scene->getRootSceneNode()->createChildSceneNode();
    node->attachObject(camera);
    node->_update(true, true);

    // At depth 10 a 90 degree view spans 20 units: a 10-unit face is half.
    const AxisAlignedBox face(Vector3(-5, -5, -10), Vector3(5, 5, -10));
    EXPECT_EQ(ImpostorMath::projectedSize(camera->getViewMatrix(true), camera->getProjectionMatrix(),
                                          face, 64, 64), 32u);
    EXPECT_EQ(ImpostorMath::projectedSize(camera->getViewMatrix(true), camera->getProjectionMatrix(),
                                          face, 200, 100), 100u);

    // Corners behind the camera do not count; a box wholly behind is 0.
    const AxisAlignedBox behind(Vector3(-5, -5, 5), Vector3(5, 5, 10));
    EXPECT_EQ(ImpostorMath::projectedSize(camera->getViewMatrix(true), camera->getProjectionMatrix(),
                                          behind, 64, 64), 0u);

    // A box larger than the view is clamped to the screen.
    const AxisAlignedBox huge(Vector3(-500, -500, -20), Vector3(500, 500, -10));
    EXPECT_EQ(ImpostorMath::projectedSize(camera->getViewMatrix(true), camera->getProjectionMatrix(),
                                          huge, 64, 48), 64u);

    EXPECT_EQ(ImpostorMath::projectedSize(camera->getViewMatrix(true), camera->getProjectionMatrix(),
                                          AxisAlignedBox(), 64, 64), 0u);
    scene->destroySceneNode(node);
    scene->destroyCamera(camera);
}

TEST(ImpostorCaptureProjection, MapsTheBoundingSphereOntoTheWholeViewAndDepthRange)
{
    const Matrix4 projection = ImpostorMath::captureProjection(5, 100);
    // View space looks down -z; the centre is 100 ahead.
    EXPECT_TRUE((projection * Vector3(0, 0, -100)).positionEquals(Vector3(0, 0, 0), 1e-5f));
    EXPECT_TRUE((projection * Vector3(5, -5, -95)).positionEquals(Vector3(1, -1, -1), 1e-5f));
    EXPECT_TRUE((projection * Vector3(-5, 5, -105)).positionEquals(Vector3(-1, 1, 1), 1e-5f));
}

TEST(ImpostorRegionPlacement, TexcoordsInsetTheRegionAndTheViewportCoversIt)
{
    const Ogre::FloatRect coords = ImpostorMath::regionTexcoords(512, 256, 256, 1024);
    EXPECT_FLOAT_EQ(coords.left, 0.501f);
    EXPECT_FLOAT_EQ(coords.top, 0.251f);
    EXPECT_FLOAT_EQ(coords.right, 0.749f);
    EXPECT_FLOAT_EQ(coords.bottom, 0.499f);

    const Ogre::FloatRect area = ImpostorMath::regionViewport(512, 256, 256, 1024);
    EXPECT_FLOAT_EQ(area.left, 0.5f);
    EXPECT_FLOAT_EQ(area.top, 0.25f);
    EXPECT_FLOAT_EQ(area.width(), 0.25f);
    EXPECT_FLOAT_EQ(area.height(), 0.25f);
}

TEST(ImpostorRedraw, FollowsTheTurnOfTheViewSmallTexturesMoreTolerant)
{
    const Vector3 ahead = Vector3::UNIT_Z;
    const Ogre::Real cosine = 0.99f;
    EXPECT_FALSE(ImpostorMath::needsRedraw(ahead, ahead, ahead, ahead, cosine, 256));

    const Vector3 turned = Ogre::Quaternion(Ogre::Degree(10), Vector3::UNIT_Y) * ahead; // cos 0.985
    EXPECT_TRUE(ImpostorMath::needsRedraw(ahead, ahead, turned, ahead, cosine, 256));
    EXPECT_TRUE(ImpostorMath::needsRedraw(ahead, ahead, ahead, turned, cosine, 256));
    EXPECT_FALSE(ImpostorMath::needsRedraw(ahead, ahead, turned, turned, cosine, 128));

    const Vector3 far = Ogre::Quaternion(Ogre::Degree(40), Vector3::UNIT_Y) * ahead; // cos 0.766
    EXPECT_TRUE(ImpostorMath::needsRedraw(ahead, ahead, far, far, cosine, 64));
}
