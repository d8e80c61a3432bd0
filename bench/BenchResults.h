#ifndef __WrenBenchResults_H__
#define __WrenBenchResults_H__

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace Wren
{
namespace Bench
{
    /** Shows runs on the console as Google Benchmark does and keeps them,
        so that the figures that compare runs (load against load, grid
        against grid) can be derived once everything ran. */
    class CollectingReporter : public benchmark::ConsoleReporter
    {
    public:
        void ReportRuns(const std::vector<Run>& runs) override;

        /** Each group of runs as reported. */
        const std::vector<std::vector<Run>>& getGroups() const { return mGroups; }
        std::vector<std::vector<Run>>& getGroups() { return mGroups; }
        bool hadErrors() const { return mErrors; }

    private:
        std::vector<std::vector<Run>> mGroups;
        bool mErrors = false;
    };

    /** Adds the derived figures as counters of the runs they describe, all
        ratios of CPU time per iteration (the benchmarks are single-threaded;
        on a shared machine wall time also counts other processes):
        - BM_PartitionLoadBinary/N: "xml_over_binary" (XML load time over
          binary load time), "scene_over_binary" (OGRE's scene loader over
          our binary load), "over_floor" (over making bare nodes);
        - BM_PartitionLoadBinaryWithEntities/N: "scene_over_binary" (both
          making the entities), "over_floor" (over bare nodes with entities);
        - BM_PartitionLoadXml/N: "over_floor", "over_scene" (over OGRE's
          scene loader), "over_tenth" (over the XML load of N/10);
        - BM_DotSceneLoad/N: "over_floor";
        - BM_PartitionLoadMemory/N: "with_entity_over_scene" (bytes per
          object with its entity over the scene loader's);
        - BM_StreamingStill/C, BM_StreamingCrossing/C, BM_StreamingSettle/C:
          "over_smallest_grid".
    */
    void deriveFigures(CollectingReporter& reporter);

    /** The key figures as a short table: the goals first, each with its
        figure and whether it is met, then the figures behind them. */
    std::string resultsTable(const CollectingReporter& reporter);

    /** deriveFigures, then DIR/results.json (Google Benchmark's JSON) and
        DIR/results.txt (resultsTable), each through a temporary file and a
        rename; false when one could not be written. */
    bool writeResults(CollectingReporter& reporter, const std::string& dir);
}
}

#endif
