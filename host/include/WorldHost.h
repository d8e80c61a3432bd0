#ifndef __WrenWorldHost_H__
#define __WrenWorldHost_H__

#include "WrenHostPrerequisites.h"

#include "GameObjectFactory.h"
#include "GameSystemFactory.h"

#include <OgreVector.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Ogre
{
    class BinaryFileResourceManager;
    class Camera;
    class ControllerManager;
    class DefaultHardwareBufferManager;
    class Root;
    class SceneManager;
    class SceneNode;
    class BackgroundLoader;
}

namespace OIS
{
    class JoyStick;
    class Keyboard;
    class Mouse;
}

namespace Wren
{
    class SceneManagerWrapper;

    /** One folder of a resource group that the host declares for a world. */
    struct WREN_HOST_EXPORT WorldResourceLocation
    {
        std::string folder;
        std::string group;
        bool recursive = false;
    };

    /** What a host needs to start a world. Only the world name is required. */
    struct WREN_HOST_EXPORT WorldHostSettings
    {
        typedef std::function<CorePartitionManager*(CoreGameObjectManager*)> PartitionManagerMaker;
        typedef std::function<AboveGroundManager*(CoreGameObjectManager*, CorePartitionManager*)>
            AboveGroundManagerMaker;

        std::string worldName;
        /** The engine's resource configuration file, whose worlds setting
            gives saves their path (see WorldsFolder). */
        std::string resourcesConfig = "resources.cfg";
        /** The scene to run the world in; null: the host makes one on the
            Root and destroys it at teardown. */
        Ogre::SceneManager* sceneManager = nullptr;
        /** Make the camera "PlayerCam", which drives streaming and levels of
            detail, at the origin when the scene has none. */
        bool createPlayerCamera = true;
        /** The host is the editor: the world file is read afresh each start. */
        bool editing = false;
        OIS::Keyboard* keyboard = nullptr;
        OIS::Mouse* mouse = nullptr;
        OIS::JoyStick* joyStick = nullptr;
        /** Capacity of the editing history. */
        unsigned operationCapacity = 100;
        /** Declare the world's folders (<worlds>/<world> and its
            "Partitions") in the groups "PLSM2" and "General". */
        bool declareWorldFolders = true;
        /** Also declare every "FileSystem" setting of resourcesConfig in the
            group its section names (the layout of generated worlds). */
        bool declareConfigLocations = false;
        /** Where OGRE's plugins are (ParticleFX); empty: where the build
            found them. */
        std::string pluginFolder;
        /** Further folders to declare, e.g. where metadata files live. */
        std::vector<WorldResourceLocation> resourceLocations;
        /** Load partition files on a loader thread (Ogre::BackgroundLoader);
            otherwise they are read when streaming asks for them. */
        bool backgroundLoading = true;
        /** Also run every game system of the registry each frame (the
            collision system is run by the object manager already and is
            left out). */
        bool updateRegisteredSystems = false;
        /** Let the collision system release shapes nobody uses any more
            once it holds more than collisionShapeHold of them (checked
            every second), so that a long flight over a streamed world does
            not keep the shapes of every cell it passed. */
        bool collisionShapeRecovery = true;
        int collisionShapeHold = 512;
        /** Object factories, registered in order after the standard ones;
            the registry owns them from start on. */
        std::vector<std::unique_ptr<GameObjectFactory>> objectFactories;
        /** Game-system factories, registered in order after the standard
            ones; the registry owns them from start on. */
        std::vector<std::unique_ptr<GameSystemFactory>> systemFactories;
        /** The world's partition manager; a CorePartitionManager when empty. */
        PartitionManagerMaker makePartitionManager;
        /** The world's above-ground manager; when empty, a
            GridAboveGroundManager for a grid world (its partition manager a
            GridPartitionManager), else a CoreAboveGroundManager. */
        AboveGroundManagerMaker makeAboveGroundManager;
        /** Draw static instanced objects in instanced batches where the
            above-ground manager builds them (a GridAboveGroundManager);
            elsewhere they are drawn one by one. */
        bool instancing = true;
    };

    /** Starts and tears down a world in the order the framework expects:

        Start: the engine (the Root that exists, or a headless one the host
        makes; never a second one) ready for particle systems, the scene and its "PlayerCam", the
        binary-file manager and the loader thread when absent, the world's
        resource folders (their groups initialised, so that material scripts
        are parsed), the four registries (data files, object factories, game systems,
        operations) when absent, the standard factories then the caller's,
        the object manager, its partition and above-ground managers,
        initStart and initFinish. A start that fails at any point undoes
        what it did and reports false, with the reason logged.

        Each frame the sound listener (ChimeSoundSystem) follows "PlayerCam"
        once sound has started.

        Teardown (stop, or the destructor): the object manager's destroy and
        deletion, then whatever the host made, in the reverse order of
        making; the sound system is closed when it was not open at start. What the host found already existing (a Root, a scene, a
        registry) is left alone.

        Standard factories: the collision system ("CollisionGameSystem") and
        the impostors ("ImpostorGameSystem", for worlds whose file names it).

        One world per host. Frame thread only.
    */
    class WREN_HOST_EXPORT WorldHost
    {
    public:
        WorldHost();
        ~WorldHost();

        WorldHost(const WorldHost&) = delete;
        WorldHost& operator=(const WorldHost&) = delete;

        /** Starts the world named by settings; false (everything undone) when
            it can not be started or a world is running already. The
            factories of settings are taken whatever the outcome. */
        bool start(WorldHostSettings settings);
        /** One frame of the world. */
        void update(float elapsed);
        /** Saves the world under its name; false when something could not be
            written. */
        bool save();
        /** Tears the world down; nothing happens when none is running. */
        void stop();

        bool isRunning() const { return mManager != nullptr; }
        CoreGameObjectManager* getManager() const { return mManager; }
        Ogre::SceneManager* getSceneManager() const { return mSceneManager; }
        SceneManagerWrapper* getSceneManagerWrapper() const { return mWrapper; }
        const std::string& getWorldName() const { return mWorldName; }
        /** The worlds folder of the configuration; empty when it names none. */
        const std::string& getWorldsFolder() const { return mWorldsFolder; }

        /** Readies the Root for particle systems: loads OGRE's ParticleFX
            plugin from folder (empty: where the build found it) unless it
            is there already, and makes the particle manager's billboard
            renderer when the engine has not (without render system,
            Root::initialise never runs). False (logged) when the plugin
            can not be loaded. Particle scripts need this before they are
            parsed. */
        static bool prepareParticleSystems(const std::string& folder);

        /** The factories every host registers before the caller's. */
        static std::vector<std::unique_ptr<GameSystemFactory>> makeStandardSystemFactories();
        static std::vector<std::unique_ptr<GameObjectFactory>> makeStandardObjectFactories();

    private:
        bool startEngine(const WorldHostSettings& settings);
        void declareLocations(const WorldHostSettings& settings);
        void startRegistries(WorldHostSettings& settings);
        void addLocation(const WorldResourceLocation& location);
        void declareConfigLocations(const std::string& configPath);
        void initialiseGroups();

        std::string mWorldName;
        std::string mWorldsFolder;
        bool mUpdateRegisteredSystems = false;
        /** The sound system was open before the world started. */
        bool mSoundWasOpen = false;

        Ogre::Root* mOwnRoot = nullptr;
        Ogre::DefaultHardwareBufferManager* mOwnBufferManager = nullptr;
        Ogre::ControllerManager* mOwnControllers = nullptr;
        Ogre::SceneManager* mSceneManager = nullptr;
        bool mOwnSceneManager = false;
        Ogre::Camera* mOwnCamera = nullptr;
        Ogre::SceneNode* mOwnCameraNode = nullptr;
        Ogre::BinaryFileResourceManager* mOwnBinaryFiles = nullptr;
        Ogre::BackgroundLoader* mOwnLoader = nullptr;
        std::vector<WorldResourceLocation> mLocations;

        DataFileResourceManager* mOwnDataFiles = nullptr;
        GameObjectFactoryManager* mOwnObjectFactories = nullptr;
        GameSystemManager* mOwnSystems = nullptr;
        OperationManager* mOwnOperations = nullptr;

        SceneManagerWrapper* mWrapper = nullptr;
        CoreGameObjectManager* mManager = nullptr;
    };
}

#endif
