#include "Line3D.h"

#include "TestEngine.h"

#include <OgreCamera.h>
#include <OgreHardwareBuffer.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <gtest/gtest.h>

using namespace Wren;

namespace
{
    /** The positions in the line's vertex buffer. */
    std::vector<Ogre::Vector3> bufferOf(Line3D& line)
    {
        Ogre::RenderOperation op;
        line.getRenderOperation(op);
        const Ogre::HardwareVertexBufferSharedPtr& buffer = op.vertexData->vertexBufferBinding->getBuffer(0);
        std::vector<Ogre::Vector3> out(op.vertexData->vertexCount);
        buffer->readData(0, out.size() * sizeof(Ogre::Vector3), out.data());
        return out;
    }

    typedef std::vector<Ogre::Vector3> Points;
}

TEST(Line3D, FillsItsBufferOnceAndMovesOnlyThroughUpdateLine)
{
    Wren::Test::TestEngine::instance();
    const Ogre::Vector3 a(-1, 0, 0), b(3, 0, 0), c(0, 2, 0), d(0, 5, 1);
    Line3D line(2);
    Ogre::RenderOperation op;
    line.getRenderOperation(op);
    EXPECT_EQ(op.operationType, Ogre::RenderOperation::OT_LINE_STRIP);
    EXPECT_FALSE(op.useIndexes);
    EXPECT_EQ(line.getMaterial()->getName(), "BaseWhiteNoLighting");

    line.drawLine(a, b);
    EXPECT_TRUE(line.isDrawn());
    EXPECT_EQ(bufferOf(line), Points({a, b}));
    EXPECT_EQ(line.getBoundingBox(), Ogre::AxisAlignedBox(a, b));
    EXPECT_FLOAT_EQ(line.getBoundingRadius(), 3);
    Ogre::Camera* camera = Wren::Test::TestEngine::instance().getSceneManager()->createCamera("LineCam");
    Ogre::SceneNode* node = camera->getSceneManager()->getRootSceneNode()->createChildSceneNode(
        Ogre::Vector3(1, 0, 4));
    node->attachObject(camera);
    EXPECT_FLOAT_EQ(line.getSquaredViewDepth(camera), 16);

    // A second drawLine keeps its points but not its shape.
    line.drawLine(c, d);
    EXPECT_EQ(line.getPoint(1), d);
    EXPECT_EQ(bufferOf(line), Points({a, b}));
    const Ogre::Vector3 moved[] = {c, d};
    line.updateLine(moved);
    EXPECT_EQ(bufferOf(line), Points({c, d}));
    EXPECT_EQ(line.getBoundingBox(), Ogre::AxisAlignedBox(Ogre::Vector3(0, 2, 0), d));
    line.updatePoint(0, b);
    EXPECT_EQ(line.getPoint(0), b);
    EXPECT_EQ(bufferOf(line), Points({c, d}));
    Wren::Test::TestEngine::instance().clearScene();
}

TEST(Line3D, RefusesTooFewPointsAndIndicesPastThem)
{
    Wren::Test::TestEngine::instance();
    Wren::Test::LogCapture log;
    Line3D strip(3);
    strip.drawLines();
    EXPECT_FALSE(strip.isDrawn());
    strip.addPoint(Ogre::Vector3(1, 1, 1));
    strip.addPoint(Ogre::Vector3(2, 2, 2));
    strip.drawLines();
    EXPECT_FALSE(strip.isDrawn());
    EXPECT_TRUE(log.contains("drawing needs 3 points but 2 are stored"));
    EXPECT_TRUE(strip.getBoundingBox().isNull());

    strip.addPoint(Ogre::Vector3(3, 0, 3));
    strip.drawLines();
    ASSERT_TRUE(strip.isDrawn());
    const Points drawn = bufferOf(strip);
    strip.updateLine(Points{Ogre::Vector3::ZERO, Ogre::Vector3::UNIT_X});
    EXPECT_TRUE(log.contains("an update needs 3 points but 2 are given"));
    EXPECT_EQ(bufferOf(strip), drawn);

    EXPECT_THROW(strip.getPoint(3), Ogre::InvalidParametersException);
    EXPECT_THROW(strip.updatePoint(7, Ogre::Vector3::ZERO), Ogre::InvalidParametersException);
    EXPECT_THROW(Line3D(0), Ogre::InvalidParametersException);
}
