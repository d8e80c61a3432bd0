#include "BenchResults.h"

#include "AtomicFile.h"

#include <cstdio>
#include <map>
#include <sstream>

namespace Wren
{
namespace Bench
{
    namespace
    {
        typedef benchmark::BenchmarkReporter::Run Run;

        /** CPU seconds per iteration. Every benchmark here runs on one
            thread, so its CPU time is its work, while wall time on a shared
            machine also holds the time other processes had the core. */
        double secondsPerIteration(const Run& run)
        {
            return run.iterations > 0 ? run.cpu_accumulated_time / double(run.iterations)
                                      : run.cpu_accumulated_time;
        }

        /** The runs by family and argument that did not fail: the median of
            repeated runs (--benchmark_repetitions) where there is one, else
            the last run. */
        std::map<std::string, std::map<long, Run*>> index(CollectingReporter& reporter)
        {
            std::map<std::string, std::map<long, Run*>> runs;
            std::map<std::string, std::map<long, bool>> median;
            for (auto& group : reporter.getGroups())
                for (Run& run : group)
                {
                    if (run.error_occurred)
                        continue;
                    const bool isMedian =
                        run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
                    if (run.run_type != Run::RT_Iteration && !isMedian)
                        continue;
                    const std::string& family = run.run_name.function_name;
                    const long arg = std::stol(run.run_name.args.empty() ? "0" : run.run_name.args);
                    if (median[family][arg] && !isMedian)
                        continue;
                    runs[family][arg] = &run;
                    median[family][arg] = median[family][arg] || isMedian;
                }
            return runs;
        }

        double counter(const Run* run, const char* name)
        {
            if (!run)
                return 0.0;
            auto it = run->counters.find(name);
            return it == run->counters.end() ? 0.0 : double(it->second.value);
        }

        const Run* find(const std::map<std::string, std::map<long, Run*>>& runs,
                        const std::string& family, long arg)
        {
            auto f = runs.find(family);
            if (f == runs.end())
                return nullptr;
            auto a = f->second.find(arg);
            return a == f->second.end() ? nullptr : a->second;
        }

        void ratio(Run* run, const char* name, const Run* over, const Run* under)
        {
            if (run && over && under && secondsPerIteration(*under) > 0)
                run->counters[name] = secondsPerIteration(*over) / secondsPerIteration(*under);
        }

        std::string format(const char* pattern, double value)
        {
            char buffer[64];
            std::snprintf(buffer, sizeof(buffer), pattern, value);
            return buffer;
        }
    }

    void CollectingReporter::ReportRuns(const std::vector<Run>& runs)
    {
        for (const Run& run : runs)
            mErrors = mErrors || run.error_occurred;
        mGroups.push_back(runs);
        benchmark::ConsoleReporter::ReportRuns(runs);
    }

    void deriveFigures(CollectingReporter& reporter)
    {
        auto runs = index(reporter);
        for (auto& entry : runs["BM_PartitionLoadBinary"])
        {
            const long n = entry.first;
            Run* binary = entry.second;
            ratio(binary, "xml_over_binary", find(runs, "BM_PartitionLoadXml", n), binary);
            ratio(binary, "scene_over_binary", find(runs, "BM_DotSceneLoad", n), binary);
            ratio(binary, "over_floor", binary, find(runs, "BM_BareSceneNodes", n));
        }
        for (auto& entry : runs["BM_PartitionLoadBinaryWithEntities"])
        {
            const long n = entry.first;
            Run* binary = entry.second;
            ratio(binary, "scene_over_binary", find(runs, "BM_DotSceneLoad", n), binary);
            ratio(binary, "over_floor", binary, find(runs, "BM_BareSceneNodesWithEntities", n));
        }
        for (auto& entry : runs["BM_PartitionLoadXml"])
            ratio(entry.second, "over_floor", entry.second,
                  find(runs, "BM_BareSceneNodes", entry.first));
        for (auto& entry : runs["BM_DotSceneLoad"])
            ratio(entry.second, "over_floor", entry.second,
                  find(runs, "BM_BareSceneNodesWithEntities", entry.first));
        for (auto& entry : runs["BM_PartitionLoadXml"])
        {
            ratio(entry.second, "over_scene", entry.second,
                  find(runs, "BM_DotSceneLoad", entry.first));
            ratio(entry.second, "over_tenth", entry.second,
                  find(runs, "BM_PartitionLoadXml", entry.first / 10));
        }
        for (auto& entry : runs["BM_PartitionLoadMemory"])
        {
            const double scene = counter(find(runs, "BM_DotSceneLoadMemory", entry.first),
                                         "bytes_per_object_with_entity");
            if (scene > 0)
                entry.second->counters["with_entity_over_scene"] =
                    counter(entry.second, "bytes_per_object_with_entity") / scene;
        }
        for (const char* family : {"BM_StreamingStill", "BM_StreamingCrossing", "BM_StreamingSettle"})
        {
            auto& sizes = runs[family];
            if (sizes.empty())
                continue;
            const Run* smallest = sizes.begin()->second;
            for (auto& entry : sizes)
                ratio(entry.second, "over_smallest_grid", entry.second, smallest);
        }
    }

    std::string resultsTable(const CollectingReporter& constReporter)
    {
        CollectingReporter& reporter = const_cast<CollectingReporter&>(constReporter);
        auto runs = index(reporter);
        std::ostringstream out;
        auto ms = [](const Run* run) {
            return run ? format("%10.3f", secondsPerIteration(*run) * 1e3) : std::string(10, ' ') + "";
        };
        auto num = [](double value, const char* pattern) {
            return value > 0 ? format(pattern, value) : std::string("         -");
        };

        out << "Goals, each a ratio of this run\n";
        struct Goal
        {
            const char* text;
            const char* family;
            long n;
            const char* figure;
            double limit;
            bool atLeast;
        };
        const Goal goals[] = {
            {".scene / (binary+ent) >=", "BM_PartitionLoadBinaryWithEntities", 10000,
             "scene_over_binary", 1.0, true},
            {".scene / (binary+ent) >=", "BM_PartitionLoadBinaryWithEntities", 100000,
             "scene_over_binary", 1.0, true},
            {"(binary+ent) / (bare+ent) <=", "BM_PartitionLoadBinaryWithEntities", 10000,
             "over_floor", 1.3, false},
            {"(binary+ent) / (bare+ent) <=", "BM_PartitionLoadBinaryWithEntities", 100000,
             "over_floor", 1.3, false},
            {"binary / bare nodes <=", "BM_PartitionLoadBinary", 10000, "over_floor", 2.0, false},
            {"binary / bare nodes <=", "BM_PartitionLoadBinary", 100000, "over_floor", 2.0, false},
            {"XML / .scene <=", "BM_PartitionLoadXml", 10000, "over_scene", 1.5, false},
            {"XML at N / XML at N/10 <=", "BM_PartitionLoadXml", 100000, "over_tenth", 11.0, false},
            {"memory with entity / .scene's <=", "BM_PartitionLoadMemory", 10000,
             "with_entity_over_scene", 1.5, false},
        };
        for (const Goal& goal : goals)
        {
            const double value = counter(find(runs, goal.family, goal.n), goal.figure);
            const bool met = value > 0 && (goal.atLeast ? value >= goal.limit : value <= goal.limit);
            out << "  " << goal.text << format(" %.1f", goal.limit)
                << std::string(34 - std::string(goal.text).size(), ' ')
                << format("N %6.0f", double(goal.n)) << "  "
                << (value > 0 ? format("%6.2f", value) : std::string("     -")) << "  "
                << (value > 0 ? (met ? "met" : "NOT met") : "not run") << "\n";
        }
        out << "\nPartition load, CPU ms per load (one partition of N mesh objects)\n"
            << "         N        XML     binary  binary+ent   .scene  bare nodes  bare+ent\n";
        for (auto& entry : runs["BM_PartitionLoadBinary"])
        {
            const long n = entry.first;
            out << format("%10.0f", double(n)) << " " << ms(find(runs, "BM_PartitionLoadXml", n))
                << " " << ms(entry.second) << " "
                << ms(find(runs, "BM_PartitionLoadBinaryWithEntities", n)) << " "
                << ms(find(runs, "BM_DotSceneLoad", n)) << " "
                << ms(find(runs, "BM_BareSceneNodes", n)) << " "
                << ms(find(runs, "BM_BareSceneNodesWithEntities", n)) << "\n";
        }
        out << "\nRatios of CPU times\n"
            << "         N  XML/binary  .scene/binary  .scene/(binary+ent)  binary/floor  "
               "binary+ent/floor+ent  XML/floor  .scene/floor+ent\n";
        for (auto& entry : runs["BM_PartitionLoadBinary"])
        {
            const long n = entry.first;
            const Run* b = entry.second;
            const Run* be = find(runs, "BM_PartitionLoadBinaryWithEntities", n);
            out << format("%10.0f", double(n)) << "  "
                << num(counter(b, "xml_over_binary"), "%10.2f") << "  "
                << num(counter(b, "scene_over_binary"), "%13.2f") << "  "
                << num(counter(be, "scene_over_binary"), "%19.2f") << "  "
                << num(counter(b, "over_floor"), "%12.2f") << "  "
                << num(counter(be, "over_floor"), "%20.2f") << "  "
                << num(counter(find(runs, "BM_PartitionLoadXml", n), "over_floor"), "%9.2f")
                << "  " << num(counter(find(runs, "BM_DotSceneLoad", n), "over_floor"), "%16.2f")
                << "\n";
        }
        out << "\nResident memory per loaded object, bytes\n"
            << "         N     binary  binary+entity  .scene (node+entity)\n";
        for (auto& entry : runs["BM_PartitionLoadMemory"])
        {
            const long n = entry.first;
            out << format("%10.0f", double(n)) << " "
                << format("%10.0f", counter(entry.second, "bytes_per_object")) << " "
                << format("%14.0f", counter(entry.second, "bytes_per_object_with_entity")) << " "
                << format("%21.0f", counter(find(runs, "BM_DotSceneLoadMemory", n),
                                            "bytes_per_object_with_entity"))
                << "\n";
        }
        out << "\nStreaming step, CPU microseconds per frame (target: still within 20 % from the "
               "smallest grid to the largest)\n"
            << "      grid      still  still/smallest   crossing  crossing/smallest"
               "  settled crossing (ms, frames, loads)\n";
        for (auto& entry : runs["BM_StreamingStill"])
        {
            const long c = entry.first;
            const Run* still = entry.second;
            const Run* crossing = find(runs, "BM_StreamingCrossing", c);
            out << format("%7.0f", double(c)) << "x" << c << (c < 10 ? " " : "")
                << format("%10.2f", secondsPerIteration(*still) * 1e6) << "  "
                << num(counter(still, "over_smallest_grid"), "%14.2f") << " "
                << (crossing ? format("%10.2f", secondsPerIteration(*crossing) * 1e6)
                             : std::string("         -"))
                << "  " << num(counter(crossing, "over_smallest_grid"), "%17.2f");
            if (const Run* settle = find(runs, "BM_StreamingSettle", c))
                out << format("  %10.3f", secondsPerIteration(*settle) * 1e3)
                    << format(" %7.0f", counter(settle, "frames"))
                    << format(" %6.1f", counter(settle, "loads"));
            out << "\n";
        }
        return out.str();
    }

    bool writeResults(CollectingReporter& reporter, const std::string& dir)
    {
        deriveFigures(reporter);
        std::ostringstream json;
        benchmark::JSONReporter writer;
        writer.SetOutputStream(&json);
        writer.SetErrorStream(&json);
        writer.ReportContext(benchmark::BenchmarkReporter::Context());
        for (const auto& group : reporter.getGroups())
            writer.ReportRuns(group);
        writer.Finalize();
        const std::string jsonText = json.str();
        const std::string table = resultsTable(reporter);
        const bool jsonOk = AtomicFile::write(dir + "/results.json", jsonText.data(), jsonText.size());
        const bool tableOk = AtomicFile::write(dir + "/results.txt", table.data(), table.size());
        return jsonOk && tableOk;
    }
}
}
