#include "ImpostorScene.h"

#include "ImpostorMath.h"
#include "QuadTreeTextureSpace.h"
#include "UniqueImpostorSet.h"

#include <OgreBillboard.h>
#include <OgreBillboardSet.h>

using Wren::Test::ImpostorScene;
using Ogre::ColourValue;
using Ogre::Vector3;

namespace
{
    const ColourValue kRed(1, 0, 0, 1);
    const ColourValue kGreen(0, 1, 0, 1);
    const ColourValue kBlue(0, 0, 1, 1);
    const ColourValue kCleared(0, 0, 0, 0);
    const ColourValue kScreenBackground(0, 0, 0, 1);

    typedef ImpostorScene ImpostorCapture;
}

TEST_F(ImpostorCapture, RegionHoldsTheMeshWhereItIsAndTheClearedColourElsewhere)
{
    Ogre::UniqueImpostorHandler* handler = showBoxAhead(150, 10, kRed, kGreen);
    Ogre::SceneNode* node = handler->getNode();

    ASSERT_NE(handler->getBillboard(), nullptr);
    ASSERT_NE(handler->getRegion(), nullptr);
    EXPECT_EQ(handler->getCurrentTextureSize(), 256); // 22 pixels on screen, scale 7
    EXPECT_TRUE(hidden(node)) << "the node itself is not drawn";

    const Ogre::QuadTreeTextureSpace* region = handler->getRegion();
    const Ogre::Image picture = readTexture(handler->getSet()->getTexture());
    const size_t x = static_cast<size_t>(region->getX());
    const size_t y = static_cast<size_t>(region->getY());
    const size_t t = region->getSize();
    // The box fills 10 / 17.3 of the sphere the region shows: texels 54 to
    // 202 of 256, red above its middle, green below.
    EXPECT_TRUE(near(picture.getColourAt(x + t / 2, y + 80, 0), kRed));
    EXPECT_TRUE(near(picture.getColourAt(x + t / 2, y + 180, 0), kGreen));
    EXPECT_TRUE(near(picture.getColourAt(x + 70, y + t / 2 - 10, 0), kRed));
    for (size_t corner : {size_t(4), t - 5})
    {
        EXPECT_TRUE(near(picture.getColourAt(x + corner, y + 4, 0), kCleared));
        EXPECT_TRUE(near(picture.getColourAt(x + corner, y + t - 5, 0), kCleared));
    }
    EXPECT_TRUE(near(picture.getColourAt(x + 30, y + t / 2, 0), kCleared));
}

TEST_F(ImpostorCapture, BillboardShowsTheRegionWhereTheNodeWas)
{
    Ogre::UniqueImpostorHandler* handler = showBoxAhead(150, 10, kRed, kGreen);

    Ogre::Billboard* billboard = handler->getBillboard();
    ASSERT_NE(billboard, nullptr);
    const Ogre::QuadTreeTextureSpace* region = handler->getRegion();
    const Ogre::FloatRect expected = Ogre::ImpostorMath::regionTexcoords(
        region->getX(), region->getY(), region->getSize(), handler->getSet()->getTextureSize());
    const Ogre::FloatRect& coords = billboard->getTexcoordRect();
    EXPECT_FLOAT_EQ(coords.left, expected.left);
    EXPECT_FLOAT_EQ(coords.top, expected.top);
    EXPECT_FLOAT_EQ(coords.right, expected.right);
    EXPECT_FLOAT_EQ(coords.bottom, expected.bottom);
    EXPECT_TRUE(billboard->getPosition().positionEquals(Vector3(0, 0, -150), 1e-3f));
    // The mesh's bounds are padded a little beyond the box of half size 10.
    EXPECT_NEAR(handler->getBoundingRadius(), Ogre::Math::Sqrt(300), 0.5f);
    EXPECT_FLOAT_EQ(billboard->getOwnWidth(), 2 * handler->getBoundingRadius());
    EXPECT_FLOAT_EQ(billboard->getOwnHeight(), 2 * handler->getBoundingRadius());

    // On screen the billboard (the node is hidden) shows the box:
    // red above the middle, green below, the rejected background around it.
    const Ogre::Image screen = renderScreen();
    EXPECT_TRUE(near(screen.getColourAt(64, 58, 0), kRed));
    EXPECT_TRUE(near(screen.getColourAt(64, 70, 0), kGreen));
    EXPECT_TRUE(near(screen.getColourAt(64, 49, 0), kScreenBackground));
    EXPECT_TRUE(near(screen.getColourAt(10, 10, 0), kScreenBackground));
}

TEST_F(ImpostorCapture, ObjectShownAgainIsDrawnInItsOwnRenderQueue)
{
    Ogre::SceneNode* node = makeBox("Box", Vector3(0, 0, -150), 10, kRed, kGreen);
    Ogre::Entity* entity = static_cast<Ogre::Entity*>(node->getAttachedObject(0));
    entity->setRenderQueueGroup(Ogre::RENDER_QUEUE_6);
    Ogre::UniqueImpostorHandler* handler = addHandler(node);
    placeCamera(Vector3::ZERO, Vector3(0, 0, -150));
    mManager->update(mCamera);
    ASSERT_EQ(handler->getCaptureCount(), 1u);
    EXPECT_TRUE(hidden(node)) << "the capture borrowed the impostor queue only while it drew";

    placeCamera(Vector3(0, 0, -90), Vector3(0, 0, -150));
    mManager->update(mCamera);
    EXPECT_TRUE(shown(node));
    EXPECT_EQ(handler->getBillboard(), nullptr);
    EXPECT_EQ(handler->getRegion(), nullptr);
    EXPECT_EQ(entity->getRenderQueueGroup(), Ogre::RENDER_QUEUE_6);

    // Drawn for real: had it stayed in the impostor queue, normal rendering
    // would leave it out and the screen would be black.
    const Ogre::Image screen = renderScreen();
    EXPECT_TRUE(near(screen.getColourAt(64, 40, 0), kRed));
    EXPECT_TRUE(near(screen.getColourAt(64, 88, 0), kGreen));
}

TEST_F(ImpostorCapture, TwoImpostorsKeepTheirOwnPicturesInOneTexture)
{
    Ogre::UniqueImpostorHandler* red = addHandler(makeBox("RedBox", Vector3(-40, 0, -150), 10, kRed, kRed));
    Ogre::UniqueImpostorHandler* blue =
        addHandler(makeBox("BlueBox", Vector3(40, 0, -150), 10, kBlue, kBlue));
    placeCamera(Vector3::ZERO, Vector3(0, 0, -150));
    mManager->update(mCamera);

    ASSERT_NE(red->getRegion(), nullptr);
    ASSERT_NE(blue->getRegion(), nullptr);
    ASSERT_EQ(red->getSet(), blue->getSet());
    EXPECT_EQ(mManager->getSetsInUse().size(), 1u);
    const Ogre::Image picture = readTexture(red->getSet()->getTexture());
    for (auto [handler, colour] : {std::make_pair(red, kRed), std::make_pair(blue, kBlue)})
    {
        const Ogre::QuadTreeTextureSpace* region = handler->getRegion();
        const size_t middle = region->getSize() / 2;
        EXPECT_TRUE(near(picture.getColourAt(region->getX() + middle, region->getY() + middle, 0), colour))
            << handler->getName() << ": capturing one region must not clear another";
        EXPECT_TRUE(near(picture.getColourAt(region->getX() + 2, region->getY() + 2, 0), kCleared));
    }
}

TEST_F(ImpostorCapture, PictureIsRedrawnWhenTheViewTurnsNotWhenItBarelyMoves)
{
    Ogre::UniqueImpostorHandler* handler = showBoxAhead(150, 10, kRed, kGreen);
    ASSERT_EQ(handler->getCaptureCount(), 1u);

    placeCamera(Vector3(0.5f, 0, 0), Vector3(0, 0, -150));
    mManager->update(mCamera);
    EXPECT_EQ(handler->getCaptureCount(), 1u);

    // Round the box by 30 degrees at the same distance.
    const Vector3 orbit = Vector3(0, 0, -150) +
                          Ogre::Quaternion(Ogre::Degree(30), Vector3::UNIT_Y) * Vector3(0, 0, 150);
    placeCamera(orbit, Vector3(0, 0, -150));
    mManager->update(mCamera);
    EXPECT_EQ(handler->getCaptureCount(), 2u);
    EXPECT_EQ(handler->getCurrentTextureSize(), 256);
}
