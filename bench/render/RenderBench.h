#ifndef __WrenRenderBench_H__
#define __WrenRenderBench_H__

#include <cstddef>
#include <string>

namespace Wren
{
    class DistantMeshScene;

namespace Bench
{
    /** What the command line of wren-bench-render chose. */
    struct RenderBenchOptions
    {
        /** Tiny scene, few frames: the smoke run that keeps the program alive. */
        bool smoke = false;
        /** Where render-results.json and render-results.txt go; empty: nowhere. */
        std::string resultsDir;
        /** Nodes in the scene. */
        size_t nodes = 1000;
        /** Frames timed by each benchmark. */
        size_t frames = 150;
    };

    /** The figures of a run, for the text table. A figure below zero was
        not measured. */
    struct RenderFigures
    {
        double emptyMilliseconds = -1.0;
        double meshMilliseconds = -1.0;
        double impostorMilliseconds = -1.0;
        size_t nodes = 0;
        size_t impostorNodes = 0;
        size_t trianglesPerMesh = 0;
        unsigned warmUpFrames = 0;
        unsigned windowWidth = 0;
        unsigned windowHeight = 0;
        std::string error;

        /** Impostor frame time over mesh frame time; below zero when either
            is missing. */
        double ratio() const;
    };

    /** Impostor frames must take less than this share of mesh frames. */
    const double ImpostorRatioTarget = 0.2;

    RenderBenchOptions& renderOptions();
    RenderFigures& renderFigures();

    /** The scene of the run, started on first use with renderOptions();
        null (the reason in renderFigures().error) when it can not start. */
    DistantMeshScene* renderScene();
    /** Tears the scene down; the last act of the program. */
    void stopRenderScene();

    /** Registers the frame-time benchmarks with Google Benchmark. */
    void registerImpostorFrameBenchmarks();

    /** The short table of the figures. */
    std::string formatRenderTable(const RenderFigures& figures);
}
}

#endif
