#include "CollisionGameSystemFactory.h"
#include "GameSystemManager.h"
#include "MeshCollisionGameSystem.h"
#include "MeshCollisionShape.h"

#include "TestEngine.h"

#include <OgreManualObject.h>
#include <OgreMeshManager.h>

#include <gtest/gtest.h>

using namespace Wren;

namespace
{
    const float EPS = 1e-4f;

    /** The cube from (-1, -1, -1) to (1, 1, 1) as a mesh of 12 triangles. */
    void makeUnitCube(const std::string& name)
    {
        if (Ogre::MeshManager::getSingleton().resourceExists(name, "General"))
            return;
        Ogre::ManualObject cube("cube builder");
        cube.begin("BaseWhite", Ogre::RenderOperation::OT_TRIANGLE_LIST, "General");
        for (int i = 0; i < 8; ++i)
            cube.position(i & 1 ? 1.0f : -1.0f, i & 2 ? 1.0f : -1.0f, i & 4 ? 1.0f : -1.0f);
        const int faces[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                 {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
        for (const auto& f : faces)
        {
            cube.triangle(f[0], f[1], f[2]);
            cube.triangle(f[0], f[2], f[3]);
        }
        cube.end();
        cube.convertToMesh(name, "General");
    }

    /** A 10 x 10 plane through the origin facing +Y. */
    void makeFloor(const std::string& name)
    {
        if (Ogre::MeshManager::getSingleton().resourceExists(name, "General"))
            return;
        Ogre::MeshManager::getSingleton().createPlane(name, "General",
                                                      Ogre::Plane(Ogre::Vector3::UNIT_Y, 0), 10,
                                                      10, 4, 4, true, 1, 1, 1,
                                                      Ogre::Vector3::UNIT_Z);
    }

    Ogre::Matrix4 placed(const Ogre::Vector3& position, const Ogre::Vector3& scale,
                         const Ogre::Quaternion& orientation)
    {
        Ogre::Matrix4 m;
        m.makeTransform(position, scale, orientation);
        return m;
    }

    class MeshCollision : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            Wren::Test::TestEngine::instance();
            makeUnitCube("CollisionCube");
            makeFloor("CollisionFloor");
            mCube = mSystem.createCollisionShape("CollisionCube", Ogre::Vector3::UNIT_SCALE);
            mFloor = mSystem.createCollisionShape("CollisionFloor", Ogre::Vector3::UNIT_SCALE);
        }

        MeshCollisionGameSystem mSystem;
        CollisionShapePtr mCube;
        CollisionShapePtr mFloor;
        const Ogre::Matrix4 mIdentity = Ogre::Matrix4::IDENTITY;
    };
}

TEST_F(MeshCollision, ShapeHoldsEveryTriangleOfTheMesh)
{
    ASSERT_TRUE(mCube);
    EXPECT_EQ(mCube->GetLoadingState(), Ogre::Resource::LOADSTATE_LOADED);
    const MeshCollisionShape* cube = dynamic_cast<MeshCollisionShape*>(mCube.get());
    ASSERT_NE(cube, nullptr);
    EXPECT_EQ(cube->getTriangleCount(), 12u);
    EXPECT_EQ(mSystem.getCollisionShapeBounds(mCube),
              Ogre::AxisAlignedBox(-1, -1, -1, 1, 1, 1));
    // 4 x 4 segments, two triangles each.
    EXPECT_EQ(dynamic_cast<MeshCollisionShape*>(mFloor.get())->getTriangleCount(), 32u);
}

TEST_F(MeshCollision, RayReportsTheNearestFaceWithItsNormalAndDistance)
{
    CollisionInfo info;
    info.object = reinterpret_cast<CoreGameObject*>(0x8); // left from an earlier hit
    const Ogre::Ray ray(Ogre::Vector3(0.25f, 0.5f, 10), Ogre::Vector3::NEGATIVE_UNIT_Z);
    ASSERT_TRUE(mSystem.collideRay(mCube, mIdentity, ray, info));
    EXPECT_TRUE(info.point.positionEquals(Ogre::Vector3(0.25f, 0.5f, 1), EPS));
    EXPECT_TRUE(info.normal.positionEquals(Ogre::Vector3::UNIT_Z, EPS));
    EXPECT_NEAR(info.distance, 9.0f, EPS);
    EXPECT_EQ(info.object, nullptr);
}

TEST_F(MeshCollision, MissLeavesTheInfoAsItWas)
{
    CollisionInfo info;
    info.point = Ogre::Vector3(7, 7, 7);
    const Ogre::Ray beside(Ogre::Vector3(1.5f, 0, 10), Ogre::Vector3::NEGATIVE_UNIT_Z);
    EXPECT_FALSE(mSystem.collideRay(mCube, mIdentity, beside, info));
    const Ogre::Ray away(Ogre::Vector3(0, 0, 10), Ogre::Vector3::UNIT_Z);
    EXPECT_FALSE(mSystem.collideRay(mCube, mIdentity, away, info));
    EXPECT_EQ(info.point, Ogre::Vector3(7, 7, 7));
}

TEST_F(MeshCollision, RayFromInsideHitsTheFarWallFacingBack)
{
    CollisionInfo info;
    const Ogre::Ray out(Ogre::Vector3(0.5f, 0, 0), Ogre::Vector3::UNIT_X);
    ASSERT_TRUE(mSystem.collideRay(mCube, mIdentity, out, info));
    EXPECT_TRUE(info.point.positionEquals(Ogre::Vector3(1, 0, 0), EPS));
    EXPECT_NEAR(info.distance, 0.5f, EPS);
    EXPECT_TRUE(info.normal.positionEquals(Ogre::Vector3::NEGATIVE_UNIT_X, EPS));
}

TEST_F(MeshCollision, ScaledAndRotatedTransformMovesTheHit)
{
    // Stretched to x in [-2, 2], turned 90 degrees about Y (local +X points
    // to world -Z) and moved to (10, 0, 0): the world box is x in [9, 11],
    // y in [-1, 1], z in [-2, 2].
    const Ogre::Matrix4 transform =
        placed(Ogre::Vector3(10, 0, 0), Ogre::Vector3(2, 1, 1),
               Ogre::Quaternion(Ogre::Degree(90), Ogre::Vector3::UNIT_Y));
    CollisionInfo info;
    const Ogre::Ray fromFront(Ogre::Vector3(10, 0, 10), Ogre::Vector3::NEGATIVE_UNIT_Z);
    ASSERT_TRUE(mSystem.collideRay(mCube, transform, fromFront, info));
    EXPECT_TRUE(info.point.positionEquals(Ogre::Vector3(10, 0, 2), EPS));
    EXPECT_TRUE(info.normal.positionEquals(Ogre::Vector3::UNIT_Z, EPS));

    const Ogre::Ray fromSide(Ogre::Vector3(20, 0.5f, 1.5f), Ogre::Vector3::NEGATIVE_UNIT_X);
    ASSERT_TRUE(mSystem.collideRay(mCube, transform, fromSide, info));
    EXPECT_TRUE(info.point.positionEquals(Ogre::Vector3(11, 0.5f, 1.5f), EPS));
    EXPECT_NEAR(info.distance, 9.0f, EPS);

    // Outside the turned box, though inside the unturned one.
    const Ogre::Ray pastTheEnd(Ogre::Vector3(11.5f, 0, 10), Ogre::Vector3::NEGATIVE_UNIT_Z);
    EXPECT_FALSE(mSystem.collideRay(mCube, transform, pastTheEnd, info));
}

TEST_F(MeshCollision, UnnormalisedDirectionStillGivesTheWorldPoint)
{
    CollisionInfo info;
    const Ogre::Ray ray(Ogre::Vector3(0, 10, 0), Ogre::Vector3(0, -4, 0));
    ASSERT_TRUE(mSystem.collideRay(mCube, mIdentity, ray, info));
    EXPECT_TRUE(info.point.positionEquals(Ogre::Vector3(0, 1, 0), EPS));
    EXPECT_NEAR(info.distance, 2.25f, EPS); // in units of the direction
}

TEST_F(MeshCollision, PlaneIsHitFromEitherSideWithinItsExtent)
{
    CollisionInfo info;
    ASSERT_TRUE(mSystem.collideRay(mFloor, mIdentity,
                                   Ogre::Ray(Ogre::Vector3(1, 5, -2), Ogre::Vector3(0, -1, 0)),
                                   info));
    EXPECT_TRUE(info.point.positionEquals(Ogre::Vector3(1, 0, -2), EPS));
    EXPECT_TRUE(info.normal.positionEquals(Ogre::Vector3::UNIT_Y, EPS));
    ASSERT_TRUE(mSystem.collideRay(mFloor, mIdentity,
                                   Ogre::Ray(Ogre::Vector3(1, -5, -2), Ogre::Vector3::UNIT_Y),
                                   info));
    EXPECT_TRUE(info.normal.positionEquals(Ogre::Vector3::NEGATIVE_UNIT_Y, EPS));
    EXPECT_FALSE(mSystem.collideRay(mFloor, mIdentity,
                                    Ogre::Ray(Ogre::Vector3(6, 5, 0), Ogre::Vector3(0, -1, 0)),
                                    info));
    EXPECT_FALSE(mSystem.collideRay(mFloor, mIdentity,
                                    Ogre::Ray(Ogre::Vector3(-20, 1, 0), Ogre::Vector3::UNIT_X),
                                    info));
}

TEST_F(MeshCollision, TiltedPlaneIsHitWhereTheTiltPutsIt)
{
    // Tilted 45 degrees about Z and lifted by 2: the plane y = x + 2.
    const Ogre::Matrix4 transform =
        placed(Ogre::Vector3(0, 2, 0), Ogre::Vector3::UNIT_SCALE,
               Ogre::Quaternion(Ogre::Degree(45), Ogre::Vector3::UNIT_Z));
    CollisionInfo info;
    ASSERT_TRUE(mSystem.collideRay(mFloor, transform,
                                   Ogre::Ray(Ogre::Vector3(1, 10, 0), Ogre::Vector3(0, -1, 0)),
                                   info));
    EXPECT_TRUE(info.point.positionEquals(Ogre::Vector3(1, 3, 0), EPS));
    const float h = std::sqrt(0.5f);
    EXPECT_TRUE(info.normal.positionEquals(Ogre::Vector3(-h, h, 0), EPS));
}

TEST_F(MeshCollision, FlatteningTransformGivesNoHit)
{
    const Ogre::Matrix4 flat =
        placed(Ogre::Vector3::ZERO, Ogre::Vector3(1, 0, 1), Ogre::Quaternion::IDENTITY);
    CollisionInfo info;
    EXPECT_FALSE(mSystem.collideRay(mCube, flat,
                                    Ogre::Ray(Ogre::Vector3(0, 5, 0), Ogre::Vector3(0, -1, 0)),
                                    info));
    std::vector<CollisionInfo> infos;
    EXPECT_FALSE(mSystem.collideShapes(mCube, flat, mCube, mIdentity, infos));
    EXPECT_TRUE(infos.empty());
}

TEST_F(MeshCollision, ShapesAreCachedByNameAndScale)
{
    EXPECT_EQ(mSystem.createCollisionShape("CollisionCube", Ogre::Vector3::UNIT_SCALE), mCube);
    CollisionShapePtr big = mSystem.createCollisionShape("CollisionCube", Ogre::Vector3(3, 3, 3));
    EXPECT_NE(big, mCube);
    EXPECT_EQ(mSystem.getCollisionShapeCount(), 3u);
    CollisionInfo info;
    ASSERT_TRUE(mSystem.collideRay(big, mIdentity,
                                   Ogre::Ray(Ogre::Vector3(0, 0, 10), Ogre::Vector3::NEGATIVE_UNIT_Z),
                                   info));
    EXPECT_TRUE(info.point.positionEquals(Ogre::Vector3(0, 0, 3), EPS));
    EXPECT_FALSE(mSystem.createCollisionShape("", Ogre::Vector3::UNIT_SCALE));
}

TEST_F(MeshCollision, MissingMeshGivesOneBadShapeAndOneLogLine)
{
    Wren::Test::LogCapture log;
    CollisionShapePtr missing =
        mSystem.createCollisionShape("NoSuchCollision.mesh", Ogre::Vector3::UNIT_SCALE);
    ASSERT_TRUE(missing);
    EXPECT_TRUE(missing->isBadResource());
    EXPECT_NE(missing->GetLoadingState(), Ogre::Resource::LOADSTATE_LOADED);
    size_t lines = 0;
    for (const std::string& line : log.lines())
        lines += line.find("NoSuchCollision.mesh cannot be loaded") != std::string::npos;
    EXPECT_EQ(lines, 1u);
    EXPECT_EQ(mSystem.createCollisionShape("NoSuchCollision.mesh", Ogre::Vector3::UNIT_SCALE),
              missing);
    CollisionInfo info;
    EXPECT_FALSE(mSystem.collideRay(missing, mIdentity,
                                    Ogre::Ray(Ogre::Vector3::ZERO, Ogre::Vector3::UNIT_X), info));
    EXPECT_TRUE(mSystem.getCollisionShapeBounds(missing).isNull());
}

TEST_F(MeshCollision, ShapeFromAHeldMeshIsLoadedAndNotCached)
{
    Ogre::MeshPtr mesh = Ogre::MeshManager::getSingleton().getByName("CollisionCube", "General");
    CollisionShapePtr shape = mSystem.createCollisionShapeFromMesh(mesh, Ogre::Vector3(1, 2, 1));
    ASSERT_TRUE(shape);
    EXPECT_EQ(mSystem.getCollisionShapeBounds(shape), Ogre::AxisAlignedBox(-1, -2, -1, 1, 2, 1));
    EXPECT_EQ(mSystem.getCollisionShapeCount(), 2u);
    EXPECT_FALSE(mSystem.createCollisionShapeFromMesh(Ogre::MeshPtr(), Ogre::Vector3::UNIT_SCALE));
}

TEST_F(MeshCollision, TurnedBoxesWhoseBoundsOverlapDoNotCollide)
{
    // B is turned 45 degrees about Y; its world bounds reach into A's, its
    // faces do not.
    const Ogre::Matrix4 turned =
        placed(Ogre::Vector3(2.2f, 0, 2.2f), Ogre::Vector3::UNIT_SCALE,
               Ogre::Quaternion(Ogre::Degree(45), Ogre::Vector3::UNIT_Y));
    std::vector<CollisionInfo> infos;
    EXPECT_FALSE(mSystem.collideShapes(mCube, mIdentity, mCube, turned, infos));
    EXPECT_TRUE(infos.empty());

    const Ogre::Matrix4 closer =
        placed(Ogre::Vector3(2.3f, 0, 0), Ogre::Vector3::UNIT_SCALE,
               Ogre::Quaternion(Ogre::Degree(45), Ogre::Vector3::UNIT_Y));
    EXPECT_TRUE(mSystem.collideShapes(mCube, mIdentity, mCube, closer, infos));
    EXPECT_EQ(infos.size(), 1u);
}

TEST_F(MeshCollision, OverlapReportsTheCentreOfTheSharedBounds)
{
    std::vector<CollisionInfo> infos(1);
    const Ogre::Matrix4 beside =
        placed(Ogre::Vector3(1.5f, 0, 0), Ogre::Vector3::UNIT_SCALE, Ogre::Quaternion::IDENTITY);
    ASSERT_TRUE(mSystem.collideShapes(mCube, mIdentity, mCube, beside, infos));
    ASSERT_EQ(infos.size(), 2u); // appended after what was there
    EXPECT_TRUE(infos[1].point.positionEquals(Ogre::Vector3(0.75f, 0, 0), EPS));

    const Ogre::Matrix4 apart =
        placed(Ogre::Vector3(2.5f, 0, 0), Ogre::Vector3::UNIT_SCALE, Ogre::Quaternion::IDENTITY);
    EXPECT_FALSE(mSystem.collideShapes(mCube, mIdentity, mCube, apart, infos));
    EXPECT_EQ(infos.size(), 2u);
}

TEST_F(MeshCollision, ScaledPlaneTouchesABoxAboveItOnlyWhenLowered)
{
    const Ogre::Matrix4 raised =
        placed(Ogre::Vector3(0, 1.5f, 0), Ogre::Vector3::UNIT_SCALE, Ogre::Quaternion::IDENTITY);
    std::vector<CollisionInfo> infos;
    EXPECT_FALSE(mSystem.collideShapes(mFloor, mIdentity, mCube, raised, infos));
    const Ogre::Matrix4 resting =
        placed(Ogre::Vector3(4.5f, 0.5f, 0), Ogre::Vector3::UNIT_SCALE, Ogre::Quaternion::IDENTITY);
    EXPECT_TRUE(mSystem.collideShapes(mFloor, mIdentity, mCube, resting, infos));
}

TEST_F(MeshCollision, ShapeAgainstAWorldBox)
{
    std::vector<CollisionInfo> infos;
    EXPECT_TRUE(mSystem.collideBox(mCube, mIdentity, Ogre::AxisAlignedBox(0.5f, 0.5f, 0.5f, 3, 3, 3),
                                   infos));
    ASSERT_EQ(infos.size(), 1u);
    EXPECT_TRUE(infos[0].point.positionEquals(Ogre::Vector3(0.75f, 0.75f, 0.75f), EPS));
    EXPECT_FALSE(mSystem.collideBox(mCube, mIdentity, Ogre::AxisAlignedBox(2, 2, 2, 3, 3, 3),
                                    infos));
    EXPECT_FALSE(mSystem.collideBox(mCube, mIdentity, Ogre::AxisAlignedBox(), infos));
    Ogre::AxisAlignedBox everything;
    everything.setInfinite();
    EXPECT_TRUE(mSystem.collideBox(mCube, mIdentity, everything, infos));
}

TEST_F(MeshCollision, NullShapeNeverCollides)
{
    CollisionInfo info;
    std::vector<CollisionInfo> infos;
    EXPECT_FALSE(mSystem.collideRay(CollisionShapePtr(), mIdentity,
                                    Ogre::Ray(Ogre::Vector3::ZERO, Ogre::Vector3::UNIT_X), info));
    EXPECT_FALSE(mSystem.collideShapes(CollisionShapePtr(), mIdentity, mCube, mIdentity, infos));
    EXPECT_TRUE(mSystem.getCollisionShapeBounds(CollisionShapePtr()).isNull());
}

TEST(CollisionGameSystemFactoryTest, MakesTheMeshSystemUnderItsWellKnownName)
{
    GameSystemManager registry;
    registry.addGameSystemFactory(new CollisionGameSystemFactory);
    EXPECT_EQ(registry.createGameSystem("ImpostorGameSystem"), nullptr);
    GameSystem* system = registry.createGameSystem("CollisionGameSystem");
    ASSERT_NE(dynamic_cast<MeshCollisionGameSystem*>(system), nullptr);
    EXPECT_TRUE(registry.addGameSystem("CollisionGameSystem", system));
    EXPECT_NE(dynamic_cast<CollisionGameSystem*>(registry.getGameSystem("CollisionGameSystem")),
              nullptr);
}
