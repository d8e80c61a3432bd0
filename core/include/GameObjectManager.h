#ifndef __WrenGameObjectManager_H__
#define __WrenGameObjectManager_H__

#include "WrenCorePrerequisites.h"

#include "InputListener.h"

#include <OgreMath.h>
#include <OgreQuaternion.h>
#include <OgreRay.h>
#include <OgreVector.h>

#include <string>
#include <vector>

namespace Wren
{
    class SceneManagerWrapper;

    /** The one object through which a host runs a world, as the host sees it.

        Calling order: construct, initStart, initFinish, then update once per
        frame (input events go through the InputListener handlers, which the
        manager passes on unchanged), optionally save, then destroy, then
        delete.

        The editing operations take sets of objects; every set is first
        freed of duplicates and of objects whose ancestor is in the set too,
        so that no object is moved twice and a delete never reaches an
        object it freed already.
    */
    class WREN_CORE_EXPORT GameObjectManager : public InputListener
    {
    public:
        /** One entry of an objects folder, file or folder. */
        struct CategoryInfo
        {
            /** The folder, "/" and the entry's name. */
            std::string fullPath;
            std::string name;
        };

        /** One metadata file of an objects folder. */
        struct GameObjectInfo
        {
            /** The file's name, which is the metadata ID. */
            std::string fileName;
            /** The "Name" of the file's root. */
            std::string name;
        };

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
        /** A snapshot of the whole scene, to be handed to OperationManager
            after a change (see FullSceneOperation); the caller owns it. Null
            without a world. */
        virtual Operation* createOperation(const std::string& name) = 0;

        /** Every entry of the folder dir (the manager's objects folder when
            empty) but ".", "..", ".svn" and "CVS", in the order the file
            system lists them; nothing when it can not be listed. */
        virtual void enumerateCategoryInfos(const std::string& dir,
                                            std::vector<CategoryInfo>& out) const = 0;
        /** Every metadata file (a name containing ".meta") of dir whose type
            a registered factory supports. An unreadable file is skipped
            (logged). */
        virtual void enumerateObjectInfos(const std::string& dir,
                                          std::vector<GameObjectInfo>& out) const = 0;

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

        /** The centre of the box spanned by the objects' world positions;
            (0, 0, 0) for none. */
        virtual Ogre::Vector3 getAveragedCenter(const std::vector<GameObject*>& objs) = 0;
        /** Appends to out a copy of every object (children with new names),
            in the object's partition. */
        virtual void cloneObjects(const std::vector<GameObject*>& objs,
                                  std::vector<GameObject*>& out) = 0;
        /** Destroys and deletes the objects with their children, then
            empties objs. */
        virtual void deleteObjects(std::vector<GameObject*>& objs) = 0;
        virtual void startMovingObjects(const std::vector<GameObject*>& objs) = 0;
        virtual void finishMovingObjects(const std::vector<GameObject*>& objs) = 0;
        /** Turns every object in its local space. */
        virtual void rotateObjects(const std::vector<GameObject*>& objs,
                                   const Ogre::Quaternion& rotation) = 0;
        /** Turns every object about its local y axis. */
        virtual void rotateObjects(const std::vector<GameObject*>& objs,
                                   const Ogre::Radian& angle) = 0;
        /** Moves every object by delta in world space. */
        virtual void translateObjects(const std::vector<GameObject*>& objs,
                                      const Ogre::Vector3& delta) = 0;
        /** Moves the group so that its averaged centre lands on target (its
            height the fixed height while enabled); the group keeps its
            shape. */
        virtual void moveObjects(const std::vector<GameObject*>& objs,
                                 const Ogre::Vector3& target) = 0;
        /** Multiplies every object's scale. */
        virtual void scaleObjects(const std::vector<GameObject*>& objs,
                                  const Ogre::Vector3& factor) = 0;
        /** Makes every object a child of parent, keeping its place in the
            world. An object that is parent or one of its ancestors is
            refused (logged); false when any was refused. */
        virtual bool linkObjects(const std::vector<GameObject*>& objs, GameObject* parent) = 0;
        /** Makes every object a top-level object of the partition under its
            world position, keeping its place in the world; it keeps its
            partition when no loaded partition lies there. */
        virtual void unlinkObjects(const std::vector<GameObject*>& objs) = 0;
        /** Writes object as the compound name into the compounds folder
            (name + ".objects" and name + ".meta"), each file through a
            temporary file, so that an existing compound is replaced only by
            a complete one. False, with the reason logged, for a name that is
            empty or holds a path separator or "..", an object that refuses
            to be saved, or a file that can not be written. */
        virtual bool saveCompoundGameObject(GameObject* object, const std::string& name) = 0;

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

        /** The nearest object (its group head) or world point that ray hits;
            see CoreGameObjectManager::rayCollide. */
        virtual bool rayCollide(const Ogre::Ray& ray, bool objects, bool world, GameObject*& hit,
                                Ogre::Vector3& point) = 0;
        /** As rayCollide, passing over the objects of ignore. */
        virtual bool rayCollide(const Ogre::Ray& ray, bool objects, bool world, GameObject*& hit,
                                const std::vector<GameObject*>& ignore, Ogre::Vector3& point) = 0;
        /** Shows the object as selected and adds it to the selection (once). */
        virtual void selectObject(GameObject* object) = 0;
        /** Shows the object as not selected and takes it off the selection. */
        virtual void unselectObject(GameObject* object) = 0;

        /** Whether a world file of that name can be found. */
        virtual bool worldExists(const std::string& worldName) = 0;
        /** Appends the world's game systems in name order. */
        virtual void enumerateGameObjectManagerGameSystems(
            std::vector<GameObjectManagerGameSystem*>& out) = 0;
    };
}

#endif
