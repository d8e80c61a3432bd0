#include "CameraPath.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
    Wren::WorldGrid grid4()
    {
        Wren::WorldGrid grid;
        grid.cellsX = 4;
        grid.cellsZ = 4;
        grid.cellSize = 100;
        return grid;
    }

    void expectNear(const Ogre::Vector3& actual, const Ogre::Vector3& expected, float tolerance)
    {
        EXPECT_NEAR(actual.x, expected.x, tolerance);
        EXPECT_NEAR(actual.y, expected.y, tolerance);
        EXPECT_NEAR(actual.z, expected.z, tolerance);
    }
}

TEST(CameraPathChoice, NamesGiveTheirShapesAndUnknownNamesAreRefused)
{
    std::string error;
    auto line = Wren::CameraPath::fromName("line", grid4(), 10, 0.1f, 50, &error);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->getShape(), Wren::CameraPath::Shape::Line);
    auto circle = Wren::CameraPath::fromName("circle", grid4(), 10, 0.1f, 50, &error);
    ASSERT_TRUE(circle);
    EXPECT_EQ(circle->getShape(), Wren::CameraPath::Shape::Circle);

    EXPECT_FALSE(Wren::CameraPath::fromName("spiral", grid4(), 10, 0.1f, 50, &error));
    EXPECT_NE(error.find("line, circle"), std::string::npos) << error;
    EXPECT_FALSE(Wren::CameraPath::fromName("line", grid4(), 0, 0.1f, 50, &error));
    EXPECT_FALSE(Wren::CameraPath::fromName("line", grid4(), 10, -1, 50, &error));
    Wren::WorldGrid empty = grid4();
    empty.cellsX = 0;
    EXPECT_FALSE(Wren::CameraPath::fromName("circle", empty, 10, 0.1f, 50, &error));
}

TEST(CameraPathLine, CrossesTheGridDiagonallyInsideItsCorners)
{
    // A 400 x 400 grid from -200 to 200; the line keeps a quarter cell in.
    auto path = Wren::CameraPath::fromName("line", grid4(), 10, 0.5f, 50);
    ASSERT_TRUE(path);
    expectNear(path->positionAt(0), Ogre::Vector3(-175, 50, -175), 1e-4f);
    EXPECT_NEAR(path->length(), std::sqrt(2.0) * 350.0, 1e-3);
    const std::uint64_t pass = path->framesPerPass();
    EXPECT_EQ(pass, static_cast<std::uint64_t>(std::ceil(std::sqrt(2.0) * 350.0 / 5.0)));
    expectNear(path->positionAt(pass), Ogre::Vector3(175, 50, 175), 5.0f);
}

TEST(CameraPathLine, MovesAtItsSpeedAndComesBackAtTheEnd)
{
    auto path = Wren::CameraPath::line(Ogre::Vector3(0, 10, 0), Ogre::Vector3(100, 10, 0), 20,
                                       0.25f);  // 5 units a frame, 20 frames a pass
    EXPECT_EQ(path.framesPerPass(), 20u);
    expectNear(path.positionAt(1), Ogre::Vector3(5, 10, 0), 1e-4f);
    expectNear(path.positionAt(10), Ogre::Vector3(50, 10, 0), 1e-4f);
    expectNear(path.positionAt(20), Ogre::Vector3(100, 10, 0), 1e-4f);
    expectNear(path.positionAt(21), Ogre::Vector3(95, 10, 0), 1e-4f);
    expectNear(path.positionAt(40), Ogre::Vector3(0, 10, 0), 1e-4f);
    expectNear(path.positionAt(41), Ogre::Vector3(5, 10, 0), 1e-4f);
    // Far frames stay on the segment without drift.
    expectNear(path.positionAt(40000001), Ogre::Vector3(5, 10, 0), 1e-3f);
}

TEST(CameraPathCircle, StaysOnItsRadiusAndClosesAfterOneTurn)
{
    auto path = Wren::CameraPath::fromName("circle", grid4(), 30, 0.1f, 20);
    ASSERT_TRUE(path);
    const float radius = 400 * 0.375f;
    expectNear(path->positionAt(0), Ogre::Vector3(radius, 20, 0), 1e-4f);
    for (std::uint64_t k = 0; k < 400; k += 7)
    {
        Ogre::Vector3 p = path->positionAt(k);
        EXPECT_NEAR(Ogre::Vector3(p.x, 0, p.z).length(), radius, 1e-3f) << k;
        EXPECT_EQ(p.y, 20.0f);
        // Each frame moves by the speed times the step (a chord of that arc).
        EXPECT_NEAR(p.distance(path->positionAt(k + 1)), 3.0f, 1e-3f);
    }
    // A quarter turn on it has gone from +x towards +z.
    Ogre::Vector3 quarter = path->positionAt(
        static_cast<std::uint64_t>(std::llround(path->length() / 4.0 / 3.0)));
    EXPECT_GT(quarter.z, radius * 0.99f);
}
