#ifndef __WrenViewerSoak_H__
#define __WrenViewerSoak_H__

#include "WorldViewer.h"

#include <nlohmann/json_fwd.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace Wren
{
    /** What lives in the process: its resident memory and the counts that a
        leak in streaming would make grow. */
    struct SoakSample
    {
        std::uint64_t residentKiB = 0;
        std::uint64_t sceneNodes = 0;
        std::uint64_t entities = 0;
        std::uint64_t materials = 0;
        std::uint64_t meshes = 0;
        /** Shapes of the collision system that something besides its cache
            holds (the cache itself is bounded by its recovery). */
        std::uint64_t collisionShapes = 0;
        /** Background requests queued, running or held for the frame
            thread (see Ogre::BackgroundLoader). */
        std::uint64_t backgroundRequests = 0;
    };

    struct SoakPass
    {
        unsigned pass = 0;
        /** Frames flown when the pass ended. */
        std::uint64_t frames = 0;
        /** The lowest and the highest of each count over the pass; the
            memory resident when it ended (in both). */
        SoakSample floor;
        SoakSample peak;
    };

    /** A long flight, as a game client streams for hours: the viewer flies
        its route (the circle, for wren-view --soak) over and over, and every
        frame is sampled. Loads in the background, fades and caches come and
        go, so each pass keeps the range of every count; what leaks raises
        the floor. The flight fails when a count's floor in the last pass
        is above its peak in the second (the first fills the caches), or
        the memory resident at the end of the last pass is more than
        MemoryGrowth above that at the end of the second.
    */
    class ViewerSoak
    {
    public:
        static const std::uint64_t DefaultFrames = 50000;
        static constexpr double MemoryGrowth = 0.05;

        /** What lives now: nodes and entities of every scene manager of the
            Root, the materials and meshes of their managers, the shapes in
            use of the "CollisionGameSystem" and the requests of the
            background loader (0 for what does not exist). */
        static SoakSample sample();

        /** Flies viewer (whose options must run at least two passes) and
            samples it; each frame's figures go on to next. False with the
            viewer's reason when the flight fails to run. */
        bool fly(WorldViewer& viewer, const WorldViewer::FrameListener& next);

        const std::vector<SoakPass>& getPasses() const { return mPasses; }
        /** One line per figure that grew from the second pass to the last;
            one saying so when fewer than two passes were flown. Empty when
            the flight holds steady. */
        std::vector<std::string> findGrowth() const;

        /** A row per pass (each count as its lowest-highest), for people. */
        static std::string formatTable(const std::vector<SoakPass>& passes);
        /** {"passes": [{"pass", "frames", "resident_kib", "scene_nodes":
            [lowest, highest], ...}], "growth": [...], "ok"}. */
        nlohmann::json toJson() const;

    private:
        void onFrame(std::uint64_t frames);

        std::uint64_t mFramesPerPass = 0;
        std::vector<SoakPass> mPasses;
        /** The pass under way. */
        SoakPass mCurrent;
        bool mPassOpen = false;
    };
}

#endif
