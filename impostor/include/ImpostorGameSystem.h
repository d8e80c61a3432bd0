#ifndef __WrenImpostorGameSystem_H__
#define __WrenImpostorGameSystem_H__

#include "WrenImpostorPrerequisites.h"

#include "GameObjectManagerGameSystem.h"

namespace Ogre
{
    class Camera;
}

namespace Wren
{
    /** The impostors of one world: owns its Ogre::ImpostorManager and drives
        it once per frame with the player camera.

        Lifecycle: made by ImpostorGameSystemFactory (type
        "ImpostorGameSystem"), init with the world's CoreGameObjectManager,
        then load, which builds the impostor machinery from scratch: manager
        "<world>_ImpostorGameSystem" on the world's scene manager, in the
        default resource group, 400 reserved quad-tree nodes, 1024 x 1024
        textures, impostor render queue 4; the camera is the manager's
        "PlayerCam". The system keeps nothing in the world file: save writes
        nothing, load reads nothing.

        Callers may rely on:
        - before a successful load, update, addImpostorHandler and
          releaseImpostorHandler do nothing;
        - load without a CoreGameObjectManager with a scene, without a
          render system, or when the engine can not make the impostor
          textures, logs the reason and returns false, leaving the system
          inert;
        - loading again replaces the impostor manager; the handlers
          registered with the old one are registered with the new one;
        - destroying the system lets every handler still registered go (its
          node shown); the handlers stay their owners'.
        The system can not be copied: it owns its impostor manager.
    */
    class WREN_IMPOSTOR_EXPORT ImpostorGameSystem : public GameObjectManagerGameSystem
    {
    public:
        static const char* const TYPE_NAME;

        ImpostorGameSystem();
        ~ImpostorGameSystem() override;

        ImpostorGameSystem(const ImpostorGameSystem&) = delete;
        ImpostorGameSystem& operator=(const ImpostorGameSystem&) = delete;

        /** Stores the manager; nothing else. */
        void init(GameObjectManager* manager) override;
        /** Writes nothing; true. */
        bool save(DataElementPtr element) override;
        /** Builds the impostor machinery (the element is not read). */
        bool load(DataElementPtr element) override;

        /** Runs the impostor manager's frame with the stored camera;
            elapsedSeconds is not used. */
        void update(float elapsedSeconds) override;

        /** Registers the handler's node for impostors. Null is ignored. */
        void addImpostorHandler(ImpostorHandler* handler);
        /** Unregisters the handler (its node is shown again); it stays
            alive, its owner deletes it. A handler never added changes
            nothing. */
        void releaseImpostorHandler(ImpostorHandler* handler);

        Ogre::ImpostorManager* getImpostorManager() const { return mImpostorManager; }
        GameObjectManager* getGameObjectManager() const { return mGameObjectManager; }
        Ogre::Camera* getCamera() const { return mCamera; }

    private:
        Ogre::ImpostorManager* mImpostorManager = nullptr;
        GameObjectManager* mGameObjectManager = nullptr;
        Ogre::Camera* mCamera = nullptr;
    };
}

#endif
