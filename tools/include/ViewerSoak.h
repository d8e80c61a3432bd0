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
        SoakSample sample;
    };

    /** A long flight, as a game client streams for hours: the viewer flies
        its route (the circle, for wren-view --soak) over and over, and each
        pass is sampled. A count is the lowest it was over the last tenth of
        the pass, the memory what was resident when the pass ended: loads in
        the background come and go a few frames apart, what leaks raises
        the floor. The flight fails when any count grows from the second
        pass (the first fills the caches) to the last, or the memory grows
        by more than MemoryGrowth.
    */
    class ViewerSoak
    {
    public:
        static const std::uint64_t DefaultFrames = 50000;
        static constexpr double MemoryGrowth = 0.05;

        /** What lives now: nodes and entities of every scene manager of the
            Root, the materials and meshes of their managers, the shapes of
            the "CollisionGameSystem" and the requests of the background
            loader (0 for what does not exist). */
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

        /** A row per pass, for people. */
        static std::string formatTable(const std::vector<SoakPass>& passes);
        /** {"passes": [{"pass", "frames", "resident_kib", "scene_nodes", ...}],
            "growth": [...], "ok"}. */
        nlohmann::json toJson() const;

    private:
        void onFrame(std::uint64_t frames);

        std::uint64_t mFramesPerPass = 0;
        std::vector<SoakPass> mPasses;
        bool mWindowOpen = false;
        SoakSample mFloor;
    };
}

#endif
