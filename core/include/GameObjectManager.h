#ifndef __WrenGameObjectManager_H__
#define __WrenGameObjectManager_H__

#include "WrenCorePrerequisites.h"

#include "InputListener.h"

#include <OgreVector.h>

namespace Wren
{
    class SceneManagerWrapper;

    /** The one object through which a host runs a world, as the host sees it.

        Calling order: construct, initStart, initFinish, then update once per
        frame (input events go through the InputListener handlers, which the
        manager passes on unchanged), optionally save, then destroy, then
        delete.
    */
    class WREN_CORE_EXPORT GameObjectManager : public InputListener
    {
    public:
        GameObjectManager(OIS::Keyboard* keyboard, OIS::Mouse* mouse, OIS::JoyStick* joyStick);
        ~GameObjectManager() override;

        /** Tears the world down: the above-ground manager, the partition
            manager with every partition and object, the world's game systems
            and the cached metadata, in this order. */
        virtual void destroy() = 0;
        /** Loads the world file of worldName and takes over the partition and
            above-ground managers (from then on the manager owns them). False
            when the world can not be started; the caller then still owns
            both managers. */
        virtual bool initStart(const std::string& worldName, SceneManagerWrapper* wrapper,
                               PartitionManager* partitionManager,
                               AboveGroundManager* aboveGroundManager) = 0;
        /** Finishes the start: the above-ground manager, then the partition
            manager; returns what the partition manager answers. */
        virtual bool initFinish() = 0;

        /** Appends the selectable objects of every partition. */
        virtual void enumerateObjects(std::vector<GameObject*>& out) = 0;
        virtual void enumeratePartitions(std::vector<Partition*>& out) = 0;
        virtual void enumerateObjectsByType(std::vector<GameObject*>& out,
                                            const std::string& type) = 0;
        /** The object of that name in any partition, or null. */
        virtual GameObject* getObjectByName(const std::string& name) = 0;
        /** A new object from the metadata metaID, uniquely named and placed
            at the world position; null when no metadata or factory serves. */
        virtual GameObject* createGameObject(const std::string& metaID,
                                             const Ogre::Vector3& position) = 0;

        /** Saves the world under worldName: its world file, its partitions
            and its game systems. False when something could not be written. */
        virtual bool save(const std::string& worldName) = 0;
        virtual void startSimulation() = 0;
        virtual void endSimulation() = 0;

        /** Height used by moves while enabled. */
        virtual void setFixedHeight(float height) = 0;
        virtual float getFixedHeight() const = 0;
        virtual void setFixedHeightEnabled(bool enabled) = 0;
        virtual bool getFixedHeightEnabled() const = 0;

        /** Whether a world file of that name can be found. */
        virtual bool worldExists(const std::string& worldName) = 0;
        /** Appends the world's game systems in name order. */
        virtual void enumerateGameObjectManagerGameSystems(
            std::vector<GameObjectManagerGameSystem*>& out) = 0;
    };
}

#endif
