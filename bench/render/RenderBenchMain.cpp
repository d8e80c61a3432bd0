// wren-bench-render: the benchmarks that draw, on OGRE's GL render system
// (needs a display; the scripts start Xvfb). Google Benchmark's flags, plus:
//   --results-dir=DIR  writes DIR/render-results.json and DIR/render-results.txt
//   --smoke            a tiny scene and a few frames, to show the program works
//   --nodes=N          nodes in the scene (1000)
//   --frames=N         frames timed by each benchmark (150)
// The instanced-frame runs draw 1 000 and 10 000 boxes (60 and 130 in smoke runs).
#include "RenderBench.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace Wren
{
namespace Bench
{
    RenderBenchOptions& renderOptions()
    {
        static RenderBenchOptions options;
        return options;
    }

    RenderFigures& renderFigures()
    {
        static RenderFigures figures;
        return figures;
    }

    double RenderFigures::ratio() const
    {
        if (meshMilliseconds <= 0.0 || impostorMilliseconds < 0.0)
            return -1.0;
        return impostorMilliseconds / meshMilliseconds;
    }

    std::string formatRenderTable(const RenderFigures& figures)
    {
        std::ostringstream text;
        char line[160];
        text << "Render benchmarks: " << figures.nodes << " distant nodes of "
             << figures.trianglesPerMesh << " triangles, " << figures.windowWidth << " x "
             << figures.windowHeight << " window\n";
        std::snprintf(line, sizeof(line), "%-28s %12s\n", "benchmark", "ms/frame");
        text << line;
        const auto row = [&](const char* name, double ms) {
            if (ms < 0.0)
                std::snprintf(line, sizeof(line), "%-28s %12s\n", name, "-");
            else
                std::snprintf(line, sizeof(line), "%-28s %12.3f\n", name, ms);
            text << line;
        };
        row("EmptyViewFrame", figures.emptyMilliseconds);
        row("DistantMeshFrame", figures.meshMilliseconds);
        row("DistantImpostorFrame", figures.impostorMilliseconds);
        const double ratio = figures.ratio();
        if (ratio >= 0.0)
        {
            std::snprintf(line, sizeof(line), "%-28s %12.3f  (target below %.2f: %s)\n",
                          "impostors / meshes", ratio, ImpostorRatioTarget,
                          ratio < ImpostorRatioTarget ? "met" : "NOT met");
            text << line;
            text << "impostor warm-up: " << figures.warmUpFrames << " frames, "
                 << figures.impostorNodes << " nodes as impostors\n";
        }
        for (const InstancedFigures& run : figures.instanced)
        {
            const std::string count = std::to_string(run.objects);
            row(("EntityBoxFrame/" + count).c_str(), run.entityMilliseconds);
            row(("InstancedBoxFrame/" + count).c_str(), run.instancedMilliseconds);
            text << "  draw calls: " << run.entityDrawCalls << " as entities, "
                 << run.instancedDrawCalls << " for " << run.batches << " batches\n";
        }
        if (!figures.instanced.empty() && figures.instanced.back().ratio() >= 0.0)
        {
            const InstancedFigures& largest = figures.instanced.back();
            const bool met = largest.ratio() <= InstancedRatioTarget &&
                             largest.instancedDrawCalls <= largest.batches;
            std::snprintf(line, sizeof(line),
                          "%-28s %12.3f  (target at most %.2f and a draw per batch: %s)\n",
                          "instanced / entities", largest.ratio(), InstancedRatioTarget,
                          met ? "met" : "NOT met");
            text << line;
        }
        if (!figures.error.empty())
            text << "error: " << figures.error << "\n";
        return text.str();
    }

    namespace
    {
        /** Writes through a temporary file and a rename; false on failure. */
        bool writeFileAtomically(const fs::path& path, const std::string& text)
        {
            const fs::path temporary = path.string() + ".tmp" + std::to_string(::getpid());
            {
                std::ofstream out(temporary, std::ios::binary);
                out << text;
                if (!out)
                    return false;
            }
            std::error_code ec;
            fs::rename(temporary, path, ec);
            if (ec)
                fs::remove(temporary, ec);
            return !ec;
        }
    }
}
}

int main(int argc, char** argv)
{
    using namespace Wren::Bench;
    RenderBenchOptions& options = renderOptions();

    // Our own flags are taken out before Google Benchmark sees the rest.
    std::vector<char*> args{argv[0]};
    size_t nodeCount = 0, frameCount = 0;
    std::vector<std::string> added;
    for (int i = 1; i < argc; ++i)
    {
        const char* arg = argv[i];
        if (std::strncmp(arg, "--results-dir=", 14) == 0)
            options.resultsDir = arg + 14;
        else if (std::strcmp(arg, "--smoke") == 0)
            options.smoke = true;
        else if (std::strncmp(arg, "--nodes=", 8) == 0 || std::strncmp(arg, "--frames=", 9) == 0)
        {
            const bool nodes = arg[2] == 'n';
            char* end = nullptr;
            const unsigned long value = std::strtoul(std::strchr(arg, '=') + 1, &end, 10);
            if (!end || *end || value == 0 || value > 100000)
            {
                std::cerr << "wren-bench-render: " << arg << ": a whole number from 1 to 100000\n";
                return 1;
            }
            (nodes ? nodeCount : frameCount) = value;
        }
        else
            args.push_back(argv[i]);
    }
    if (options.smoke)
    {
        options.nodes = 20;
        options.frames = 3;
        options.instancedCounts = {60, 130};
    }
    if (nodeCount)
        options.nodes = nodeCount;
    if (frameCount)
        options.frames = frameCount;
    if (!options.resultsDir.empty())
    {
        std::error_code ec;
        fs::create_directories(options.resultsDir, ec);
        if (ec)
        {
            std::cerr << "wren-bench-render: can not make " << options.resultsDir << ": "
                      << ec.message() << "\n";
            return 1;
        }
        added.push_back("--benchmark_out=" + (fs::path(options.resultsDir) / "render-results.json").string());
        added.push_back("--benchmark_out_format=json");
    }
    for (std::string& arg : added)
        args.push_back(&arg[0]);
    args.push_back(nullptr);

    int count = int(args.size()) - 1;
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;
    registerImpostorFrameBenchmarks();
    registerInstancedFrameBenchmarks();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    stopRenderScene();

    const RenderFigures& figures = renderFigures();
    const std::string table = formatRenderTable(figures);
    std::cout << "\n" << table;
    if (!options.resultsDir.empty() &&
        !writeFileAtomically(fs::path(options.resultsDir) / "render-results.txt", table))
    {
        std::cerr << "wren-bench-render: can not write render-results.txt in " << options.resultsDir
                  << "\n";
        return 1;
    }
    // A scene that could not start, or impostors that never came, fail the run.
    return figures.error.empty() ? 0 : 1;
}
