#include "TestEngine.h"
#include "ToolRun.h"
#include "ViewerMap.h"
#include "WorldGenerator.h"
#include "WorldViewer.h"

#include <OgreColourValue.h>
#include <OgreDataStream.h>
#include <OgreImage.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

using Wren::Test::TestEngine;

namespace
{
    std::string generateWorld(const std::string& hint)
    {
        Wren::WorldGeneratorOptions options;
        options.cells = 2;
        options.objectsPerCell = 60;
        options.seed = 5;
        const std::string folder = TestEngine::instance().makeTempFolder(hint) + "/W";
        Wren::WorldGeneratorResult result = Wren::WorldGenerator(options).generate(folder);
        EXPECT_TRUE(result.ok) << result.error;
        return folder;
    }

    Wren::WorldViewerOptions drawnRun(const std::string& folder, const std::string& screenshot)
    {
        Wren::WorldViewerOptions options;
        options.world = folder;
        options.render = true;
        options.backgroundLoading = false;
        options.frames = 150;
        options.speed = 10.0f;
        options.height = 8.0f;
        options.lodChangesPerStep = 5;
        options.screenshot = screenshot;
        return options;
    }

    bool near(const Ogre::ColourValue& a, const Ogre::ColourValue& b)
    {
        return std::abs(a.r - b.r) < 0.04f && std::abs(a.g - b.g) < 0.04f &&
               std::abs(a.b - b.b) < 0.04f;
    }

    /** Pixels of the picture that are neither sky nor ground: things drawn. */
    size_t drawnPixels(const std::string& file)
    {
        Ogre::Image image;
        std::ifstream in(file, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        const std::string data = bytes.str();
        Ogre::DataStreamPtr stream(new Ogre::MemoryDataStream(const_cast<char*>(data.data()),
                                                              data.size(), false, true));
        image.load(stream, "png");
        const Ogre::ColourValue sky(0.55f, 0.7f, 0.85f);
        const Ogre::ColourValue sky2 = image.getColourAt(0, 0, 0);
        size_t count = 0;
        for (size_t y = 0; y < image.getHeight(); ++y)
            for (size_t x = 0; x < image.getWidth(); ++x)
            {
                const Ogre::ColourValue c = image.getColourAt(x, y, 0);
                const Ogre::ColourValue ground = image.getColourAt(0, image.getHeight() - 1, 0);
                if (!near(c, sky) && !near(c, sky2) && !near(c, ground))
                    ++count;
            }
        return count;
    }
}

TEST(WorldViewerDrawn, MeshesOfTheWorldAppearInTheScreenshot)
{
    const std::string folder = generateWorld("viewer-drawn");
    const std::string shot = TestEngine::instance().makeTempFolder("viewer-shot") + "/shot.png";
    Wren::WorldViewer viewer(drawnRun(folder, shot));
    ASSERT_TRUE(viewer.run()) << viewer.getError();
    EXPECT_TRUE(viewer.getWarnings().empty()) << viewer.getWarnings().front();
    ASSERT_TRUE(std::filesystem::exists(shot));
    EXPECT_GT(drawnPixels(shot), 20u);
    EXPECT_GT(viewer.getSummary().lodChanges, 0u);
}

TEST(WorldViewerDrawn, DistantMeshesBecomeImpostorsAndTheRunStillDraws)
{
    const std::string folder = generateWorld("viewer-impostors");
    const std::string shot = TestEngine::instance().makeTempFolder("viewer-ishot") + "/shot.png";
    Wren::WorldViewerOptions options = drawnRun(folder, shot);
    options.impostors = true;
    options.height = 40.0f;
    Wren::WorldViewer viewer(options);
    ASSERT_TRUE(viewer.run()) << viewer.getError();
    // Impostors drawn at the end, not handlers made: the objects registered
    // theirs before they had entities to draw.
    EXPECT_GT(viewer.getSummary().impostorsDrawn, 0u);
    ASSERT_TRUE(std::filesystem::exists(shot));
    EXPECT_GT(drawnPixels(shot), 20u);

    // A second drawn run in the same engine finds the window free again.
    Wren::WorldViewer again(drawnRun(folder, shot));
    EXPECT_TRUE(again.run()) << again.getError();
}

// The programs as a user first runs them: the sample world of ./wren run and
// a drawn flight with the viewer's defaults.
TEST(WorldViewerDrawn, TheDefaultFlightOverTheSampleWorldShowsObjectsInNearlyEveryFrame)
{
    const std::string base = TestEngine::instance().makeTempFolder("viewer-default");
    std::filesystem::create_directories(base + "/worlds");
    Wren::Test::ToolRun run = Wren::Test::runTool(
        "wren-generate", "--cells 8 --objects-per-cell 300 --seed 1 worlds/Sample", base);
    ASSERT_EQ(run.status, 0) << run.errors;
    // Mesa's driver, unloaded when the program ends, leaves allocations that
    // a leak check can not name (the in-process tests keep it loaded).
    run = Wren::Test::runTool("wren-view",
                              "worlds/Sample --render --frames 300 --quiet --screenshot s.png "
                              "--json s.json",
                              base, "ASAN_OPTIONS=\"${ASAN_OPTIONS}:detect_leaks=0\"");
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_NE(run.out.find("view-range scale 1.94"), std::string::npos) << run.out;
    const nlohmann::json j = nlohmann::json::parse(TestEngine::readFile(base + "/s.json"));
    EXPECT_GE(j["framesShowingObjects"].get<double>(), 0.9) << j.dump();
    EXPECT_GT(j["entitiesDrawnPerFrame"]["median"].get<double>(), 0.0);
    EXPECT_GT(j["trianglesPerFrame"]["min"].get<double>(), 2.0);
    ASSERT_TRUE(Wren::ViewerMap::ensurePngCodec(WREN_OGRE_PLUGIN_DIR));
    EXPECT_GT(drawnPixels(base + "/s.png"), 20000u);
}
