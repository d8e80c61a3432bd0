#include "TestEngine.h"
#include "ViewerProgress.h"
#include "ViewerReport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using Wren::Test::TestEngine;

namespace
{
    /** A run of ten drawn frames: partitions 0_0 and 0_1 load in the first
        frame, 0_1 unloads in the fifth; update times 1 ... 10 ms; k batches
        of 10 k instances and 2 k draw calls at frame k. */
    Wren::ViewerReport tenFrames()
    {
        Wren::ViewerReport report;
        report.onPartitionLoaded("0_0");
        report.onPartitionLoaded("0_1");
        report.onObjectCreated(12);
        for (int k = 1; k <= 10; ++k)
        {
            if (k == 5)
            {
                report.onPartitionUnloaded("0_1");
                report.onObjectDestroyed(5);
            }
            if (k % 3 == 0)
                report.onLodChange();
            report.onImpostorsDrawn(size_t(k % 4));
            report.onAlive(size_t(k), size_t(k % 3), size_t(11 - k));
            report.onInstancing(size_t(k), size_t(10 * k));
            report.onDrawCalls(size_t(2 * k));
            report.onFrame(Ogre::Vector3(float(k), 0, 0), "0_0", k < 5 ? 2 : 1, k < 5 ? 12 : 7,
                           k * 0.001);
        }
        report.onCorruptFile("W_Partition1_1.objbinary", "bad magic");
        report.onCorruptFile("W_Partition1_1.objbinary", "bad magic again");
        report.onCorruptFile("W_Partition0_3.objbinary", "truncated");
        return report;
    }
}

TEST(ViewerReportStatistics, MedianAndNearestRankPercentiles)
{
    EXPECT_EQ(Wren::ViewerReport::median({}), 0.0);
    EXPECT_EQ(Wren::ViewerReport::median({3, 1, 2}), 2.0);
    EXPECT_EQ(Wren::ViewerReport::median({4, 1, 3, 2}), 2.5);
    std::vector<double> hundred;
    for (int k = 100; k >= 1; --k)
        hundred.push_back(k);
    EXPECT_EQ(Wren::ViewerReport::percentile(hundred, 99), 99.0);
    EXPECT_EQ(Wren::ViewerReport::percentile(hundred, 100), 100.0);
    hundred.push_back(1000);  // 101 values: rank ceil(99.99) = 100
    EXPECT_EQ(Wren::ViewerReport::percentile(hundred, 99), 100.0);
    EXPECT_EQ(Wren::ViewerReport::percentile({7}, 99), 7.0);
    EXPECT_EQ(Wren::ViewerReport::percentile({}, 99), 0.0);
}

TEST(ViewerReportSummary, CountsEventsAndTimesTheUpdateCall)
{
    Wren::ViewerSummary s = tenFrames().summarize(std::uint64_t(2048));
    EXPECT_EQ(s.frames, 10u);
    EXPECT_EQ(s.partitionsLoaded, 2u);
    EXPECT_EQ(s.partitionsUnloaded, 1u);
    EXPECT_EQ(s.objectsCreated, 12u);
    EXPECT_EQ(s.objectsDestroyed, 5u);
    EXPECT_EQ(s.lodChanges, 3u);
    EXPECT_NEAR(s.updateMedianMs, 5.5, 1e-9);
    EXPECT_NEAR(s.updateP99Ms, 10.0, 1e-9);
    EXPECT_NEAR(s.updateMaxMs, 10.0, 1e-9);
    EXPECT_EQ(*s.peakResidentKiB, 2048u);
    ASSERT_EQ(s.corruptFiles.size(), 2u);
    EXPECT_EQ(s.corruptFiles[1], "W_Partition1_1.objbinary: bad magic");
}

TEST(ViewerReportSummary, LoadedFramesFollowTheLoadAndUnloadEvents)
{
    const Wren::ViewerReport report = tenFrames();
    const Wren::ViewerFigures& f = report.getFigures();
    EXPECT_EQ(f.framesLoaded.at("0_0"), 10u);
    EXPECT_EQ(f.framesLoaded.at("0_1"), 4u);
    EXPECT_EQ(f.loadedNow, (std::set<std::string>{"0_0"}));
    ASSERT_EQ(f.cameraPath.size(), 10u);
    EXPECT_EQ(f.cameraPath.back(), Ogre::Vector3(10, 0, 0));
}

TEST(ViewerReportSummary, JsonFileCarriesEveryFigure)
{
    const std::string path = TestEngine::instance().makeTempFolder("summary") + "/run.json";
    ASSERT_TRUE(Wren::ViewerReport::writeJson(tenFrames().summarize(std::nullopt), path));
    nlohmann::json j = nlohmann::json::parse(TestEngine::readFile(path));
    EXPECT_EQ(j["frames"], 10);
    EXPECT_EQ(j["partitionsLoaded"], 2);
    EXPECT_EQ(j["partitionsUnloaded"], 1);
    EXPECT_EQ(j["objectsCreated"], 12);
    EXPECT_EQ(j["objectsDestroyed"], 5);
    EXPECT_EQ(j["lodChanges"], 3);
    EXPECT_EQ(j["impostors_drawn"], 2) << "those of the last frame";
    EXPECT_EQ(j["lightsAlive"], 10);
    EXPECT_EQ(j["particleSystemsAlive"], 1);
    EXPECT_EQ(j["soundsPlaying"], 1);
    EXPECT_EQ(j["instancedBatches"], 10);
    EXPECT_EQ(j["instances"], 100);
    EXPECT_NEAR(j["drawCallsPerFrame"]["median"].get<double>(), 11.0, 1e-9);
    EXPECT_EQ(j["drawCallsPerFrame"]["max"], 20);
    EXPECT_TRUE(Wren::ViewerReport::toJson(Wren::ViewerReport().summarize(std::nullopt))
                    ["drawCallsPerFrame"].is_null())
        << "a run that draws nothing";
    EXPECT_NEAR(j["updateMs"]["median"].get<double>(), 5.5, 1e-9);
    EXPECT_NEAR(j["updateMs"]["p99"].get<double>(), 10.0, 1e-9);
    EXPECT_NEAR(j["updateMs"]["max"].get<double>(), 10.0, 1e-9);
    EXPECT_TRUE(j["peakResidentKiB"].is_null());
    EXPECT_EQ(j["corruptFiles"].size(), 2u);
}

TEST(ViewerReportSummary, JsonToAMissingFolderFailsWithALoggedReason)
{
    Wren::Test::LogCapture log;
    const std::string path = TestEngine::instance().makeTempFolder("summary") + "/no/such/run.json";
    EXPECT_FALSE(Wren::ViewerReport::writeJson(tenFrames().summarize(std::nullopt), path));
    EXPECT_TRUE(log.contains("run.json"));
}

TEST(ViewerReportSummary, TableNamesEveryFigure)
{
    const std::string table = Wren::ViewerReport::formatTable(tenFrames().summarize(std::nullopt));
    for (const char* row : {"frames", "partitions loaded", "partitions unloaded", "objects created",
                            "objects destroyed", "level-of-detail changes", "lights alive",
                            "particle systems alive", "sounds playing", "update median",
                            "update p99", "update max", "load-time budget", "peak resident memory",
                            "instanced batches", "instances in them", "draw calls per frame",
                            "corrupt partition files", "W_Partition0_3.objbinary: truncated"})
        EXPECT_NE(table.find(row), std::string::npos) << row;
    EXPECT_NE(table.find("5.500 ms"), std::string::npos) << table;
}

TEST(ViewerReportMemory, PeakResidentMemoryComesFromVmHWM)
{
    EXPECT_EQ(*Wren::ViewerReport::parsePeakResidentKiB(
                  "Name:\ttest\nVmPeak:\t  9000 kB\nVmHWM:\t    5120 kB\nVmRSS:\t 4000 kB\n"),
              5120u);
    EXPECT_FALSE(Wren::ViewerReport::parsePeakResidentKiB("Name:\ttest\nVmRSS:\t 4000 kB\n"));
    EXPECT_FALSE(Wren::ViewerReport::parsePeakResidentKiB("VmHWM:\t lots\n"));
    auto own = Wren::ViewerReport::readPeakResidentKiB();
    ASSERT_TRUE(own);
    EXPECT_GT(*own, 0u);
}

TEST(ViewerProgressLine, PlainOutputWritesALineEveryNFramesAndTheLast)
{
    Wren::ViewerReport report;
    Wren::ViewerProgress progress(false, 25, 10);
    std::vector<std::string> lines;
    for (int k = 0; k < 25; ++k)
    {
        report.onFrame(Ogre::Vector3::ZERO, "2_3", 9, 72, 0.001);
        std::string text = progress.onFrame(report.getFigures());
        if (!text.empty())
            lines.push_back(text);
    }
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "frame 10/25  cell 2_3  partitions 9  objects 72\n");
    EXPECT_EQ(lines[2].substr(0, 12), "frame 25/25 ");
    EXPECT_EQ(progress.finish(), "");
}

TEST(ViewerProgressLine, TerminalOutputRewritesOneLine)
{
    Wren::ViewerReport report;
    Wren::ViewerProgress progress(true, 4, 10);
    std::string last;
    for (int k = 0; k < 4; ++k)
    {
        report.onFrame(Ogre::Vector3::ZERO, "0_0", 1, 3, 0.001);
        std::string text = progress.onFrame(report.getFigures());
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text[0], '\r');
        EXPECT_EQ(text.find('\n'), std::string::npos);
        last = text;
    }
    EXPECT_NE(last.find("[########################] 100% frame 4/4  cell 0_0"), std::string::npos)
        << last;
    EXPECT_EQ(progress.finish(), "\n");
    EXPECT_EQ(Wren::ViewerProgress::bar(0.5, 4), "[##--]");
}
