// wren-bench: the benchmarks of the framework. Beyond Google Benchmark's own
// flags it takes
//   --results-dir=DIR  write DIR/results.json (Google Benchmark's JSON, the
//                      derived ratios added as counters) and DIR/results.txt
//                      (the key figures for people)
//   --smoke            tiny sizes, for the test that keeps the benchmarks
//                      from rotting
#include "BenchEngine.h"
#include "BenchResults.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace Wren
{
namespace Bench
{
    void registerPartitionLoadBenchmarks();
    void registerStreamingBenchmarks();
}
}

int main(int argc, char** argv)
{
    std::string resultsDir;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i)
    {
        const char* prefix = "--results-dir=";
        if (i > 0 && std::strncmp(argv[i], prefix, std::strlen(prefix)) == 0)
            resultsDir = argv[i] + std::strlen(prefix);
        else if (i > 0 && std::strcmp(argv[i], "--smoke") == 0)
            Wren::Bench::setSmoke(true);
        else
            args.push_back(argv[i]);
    }
    int count = int(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;
    if (!resultsDir.empty())
    {
        std::error_code ec;
        std::filesystem::create_directories(resultsDir, ec);
        if (ec)
        {
            std::cerr << "wren-bench: can not make " << resultsDir << ": " << ec.message() << '\n';
            return 1;
        }
    }

    Wren::Bench::registerPartitionLoadBenchmarks();
    Wren::Bench::registerStreamingBenchmarks();

    Wren::Bench::CollectingReporter reporter;
    const size_t ran = benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    int status = ran > 0 && !reporter.hadErrors() ? 0 : 1;
    if (reporter.hadErrors())
        std::cerr << "wren-bench: some benchmarks failed (see above)\n";
    // Written while the engine's log still exists, which the file writer
    // reports failures to.
    if (!resultsDir.empty() && !Wren::Bench::writeResults(reporter, resultsDir))
    {
        std::cerr << "wren-bench: can not write the results into " << resultsDir << '\n';
        status = 1;
    }
    Wren::Bench::BenchEngine::shutdown();
    if (!resultsDir.empty())
        std::cout << "results: " << resultsDir << "/results.txt, " << resultsDir
                  << "/results.json\n";
    return status;
}
