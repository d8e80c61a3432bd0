#include "RenderBench.h"

#include "DistantMeshScene.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>

namespace Wren
{
namespace Bench
{
    namespace
    {
        std::unique_ptr<DistantMeshScene> gScene;
        bool gStartTried = false;

        /** Times the frames of the wall of meshes; milliseconds per frame. */
        double timeWallFrames(benchmark::State& state, DistantMeshScene& scene)
        {
            const double ms = timeFrames(state, scene);
            state.counters["nodes"] = double(scene.getNodeCount());
            state.counters["triangles_per_mesh"] = double(scene.getTrianglesPerMesh());
            return ms;
        }

        /** The frame without any node: clearing, presenting and reading
            back the window, which every frame pays. */
        void EmptyViewFrame(benchmark::State& state)
        {
            DistantMeshScene* scene = renderScene();
            if (!scene)
            {
                state.SkipWithError(renderFigures().error.c_str());
                return;
            }
            scene->useImpostors(false);
            scene->setNodesVisible(false);
            for (int i = 0; i < 3; ++i)
                scene->drawFrame();
            renderFigures().emptyMilliseconds = timeWallFrames(state, *scene);
            scene->setNodesVisible(true);
        }

        void DistantMeshFrame(benchmark::State& state)
        {
            DistantMeshScene* scene = renderScene();
            if (!scene)
            {
                state.SkipWithError(renderFigures().error.c_str());
                return;
            }
            scene->useImpostors(false);
            // A few frames first, so that buffers are on the GPU.
            for (int i = 0; i < 3; ++i)
                scene->drawFrame();
            renderFigures().meshMilliseconds = timeWallFrames(state, *scene);
        }

        void DistantImpostorFrame(benchmark::State& state)
        {
            DistantMeshScene* scene = renderScene();
            if (!scene)
            {
                state.SkipWithError(renderFigures().error.c_str());
                return;
            }
            RenderFigures& figures = renderFigures();
            figures.warmUpFrames = scene->useImpostors(true);
            figures.impostorNodes = scene->getImpostorNodeCount();
            if (figures.impostorNodes < scene->getNodeCount())
            {
                char why[160];
                std::snprintf(why, sizeof(why), "only %zu of %zu nodes became impostors in %u frames",
                              figures.impostorNodes, scene->getNodeCount(), figures.warmUpFrames);
                figures.error = why;
                scene->useImpostors(false);
                state.SkipWithError(figures.error.c_str());
                return;
            }
            const size_t capturesBefore = scene->getCaptureCount();
            figures.impostorMilliseconds = timeWallFrames(state, *scene);
            // The camera stands still: pictures taken while timing are a fault.
            const double frames = double(std::max<benchmark::IterationCount>(1, state.iterations()));
            state.counters["captures_per_frame"] =
                double(scene->getCaptureCount() - capturesBefore) / frames;
            state.counters["impostors"] = double(figures.impostorNodes);
            state.counters["warm_up_frames"] = double(figures.warmUpFrames);
            if (figures.ratio() >= 0.0)
            {
                state.counters["ratio_to_meshes"] = figures.ratio();
                state.counters["target_met"] = figures.ratio() < ImpostorRatioTarget ? 1.0 : 0.0;
            }
            scene->useImpostors(false);
        }
    }

    DistantMeshScene* renderScene()
    {
        if (!gStartTried)
        {
            gStartTried = true;
            const RenderBenchOptions& options = renderOptions();
            gScene.reset(new DistantMeshScene());
            const std::string log =
                options.resultsDir.empty() ? std::string() : options.resultsDir + "/render-bench.log";
            if (!gScene->start(options.nodes, log))
            {
                renderFigures().error = gScene->getError();
                gScene.reset();
            }
            else
            {
                RenderFigures& figures = renderFigures();
                figures.nodes = gScene->getNodeCount();
                figures.trianglesPerMesh = gScene->getTrianglesPerMesh();
                figures.windowWidth = gScene->getWindowWidth();
                figures.windowHeight = gScene->getWindowHeight();
            }
        }
        return gScene.get();
    }

    void stopRenderScene() { gScene.reset(); }

    double timeFrames(benchmark::State& state, DistantMeshScene& scene)
    {
        typedef std::chrono::steady_clock Clock;
        const Clock::time_point start = Clock::now();
        for (auto _ : state)
            scene.drawFrame();
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        const double ms = state.iterations() > 0 ? 1000.0 * seconds / state.iterations() : 0.0;
        state.counters["ms_per_frame"] = ms;
        return ms;
    }

    void registerImpostorFrameBenchmarks()
    {
        // The meshes run first, so that the impostor run can report its
        // share of their frame time. Wall time: the GPU (llvmpipe here)
        // works on threads of its own.
        const benchmark::IterationCount frames = benchmark::IterationCount(renderOptions().frames);
        benchmark::RegisterBenchmark("EmptyViewFrame", EmptyViewFrame)
            ->Iterations(frames)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("DistantMeshFrame", DistantMeshFrame)
            ->Iterations(frames)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("DistantImpostorFrame", DistantImpostorFrame)
            ->Iterations(frames)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
    }
}
}
