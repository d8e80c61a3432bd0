// One frame of the world (CoreGameObjectManager::update) on grids of
// growing size with the same objects in every cell: with the camera still,
// a frame should cost what the cells around the camera cost, not what the
// whole grid holds; with the camera crossing into the next cell, the frame
// that notices the crossing plans the loads and unloads; and the whole
// crossing, until the streaming it brought has settled.
#include "BenchEngine.h"

#include "CameraPath.h"
#include "CoreGameObjectManager.h"
#include "CorePartition.h"
#include "CorePartitionManager.h"
#include "GridLayout.h"
#include "WorldHost.h"

#include <OgreCamera.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <map>

namespace
{
    using namespace Wren;

    const float FrameSeconds = 0.02f;

    int objectsPerCell() { return Bench::smoke() ? 4 : 16; }

    const WorldGeneratorResult& streamingWorld(int cells)
    {
        static std::map<int, WorldGeneratorResult> cache;
        auto found = cache.find(cells);
        if (found == cache.end())
            found = cache
                        .emplace(cells, Bench::generateWorld("Grid" + std::to_string(cells), cells,
                                                             objectsPerCell(), true))
                        .first;
        return found->second;
    }

    /** A running grid world with its camera in the middle cell. */
    struct StreamingTarget
    {
        StreamingTarget(benchmark::State& state, int cells)
        {
            Bench::BenchEngine::instance();
            const WorldGeneratorResult& world = streamingWorld(cells);
            if (!Bench::startWorld(host, world))
            {
                state.SkipWithError("the grid world does not start");
                return;
            }
            layout = world.grid;
            partitions = host.getManager()->getPartitionManager();
            Ogre::Camera* camera = host.getManager()->getPlayerCamera();
            cameraNode = camera ? camera->getParentSceneNode() : nullptr;
            if (!cameraNode)
            {
                state.SkipWithError("the grid world has no player camera");
                return;
            }
            const int middle = cells / 2;
            here = centreOf(middle, middle);
            there = centreOf(middle > 0 ? middle - 1 : middle, middle);
            cameraNode->setPosition(here);
            settle();
        }
        ~StreamingTarget() { host.stop(); }

        Ogre::Vector3 centreOf(int i, int j) const
        {
            return Ogre::Vector3(layout.cellMinX(i) + layout.cellSize * 0.5f, 0.0f,
                                 layout.cellMinZ(j) + layout.cellSize * 0.5f);
        }

        bool busy() const
        {
            return !partitions->getLoadWaitList().empty() ||
                   !partitions->getUnloadWaitList().empty() ||
                   partitions->getChangeLODObjectsCount() > 0 ||
                   !partitions->getLodInFlight().empty();
        }

        /** Frames until every load, unload and level-of-detail change is
            done (or a generous limit passed); answers the frames run. */
        int settle()
        {
            int frame = 0;
            while (frame < 20000)
            {
                host.update(FrameSeconds);
                if (++frame > 3 && !busy())
                    break;
            }
            return frame;
        }

        bool ok() const { return cameraNode != nullptr; }

        void report(benchmark::State& state)
        {
            state.counters["cells"] = double(layout.cellsX) * layout.cellsZ;
            state.counters["loaded_cells"] = double(partitions->GetLoadPartitions().size());
            size_t objects = 0;
            for (CorePartition* p : partitions->GetLoadPartitions())
                objects += p->getObjects().size();
            state.counters["loaded_objects"] = double(objects);
        }

        WorldHost host;
        GridLayout layout;
        CorePartitionManager* partitions = nullptr;
        Ogre::SceneNode* cameraNode = nullptr;
        Ogre::Vector3 here = Ogre::Vector3::ZERO;
        Ogre::Vector3 there = Ogre::Vector3::ZERO;
    };

    void BM_StreamingStill(benchmark::State& state)
    {
        StreamingTarget target(state, int(state.range(0)));
        for (auto _ : state)
        {
            if (!target.ok())
                break;
            target.host.update(FrameSeconds);
        }
        if (target.ok())
            target.report(state);
    }

    /** The frame in which the camera has just crossed into the neighbouring
        cell; the frames that then load and unload the cells, and the
        level-of-detail changes, are run untimed before the next crossing. */
    void BM_StreamingCrossing(benchmark::State& state)
    {
        StreamingTarget target(state, int(state.range(0)));
        bool atHere = true;
        for (auto _ : state)
        {
            if (!target.ok())
                break;
            atHere = !atHere;
            target.cameraNode->setPosition(atHere ? target.here : target.there);
            target.host.update(FrameSeconds);
            state.PauseTiming();
            target.settle();
            state.ResumeTiming();
        }
        if (target.ok())
            target.report(state);
    }

    /** The largest frame of a whole flight along the grid's diagonal, as
        the viewer flies it, over a binary world of 100 objects a cell: the
        frames that load a cell must cost what a cell costs, however many
        cells the world has. The reported time is that largest frame. */
    void BM_FlightLargestStep(benchmark::State& state)
    {
        const int cells = int(state.range(0));
        static std::map<int, WorldGeneratorResult> worlds;
        auto world = worlds.find(cells);
        if (world == worlds.end())
            world = worlds
                        .emplace(cells, Bench::generateWorld("Flight" + std::to_string(cells), cells,
                                                             Bench::smoke() ? 4 : 100, true))
                        .first;
        const float step = 1 / 30.0f;
        std::string error;
        std::optional<CameraPath> path =
            CameraPath::fromName("line", world->second.grid, 96.0f, step, 30.0f, &error);
        if (!world->second.ok || !path)
        {
            state.SkipWithError("no world or route to fly");
            return;
        }
        double largest = 0.0;
        double total = 0.0;
        std::uint64_t largestAt = 0;
        size_t loaded = 0;
        for (auto _ : state)
        {
            WorldHost host;
            if (!Bench::startWorld(host, world->second))
            {
                state.SkipWithError("the flight's world does not start");
                return;
            }
            Ogre::Camera* camera = host.getManager()->getPlayerCamera();
            Ogre::SceneNode* node = camera ? camera->getParentSceneNode() : nullptr;
            largest = total = 0.0;
            for (std::uint64_t k = 0; node && k < path->framesPerPass(); ++k)
            {
                node->setPosition(path->positionAt(k));
                const auto start = std::chrono::steady_clock::now();
                host.update(step);
                const double seconds =
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
                if (seconds > largest)
                {
                    largest = seconds;
                    largestAt = k;
                }
                total += seconds;
            }
            loaded = host.getManager()->getPartitionManager()->GetLoadPartitions().size();
            state.SetIterationTime(largest);
            host.stop();
        }
        state.counters["cells"] = double(cells) * cells;
        state.counters["frames"] = double(path->framesPerPass());
        state.counters["largest_at_frame"] = double(largestAt);
        state.counters["mean_step_ms"] = total * 1000.0 / double(path->framesPerPass());
        state.counters["loaded_cells_at_end"] = double(loaded);
    }

    /** The whole cell change: the frame that notices it and every frame
        after it until the loads, unloads and level-of-detail changes it
        brought are done. Counters: frames and partitions loaded per
        crossing. */
    void BM_StreamingSettle(benchmark::State& state)
    {
        StreamingTarget target(state, int(state.range(0)));
        bool atHere = true;
        double frames = 0;
        double loads = 0;
        for (auto _ : state)
        {
            if (!target.ok())
                break;
            atHere = !atHere;
            const auto before = target.partitions->GetLoadPartitions();
            target.cameraNode->setPosition(atHere ? target.here : target.there);
            frames += target.settle();
            for (CorePartition* p : target.partitions->GetLoadPartitions())
                loads += std::find(before.begin(), before.end(), p) == before.end() ? 1 : 0;
        }
        if (!target.ok())
            return;
        target.report(state);
        const double crossings = double(std::max<benchmark::IterationCount>(1, state.iterations()));
        state.counters["frames"] = frames / crossings;
        state.counters["loads"] = loads / crossings;
    }

    void gridSizes(benchmark::internal::Benchmark* b)
    {
        b->Unit(benchmark::kMicrosecond);
        if (Bench::smoke())
        {
            b->Arg(2);
            return;
        }
        // A frame takes microseconds and the machine may be shared: a longer
        // run keeps the grid sizes comparable.
        b->Arg(8)->Arg(32)->Arg(64)->MinTime(1.0);
    }
}

namespace Wren
{
namespace Bench
{
    void registerStreamingBenchmarks()
    {
        benchmark::RegisterBenchmark("BM_StreamingStill", BM_StreamingStill)->Apply(gridSizes);
        benchmark::RegisterBenchmark("BM_StreamingCrossing", BM_StreamingCrossing)
            ->Apply(gridSizes);
        auto* flight = benchmark::RegisterBenchmark("BM_FlightLargestStep", BM_FlightLargestStep)
                           ->Unit(benchmark::kMillisecond)
                           ->UseManualTime()
                           ->Iterations(1);
        if (Bench::smoke())
            flight->Arg(2);
        else
            flight->Arg(8)->Arg(64);
        benchmark::RegisterBenchmark("BM_StreamingSettle", BM_StreamingSettle)
            ->Apply(gridSizes);
    }
}
}
