#include "TestEngine.h"
#include "WorldGenerator.h"
#include "WorldViewer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using Wren::Test::TestEngine;

namespace
{
    /** Replaces every occurrence of from in text by to. */
    std::string replaced(std::string text, const std::string& from, const std::string& to)
    {
        for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
            text.replace(at, from.size(), to);
        return text;
    }
}

TEST(WorldViewerSinglePartition, WorldWithoutGridIsFlownAndCountedInTheSummary)
{
    // A generated one-cell world turned into a world of one partition: no
    // grid in the world file, the cell's objects in the single partition's file.
    Wren::WorldGeneratorOptions options;
    options.cells = 1;
    options.objectsPerCell = 7;
    options.seed = 3;
    const std::string folder = TestEngine::instance().makeTempFolder("viewer-single") + "/W";
    ASSERT_TRUE(Wren::WorldGenerator(options).generate(folder).ok);
    std::ofstream(folder + "/W.World") << "<World><GameObjectManagerData/></World>";
    const std::string cellFile = folder + "/Partitions/W_Partition0_0.objects";
    const std::string objects = TestEngine::readFile(cellFile);
    fs::remove(cellFile);
    std::ofstream(folder + "/Partitions/W_PartitionSinglePartition.objects")
        << replaced(objects, "PartitionID=\"0_0\"", "PartitionID=\"SinglePartition\"");

    Wren::WorldViewerOptions view;
    view.world = folder;
    view.backgroundLoading = false;
    view.frames = 20;
    Wren::WorldViewer viewer(view);
    ASSERT_TRUE(viewer.run()) << viewer.getError();
    EXPECT_FALSE(viewer.getIsGridWorld());
    const Wren::ViewerSummary summary = viewer.getSummary();
    EXPECT_EQ(summary.partitionsLoaded, 1u);
    EXPECT_EQ(summary.partitionsUnloaded, 0u);
    EXPECT_EQ(summary.objectsCreated, 7u);
    EXPECT_EQ(viewer.getReport().getFigures().loadedPartitions, 1u);
}
