#ifndef __WrenBenchEngine_H__
#define __WrenBenchEngine_H__

#include "WorldGenerator.h"

#include <OgrePrerequisites.h>

#include <cstddef>
#include <string>
#include <vector>

namespace Ogre
{
    class DefaultHardwareBufferManager;
}

namespace Wren
{
    class WorldHost;

namespace Bench
{
    /** Whether the run is a smoke run (--smoke): tiny sizes, so that every
        benchmark is exercised in seconds. */
    bool smoke();
    void setSmoke(bool on);

    /** The one headless engine of the benchmark process: a Root without a
        render system, a DefaultHardwareBufferManager, the materials, OGRE's
        scene loader plugin (Plugin_DotScene) and the box mesh every mesh
        template shows. Worlds started by a WorldHost use this Root. */
    class BenchEngine
    {
    public:
        static BenchEngine& instance();
        /** Tears the engine down if it exists (at the end of main). */
        static void shutdown();

        Ogre::Root* getRoot() const { return mRoot; }
        /** Whether the ".scene" codec could be loaded. */
        bool hasSceneLoader() const { return mSceneLoader; }
        /** A fresh empty folder below the process's temporary root. */
        std::string makeTempFolder(const std::string& hint);

        /** The mesh of the benchmark templates: a small box made in memory,
            so that entities cost what the scene graph costs, not a file
            read. */
        static const char* const MeshName;

    private:
        BenchEngine();
        ~BenchEngine();
        void createMesh();

        Ogre::LogManager* mLogManager = nullptr;
        Ogre::Root* mRoot = nullptr;
        Ogre::DefaultHardwareBufferManager* mBufferManager = nullptr;
        bool mSceneLoader = false;
        std::vector<Ogre::Plugin*> mPlugins;
        std::string mTempRoot;
        int mTempCount = 0;
    };

    /** The mesh template of the benchmarks: "MeshGameObject" metadata that
        shows BenchEngine::MeshName at every level, no fade, not static. */
    WorldTemplate meshTemplate();

    /** Generates a world of cells x cells grid cells, objectsPerCell mesh
        objects each (meshTemplate), into a fresh folder
        <temp>/worlds/<name>; the result says whether it worked. */
    WorldGeneratorResult generateWorld(const std::string& name, int cells, int objectsPerCell,
                                       bool binary);

    /** Starts the generated world on the bench engine with a grid
        partition manager, as a game would: resource locations from the
        world's resources.cfg, partition files read when streaming asks for
        them (no loader thread, so a frame's cost is all in the frame). */
    bool startWorld(WorldHost& host, const WorldGeneratorResult& world);

    /** Resident set size of the process (VmRSS), in bytes; 0 when unknown. */
    std::size_t residentBytes();
    /** Hands freed heap back to the system, so that residentBytes measures
        what is held. */
    void trimHeap();
}
}

#endif
