#ifndef __WrenWorldViewer_H__
#define __WrenWorldViewer_H__

#include "CameraPath.h"
#include "ViewerReport.h"
#include "WorldGrid.h"
#include "WorldHost.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace Ogre
{
    class Camera;
    class SceneManager;
}

namespace Wren
{
    class CoreGameObjectManager;
    class CorePartition;
    class ViewerEngine;
    class ViewerImpostors;
    class WorldHost;

    /** Where the files of a world folder W are. */
    struct WorldFolder
    {
        std::string folder;
        /** W's last component. */
        std::string name;
        /** W/W.World (or W/W.world). */
        std::string worldFile;
        /** W/resources.cfg. */
        std::string resourcesConfig;
        /** Binary objects files (".objbinary") found in W/Partitions. */
        size_t binaryFiles = 0;
        /** XML objects files (".objects") found in W/Partitions. */
        size_t xmlFiles = 0;

        /** The files of the world in folder; nullopt, with the reason in
            error, when the folder, its world file or its resources.cfg is
            missing. */
        static std::optional<WorldFolder> find(const std::string& folder, std::string* error);

        /** Reads the layout of the world file: the grid of a grid world
            (isGrid), else one cell of 1024 units holding the world. False,
            with the reason in error, when the file can not be read or its
            grid is refused. */
        bool readLayout(WorldGrid& grid, bool& isGrid, std::string& error) const;

        /** What hosts this world through WorldHost: the locations its
            resources.cfg names, plain objects besides the standard types,
            and a GridPartitionManager (grid) or SinglePartitionManager in
            the given objects-file form, starting up to 1 or 5
            level-of-detail changes per step. Nothing is made on disk. */
        WorldHostSettings hostSettings(bool grid, bool binary, unsigned lodChangesPerStep,
                                       bool backgroundLoading) const;
    };

    /** One partition entering or leaving the scene, as the viewer saw it. */
    struct StreamingEvent
    {
        std::uint64_t frame = 0;
        bool loaded = true;
        std::string partition;

        bool operator==(const StreamingEvent& o) const
        {
            return frame == o.frame && loaded == o.loaded && partition == o.partition;
        }
    };

    struct WorldViewerOptions
    {
        enum class Form
        {
            /** Binary when the world has binary objects files, else XML. */
            Auto,
            Xml,
            Binary
        };

        /** The world folder (as wren-generate writes it). */
        std::string world;
        /** A route of CameraPath::names(). */
        std::string path = "line";
        /** A route of the caller's instead of path. */
        std::optional<CameraPath> customPath;
        /** Camera speed in units per second, and the fixed time step. */
        float speed = 96.0f;
        float timeStep = 1.0f / 30.0f;
        /** Height of the camera above the ground. */
        float height = 30.0f;
        /** The partition manager's view-range scale; 0: the world file's. */
        float viewRangeScale = 0.0f;
        /** Frames to run; 0: one pass of the route. */
        std::uint64_t frames = 0;
        Form form = Form::Auto;
        /** Level-of-detail changes the partition manager starts per step:
            1, or 5 (any other value above 1). */
        unsigned lodChangesPerStep = 1;
        /** Read partition files on the loader thread, as a client does. */
        bool backgroundLoading = true;
        /** Start each frame no sooner than its time on the route (the time
            step times its number), as a game's frames come, so that the
            loader thread has the time it has in a game. */
        bool realTime = false;
        /** Milliseconds a streaming step may spend bringing a partition in
            or taking one out (CorePartitionManager::setLoadTimeBudget; 0: a
            whole partition a step); below 0: the world file's. */
        float loadBudget = -1.0f;
        /** Hold radius of a grid world's cells
            (GridPartitionManager::setGridCellHoldRadius); below 0: the
            world file's. */
        float holdRadius = -1.0f;
        /** Draw every frame with OGRE's GL render system. */
        bool render = false;
        /** Turn distant meshes into impostors (rendered runs only). */
        bool impostors = false;
        /** Files written at the end; empty: not written. */
        std::string screenshot;
        std::string mapFile;
        std::string jsonFile;
        /** The engine log; empty: kept in memory, no file written. */
        std::string logFile;
        /** Where OGRE's plugins are; empty: where the build found them. */
        std::string pluginFolder;
        unsigned windowWidth = 1024;
        unsigned windowHeight = 768;
    };

    /** The client's main loop over a world folder: starts the engine and
        the world through WorldHost in the documented order, flies the
        player camera ("PlayerCam") along a route with a fixed time step,
        calls the object manager's update once a frame and times it, and
        tears everything down in order. Nothing is ever saved.
        Grid worlds (a "GridPartitionManagerData" element in the world file)
        stream through a GridPartitionManager, others through a
        SinglePartitionManager. The figures of the run are gathered in a
        ViewerReport: partitions loaded and unloaded (from the partition
        manager's loaded list, compared frame by frame, and the single
        partition of a world without grid), objects created
        and destroyed with their partitions, level-of-detail changes and
        fades (from the objects' states), the lights, particle systems and
        sounds alive at the end of each frame, corrupt partition files.
        Bad input ends the run with a reason (getError); a corrupt partition
        file is logged, counted and flown past.
    */
    class WorldViewer
    {
    public:
        /** Name of the ground entity, mesh and material of drawn runs. */
        static const char* const GroundName;
        /** A plain ground under the grid (GroundName), so that a picture
            shows where things stand; it is not part of the world. */
        static void addGround(Ogre::SceneManager* scene, const WorldGrid& grid);
        /** Takes the ground and its mesh and material away; scene may be
            null when it is gone already. */
        static void removeGround(Ogre::SceneManager* scene);

        /** Called after every frame. */
        typedef std::function<void(const ViewerFigures&)> FrameListener;

        explicit WorldViewer(WorldViewerOptions options);
        ~WorldViewer();
        WorldViewer(const WorldViewer&) = delete;
        WorldViewer& operator=(const WorldViewer&) = delete;

        /** The most frames a pass of the route may take. */
        static const std::uint64_t MaxFramesPerPass = 1000000000;

        /** Runs the whole flight and writes the files asked for. False,
            with the reason in getError, when the world can not be flown or
            the options are refused (getOptionsRefused): a height or speed
            that is not a finite number, a route of more than
            MaxFramesPerPass frames a pass, a log file that can not be
            written. An output file that can not be written leaves the run
            true and its reason in getOutputFailures. */
        bool run(const FrameListener& listener = FrameListener());

        const std::string& getError() const { return mError; }
        /** The run ended for its options, not for the world. */
        bool getOptionsRefused() const { return mOptionsRefused; }
        /** The outputs (screenshot, map, JSON) that could not be written. */
        const std::vector<std::string>& getOutputFailures() const { return mOutputFailures; }
        const std::vector<std::string>& getWarnings() const { return mWarnings; }
        const ViewerReport& getReport() const { return mReport; }
        ViewerSummary getSummary() const;
        /** Loads and unloads in the order they happened. */
        const std::vector<StreamingEvent>& getEvents() const { return mEvents; }
        /** The grid the run flew over (one cell for a world without one). */
        const WorldGrid& getGrid() const { return mGrid; }
        bool getIsGridWorld() const { return mIsGrid; }
        /** The view-range scale the run streamed with. */
        float getViewRangeScale() const { return mViewRangeScale; }
        /** Whether the partitions were read in their binary form. */
        bool getUsedBinaryFiles() const { return mBinary; }
        /** The load-time budget in force during the run, in milliseconds. */
        float getLoadBudget() const { return mLoadBudget; }
        const WorldViewerOptions& getOptions() const { return mOptions; }
        /** Frames of the run, known once the route is (before the first
            frame's listener call). */
        std::uint64_t getPlannedFrames() const { return mPlannedFrames; }

    private:
        bool fail(const std::string& error);
        bool readWorld(const WorldFolder& folder);
        bool startWorld(const WorldFolder& folder);
        /** Stops everything run started, in the reverse order. */
        void teardown();
        /** Takes the view, the ground and its resources away again. */
        void removeDrawing();
        void fly(const CameraPath& path, std::uint64_t frames, const FrameListener& listener);
        /** What a frame ends with. */
        struct FrameState
        {
            std::string cell;
            size_t partitions;
            size_t objects;
        };
        /** Compares the scene with the frame before and reports the
            differences. */
        FrameState observe(std::uint64_t frame);
        /** Reports the objects file of a partition just loaded when it is
            missing or another kind of document. */
        void checkStoredFile(const CorePartition* partition);
        /** The partitions loaded now, the single one of a world without grid too. */
        std::vector<const CorePartition*> loadedPartitions() const;
        /** The mesh objects drawn (in batches too) that the camera sees. */
        size_t objectsInView(const Ogre::Camera* camera) const;
        void writeOutputs();

        WorldViewerOptions mOptions;
        WorldGrid mGrid;
        bool mIsGrid = false;
        bool mBinary = false;
        float mLoadBudget = 0.0f;
        float mViewRangeScale = 1.0f;
        std::uint64_t mPlannedFrames = 0;
        std::string mError;
        bool mOptionsRefused = false;
        std::vector<std::string> mWarnings;
        std::vector<std::string> mOutputFailures;
        ViewerReport mReport;
        std::vector<StreamingEvent> mEvents;

        ViewerEngine* mEngine = nullptr;
        WorldHost* mHost = nullptr;
        ViewerImpostors* mImpostors = nullptr;
        int mViewportZOrder = -1;
        /** What the last frame saw. */
        struct Seen;
        Seen* mSeen = nullptr;
        /** What the log says could not be used. */
        class LogWatch;
        LogWatch* mLogWatch = nullptr;
    };
}

#endif
