#include "WorldHost.h"

#include <OgrePass.h>

#include "ExtensionGameObjectFactory.h"

#include "BinaryFileResourceManager.h"
#include "ChimeSoundSystem.h"
#include "CollisionGameSystem.h"
#include "CollisionGameSystemFactory.h"
#include "CoreAboveGroundManager.h"
#include "CoreGameObjectManager.h"
#include "CorePartitionManager.h"
#include "DataFileResourceManager.h"
#include "GameObjectFactory.h"
#include "GameObjectFactoryManager.h"
#include "GameSystemFactory.h"
#include "GameSystemManager.h"
#include "GridAboveGroundManager.h"
#include "GridPartitionManager.h"
#include "ImpostorGameSystemFactory.h"
#include "MaterialBatchTemplates.h"
#include "OgreBackgroundLoader.h"
#include "OgreResourceGroupManagerEx.h"
#include "OperationManager.h"
#include "SceneManagerWrapper.h"
#include "WorldsFolder.h"

#include <OgreCamera.h>
#include <OgreConfigFile.h>
#include <OgreControllerManager.h>
#include <OgreDefaultHardwareBufferManager.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreParticleSystemManager.h>
#include <OgreParticleSystemRenderer.h>
#include <OgrePass.h>
#include <OgrePlugin.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>
#include <filesystem>
#include <typeinfo>

namespace Wren
{
    namespace
    {
        void logMessage(const std::string& text)
        {
            Ogre::LogManager::getSingleton().logMessage("WorldHost: " + text);
        }

        /** The factories of made whose class no factory in held has. */
        template <typename Factory>
        std::vector<std::unique_ptr<Factory>> withoutKindsHeld(
            std::vector<std::unique_ptr<Factory>> made, const std::vector<Factory*>& held)
        {
            std::vector<std::unique_ptr<Factory>> kept;
            for (auto& factory : made)
                if (std::none_of(held.begin(), held.end(), [&factory](const Factory* h) {
                        return typeid(*h) == typeid(*factory);
                    }))
                    kept.push_back(std::move(factory));
            return kept;
        }
    }

    WorldHost::WorldHost() {}

    WorldHost::~WorldHost() { stop(); }

    std::vector<std::unique_ptr<GameSystemFactory>> WorldHost::makeStandardSystemFactories()
    {
        std::vector<std::unique_ptr<GameSystemFactory>> factories;
        factories.emplace_back(new CollisionGameSystemFactory);
        factories.emplace_back(new ImpostorGameSystemFactory);
        return factories;
    }

    bool WorldHost::prepareParticleSystems(const std::string& folder)
    {
        // Root::initialise makes the billboard renderer; an engine without
        // render system never runs it.
        Ogre::ParticleSystemManager& particles = Ogre::ParticleSystemManager::getSingleton();
        bool renderer = false;
        for (auto it = particles.getRendererFactoryIterator(); it.hasMoreElements() && !renderer;)
            renderer = it.getNext()->getType() == "billboard";
        if (!renderer)
            particles._initialise();

        Ogre::Root& root = Ogre::Root::getSingleton();
        for (const Ogre::Plugin* plugin : root.getInstalledPlugins())
            if (plugin->getName() == "ParticleFX")
                return true;
        const std::string path =
            (folder.empty() ? std::string(WREN_OGRE_PLUGIN_DIR) : folder) + "/Plugin_ParticleFX";
        try
        {
            root.loadPlugin(path);
            return true;
        }
        catch (const Ogre::Exception& e)
        {
            logMessage("particle systems have no emitters or affectors: " + path +
                       " can not be loaded: " + e.getDescription());
            return false;
        }
    }

    std::vector<std::unique_ptr<GameObjectFactory>> WorldHost::makeStandardObjectFactories()
    {
        std::vector<std::unique_ptr<GameObjectFactory>> factories;
        factories.emplace_back(new ExtensionGameObjectFactory);
        return factories;
    }

    bool WorldHost::start(WorldHostSettings settings)
    {
        if (isRunning() || mOwnRoot || mSceneManager)
        {
            if (Ogre::LogManager::getSingletonPtr())
                logMessage("a world is running already; " + settings.worldName + " not started");
            return false;
        }
        if (!startEngine(settings))
        {
            stop();
            return false;
        }
        mWorldName = settings.worldName;
        mUpdateRegisteredSystems = settings.updateRegisteredSystems;
        declareLocations(settings);
        startRegistries(settings);

        mWrapper = new SceneManagerWrapper(mSceneManager);
        mManager = new CoreGameObjectManager(settings.keyboard, settings.mouse, settings.joyStick,
                                             settings.editing);
        CorePartitionManager* partitions = settings.makePartitionManager
                                               ? settings.makePartitionManager(mManager)
                                               : new CorePartitionManager(mManager);
        AboveGroundManager* areas = nullptr;
        if (settings.makeAboveGroundManager)
            areas = settings.makeAboveGroundManager(mManager, partitions);
        else if (dynamic_cast<GridPartitionManager*>(partitions))
            areas = new GridAboveGroundManager(mManager, partitions);
        else
            areas = new CoreAboveGroundManager(mManager, partitions);
        // Before initStart: a single partition loads in initFinish.
        mManager->SetEnabledInstanced(settings.instancing &&
                                      dynamic_cast<GridAboveGroundManager*>(areas));
        if (!mManager->initStart(mWorldName, mWrapper, partitions, areas))
        {
            logMessage("world " + mWorldName + " can not be started");
            delete areas;
            delete partitions;
            stop();
            return false;
        }
        if (settings.collisionShapeRecovery)
            if (CollisionGameSystem* collision = mManager->getCollisionGameSystem())
            {
                collision->setHoldMaxCount(std::max(0, settings.collisionShapeHold));
                collision->setRecoveryTime(1.0f);
                collision->setRecovery(true);
            }
        if (!mManager->initFinish())
        {
            logMessage("world " + mWorldName + " did not finish its start");
            stop();
            return false;
        }
        return true;
    }

    bool WorldHost::startEngine(const WorldHostSettings& settings)
    {
        if (!Ogre::Root::getSingletonPtr())
        {
            mOwnRoot = new Ogre::Root("", "", "");
            if (!mOwnRoot->getRenderSystem())
            {
                mOwnBufferManager = new Ogre::DefaultHardwareBufferManager();
                Ogre::MaterialManager::getSingleton().initialise();
                // What Root::initialise would make for particle systems.
                mOwnControllers = new Ogre::ControllerManager();
            }
        }
        // Before any script is parsed: the world's materials may name their
        // batching templates.
        Ogre::MaterialBatchTemplates::registerScriptTranslator();
        prepareParticleSystems(settings.pluginFolder);
        mSoundWasOpen = ChimeSoundSystem::getSingleton().isOpen();
        mSceneManager = settings.sceneManager;
        if (!mSceneManager)
        {
            mSceneManager = Ogre::Root::getSingleton().createSceneManager();
            mOwnSceneManager = true;
        }
        if (settings.createPlayerCamera && !mSceneManager->hasCamera("PlayerCam"))
        {
            mOwnCamera = mSceneManager->createCamera("PlayerCam");
            mOwnCameraNode = mSceneManager->getRootSceneNode()->createChildSceneNode();
            mOwnCameraNode->attachObject(mOwnCamera);
        }
        if (!Ogre::BinaryFileResourceManager::getSingletonPtr())
            mOwnBinaryFiles = new Ogre::BinaryFileResourceManager();
        if (settings.backgroundLoading && !Ogre::BackgroundLoader::getSingletonPtr())
            mOwnLoader = new Ogre::BackgroundLoader();
        return true;
    }

    void WorldHost::declareLocations(const WorldHostSettings& settings)
    {
        WorldsFolder::setConfigPath(settings.resourcesConfig);
        mWorldsFolder = WorldsFolder::find();
        if (mWorldsFolder.empty())
            logMessage("the configuration " + settings.resourcesConfig +
                       " names no worlds folder: world " + mWorldName + " can not be saved");

        if (settings.declareWorldFolders && !mWorldsFolder.empty())
        {
            // A world's folders are made, so that a new world can be saved
            // and a saved one found.
            const std::string world = mWorldsFolder + "/" + mWorldName;
            const std::string partitions = world + "/Partitions";
            std::error_code ec;
            std::filesystem::create_directories(partitions, ec);
            if (ec)
                logMessage("can not make " + partitions + ": " + ec.message());
            for (const WorldResourceLocation& location :
                 {WorldResourceLocation{world, "PLSM2", false},
                  WorldResourceLocation{partitions, "PLSM2", false},
                  WorldResourceLocation{partitions, "General", false}})
                if (std::filesystem::is_directory(location.folder))
                    addLocation(location);
        }
        if (settings.declareConfigLocations)
            declareConfigLocations(settings.resourcesConfig);
        for (const WorldResourceLocation& location : settings.resourceLocations)
            addLocation(location);
        initialiseGroups();
    }

    void WorldHost::initialiseGroups()
    {
        // Scripts (the materials of the meshes that streaming will load, the
        // particle templates) are parsed when a group is initialised. A group
        // initialised before the host declared its folders gets the scripts
        // of those folders parsed one by one.
        Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
        std::vector<std::string> initialisedNow;
        for (const WorldResourceLocation& location : mLocations)
        {
            const std::string& group = location.group;
            if (std::find(initialisedNow.begin(), initialisedNow.end(), group) !=
                initialisedNow.end())
                continue;
            try
            {
                if (!groups.isResourceGroupInitialised(group))
                {
                    groups.initialiseResourceGroup(group);
                    initialisedNow.push_back(group);
                    continue;
                }
                std::error_code ec;
                for (std::filesystem::directory_iterator it(location.folder, ec), end;
                     !ec && it != end; it.increment(ec))
                {
                    const std::string extension = it->path().extension().string();
                    Ogre::ScriptLoader* loader = nullptr;
                    if (extension == ".material")
                        loader = Ogre::MaterialManager::getSingletonPtr();
                    else if (extension == ".particle")
                        loader = Ogre::ParticleSystemManager::getSingletonPtr();
                    if (!loader)
                        continue;
                    const std::string file = it->path().filename().string();
                    Ogre::DataStreamPtr stream = groups.openResource(file, group);
                    loader->parseScript(stream, group);
                }
            }
            catch (const Ogre::Exception& e)
            {
                logMessage("the scripts of " + location.folder + " in group " + group +
                           " can not be read: " + e.getDescription());
            }
        }
        // The look-ups by name of streaming then list no folder of a large
        // world in a frame.
        for (const WorldResourceLocation& location : mLocations)
            Ogre::ResourceGroupManagerEx::prepareIndex(location.group);
    }

    void WorldHost::declareConfigLocations(const std::string& configPath)
    {
        Ogre::ConfigFile config;
        try
        {
            config.load(configPath, "\t:=", true);
        }
        catch (const Ogre::Exception& e)
        {
            logMessage("can not read " + configPath + ": " + e.getDescription());
            return;
        }
        // A relative folder is relative to the configuration's own folder,
        // so that a world folder holding its configuration can be moved
        // (declareLocations made configPath the one WorldsFolder reads).
        for (const auto& section : config.getSettingsBySection())
            for (const auto& setting : section.second)
                if (setting.first == "FileSystem" && !section.first.empty() &&
                    std::filesystem::is_directory(WorldsFolder::resolve(setting.second)))
                {
                    WorldResourceLocation location{WorldsFolder::resolve(setting.second),
                                                   section.first, false};
                    const bool known = std::any_of(
                        mLocations.begin(), mLocations.end(), [&](const WorldResourceLocation& l) {
                            return l.folder == location.folder && l.group == location.group;
                        });
                    if (!known)
                        addLocation(location);
                }
    }

    void WorldHost::addLocation(const WorldResourceLocation& location)
    {
        Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
        try
        {
            groups.addResourceLocation(location.folder, "FileSystem", location.group,
                                       location.recursive);
            mLocations.push_back(location);
        }
        catch (const Ogre::Exception& e)
        {
            logMessage("can not declare " + location.folder + " in " + location.group + ": " +
                       e.getDescription());
        }
    }

    void WorldHost::startRegistries(WorldHostSettings& settings)
    {
        if (!DataFileResourceManager::getSingletonPtr())
            mOwnDataFiles = new DataFileResourceManager();
        if (!GameObjectFactoryManager::getSingletonPtr())
            mOwnObjectFactories = new GameObjectFactoryManager();
        if (!GameSystemManager::getSingletonPtr())
            mOwnSystems = new GameSystemManager();
        if (!OperationManager::getSingletonPtr())
            mOwnOperations = new OperationManager(std::max(1u, settings.operationCapacity));

        // A standard factory goes into a registry once: a registry a world
        // was started in before (or its maker filled) holds one of its kind.
        GameSystemManager& systemRegistry = GameSystemManager::getSingleton();
        std::vector<GameSystemFactory*> systemsHeld;
        systemRegistry.enumerateGameSystemFactories(systemsHeld);
        std::vector<std::unique_ptr<GameSystemFactory>> systems =
            withoutKindsHeld(makeStandardSystemFactories(), systemsHeld);
        for (auto& factory : settings.systemFactories)
            systems.push_back(std::move(factory));
        for (auto& factory : systems)
            if (systemRegistry.addGameSystemFactory(factory.get()))
                factory.release();

        GameObjectFactoryManager& objectRegistry = GameObjectFactoryManager::getSingleton();
        std::vector<GameObjectFactory*> objectsHeld;
        objectRegistry.enumerateGameObjectFactories(objectsHeld);
        std::vector<std::unique_ptr<GameObjectFactory>> objects =
            withoutKindsHeld(makeStandardObjectFactories(), objectsHeld);
        for (auto& factory : settings.objectFactories)
            objects.push_back(std::move(factory));
        for (auto& factory : objects)
            if (objectRegistry.addGameObjectFactory(factory.get()))
                factory.release();
    }

    void WorldHost::update(float elapsed)
    {
        if (!mManager)
            return;
        mManager->update(elapsed);
        // The device opens when a sound first plays; the listener waits for it.
        ChimeSoundSystem& sounds = ChimeSoundSystem::getSingleton();
        if (sounds.isOpen())
            sounds.updateListener(mManager->getPlayerCamera());
        if (mUpdateRegisteredSystems)
        {
            std::vector<GameSystem*> systems;
            GameSystemManager::getSingleton().enumerateGameSystems(systems);
            const GameSystem* collision = mManager->getCollisionGameSystem();
            for (GameSystem* system : systems)
                if (system != collision)
                    system->update(elapsed);
        }
        // OGRE deletes the passes of removed materials (every fade's clone)
        // only when it renders a scene; a host that runs without drawing
        // would keep them all. Twice in a drawn frame costs nothing.
        Ogre::Pass::processPendingPassUpdates();
    }

    bool WorldHost::save()
    {
        return mManager ? mManager->save(mWorldName) : false;
    }

    void WorldHost::stop()
    {
        if (mManager)
        {
            mManager->destroy();
            delete mManager;
            mManager = nullptr;
        }
        if (!mSoundWasOpen)
            ChimeSoundSystem::getSingleton().close();
        mSoundWasOpen = false;
        delete mWrapper;
        mWrapper = nullptr;

        delete mOwnOperations;
        mOwnOperations = nullptr;
        delete mOwnSystems;
        mOwnSystems = nullptr;
        delete mOwnObjectFactories;
        mOwnObjectFactories = nullptr;
        delete mOwnDataFiles;
        mOwnDataFiles = nullptr;

        if (Ogre::ResourceGroupManager* groups = Ogre::ResourceGroupManager::getSingletonPtr())
            for (auto it = mLocations.rbegin(); it != mLocations.rend(); ++it)
                if (groups->resourceGroupExists(it->group))
                    groups->removeResourceLocation(it->folder, it->group);
        mLocations.clear();

        delete mOwnLoader;
        mOwnLoader = nullptr;
        delete mOwnBinaryFiles;
        mOwnBinaryFiles = nullptr;
        if (mOwnCamera)
        {
            mSceneManager->destroySceneNode(mOwnCameraNode);
            mSceneManager->destroyCamera(mOwnCamera);
            mOwnCamera = nullptr;
            mOwnCameraNode = nullptr;
        }
        if (mOwnSceneManager && mSceneManager)
            Ogre::Root::getSingleton().destroySceneManager(mSceneManager);
        mSceneManager = nullptr;
        mOwnSceneManager = false;
        if (mOwnRoot)
        {
            delete mOwnRoot;
            mOwnRoot = nullptr;
            delete mOwnBufferManager;
            mOwnBufferManager = nullptr;
            delete mOwnControllers;
            mOwnControllers = nullptr;
        }
        mWorldName.clear();
        mWorldsFolder.clear();
    }
}
