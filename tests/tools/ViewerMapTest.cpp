#include "TestEngine.h"
#include "ViewerMap.h"
#include "ViewerReport.h"

#include <OgreCodec.h>
#include <OgreDataStream.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

using Wren::Test::TestEngine;

namespace
{
    class ViewerMapPicture : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            TestEngine::instance();
            ASSERT_TRUE(Wren::ViewerMap::ensurePngCodec(WREN_OGRE_PLUGIN_DIR));
        }

        /** Reads a PNG file back through the engine. */
        static Ogre::Image readPng(const std::string& path)
        {
            std::ifstream in(path, std::ios::binary);
            Ogre::DataStreamPtr stream(new Ogre::FileStreamDataStream(&in, false));
            Ogre::Image image;
            image.load(stream, "png");
            return image;
        }

        static void expectColour(const Ogre::Image& image, size_t x, size_t y,
                                 const Ogre::ColourValue& expected)
        {
            Ogre::ColourValue c = image.getColourAt(x, y, 0);
            EXPECT_NEAR(c.r, expected.r, 1.0f / 255) << x << "," << y;
            EXPECT_NEAR(c.g, expected.g, 1.0f / 255) << x << "," << y;
            EXPECT_NEAR(c.b, expected.b, 1.0f / 255) << x << "," << y;
        }

        /** A 2 x 2 grid of 100-unit cells from -100 to 100, 10 pixels a
            cell. Cell 0_0 is loaded through all four frames, 1_0 for two,
            the others never; the camera goes along z = 50 from x = -90 to
            x = 90 (through cells 0_1 and 1_1). */
        static Wren::WorldGrid grid()
        {
            Wren::WorldGrid g;
            g.cellSize = 100;
            g.cellsX = 2;
            g.cellsZ = 2;
            g.loadRadius = 30;
            return g;
        }

        static Wren::ViewerReport run()
        {
            Wren::ViewerReport report;
            report.onPartitionLoaded("0_0");
            report.onPartitionLoaded("1_0");
            const float xs[] = {-90, -30, 30, 90};
            for (int k = 0; k < 4; ++k)
            {
                if (k == 2)
                    report.onPartitionUnloaded("1_0");
                report.onFrame(Ogre::Vector3(xs[k], 50, 50), "0_1", 1, 0, 0.001);
            }
            return report;
        }
    };
}

TEST_F(ViewerMapPicture, CellsAreShadedByHowLongTheyWereLoaded)
{
    const std::string path = TestEngine::instance().makeTempFolder("map") + "/map.png";
    ASSERT_TRUE(Wren::ViewerMap::write(run().getFigures(), grid(), path, 10));
    Ogre::Image image = readPng(path);
    ASSERT_EQ(image.getWidth(), 20u);
    ASSERT_EQ(image.getHeight(), 20u);
    expectColour(image, 5, 5, Wren::ViewerMap::AlwaysLoaded);               // 0_0
    expectColour(image, 15, 5, Wren::ViewerMap::cellColour(0.5));           // 1_0
    expectColour(image, 15, 12, Wren::ViewerMap::NeverLoaded);              // 1_1, off the path
    expectColour(image, 0, 5, Wren::ViewerMap::Border);
}

TEST(ViewerMapColours, ACellLoadedForAMomentOfALongRunStandsApartFromANeverLoadedOne)
{
    const Ogre::ColourValue moment = Wren::ViewerMap::cellColour(1.0 / 100000.0);
    const Ogre::ColourValue never = Wren::ViewerMap::cellColour(0.0);
    EXPECT_GT(std::max({std::abs(moment.r - never.r), std::abs(moment.g - never.g),
                        std::abs(moment.b - never.b)}),
              0.2f);
}

TEST_F(ViewerMapPicture, CameraPathAndLoadRadiusAreDrawnOverTheCells)
{
    const std::string path = TestEngine::instance().makeTempFolder("map") + "/map.png";
    ASSERT_TRUE(Wren::ViewerMap::write(run().getFigures(), grid(), path, 10));
    Ogre::Image image = readPng(path);
    // World z = 50 is pixel row 15; x = 0 is column 10.
    expectColour(image, 10, 15, Wren::ViewerMap::Path);
    expectColour(image, 4, 15, Wren::ViewerMap::Path);
    // The last position (90, 50) is pixel (19, 15); a radius of 30 units is
    // 3 pixels, so the circle passes 3 pixels above it.
    expectColour(image, 19, 15, Wren::ViewerMap::Camera);
    expectColour(image, 19, 12, Wren::ViewerMap::Radius);
}

TEST_F(ViewerMapPicture, GridWithoutCellsIsRefusedAndNothingIsWritten)
{
    Wren::WorldGrid empty = grid();
    empty.cellsZ = 0;
    const std::string path = TestEngine::instance().makeTempFolder("map") + "/map.png";
    std::string error;
    EXPECT_FALSE(Wren::ViewerMap::write(run().getFigures(), empty, path, 10, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(ViewerMapPicture, CameraFarOutsideTheGridIsClippedNotDrawnWrapped)
{
    Wren::ViewerReport report;
    report.onFrame(Ogre::Vector3(-5000, 0, 50), "", 0, 0, 0.001);
    report.onFrame(Ogre::Vector3(5000, 0, 50), "", 0, 0, 0.001);
    Ogre::Image image = Wren::ViewerMap::render(report.getFigures(), grid(), 10);
    expectColour(image, 10, 15, Wren::ViewerMap::Path);
    expectColour(image, 15, 5, Wren::ViewerMap::NeverLoaded);
}
