#ifndef __WrenViewerReport_H__
#define __WrenViewerReport_H__

#include <OgreVector.h>

#include <nlohmann/json_fwd.hpp>

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace Wren
{
    /** What a run found and could not use. */
    enum class Unused
    {
        /** A partition's objects file that does not exist. */
        MissingFile,
        /** A well-formed file that is no partition objects file. */
        ForeignFile,
        /** An object left out for want of its metadata file. */
        ObjectWithoutMetadata,
        /** A mesh that could not be made or loaded. */
        MeshNotLoaded
    };
    constexpr size_t UnusedKinds = 4;

    /** What the viewer saw during a run, frame by frame. Filled by
        ViewerReport; read by the progress line, the summary and the map. */
    struct ViewerFigures
    {
        std::uint64_t frames = 0;
        std::uint64_t partitionsLoaded = 0;
        std::uint64_t partitionsUnloaded = 0;
        std::uint64_t objectsCreated = 0;
        std::uint64_t objectsDestroyed = 0;
        std::uint64_t lodChanges = 0;
        /** Entities that began to fade in or out. */
        std::uint64_t fadesStarted = 0;
        /** At the end of the last frame: engine lights of light objects
            (fading ones too), particle systems of particle-system objects
            (outgoing ones too) and sound objects playing. */
        std::uint64_t lightsAlive = 0;
        std::uint64_t particleSystemsAlive = 0;
        std::uint64_t soundsPlaying = 0;
        /** Impostors drawn (billboards shown) at the end of the last frame. */
        std::uint64_t impostorsDrawn = 0;
        /** Instanced batches filled, and the instances shown in them, at the
            end of the last frame. */
        std::uint64_t instancedBatches = 0;
        std::uint64_t instances = 0;
        /** So far: partitions the camera left before their load finished,
            and loads the frame thread finished because the loader thread's
            result was late. */
        std::uint64_t leftBeforeLoaded = 0;
        std::uint64_t backgroundFallbacks = 0;
        /** The most steps a partition's load had been waiting at the end of
            a frame with the loader thread idle: a load that nothing is left
            to finish. */
        std::uint64_t longestIdleLoadWait = 0;
        /** Partitions waiting to be loaded at the end of the last frame. */
        std::uint64_t loadsPending = 0;
        /** Draw calls of every drawn frame (the render target's batch
            count); empty in runs that do not draw. */
        std::vector<std::uint64_t> drawCalls;
        /** World entities in the camera's view, and triangles drawn, of
            every drawn frame after the first partition loaded. */
        std::vector<std::uint64_t> entitiesDrawn;
        std::vector<std::uint64_t> trianglesDrawn;
        /** Duration of the update call of every frame, in seconds. */
        std::vector<double> updateSeconds;
        /** The camera's position at every frame. */
        std::vector<Ogre::Vector3> cameraPath;
        /** Partition ID -> frames at whose end it was loaded. */
        std::map<std::string, std::uint64_t> framesLoaded;
        /** Partitions loaded now (from the load and unload events). */
        std::set<std::string> loadedNow;
        /** Corrupt partition files: path -> the first reason given. */
        std::map<std::string, std::string> corruptFiles;
        /** What could not be used, by kind (Unused): file paths, object
            names, mesh names. */
        std::array<std::set<std::string>, UnusedKinds> unused;

        /** The last frame as the viewer reported it. */
        Ogre::Vector3 cameraPosition = Ogre::Vector3::ZERO;
        std::string cameraCell;
        size_t loadedPartitions = 0;
        size_t objects = 0;
    };

    /** The figures of a whole run, as the summary table and JSON give them. */
    struct ViewerSummary
    {
        std::uint64_t frames = 0;
        std::uint64_t partitionsLoaded = 0;
        std::uint64_t partitionsUnloaded = 0;
        std::uint64_t objectsCreated = 0;
        std::uint64_t objectsDestroyed = 0;
        std::uint64_t lodChanges = 0;
        std::uint64_t fadesStarted = 0;
        /** At the last frame; JSON "lightsAlive", "particleSystemsAlive",
            "soundsPlaying". */
        std::uint64_t lightsAlive = 0;
        std::uint64_t particleSystemsAlive = 0;
        std::uint64_t soundsPlaying = 0;
        /** At the last frame; JSON "impostors_drawn". */
        std::uint64_t impostorsDrawn = 0;
        /** At the last frame; JSON "instancedBatches" and "instances". */
        std::uint64_t instancedBatches = 0;
        std::uint64_t instances = 0;
        /** JSON "leftBeforeLoaded" and "backgroundLoadFallbacks". */
        std::uint64_t leftBeforeLoaded = 0;
        std::uint64_t backgroundFallbacks = 0;
        /** Draw calls per drawn frame (JSON "drawCallsPerFrame"); unknown
            in runs that do not draw. */
        std::optional<double> drawCallsMedian;
        std::optional<std::uint64_t> drawCallsMax;
        /** Over the drawn frames after the first partition loaded (JSON
            "entitiesDrawnPerFrame", "trianglesPerFrame" with "median" and
            "min", and "framesShowingObjects", the share of those frames
            with an entity of the world in view); unknown without them. */
        std::optional<double> entitiesDrawnMedian;
        std::optional<std::uint64_t> entitiesDrawnMin;
        std::optional<double> trianglesMedian;
        std::optional<std::uint64_t> trianglesMin;
        std::optional<double> framesShowingObjects;
        /** Of the update call, in milliseconds; 0 without frames. */
        double updateMedianMs = 0.0;
        double updateP99Ms = 0.0;
        double updateMaxMs = 0.0;
        /** Peak resident memory of the process (VmHWM) in KiB, when known. */
        std::optional<std::uint64_t> peakResidentKiB;
        /** The partition manager's load-time budget in force, in
            milliseconds (0: a whole partition a step); JSON "loadBudgetMs". */
        double loadBudgetMs = 0.0;
        /** "path: reason" of every corrupt partition file, sorted by path. */
        std::vector<std::string> corruptFiles;
        /** What could not be used, by kind (Unused), sorted. */
        std::array<std::vector<std::string>, UnusedKinds> unused;
    };

    /** Collects the figures of a viewer run. The viewer's main loop feeds it:
        once per frame onFrame, and the events as the framework reports them.

        @code
        ViewerReport report;
        for (std::uint64_t k = 0; k < frames; ++k)
        {
            camera->setPosition(path.positionAt(k));
            double seconds = timeUpdate(manager, step);
            report.onFrame(camera->getPosition(), cellUnderCamera, loaded.size(), objects, seconds);
        }
        ViewerSummary summary = report.summarize(ViewerReport::readPeakResidentKiB());
        @endcode
    */
    class ViewerReport
    {
    public:
        /** Ends a frame: records the camera, the update time, and one more
            frame of loading for every partition loaded now. */
        void onFrame(const Ogre::Vector3& cameraPosition, const std::string& cellId,
                     size_t loadedPartitions, size_t objects, double updateSeconds);
        void onPartitionLoaded(const std::string& partitionId);
        void onPartitionUnloaded(const std::string& partitionId);
        void onObjectCreated(size_t count = 1);
        void onObjectDestroyed(size_t count = 1);
        void onLodChange(size_t count = 1);
        void onFadeStarted(size_t count = 1);
        /** The lights, particle systems and sounds alive as this frame ends. */
        void onAlive(size_t lights, size_t particleSystems, size_t sounds);
        /** The impostors drawn as this frame ends. */
        void onImpostorsDrawn(size_t count);
        /** The instanced batches filled and the instances shown in them as
            this frame ends. */
        void onInstancing(size_t batches, size_t instances);
        /** The partition manager's counts of partitions left before their
            load finished and of late loads finished on the frame thread. */
        void onBackgroundLoads(size_t leftBeforeLoaded, size_t fallbacks, size_t pending);
        /** The steps the waiting partition's load has taken, at the end of a
            frame whose loader thread has nothing queued or running. */
        void onIdleLoadWait(size_t steps);
        /** The draw calls of a drawn frame. */
        void onDrawCalls(size_t count);
        /** The world entities in view and the triangles of a drawn frame;
            counted from the first frame after a partition loaded. */
        void onDrawn(size_t entities, size_t triangles);
        /** A partition file that could not be read. A file reported again
            counts once and keeps its first reason. */
        void onCorruptFile(const std::string& path, const std::string& reason);
        /** Something the run could not use; each one counts once. */
        void onUnused(Unused kind, const std::string& what);

        const ViewerFigures& getFigures() const { return mFigures; }

        /** The summary of the run so far, with the peak memory given. */
        ViewerSummary summarize(std::optional<std::uint64_t> peakResidentKiB) const;

        /** VmHWM of this process from /proc/self/status, in KiB. */
        static std::optional<std::uint64_t> readPeakResidentKiB();
        /** VmHWM from the text of a status file; nullopt when absent. */
        static std::optional<std::uint64_t> parsePeakResidentKiB(const std::string& statusText);

        /** The median of the values (the mean of the two middle ones for an
            even count); 0 for none. */
        static double median(std::vector<double> values);
        /** The nearest-rank percentile (0 < p <= 100): the smallest value
            that at least p percent of the values do not exceed; 0 for none. */
        static double percentile(std::vector<double> values, double p);

        /** The summary as a table for people. */
        static std::string formatTable(const ViewerSummary& summary);
        /** One line saying what the run could not use (corrupt files
            among it); empty when it used everything. */
        static std::string describeUnused(const ViewerSummary& summary);
        /** The summary as JSON for scripts. */
        static nlohmann::json toJson(const ViewerSummary& summary);
        /** Writes toJson to a file (through a temporary file); false with
            the reason logged when it can not be written. */
        static bool writeJson(const ViewerSummary& summary, const std::string& path);

    private:
        ViewerFigures mFigures;
    };
}

#endif
