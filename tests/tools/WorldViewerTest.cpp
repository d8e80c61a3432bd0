#include "CameraPath.h"
#include "GeneratedMedia.h"
#include "TestEngine.h"
#include "WorldGenerator.h"
#include "WorldViewer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;
using Wren::StreamingEvent;
using Wren::Test::TestEngine;

namespace
{
    /** A generated world of cells x cells in a fresh folder. */
    std::string generateWorld(const std::string& hint, int cells, int objectsPerCell, bool binary,
                              float loadRadius = 384.0f)
    {
        Wren::WorldGeneratorOptions options;
        options.cells = cells;
        options.objectsPerCell = objectsPerCell;
        options.binary = binary;
        options.loadRadius = loadRadius;
        options.seed = 11;
        const std::string folder = TestEngine::instance().makeTempFolder(hint) + "/W";
        Wren::WorldGeneratorResult result = Wren::WorldGenerator(options).generate(folder);
        EXPECT_TRUE(result.ok) << result.error;
        return folder;
    }

    Wren::WorldViewerOptions viewOf(const std::string& folder)
    {
        Wren::WorldViewerOptions options;
        options.world = folder;
        options.backgroundLoading = false;
        return options;
    }

    /** "+id" for a load, "-id" for an unload, in order. */
    std::vector<std::string> sequence(const std::vector<StreamingEvent>& events)
    {
        std::vector<std::string> out;
        for (const StreamingEvent& e : events)
            out.push_back((e.loaded ? "+" : "-") + e.partition);
        return out;
    }
}

// A 4 x 4 grid of 256-unit cells whose load radius (300) takes in a cell and
// its four edge neighbours. The camera flies along row 1 from cell 0_1 to
// cell 3_1. On entering a cell, the loaded cells out of reach queue for
// unloading in load order, the cells in reach that are not loaded queue for
// loading in ID order, and one step does one load, loads first. Under a
// load-time budget so small that a step makes or destroys one object, the
// cells come and go in pieces, over more frames, and in the same order.
TEST(WorldViewerStreaming, LoadAndUnloadOrderAlongARowOfAGridWithAndWithoutABudget)
{
    const std::vector<std::string> expected = {
        // in 0_1: itself and its neighbours
        "+0_0", "+0_1", "+0_2", "+1_1",
        // into 1_1
        "+1_0", "+1_2", "+2_1", "-0_0", "-0_2",
        // into 2_1 (loaded order now 0_1 1_1 1_0 1_2 2_1)
        "+2_0", "+2_2", "+3_1", "-0_1", "-1_0", "-1_2",
        // into 3_1 (loaded order now 1_1 2_1 2_0 2_2 3_1)
        "+3_0", "+3_2", "-1_1", "-2_0", "-2_2"};

    std::uint64_t lastLoadWhole = 0;
    for (int run = 0; run < 4; ++run)
    {
        const bool binary = run % 2 == 1;
        const bool budget = run >= 2;
        SCOPED_TRACE(std::string(binary ? "binary" : "XML") + (budget ? ", budget" : ""));
        const std::string folder =
            generateWorld(binary ? "viewer-row-bin" : "viewer-row-xml", 4, 3, binary, 300.0f);
        Wren::WorldViewerOptions options = viewOf(folder);
        options.loadBudget = budget ? 1e-6f : 0.0f;
        options.customPath = Wren::CameraPath::line(Ogre::Vector3(-384, 30, -128),
                                                    Ogre::Vector3(384, 30, -128), 96.0f, 1 / 30.0f);
        options.frames = options.customPath->framesPerPass() + 1;
        Wren::WorldViewer viewer(options);
        ASSERT_TRUE(viewer.run()) << viewer.getError();
        EXPECT_EQ(viewer.getUsedBinaryFiles(), binary);
        EXPECT_EQ(sequence(viewer.getEvents()), expected);

        const Wren::ViewerSummary s = viewer.getSummary();
        EXPECT_EQ(s.frames, options.frames);
        EXPECT_EQ(s.partitionsLoaded, 12u);
        EXPECT_EQ(s.partitionsUnloaded, 8u);
        EXPECT_EQ(s.objectsCreated, 12u * 3u);
        EXPECT_EQ(s.objectsDestroyed, 8u * 3u);
        EXPECT_EQ(viewer.getReport().getFigures().cameraCell, "3_1");
        EXPECT_EQ(viewer.getReport().getFigures().objects, 4u * 3u);
        EXPECT_FLOAT_EQ(s.loadBudgetMs, options.loadBudget);
        const std::uint64_t lastLoad = viewer.getEvents().back().frame;
        if (!budget)
            lastLoadWhole = std::max(lastLoadWhole, lastLoad);
        else
            EXPECT_GT(lastLoad, lastLoadWhole);
    }
}

// The camera swings back and forth across the border between two cells for
// 1 000 frames. With cells held within the load radius and half a cell of the
// camera, each of the twelve cells it comes near is loaded once and none is
// unloaded; with the hold radius at the load radius, every swing reloads.
TEST(WorldViewerStreaming, SwingingAcrossABorderLoadsEachCellOnceWithAHoldRadius)
{
    const std::string folder = generateWorld("viewer-swing", 8, 2, true);
    for (float hold : {-1.0f, 384.0f + 128.0f})
    {
        SCOPED_TRACE(hold);
        Wren::WorldViewerOptions options = viewOf(folder);
        options.path = "swing";
        options.frames = 1000;
        options.holdRadius = hold;
        Wren::WorldViewer viewer(options);
        ASSERT_TRUE(viewer.run()) << viewer.getError();
        std::map<std::string, int> loads;
        for (const StreamingEvent& e : viewer.getEvents())
            loads[e.partition] += e.loaded ? 1 : 0;
        const Wren::ViewerSummary s = viewer.getSummary();
        if (hold > 0.0f)
        {
            EXPECT_EQ(loads.size(), 12u);
            EXPECT_EQ(s.partitionsLoaded, 12u);
            EXPECT_EQ(s.partitionsUnloaded, 0u);
        }
        else
        {
            EXPECT_GT(s.partitionsLoaded, 100u);
        }
    }
}

// The same flight over a 16 x 16 world streams the same way from either
// form; and on the loader thread, as a client does, it streams as well (in
// frames that depend on how fast the thread is).
TEST(WorldViewerStreaming, LargeGridStreamsAlikeFromBothForms)
{
    std::vector<std::vector<std::string>> runs;
    for (int run = 0; run < 3; ++run)
    {
        const bool binary = run == 1;
        const bool background = run == 2;
        SCOPED_TRACE(run);
        const std::string folder =
            generateWorld(binary ? "viewer-16-bin" : "viewer-16-xml", 16, 4, binary);
        Wren::WorldViewerOptions options = viewOf(folder);
        options.backgroundLoading = background;
        options.path = "circle";
        options.speed = 256.0f;
        Wren::WorldViewer viewer(options);
        ASSERT_TRUE(viewer.run()) << viewer.getError();

        const Wren::ViewerSummary s = viewer.getSummary();
        const Wren::ViewerFigures& f = viewer.getReport().getFigures();
        // Headless frames take microseconds; on the loader thread a file
        // arrives frames after it was asked for (how many depends on the
        // machine's load), and unloads wait while loads are pending.
        EXPECT_GT(s.partitionsLoaded, background ? 50u : 100u);
        EXPECT_EQ(s.partitionsLoaded - s.partitionsUnloaded, f.loadedPartitions);
        if (!background)
            EXPECT_LE(f.loadedPartitions, 9u);
        EXPECT_EQ(s.objectsCreated - s.objectsDestroyed, f.objects);
        EXPECT_EQ(s.corruptFiles.size(), 0u);
        EXPECT_GT(s.lodChanges, 0u);
        runs.push_back(sequence(viewer.getEvents()));
    }
    EXPECT_EQ(runs[0], runs[1]);
}

// A headless client on the loader thread streams what one on the frame
// thread does: files that are late are finished on the frame thread, and a
// partition is missing only when the camera left it before its load ended.
// No load ever waits with the loader idle.
TEST(WorldViewerStreaming, BinaryWorldsStreamOnTheLoaderThreadAsOnTheFrameThread)
{
    for (int cells : {8, 32})
    {
        SCOPED_TRACE(cells);
        const std::string folder =
            generateWorld("viewer-bg-" + std::to_string(cells), cells, 12, true);
        Wren::ViewerSummary runs[2];
        std::uint64_t pending = 0;
        std::vector<std::vector<std::string>> frontEvents;
        for (int run = 0; run < (cells == 8 ? 3 : 2); ++run)
        {
            const bool background = run == 1;
            Wren::WorldViewerOptions options = viewOf(folder);
            options.backgroundLoading = background;
            // Within the first pass of the diagonal: on the way back, cells
            // whose unload the loader thread's run had not reached yet would
            // need no second load.
            options.frames = 800;
            Wren::WorldViewer viewer(options);
            ASSERT_TRUE(viewer.run()) << viewer.getError();
            EXPECT_LT(viewer.getReport().getFigures().longestIdleLoadWait, 100u);
            runs[background] = viewer.getSummary();
            if (background)
                pending = viewer.getReport().getFigures().loadsPending;
            else
                frontEvents.push_back(sequence(viewer.getEvents()));
        }
        // On the frame thread alone, a run is the same every time.
        if (frontEvents.size() == 2)
            EXPECT_EQ(frontEvents[0], frontEvents[1]);
        const Wren::ViewerSummary& front = runs[0];
        const Wren::ViewerSummary& loader = runs[1];
        EXPECT_GT(front.partitionsLoaded, 9u);
        EXPECT_EQ(front.leftBeforeLoaded, 0u);
        EXPECT_EQ(front.backgroundFallbacks, 0u);
        EXPECT_LE(loader.partitionsLoaded, front.partitionsLoaded);
        // Those still waiting when the flight ends are neither.
        EXPECT_GE(loader.partitionsLoaded + loader.leftBeforeLoaded + pending,
                  front.partitionsLoaded);
        EXPECT_GT(loader.partitionsLoaded, 0u);
    }
}

TEST(WorldViewerStreaming, EveryKindStreamsAndTheSummaryCountsWhatShinesBurnsAndPlays)
{
    Wren::WorldGeneratorOptions options = Wren::Test::everyKindWorldOptions(4);
    options.loadRadius = 300.0f;
    const std::string folder = TestEngine::instance().makeTempFolder("viewer-kinds") + "/W";
    ASSERT_TRUE(Wren::WorldGenerator(options).generate(folder).ok);
    Wren::WorldViewer viewer(viewOf(folder));
    ASSERT_TRUE(viewer.run()) << viewer.getError();
    const Wren::ViewerSummary s = viewer.getSummary();
    EXPECT_GT(s.partitionsLoaded, 4u);
    EXPECT_EQ(s.corruptFiles.size(), 0u);
    // Each cell brings its objects, a placeholder per object without a body
    // of its own and the three objects of its compound's content, and takes
    // them all away again.
    EXPECT_EQ(s.objectsCreated, s.partitionsLoaded * Wren::Test::EveryKindCellMembers);
    EXPECT_EQ(s.objectsCreated - s.objectsDestroyed, viewer.getReport().getFigures().objects);
    // Those near the camera at the end of its route.
    EXPECT_GT(s.lightsAlive, 0u);
    EXPECT_GT(s.particleSystemsAlive, 0u);
    EXPECT_GT(s.soundsPlaying, 0u);
}

TEST(WorldViewerInput, MissingOrUnreadableWorldsAreRefusedWithAReason)
{
    {
        Wren::WorldViewer viewer(viewOf("/nonexistent/worlds/Nowhere"));
        EXPECT_FALSE(viewer.run());
        EXPECT_NE(viewer.getError().find("no world folder"), std::string::npos);
    }
    {
        const std::string folder = TestEngine::instance().makeTempFolder("viewer-empty") + "/W";
        fs::create_directories(folder);
        Wren::WorldViewer viewer(viewOf(folder));
        EXPECT_FALSE(viewer.run());
        EXPECT_NE(viewer.getError().find("no world file"), std::string::npos);
    }
    {
        const std::string folder = generateWorld("viewer-badxml", 2, 1, false);
        std::ofstream(folder + "/W.World") << "<World><GridPartitionManagerData";
        Wren::WorldViewer viewer(viewOf(folder));
        EXPECT_FALSE(viewer.run());
        EXPECT_NE(viewer.getError().find("can not be read"), std::string::npos);
    }
    {
        const std::string folder = generateWorld("viewer-badgrid", 2, 1, false);
        std::ofstream(folder + "/W.World")
            << "<World><GridPartitionManagerData GridCellSize=\"0\"/></World>";
        Wren::WorldViewer viewer(viewOf(folder));
        EXPECT_FALSE(viewer.run());
        EXPECT_NE(viewer.getError().find("refused"), std::string::npos);
    }
}

TEST(WorldViewerInput, CorruptPartitionFileIsCountedAndTheFlightGoesOn)
{
    const std::string folder = generateWorld("viewer-corrupt", 2, 2, true);
    std::ofstream(folder + "/Partitions/W_Partition0_0.objbinary", std::ios::binary) << "WBIN";
    Wren::WorldViewerOptions options = viewOf(folder);
    options.frames = 40;
    Wren::WorldViewer viewer(options);
    ASSERT_TRUE(viewer.run()) << viewer.getError();
    const Wren::ViewerSummary s = viewer.getSummary();
    EXPECT_EQ(s.frames, 40u);
    EXPECT_EQ(s.partitionsLoaded, 4u);
    ASSERT_EQ(s.corruptFiles.size(), 1u);
    EXPECT_NE(s.corruptFiles[0].find("W_Partition0_0.objbinary"), std::string::npos);
    EXPECT_EQ(viewer.getReport().getFigures().objects, 3u * 2u);
}
