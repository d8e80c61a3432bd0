#include "ImpostorScene.h"

#include "QuadTreeTextureSpace.h"
#include "UniqueImpostorSet.h"

#include <OgreBillboard.h>

using Wren::Test::ImpostorScene;
using Ogre::ColourValue;
using Ogre::Vector3;

namespace
{
    const ColourValue kRed(1, 0, 0, 1);

    typedef ImpostorScene ImpostorDecision;
}

TEST_F(ImpostorDecision, NodeWithinTheFirstBandStaysItself)
{
    Ogre::UniqueImpostorHandler* handler = showBoxAhead(90, 10, kRed, kRed);
    Ogre::SceneNode* node = handler->getNode();
    EXPECT_TRUE(shown(node));
    EXPECT_EQ(handler->getBillboard(), nullptr);
    EXPECT_TRUE(mManager->getSetsInUse().empty());
}

TEST_F(ImpostorDecision, LargeOnScreenStaysItself)
{
    Ogre::UniqueImpostorHandler* handler = showBoxAhead(150, 40, kRed, kRed);
    Ogre::SceneNode* node = handler->getNode();
    EXPECT_GT(handler->getCachedPixelSize(1), 64u);
    EXPECT_TRUE(shown(node));
    EXPECT_EQ(handler->getBillboard(), nullptr);
}

TEST_F(ImpostorDecision, CameraWithinTheBoundingSphereSeesTheNodeItself)
{
    // 150 units from the centre of a box of radius 173: a picture of the
    // sphere around the camera would be meaningless, whatever the threshold.
    Ogre::UniqueImpostorHandler* handler = showBoxAhead(150, 100, kRed, kRed, 1024, 64, 512);
    Ogre::SceneNode* node = handler->getNode();
    EXPECT_TRUE(shown(node));
    EXPECT_EQ(handler->getBillboard(), nullptr);
}

TEST_F(ImpostorDecision, OutOfViewIsHiddenUntilSeenThenShowsAnImpostor)
{
    Ogre::SceneNode* node = makeBox("Box", Vector3(0, 0, -150), 10, kRed, kRed);
    Ogre::UniqueImpostorHandler* handler = addHandler(node);
    placeCamera(Vector3::ZERO, Vector3(0, 0, 150));
    mManager->update(mCamera);
    EXPECT_TRUE(hidden(node));
    EXPECT_EQ(handler->getBillboard(), nullptr);
    EXPECT_EQ(handler->getCachedPixelSize(1), 0u) << "an unseen band is measured again later";

    placeCamera(Vector3::ZERO, Vector3(0, 0, -150));
    mManager->update(mCamera);
    EXPECT_TRUE(hidden(node));
    EXPECT_NE(handler->getBillboard(), nullptr);
    EXPECT_EQ(handler->getCaptureCount(), 1u);
}

TEST_F(ImpostorDecision, BeyondTheLastBandTheThresholdChoosesTheTextureSize)
{
    // Threshold 256, minimum 32, maximum 512: the threshold scales to 480.
    Ogre::UniqueImpostorHandler* handler = showBoxAhead(4000, 10, kRed, kRed, 256, 32, 512);
    EXPECT_EQ(handler->getCachedPixelSize(0), 256u);
    EXPECT_EQ(handler->getCurrentTextureSize(), 512);
    EXPECT_NE(handler->getBillboard(), nullptr);
}

TEST_F(ImpostorDecision, BandSizeIsMeasuredOnceAndTheTextureFollowsTheBand)
{
    Ogre::UniqueImpostorHandler* handler = showBoxAhead(150, 10, kRed, kRed);
    const unsigned int firstBandSize = handler->getCachedPixelSize(1);
    EXPECT_GE(firstBandSize, 20u);
    EXPECT_LE(firstBandSize, 24u);
    ASSERT_EQ(handler->getCurrentTextureSize(), 256);

    placeCamera(Vector3(0, 0, -20), Vector3(0, 0, -150));
    mManager->update(mCamera);
    EXPECT_EQ(handler->getCachedPixelSize(1), firstBandSize);
    EXPECT_EQ(handler->getCurrentTextureSize(), 256);

    // 350 units away: about 9 pixels, scaled 63, the minimum of 64.
    placeCamera(Vector3(0, 0, 200), Vector3(0, 0, -150));
    mManager->update(mCamera);
    EXPECT_EQ(handler->getCurrentTextureSize(), 64);
    ASSERT_NE(handler->getRegion(), nullptr);
    EXPECT_EQ(handler->getRegion()->getSize(), 64u);
    EXPECT_EQ(handler->getSet()->getRoot().getFreeArea(), 1024u * 1024u - 64u * 64u)
        << "the 256 region went back";
    EXPECT_EQ(handler->getCaptureCount(), 2u);
}

TEST_F(ImpostorDecision, NodeWithoutObjectsIsAlwaysItself)
{
    Ogre::SceneNode* node = mParent->createChildSceneNode("Empty", Vector3(0, 0, -150));
    Ogre::UniqueImpostorHandler* handler = addHandler(node);
    placeCamera(Vector3::ZERO, Vector3(0, 0, -150));
    mManager->update(mCamera);
    EXPECT_TRUE(shown(node));
    EXPECT_EQ(handler->getBillboard(), nullptr);
}

TEST_F(ImpostorDecision, ImpostorLargerThanATextureCanHoldFallsBackToTheNode)
{
    // A maximum of 1024 can not fit a 1024 texture: the request is refused.
    Ogre::SceneNode* node = makeBox("Box", Vector3(0, 0, -4000), 10, kRed, kRed);
    Wren::Test::LogCapture log;
    Ogre::UniqueImpostorHandler* handler = addHandler(node, 256, 32, 1024);
    placeCamera(Vector3::ZERO, Vector3(0, 0, -4000));
    mManager->update(mCamera);
    EXPECT_TRUE(shown(node));
    EXPECT_EQ(handler->getBillboard(), nullptr);
    EXPECT_EQ(handler->getRegion(), nullptr);
    EXPECT_TRUE(log.contains("no region of 1024 texels"));
    mManager->update(mCamera);
    EXPECT_TRUE(shown(node));
}

TEST_F(ImpostorDecision, NodeShownAsImpostorStaysInPlaceUnderItsParent)
{
    // Far out in a partition: the parent stands 1270 units from the origin.
    mParent->setPosition(1270, 0, 0);
    Ogre::SceneNode* node = makeBox("Box", Vector3(0, 0, -150), 10, kRed, kRed);
    Ogre::UniqueImpostorHandler* handler = addHandler(node);
    placeCamera(Vector3(1270, 0, 0), Vector3(1270, 0, -150));
    mManager->update(mCamera);
    ASSERT_NE(handler->getBillboard(), nullptr);
    EXPECT_TRUE(handler->isNodeHidden());
    EXPECT_EQ(node->getParent(), mParent);
    node->_update(true, true);
    EXPECT_TRUE(node->_getDerivedPosition().positionEquals(Vector3(1270, 0, -150), 1e-3f))
        << "what is measured from the node sees it where it stands";
    EXPECT_TRUE(handler->getBillboard()->getPosition().positionEquals(Vector3(1270, 0, -150), 0.5f));
}

TEST_F(ImpostorDecision, NodeThatGetsSomethingToDrawLaterBecomesAnImpostorOfAllOfIt)
{
    // Registered before it shows anything, as a mesh object is before its
    // level of detail brings its entities.
    Ogre::SceneNode* node = mParent->createChildSceneNode("Later", Vector3(0, 0, -150));
    Ogre::UniqueImpostorHandler* handler = addHandler(node);
    placeCamera(Vector3::ZERO, Vector3(0, 0, -150));
    mManager->update(mCamera);
    EXPECT_EQ(handler->getBillboard(), nullptr);

    Ogre::SceneNode* box = makeBox("LaterBox", Vector3::ZERO, 10, kRed, kRed);
    mParent->removeChild(box);
    node->addChild(box);
    mManager->update(mCamera);
    ASSERT_NE(handler->getBillboard(), nullptr);
    EXPECT_TRUE(hidden(node));

    // What comes under the hidden node is hidden once the handler is told.
    Ogre::Entity* more = mScene->createEntity("LaterMore", "LaterBoxMesh", "General");
    box->attachObject(more);
    handler->invalidateBounds();
    mManager->update(mCamera);
    EXPECT_TRUE(hidden(node));

    placeCamera(Vector3(0, 0, -90), Vector3(0, 0, -150));
    mManager->update(mCamera);
    EXPECT_EQ(handler->getBillboard(), nullptr);
    EXPECT_EQ(more->getRenderQueueGroup(), Ogre::RENDER_QUEUE_MAIN);
    EXPECT_EQ(box->getAttachedObject(0)->getRenderQueueGroup(), Ogre::RENDER_QUEUE_MAIN);
}
