#ifndef __WrenRenderBench_H__
#define __WrenRenderBench_H__

#include <cstddef>
#include <string>
#include <vector>

namespace benchmark
{
    class State;
}

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
        /** Objects of the instanced-frame benchmarks, one run each. */
        std::vector<size_t> instancedCounts{1000, 10000};
    };

    /** The frames of count static objects of one template: drawn as plain
        entities, and as the instanced batches an area builds for them. A
        figure below zero was not measured. */
    struct InstancedFigures
    {
        size_t objects = 0;
        double entityMilliseconds = -1.0;
        double instancedMilliseconds = -1.0;
        /** Draw calls of a frame (the window's batch count). */
        size_t entityDrawCalls = 0;
        size_t instancedDrawCalls = 0;
        /** Instanced batches the objects fill. */
        size_t batches = 0;

        /** Instanced frame time over entity frame time; below zero when
            either is missing. */
        double ratio() const;
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
        /** One per entry of RenderBenchOptions::instancedCounts. */
        std::vector<InstancedFigures> instanced;
        std::string error;

        /** Impostor frame time over mesh frame time; below zero when either
            is missing. */
        double ratio() const;
    };

    /** Impostor frames must take less than this share of mesh frames. */
    const double ImpostorRatioTarget = 0.2;
    /** Instanced frames of the largest count may take at most this share
        of entity frames, with at most one draw call per batch. */
    const double InstancedRatioTarget = 1.0 / 3.0;

    RenderBenchOptions& renderOptions();
    RenderFigures& renderFigures();

    /** The scene of the run, started on first use with renderOptions();
        null (the reason in renderFigures().error) when it can not start. */
    DistantMeshScene* renderScene();
    /** Tears the scene down; the last act of the program. */
    void stopRenderScene();
    /** Draws the scene's frames of the benchmark loop (wall time) and
        answers milliseconds per frame, also as the counter "ms_per_frame". */
    double timeFrames(benchmark::State& state, DistantMeshScene& scene);

    /** Registers the frame-time benchmarks with Google Benchmark. */
    void registerImpostorFrameBenchmarks();
    void registerInstancedFrameBenchmarks();

    /** The short table of the figures. */
    std::string formatRenderTable(const RenderFigures& figures);
}
}

#endif
