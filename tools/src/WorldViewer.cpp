#include "WorldViewer.h"

#include "ViewerEngine.h"
#include "ViewerImpostors.h"
#include "ViewerMap.h"

#include "BinaryFileResource.h"
#include "CoreGameObject.h"
#include "CoreGameObjectManager.h"
#include "CorePartition.h"
#include "CorePartitionManager.h"
#include "FxShaderInstancingManager.h"
#include "GridPartitionManager.h"
#include "LightGameObject.h"
#include "MeshGameObject.h"
#include "OgreBackgroundLoader.h"
#include "ParticleSystemGameObject.h"
#include "PlainObjectFactory.h"
#include "SinglePartitionManager.h"
#include "SoundGameObject.h"
#include "WorldHost.h"
#include "XMLDataFile.h"

#include <tinyxml.h>

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreMaterialManager.h>
#include <OgreMeshManager.h>
#include <OgrePass.h>
#include <OgreTechnique.h>
#include <OgreLogManager.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreViewport.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <thread>
#include <unordered_map>

namespace fs = std::filesystem;

namespace Wren
{
    namespace
    {
        void logMessage(const std::string& text)
        {
            if (Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr())
                logs->logMessage("WorldViewer: " + text);
        }

        bool endsWith(const std::string& s, const std::string& tail)
        {
            return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
        }

        /** The engine lights, particle systems and playing sounds of objects. */
        struct Alive
        {
            size_t lights = 0;
            size_t particleSystems = 0;
            size_t sounds = 0;

            void count(const CoreGameObject* o)
            {
                if (auto* light = dynamic_cast<const LightGameObject*>(o))
                    lights += light->getLight() != nullptr;
                else if (auto* particles = dynamic_cast<const ParticleSystemGameObject*>(o))
                    particleSystems += (particles->getParticleSystem() != nullptr) +
                                       (particles->getOutgoingParticleSystem() != nullptr);
                else if (auto* sound = dynamic_cast<const SoundGameObject*>(o))
                    sounds += sound->isPlaying();
            }
        };
    }

    std::optional<WorldFolder> WorldFolder::find(const std::string& folder, std::string* error)
    {
        auto refuse = [error](const std::string& why) {
            if (error)
                *error = why;
            return std::nullopt;
        };
        std::error_code ec;
        if (folder.empty() || !fs::is_directory(folder, ec))
            return refuse("no world folder " + folder);
        WorldFolder w;
        w.folder = fs::absolute(folder, ec).lexically_normal().string();
        while (w.folder.size() > 1 && w.folder.back() == '/')
            w.folder.pop_back();
        w.name = fs::path(w.folder).filename().string();
        for (const char* extension : {".World", ".world"})
        {
            const std::string candidate = w.folder + "/" + w.name + extension;
            if (fs::is_regular_file(candidate, ec))
            {
                w.worldFile = candidate;
                break;
            }
        }
        if (w.worldFile.empty())
            return refuse("the folder " + w.folder + " holds no world file " + w.name + ".World");
        w.resourcesConfig = w.folder + "/resources.cfg";
        if (!fs::is_regular_file(w.resourcesConfig, ec))
            return refuse("the folder " + w.folder + " holds no resources.cfg");
        for (fs::directory_iterator it(w.folder + "/Partitions", ec), end; !ec && it != end;
             it.increment(ec))
        {
            const std::string file = it->path().filename().string();
            if (endsWith(file, ".objbinary"))
                ++w.binaryFiles;
            else if (endsWith(file, ".objects"))
                ++w.xmlFiles;
        }
        return w;
    }

    /** Picks out of the engine log what the framework could not use: objects
        left out for a missing metadata file, meshes that do not load. The
        log may be written from the loader thread; take() hands the finds to
        the frame thread. */
    class WorldViewer::LogWatch : public Ogre::LogListener
    {
    public:
        LogWatch() { Ogre::LogManager::getSingleton().getDefaultLog()->addListener(this); }
        ~LogWatch() override
        {
            if (Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr())
                if (Ogre::Log* log = logs->getDefaultLog())
                    log->removeListener(this);
        }

        void messageLogged(const Ogre::String& message, Ogre::LogMessageLevel, bool,
                           const Ogre::String&, bool&) override
        {
            // "...: partition P: NAME kept as stored: can not find meta file:ID"
            // and "...: mesh NAME can not be made: ..." / "can not be loaded: ...".
            const std::string::size_type kept = message.find(" kept as stored: can not find meta file:");
            if (kept != std::string::npos)
            {
                const std::string::size_type partition = message.rfind(": partition ", kept);
                const std::string::size_type name =
                    partition == std::string::npos ? partition : message.find(": ", partition + 2);
                if (name != std::string::npos && name < kept)
                    add(Unused::ObjectWithoutMetadata, message.substr(name + 2, kept - name - 2));
                return;
            }
            const std::string::size_type mesh = message.find(": mesh ");
            const std::string::size_type fails =
                mesh == std::string::npos ? mesh : message.find(" can not be ", mesh);
            if (fails != std::string::npos)
                add(Unused::MeshNotLoaded, message.substr(mesh + 7, fails - mesh - 7));
        }

        /** What was found since the last call. */
        std::vector<std::pair<Unused, std::string>> take()
        {
            std::lock_guard<std::mutex> lock(mMutex);
            return std::move(mFound);
        }

    private:
        void add(Unused kind, const std::string& what)
        {
            std::lock_guard<std::mutex> lock(mMutex);
            mFound.emplace_back(kind, what);
        }

        std::mutex mMutex;
        std::vector<std::pair<Unused, std::string>> mFound;
    };

    /** Per frame: the partitions loaded and the state of their objects. */
    struct WorldViewer::Seen
    {
        struct ObjectState
        {
            LevelOfDetail lod;
            int fade;
        };
        std::map<std::string, size_t> partitions;
        std::unordered_map<const CoreGameObject*, ObjectState> objects;
        size_t corruptFiles = 0;
    };

    const char* const WorldViewer::GroundName = "WrenViewerGround";

    WorldViewer::WorldViewer(WorldViewerOptions options) : mOptions(std::move(options))
    {
        if (mOptions.pluginFolder.empty())
            mOptions.pluginFolder = WREN_OGRE_PLUGIN_DIR;
    }

    WorldViewer::~WorldViewer()
    {
        teardown();
        delete mEngine;
        delete mSeen;
    }

    void WorldViewer::teardown()
    {
        delete mLogWatch;
        mLogWatch = nullptr;
        // The reverse order of start: the impostors, the drawing, the world,
        // then the engine.
        delete mImpostors;
        mImpostors = nullptr;
        removeDrawing();
        delete mHost;
        mHost = nullptr;
        if (mEngine)
            mEngine->stop();
    }

    bool WorldViewer::fail(const std::string& error)
    {
        mError = error;
        logMessage(error);
        return false;
    }

    ViewerSummary WorldViewer::getSummary() const
    {
        ViewerSummary summary = mReport.summarize(ViewerReport::readPeakResidentKiB());
        summary.loadBudgetMs = mLoadBudget;
        return summary;
    }

    bool WorldViewer::run(const FrameListener& listener)
    {
        if (mEngine)
            return fail("a viewer runs once");
        std::string error;
        std::optional<WorldFolder> folder = WorldFolder::find(mOptions.world, &error);
        if (!folder)
            return fail(error);
        if (mOptions.impostors && !mOptions.render)
            mWarnings.push_back("impostors are drawn only with --render; ignored");
        auto refuseOptions = [this](const std::string& why) {
            mOptionsRefused = true;
            return fail(why);
        };
        if (!std::isfinite(mOptions.height))
            return refuseOptions("the camera height must be a finite number");
        if (!std::isfinite(mOptions.viewRangeScale) || mOptions.viewRangeScale < 0.0f)
            return refuseOptions("the view-range scale must be above zero (0: the world file's)");
        if (!mOptions.logFile.empty() && !std::ofstream(mOptions.logFile, std::ios::app))
            return refuseOptions("can not write the log " + mOptions.logFile);

        mEngine = new ViewerEngine();
        if (!mEngine->start(mOptions.render ? ViewerEngine::Mode::Rendered
                                            : ViewerEngine::Mode::Headless,
                            mOptions.logFile, mOptions.pluginFolder, mOptions.windowWidth,
                            mOptions.windowHeight))
            return fail("the engine does not start: " + mEngine->getError());
        mLogWatch = new LogWatch();

        bool ok = readWorld(*folder) && startWorld(*folder);
        if (ok)
        {
            std::optional<CameraPath> path = mOptions.customPath;
            if (!path)
                path = CameraPath::fromName(mOptions.path, mGrid, mOptions.speed,
                                            mOptions.timeStep, mOptions.height, &error);
            if (!path)
                ok = refuseOptions(error);
            else if (path->framesPerPass() > MaxFramesPerPass)
                ok = refuseOptions("a pass of the route would take " +
                                   std::to_string(path->framesPerPass()) + " frames (at most " +
                                   std::to_string(MaxFramesPerPass) +
                                   "): the speed or the time step is too small");
            else
            {
                mPlannedFrames = mOptions.frames ? mOptions.frames : path->framesPerPass() + 1;
                fly(*path, mPlannedFrames, listener);
                writeOutputs();
            }
        }
        teardown();
        return ok;
    }

    bool WorldFolder::readLayout(WorldGrid& grid, bool& isGrid, std::string& error) const
    {
        XMLDataFile file;
        if (!file.load(worldFile))
        {
            error = "the world file " + worldFile + " can not be read (see the log)";
            return false;
        }
        DataElementPtr root = file.getRootElement();
        isGrid = GridLayout::hasGridData(root);
        if (isGrid)
        {
            grid = GridLayout::load(root);
            const std::string why = grid.validate();
            if (!why.empty())
            {
                error = "the grid of " + worldFile + " is refused: " + why;
                return false;
            }
        }
        else
        {
            // One partition holds the world: one cell.
            grid = GridLayout();
            grid.cellsX = grid.cellsZ = 1;
            grid.cellSize = 1024.0f;
        }
        return true;
    }

    WorldHostSettings WorldFolder::hostSettings(bool grid, bool binary, unsigned lodChangesPerStep,
                                                bool backgroundLoading) const
    {
        WorldHostSettings settings;
        settings.worldName = name;
        settings.resourcesConfig = resourcesConfig;
        // The configuration names the world's folders; nothing is made on
        // disk.
        settings.declareWorldFolders = false;
        settings.declareConfigLocations = true;
        settings.backgroundLoading = backgroundLoading;
        settings.objectFactories.emplace_back(new PlainObjectFactory);
        settings.makePartitionManager = [grid, binary,
                                         lodChangesPerStep](CoreGameObjectManager* manager) {
            CorePartitionManager* partitions = grid
                                                   ? static_cast<CorePartitionManager*>(
                                                         new GridPartitionManager(manager))
                                                   : new SinglePartitionManager(manager);
            partitions->setUseBinaryFiles(binary);
            partitions->SetLoadingSinglebjectPerFrame(lodChangesPerStep < 5);
            return partitions;
        };
        return settings;
    }

    bool WorldViewer::readWorld(const WorldFolder& folder)
    {
        std::string error;
        if (!folder.readLayout(mGrid, mIsGrid, error))
            return fail(error);
        switch (mOptions.form)
        {
        case WorldViewerOptions::Form::Xml: mBinary = false; break;
        case WorldViewerOptions::Form::Binary: mBinary = true; break;
        case WorldViewerOptions::Form::Auto: mBinary = folder.binaryFiles > 0; break;
        }
        const bool otherFormOnly = mBinary ? folder.binaryFiles == 0 && folder.xmlFiles > 0
                                           : folder.xmlFiles == 0 && folder.binaryFiles > 0;
        if (otherFormOnly)
        {
            mOptionsRefused = true;
            return fail(std::string("the world ") + folder.name + " has only " +
                        (mBinary ? "XML" : "binary") + " objects files (try " +
                        (mBinary ? "--xml" : "--binary") + " or neither)");
        }
        return true;
    }

    bool WorldViewer::startWorld(const WorldFolder& folder)
    {
        mHost = new WorldHost();
        if (!mHost->start(folder.hostSettings(mIsGrid, mBinary, mOptions.lodChangesPerStep,
                                              mOptions.backgroundLoading)))
            return fail("the world " + folder.name + " does not start (see the log)");
        CorePartitionManager* partitions = mHost->getManager()->getPartitionManager();
        if (mOptions.loadBudget >= 0.0f)
            partitions->setLoadTimeBudget(mOptions.loadBudget);
        mLoadBudget = partitions->getLoadTimeBudget();
        if (mOptions.holdRadius >= 0.0f)
        {
            if (GridPartitionManager* grid = dynamic_cast<GridPartitionManager*>(partitions))
                grid->setGridCellHoldRadius(mOptions.holdRadius);
            else
                mWarnings.push_back("--hold-radius is for grid worlds; ignored");
        }
        if (mOptions.viewRangeScale > 0.0f)
            partitions->SetViewRangeScale(mOptions.viewRangeScale);
        mViewRangeScale = partitions->GetViewRangeScale();

        Ogre::SceneManager* scene = mHost->getSceneManager();
        Ogre::Camera* camera = scene->getCamera("PlayerCam");
        camera->setNearClipDistance(1.0f);
        camera->setFarClipDistance(4.0f * std::max(mGrid.loadRadius, mGrid.cellSize));
        if (Ogre::RenderWindow* window = mEngine->getWindow())
        {
            // Above whatever the window shows already (a host's own views).
            int zOrder = 0;
            for (unsigned short i = 0; i < window->getNumViewports(); ++i)
                zOrder = std::max(zOrder, window->getViewport(i)->getZOrder() + 1);
            Ogre::Viewport* viewport = window->addViewport(camera, zOrder);
            mViewportZOrder = zOrder;
            viewport->setBackgroundColour(Ogre::ColourValue(0.55f, 0.7f, 0.85f));
            camera->setAspectRatio(Ogre::Real(viewport->getActualWidth()) /
                                   Ogre::Real(std::max(1, viewport->getActualHeight())));
            scene->setAmbientLight(Ogre::ColourValue(0.45f, 0.45f, 0.45f));
            Ogre::Light* sun = scene->createLight("WrenViewerSun");
            sun->setType(Ogre::Light::LT_DIRECTIONAL);
            Ogre::SceneNode* sunNode = scene->getRootSceneNode()->createChildSceneNode();
            sunNode->setDirection(Ogre::Vector3(0.5f, -1.0f, 0.3f).normalisedCopy());
            sunNode->attachObject(sun);
            addGround(scene, mGrid);
            if (mOptions.impostors)
            {
                mImpostors = new ViewerImpostors(mHost->getManager());
                if (!mImpostors->start())
                    mWarnings.push_back("impostors can not be made; meshes are drawn as they are");
            }
        }
        delete mSeen;
        mSeen = new Seen();
        return true;
    }

    void WorldViewer::addGround(Ogre::SceneManager* scene, const WorldGrid& grid)
    {
        // A plain ground under the grid, so that a picture shows where
        // things stand. Drawn runs only; it is not part of the world.
        const std::string name = GroundName;
        Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().create(
            name, Ogre::RGN_DEFAULT);
        Ogre::Pass* pass = material->getTechnique(0)->getPass(0);
        pass->setAmbient(0.32f, 0.36f, 0.28f);
        pass->setDiffuse(0.32f, 0.36f, 0.28f, 1.0f);
        Ogre::MeshManager::getSingleton().createPlane(
            name, Ogre::RGN_DEFAULT, Ogre::Plane(Ogre::Vector3::UNIT_Y, -0.05f),
            grid.width(), grid.depth(), 1, 1, true, 1, 1.0f, 1.0f, Ogre::Vector3::UNIT_Z);
        Ogre::Entity* ground = scene->createEntity(name, name);
        ground->setMaterialName(name);
        ground->setCastShadows(false);
        Ogre::SceneNode* node = scene->getRootSceneNode()->createChildSceneNode(
            Ogre::Vector3(grid.minX() + grid.width() * 0.5f, 0.0f,
                          grid.minZ() + grid.depth() * 0.5f));
        node->attachObject(ground);
    }

    void WorldViewer::removeDrawing()
    {
        Ogre::RenderWindow* window = mEngine ? mEngine->getWindow() : nullptr;
        if (!window || mViewportZOrder < 0)
            return;
        window->removeViewport(mViewportZOrder);
        mViewportZOrder = -1;
        removeGround(mHost ? mHost->getSceneManager() : nullptr);
    }

    void WorldViewer::removeGround(Ogre::SceneManager* scene)
    {
        if (scene && scene->hasEntity(GroundName))
        {
            Ogre::Entity* ground = scene->getEntity(GroundName);
            Ogre::SceneNode* node = ground->getParentSceneNode();
            scene->destroyEntity(ground);
            if (node)
                scene->destroySceneNode(node);
        }
        Ogre::MeshManager::getSingleton().remove(GroundName, Ogre::RGN_DEFAULT);
        Ogre::MaterialManager::getSingleton().remove(GroundName, Ogre::RGN_DEFAULT);
    }

    void WorldViewer::fly(const CameraPath& path, std::uint64_t frames,
                          const FrameListener& listener)
    {
        Ogre::SceneManager* scene = mHost->getSceneManager();
        Ogre::Camera* camera = scene->getCamera("PlayerCam");
        Ogre::SceneNode* node = camera->getParentSceneNode();
        if (!node)
        {
            node = scene->getRootSceneNode()->createChildSceneNode();
            node->attachObject(camera);
        }
        node->setFixedYawAxis(true);
        Ogre::Root* root = mEngine->getRoot();
        const bool render = mEngine->getWindow() != nullptr;
        typedef std::chrono::steady_clock Clock;
        const Clock::time_point begin = Clock::now();

        for (std::uint64_t k = 0; k < frames; ++k)
        {
            if (mOptions.realTime)
                std::this_thread::sleep_until(
                    begin + std::chrono::duration_cast<Clock::duration>(
                                std::chrono::duration<double>(double(k) * mOptions.timeStep)));
            const Ogre::Vector3 position = path.positionAt(k);
            node->setPosition(position);
            if (render)
            {
                // Look along the route down at the ground half a cell ahead,
                // so the higher the camera, the steeper it looks down.
                Ogre::Vector3 ahead = path.positionAt(k + 15) - position;
                ahead.y = 0.0f;
                if (ahead.squaredLength() < 1e-6f)
                    ahead = Ogre::Vector3::UNIT_X;
                ahead.normalise();
                node->lookAt(Ogre::Vector3(position.x, 0.0f, position.z) +
                                 ahead * (mGrid.cellSize * 0.5f),
                             Ogre::Node::TS_WORLD);
            }

            const Clock::time_point start = Clock::now();
            mHost->update(mOptions.timeStep);
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            if (mImpostors)
            {
                mImpostors->update(mOptions.timeStep);
                mReport.onImpostorsDrawn(mImpostors->getImpostorsDrawn());
            }
            const Ogre::FxShaderInstancingManager& instancing =
                Ogre::FxShaderInstancingManager::get(scene);
            mReport.onInstancing(instancing.getBatchCount(), instancing.getInstanceCount());
            if (const CorePartitionManager* partitions = mHost->getManager()->getPartitionManager())
            {
                mReport.onBackgroundLoads(partitions->getLeftBeforeLoadedCount(),
                                          partitions->getBackgroundLoadFallbackCount(),
                                          partitions->getLoadWaitList().size());
                const Ogre::BackgroundLoader* loader = Ogre::BackgroundLoader::getSingletonPtr();
                if (loader && loader->getPendingCount() == 0)
                    mReport.onIdleLoadWait(partitions->getLoadWaitSteps());
            }
            if (render)
            {
                root->renderOneFrame(mOptions.timeStep);
                const Ogre::RenderTarget::FrameStats& stats = mEngine->getWindow()->getStatistics();
                mReport.onDrawCalls(stats.batchCount);
                mReport.onDrawn(objectsInView(camera), stats.triangleCount);
            }

            const FrameState state = observe(k);
            mReport.onFrame(position, state.cell, state.partitions, state.objects, seconds);
            if (listener)
                listener(mReport.getFigures());
        }
    }

    std::vector<const CorePartition*> WorldViewer::loadedPartitions() const
    {
        CorePartitionManager* partitions = mHost->getManager()->getPartitionManager();
        std::vector<const CorePartition*> loaded(partitions->GetLoadPartitions().begin(),
                                                 partitions->GetLoadPartitions().end());
        // The one partition of a world without grid is loaded once and
        // never streamed, so it is not among the streamed ones.
        if (SinglePartitionManager* single = dynamic_cast<SinglePartitionManager*>(partitions))
            if (const CorePartition* whole = single->getPartition(Ogre::Vector3::ZERO))
                if (whole->getLoaded())
                    loaded.push_back(whole);
        return loaded;
    }

    size_t WorldViewer::objectsInView(const Ogre::Camera* camera) const
    {
        // A mesh object is drawn by its entities, or else as an instance
        // of its area's batches while those hold any.
        const bool batchesDrawn =
            Ogre::FxShaderInstancingManager::get(mHost->getSceneManager()).getInstanceCount() > 0;
        size_t count = 0;
        for (const CorePartition* p : loadedPartitions())
            for (const CoreGameObject* o : p->getObjects())
            {
                const MeshGameObject* mesh = dynamic_cast<const MeshGameObject*>(o);
                if (!mesh)
                    continue;
                const Ogre::AxisAlignedBox box = mesh->getWorldAABB();
                if (box.isNull() ? batchesDrawn && mesh->IsInstanced() &&
                                       camera->isVisible(Ogre::Sphere(mesh->getWorldPosition(), 1.0f))
                                 : camera->isVisible(box))
                    ++count;
            }
        return count;
    }

    WorldViewer::FrameState WorldViewer::observe(std::uint64_t frame)
    {
        CorePartitionManager* partitions = mHost->getManager()->getPartitionManager();
        const std::vector<const CorePartition*> loaded = loadedPartitions();
        std::map<std::string, size_t> now;
        std::vector<const CorePartition*> fresh;
        size_t objects = 0;
        for (const CorePartition* p : loaded)
        {
            now[p->getID()] = p->getObjects().size();
            objects += p->getObjects().size();
            if (!mSeen->partitions.count(p->getID()))
                fresh.push_back(p);
        }
        for (const auto& was : mSeen->partitions)
            if (!now.count(was.first))
            {
                mEvents.push_back(StreamingEvent{frame, false, was.first});
                mReport.onPartitionUnloaded(was.first);
                mReport.onObjectDestroyed(was.second);
            }
        for (const CorePartition* p : fresh)
        {
            mEvents.push_back(StreamingEvent{frame, true, p->getID()});
            mReport.onPartitionLoaded(p->getID());
            mReport.onObjectCreated(p->getObjects().size());
            checkStoredFile(p);
            if (mImpostors)
                mImpostors->onPartitionLoaded(p);
        }

        // A file that could not be read belongs to a partition that was just
        // loaded (as empty), or else to the one under the camera.
        const size_t corrupt = partitions->getCorruptPartitionFileCount();
        if (corrupt > mSeen->corruptFiles)
        {
            std::vector<const CorePartition*> suspects = fresh;
            if (suspects.empty() && partitions->GetActivePartition())
                suspects.push_back(partitions->GetActivePartition());
            const std::string& world = partitions->getWorldName();
            for (const CorePartition* p : suspects)
            {
                const std::string file = mBinary ? p->getObjectsBinaryFileName(world)
                                                 : p->getObjectsFileName(world);
                mReport.onCorruptFile(mOptions.world + "/Partitions/" + file,
                                      "can not be read (see the log)");
            }
            mSeen->corruptFiles = corrupt;
        }

        // Level-of-detail changes and fades, of the objects that were there
        // the frame before.
        std::unordered_map<const CoreGameObject*, Seen::ObjectState> states;
        states.reserve(mSeen->objects.size() + 16);
        size_t lodChanges = 0;
        size_t fades = 0;
        Alive alive;
        for (const CorePartition* p : loaded)
        {
            const bool wasLoaded = mSeen->partitions.count(p->getID()) > 0;
            for (const CoreGameObject* o : p->getObjects())
            {
                const MeshGameObject* mesh = dynamic_cast<const MeshGameObject*>(o);
                if (!mesh)
                    alive.count(o);
                Seen::ObjectState state{o->getLevelOfDetail(),
                                        mesh ? mesh->getFadeState() : int(MeshFade::FADE_NONE)};
                states.emplace(o, state);
                if (!wasLoaded)
                    continue;
                auto before = mSeen->objects.find(o);
                if (before == mSeen->objects.end())
                    continue;
                if (before->second.lod != state.lod)
                    ++lodChanges;
                if (state.fade != MeshFade::FADE_NONE && before->second.fade != state.fade)
                    ++fades;
            }
        }
        for (const auto& found : mLogWatch->take())
            mReport.onUnused(found.first, found.second);
        if (lodChanges)
            mReport.onLodChange(lodChanges);
        if (fades)
            mReport.onFadeStarted(fades);
        mReport.onAlive(alive.lights, alive.particleSystems, alive.sounds);
        mSeen->objects.swap(states);
        mSeen->partitions.swap(now);

        const CorePartition* active = partitions->GetActivePartition();
        return FrameState{active ? active->getID() : "-", loaded.size(), objects};
    }

    void WorldViewer::checkStoredFile(const CorePartition* p)
    {
        const std::string& world = mHost->getManager()->getPartitionManager()->getWorldName();
        const std::string folder = mOptions.world + "/Partitions/";
        const std::string binary = folder + p->getObjectsBinaryFileName(world);
        const std::string xml = folder + p->getObjectsFileName(world);
        std::error_code ec;
        const bool hasBinary = fs::is_regular_file(binary, ec);
        const bool hasXml = fs::is_regular_file(xml, ec);
        if (!hasBinary && !hasXml)
        {
            mReport.onUnused(Unused::MissingFile, mBinary ? binary : xml);
            return;
        }
        if (!p->getObjects().empty() || p->getKeptObjectCount() > 0)
            return;
        // An empty partition: its file may hold another document.
        std::string root;
        const bool readBinary = hasBinary && (mBinary || !hasXml);
        const std::string& path = readBinary ? binary : xml;
        if (readBinary)
        {
            Ogre::BinaryFileResource file;
            if (file.loadFromFile(path) && file.getRootElement())
                root = file.getRootElement()->getName();
        }
        else
        {
            TiXmlDocument document;
            if (document.LoadFile(path.c_str()) && document.RootElement())
                root = document.RootElement()->Value();
        }
        if (!root.empty() && root != "Objects")
        {
            mReport.onUnused(Unused::ForeignFile, path);
            logMessage(path + " is no partition objects file (its root is " + root +
                       "); the partition comes up empty");
        }
    }

    void WorldViewer::writeOutputs()
    {
        std::string error;
        if (!mOptions.screenshot.empty())
        {
            Ogre::RenderWindow* window = mEngine->getWindow();
            if (!window)
                mWarnings.push_back("no screenshot without --render");
            else if (!mEngine->ensurePngCodec())
                mOutputFailures.push_back("no PNG codec: screenshot " + mOptions.screenshot +
                                          " not written");
            else
                try
                {
                    Ogre::Image image(window->suggestPixelFormat(), window->getWidth(),
                                      window->getHeight());
                    window->copyContentsToMemory(
                        Ogre::Box(0, 0, window->getWidth(), window->getHeight()),
                        image.getPixelBox());
                    if (!ViewerMap::writePng(image, mOptions.screenshot, &error))
                        mOutputFailures.push_back("can not write " + mOptions.screenshot + ": " +
                                                  error);
                }
                catch (const Ogre::Exception& e)
                {
                    mOutputFailures.push_back("can not write " + mOptions.screenshot + ": " +
                                              e.getDescription());
                }
        }
        if (!mOptions.mapFile.empty() &&
            (!mEngine->ensurePngCodec() ||
             !ViewerMap::write(mReport.getFigures(), mGrid, mOptions.mapFile, 0, &error)))
            mOutputFailures.push_back("can not write the map " + mOptions.mapFile + ": " +
                                      (error.empty() ? std::string("no PNG codec") : error));
        if (!mOptions.jsonFile.empty() && !ViewerReport::writeJson(getSummary(), mOptions.jsonFile))
            mOutputFailures.push_back("can not write " + mOptions.jsonFile + " (see the log)");
        for (const std::string& warning : mWarnings)
            logMessage(warning);
        for (const std::string& failure : mOutputFailures)
            logMessage(failure);
    }
}
