#include "CollisionMath.h"

#include <OgreQuaternion.h>

#include <gtest/gtest.h>

using namespace Wren;
using namespace Wren::CollisionMath;

namespace
{
    const Ogre::Vector3 A(0, 0, 0), B(1, 0, 0), C(0, 1, 0);

    PlacedBox unitBoxAt(const Ogre::Vector3& position, const Ogre::Quaternion& orientation,
                        const Ogre::Vector3& scale = Ogre::Vector3::UNIT_SCALE)
    {
        Ogre::Matrix4 m;
        m.makeTransform(position, scale, orientation);
        return placeBox(Ogre::AxisAlignedBox(-1, -1, -1, 1, 1, 1), m);
    }
}

TEST(RayTriangle, HitInsideEdgeAndCorner)
{
    Ogre::Real t = -1;
    EXPECT_TRUE(intersectRayTriangle(Ogre::Vector3(0.25f, 0.25f, 5), Ogre::Vector3(0, 0, -1), A, B,
                                     C, t));
    EXPECT_FLOAT_EQ(t, 5.0f);
    EXPECT_TRUE(intersectRayTriangle(Ogre::Vector3(0.5f, 0.5f, 1), Ogre::Vector3(0, 0, -2), A, B,
                                     C, t));
    EXPECT_FLOAT_EQ(t, 0.5f);
    EXPECT_TRUE(intersectRayTriangle(Ogre::Vector3(0, 0, -1), Ogre::Vector3(0, 0, 1), A, B, C, t));
}

TEST(RayTriangle, BehindParallelOutsideAndDegenerateMiss)
{
    Ogre::Real t = 42;
    EXPECT_FALSE(intersectRayTriangle(Ogre::Vector3(0.2f, 0.2f, 5), Ogre::Vector3(0, 0, 1), A, B,
                                      C, t));
    EXPECT_FALSE(intersectRayTriangle(Ogre::Vector3(-1, 0.2f, 0), Ogre::Vector3(1, 0, 0), A, B,
                                      C, t));
    EXPECT_FALSE(intersectRayTriangle(Ogre::Vector3(0.6f, 0.6f, 5), Ogre::Vector3(0, 0, -1), A, B,
                                      C, t));
    EXPECT_FALSE(intersectRayTriangle(Ogre::Vector3(0.5f, 0, 5), Ogre::Vector3(0, 0, -1), A, B,
                                      Ogre::Vector3(2, 0, 0), t));
    EXPECT_FALSE(intersectRayTriangle(Ogre::Vector3(0.2f, 0.2f, 5), Ogre::Vector3::ZERO, A, B, C,
                                      t));
    EXPECT_EQ(t, 42);
}

TEST(RayTriangle, OriginOnTheTriangleHitsAtZero)
{
    Ogre::Real t = -1;
    EXPECT_TRUE(intersectRayTriangle(Ogre::Vector3(0.2f, 0.2f, 0), Ogre::Vector3(0, 0, 1), A, B,
                                     C, t));
    EXPECT_FLOAT_EQ(t, 0.0f);
}

TEST(PlacedBoxOverlap, AxisAlignedBoxesTouchingOrApart)
{
    const Ogre::Quaternion none = Ogre::Quaternion::IDENTITY;
    EXPECT_TRUE(placedBoxesOverlap(unitBoxAt(Ogre::Vector3::ZERO, none),
                                   unitBoxAt(Ogre::Vector3(2, 0, 0), none)));
    EXPECT_FALSE(placedBoxesOverlap(unitBoxAt(Ogre::Vector3::ZERO, none),
                                    unitBoxAt(Ogre::Vector3(2.01f, 0, 0), none)));
    EXPECT_TRUE(placedBoxesOverlap(unitBoxAt(Ogre::Vector3::ZERO, none),
                                   unitBoxAt(Ogre::Vector3(0.2f, 0.1f, 0), none,
                                             Ogre::Vector3(0.1f, 0.1f, 0.1f))));
}

TEST(PlacedBoxOverlap, EdgeAgainstEdgeNeedsTheCrossAxes)
{
    // Two boxes turned about different axes, set so that only an
    // edge-by-edge axis separates them.
    const Ogre::Quaternion aboutX(Ogre::Degree(45), Ogre::Vector3::UNIT_X);
    const Ogre::Quaternion aboutZ(Ogre::Degree(45), Ogre::Vector3::UNIT_Z);
    const float s = std::sqrt(2.0f);
    const PlacedBox a = unitBoxAt(Ogre::Vector3::ZERO, aboutX);
    EXPECT_FALSE(placedBoxesOverlap(a, unitBoxAt(Ogre::Vector3(0, 2 * s + 0.05f, 0), aboutZ)));
    EXPECT_TRUE(placedBoxesOverlap(a, unitBoxAt(Ogre::Vector3(0, 2 * s - 0.05f, 0), aboutZ)));
}

TEST(PlacedBoxOverlap, FlatAndThinBoxesStillSeparate)
{
    Ogre::Matrix4 identity = Ogre::Matrix4::IDENTITY;
    const PlacedBox floor = placeBox(Ogre::AxisAlignedBox(-5, 0, -5, 5, 0, 5), identity);
    EXPECT_FALSE(placedBoxesOverlap(floor, unitBoxAt(Ogre::Vector3(0, 1.5f, 0),
                                                     Ogre::Quaternion::IDENTITY)));
    EXPECT_TRUE(placedBoxesOverlap(floor, unitBoxAt(Ogre::Vector3(0, 0.5f, 0),
                                                    Ogre::Quaternion::IDENTITY)));
    const PlacedBox stick = placeBox(Ogre::AxisAlignedBox(0, 3, 0, 0, 4, 0), identity);
    EXPECT_FALSE(placedBoxesOverlap(stick, floor));
    const PlacedBox point = placeBox(Ogre::AxisAlignedBox(2, 2, 2, 2, 2, 2), identity);
    EXPECT_FALSE(placedBoxesOverlap(point, unitBoxAt(Ogre::Vector3::ZERO,
                                                     Ogre::Quaternion::IDENTITY)));
}

TEST(PlacedBoxBounds, TurnedBoxReachesItsCorners)
{
    const Ogre::AxisAlignedBox bounds = boundsOf(unitBoxAt(
        Ogre::Vector3(5, 0, 0), Ogre::Quaternion(Ogre::Degree(45), Ogre::Vector3::UNIT_Y)));
    const float s = std::sqrt(2.0f);
    EXPECT_TRUE(bounds.getMinimum().positionEquals(Ogre::Vector3(5 - s, -1, -s), 1e-4f));
    EXPECT_TRUE(bounds.getMaximum().positionEquals(Ogre::Vector3(5 + s, 1, s), 1e-4f));
}

TEST(PlacedBoxBounds, NullBoxSitsAtTheTransformedOrigin)
{
    Ogre::Matrix4 m;
    m.makeTransform(Ogre::Vector3(1, 2, 3), Ogre::Vector3::UNIT_SCALE, Ogre::Quaternion::IDENTITY);
    const PlacedBox placed = placeBox(Ogre::AxisAlignedBox(), m);
    EXPECT_EQ(placed.centre, Ogre::Vector3(1, 2, 3));
    EXPECT_EQ(placed.halfEdges[0], Ogre::Vector3::ZERO);
}

TEST(OverlapCentre, SharedRegionOrMidpoint)
{
    EXPECT_EQ(overlapCentre(Ogre::AxisAlignedBox(0, 0, 0, 2, 2, 2),
                            Ogre::AxisAlignedBox(1, 1, 1, 4, 4, 4)),
              Ogre::Vector3(1.5f, 1.5f, 1.5f));
    EXPECT_EQ(overlapCentre(Ogre::AxisAlignedBox(0, 0, 0, 1, 1, 1),
                            Ogre::AxisAlignedBox(3, 0, 0, 4, 1, 1)),
              Ogre::Vector3(2, 0.5f, 0.5f));
}

TEST(ShapeKey, DiffersByScale)
{
    EXPECT_EQ(shapeKey("a.mesh", Ogre::Vector3::UNIT_SCALE), shapeKey("a.mesh", Ogre::Vector3(1, 1, 1)));
    EXPECT_NE(shapeKey("a.mesh", Ogre::Vector3::UNIT_SCALE), shapeKey("a.mesh", Ogre::Vector3(1, 2, 1)));
    EXPECT_NE(shapeKey("a.mesh", Ogre::Vector3::UNIT_SCALE), shapeKey("b.mesh", Ogre::Vector3::UNIT_SCALE));
}
