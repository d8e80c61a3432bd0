#ifndef __WrenCoreGameObjectManager_H__
#define __WrenCoreGameObjectManager_H__

#include "CollisionGameSystem.h"
#include "FullSceneOperation.h"
#include "GameObjectManager.h"
#include "Property.h"

#include <OgreQuaternion.h>

#include <ctime>
#include <list>
#include <map>
#include <utility>

namespace Ogre
{
    class Camera;
    class SceneManager;
}

namespace Wren
{
    /** The working object manager: loads the world file, owns the partition
        and above-ground managers, the world's game systems and the cached
        metadata, names and creates objects through the factories, keeps the
        per-frame update lists and saves the world.

        World file: the world w is loaded as the resource "w.World" of the
        group "PLSM2" and saved to <worlds>/w/w.World (see WorldsFolder).
        "w.World" is the one spelling on disk; a world whose file is spelled
        "w.world" (the lower-case spelling hosts ask for) still loads, and is
        written back as "w.World". The manager reads and writes its own part;
        the partition manager, the above-ground manager and each game system
        read and write theirs:
        @code
        <World>
            <GameObjectManagerData ObjectUniqueInt="12">
                <GameSystems>
                    <GameSystem Name="ImpostorGameSystem"/>
                </GameSystems>
            </GameObjectManagerData>
            ... (parts of the partition manager and the game systems)
        </World>
        @endcode
        "ObjectUniqueInt" (default 0) is the last unique number handed out;
        each "GameSystem" names the type of one of the world's game systems
        (an empty "Name" is skipped). The root's name is not checked.

        Per frame, update runs: the partition manager's streaming step, the
        above-ground manager's update, update of every update listener,
        updateAnim of every animation listener, and the collision system's
        update. Other game systems are the host's to update. Listeners are
        walked by index; an object may remove itself (not others) during its
        own call without making the next one miss its turn.

        Object names: metadata name, "_", the next unique number, "_" and the
        UTC time as year_month_day_hour_minute_second (no padding). The
        counter only grows and is saved with the world.

        Metadata: loaded once per ID from the resource of that name in the
        group "General" and cached; a missing or empty file raises
        Ogre::InternalErrorException ("can not find meta file:" and the ID).

        Editing (CoreGameObjectManagerEditing.cpp), selection
        (CoreGameObjectManagerSelection.cpp), ray and collision queries
        (CoreGameObjectManagerQueries.cpp) and the listings of an object
        browser (CoreGameObjectManagerFolders.cpp) have a form on
        CoreGameObject and, where GameObjectManager lists them, one on
        GameObject that calls it. Every change to what a partition stores
        marks that partition dirty (the objects tell it), so that the next
        save writes it. Folders are "/"-separated; the objects folder
        (default "../../Data/maps/Objects") and the compounds folder
        (default "../../../media/Wren/Objects/Compounds") are relative to
        the working folder unless set otherwise.
    */
    class WREN_CORE_EXPORT CoreGameObjectManager : public GameObjectManager,
                                                   public PropertyContainer
    {
    public:
        typedef std::map<std::string, CoreMetadata*> MetadataMap;
        typedef std::map<std::string, GameObjectManagerGameSystem*> GameSystemMap;

        CoreGameObjectManager(OIS::Keyboard* keyboard, OIS::Mouse* mouse,
                              OIS::JoyStick* joyStick, bool editing);
        /** Releases the containers only; destroy must have been called. */
        ~CoreGameObjectManager() override;

        // GameObjectManager
        void destroy() override;
        /** Loads the world file (false, changing nothing, when there is none
            or it can not be read), makes sure the game system
            "CollisionGameSystem" exists (false when it can not be made),
            reads the manager's part, finds the camera "PlayerCam", takes the
            two managers and lets them read their parts, lets every object
            factory prepare for this manager, and creates and loads the
            world's game systems. When editing, the world resource is
            forgotten afterwards so that a later start reads the file again.

            Refusals (false, logged): no scene manager behind wrapper, a
            partition manager that is not a CorePartitionManager, missing
            data-file or game-system registries, no world file, no collision
            system, and a partition or above-ground manager whose initStart
            refuses the world data. After that last one the manager keeps
            neither manager (the caller still owns and deletes both) and
            drops the game systems it made from the world file. */
        bool initStart(const std::string& worldName, SceneManagerWrapper* wrapper,
                       PartitionManager* partitionManager,
                       AboveGroundManager* aboveGroundManager) override;
        bool initFinish() override;
        /** The partition manager's snapshot; null without one. */
        FullSceneOperation* createOperation(const std::string& name) override;
        void enumerateCategoryInfos(const std::string& dir,
                                    std::vector<CategoryInfo>& out) const override;
        void enumerateObjectInfos(const std::string& dir,
                                  std::vector<GameObjectInfo>& out) const override;
        void enumerateObjects(std::vector<GameObject*>& out) override;
        void enumeratePartitions(std::vector<Partition*>& out) override;
        void enumerateObjectsByType(std::vector<GameObject*>& out,
                                    const std::string& type) override;
        GameObject* getObjectByName(const std::string& name) override;
        GameObject* createGameObject(const std::string& metaID,
                                     const Ogre::Vector3& position) override;
        Ogre::Vector3 getAveragedCenter(const std::vector<GameObject*>& objs) override;
        void cloneObjects(const std::vector<GameObject*>& objs,
                          std::vector<GameObject*>& out) override;
        void deleteObjects(std::vector<GameObject*>& objs) override;
        void startMovingObjects(const std::vector<GameObject*>& objs) override;
        void finishMovingObjects(const std::vector<GameObject*>& objs) override;
        void rotateObjects(const std::vector<GameObject*>& objs,
                           const Ogre::Quaternion& rotation) override;
        void rotateObjects(const std::vector<GameObject*>& objs, const Ogre::Radian& angle) override;
        void translateObjects(const std::vector<GameObject*>& objs,
                              const Ogre::Vector3& delta) override;
        void moveObjects(const std::vector<GameObject*>& objs, const Ogre::Vector3& target) override;
        void scaleObjects(const std::vector<GameObject*>& objs, const Ogre::Vector3& factor) override;
        bool linkObjects(const std::vector<GameObject*>& objs, GameObject* parent) override;
        void unlinkObjects(const std::vector<GameObject*>& objs) override;
        bool saveCompoundGameObject(GameObject* object, const std::string& name) override;
        bool rayCollide(const Ogre::Ray& ray, bool objects, bool world, GameObject*& hit,
                        Ogre::Vector3& point) override;
        bool rayCollide(const Ogre::Ray& ray, bool objects, bool world, GameObject*& hit,
                        const std::vector<GameObject*>& ignore, Ogre::Vector3& point) override;
        void selectObject(GameObject* object) override;
        void unselectObject(GameObject* object) override;

        /** Writes the world file, the partitions (through the partition
            manager) and the game systems' parts. The world name becomes
            worldName. Under a new name ("Save As") every partition is
            written, loaded or not, so the new world is complete; the world's
            game systems keep the names they were made under. False, with
            the reason logged, when the worlds folder is not configured, when
            the world file could not be written, or when the partition
            manager reports a failed save (a file that could not be written,
            or objects that refused to be written: see
            CorePartitionManager::getRefusedObjects); a failed write leaves
            the earlier file as it was. */
        bool save(const std::string& worldName) override;
        void startSimulation() override;
        /** Clears the selection list (without unselecting), then ends the
            partitions' simulation. */
        void endSimulation() override;
        void setFixedHeight(float height) override { mFixedHeight = height; }
        float getFixedHeight() const override { return mFixedHeight; }
        void setFixedHeightEnabled(bool enabled) override { mFixedHeightEnabled = enabled; }
        bool getFixedHeightEnabled() const override { return mFixedHeightEnabled; }
        /** Whether a file w.World (in any letter case) is known to the
            resource groups "PLSM2" or "General". */
        bool worldExists(const std::string& worldName) override;
        void enumerateGameObjectManagerGameSystems(
            std::vector<GameObjectManagerGameSystem*>& out) override;

        // InputListener
        /** One frame, in the order of the class comment. */
        void update(float elapsed) override;

        // PropertyContainer
        /** The partition manager's properties, then each game system's in
            name order. */
        void enumerateProperties(std::vector<Property>& out) override;
        /** Offers the value to the partition manager, then to every game
            system. */
        void setProperty(const std::string& id, const PropertyData& value) override;

        virtual void enumerateObjects(std::vector<CoreGameObject*>& out);
        virtual void enumeratePartitions(std::vector<CorePartition*>& out);
        virtual void enumerateObjectsByType(std::vector<CoreGameObject*>& out, const std::string& type);
        virtual void enumetateObjectsByLogicInfo(std::vector<CoreGameObject*>& out);
        virtual void enumerateNearbyPartitionObjects(const Ogre::Vector3& position,
                                                     std::vector<CoreGameObject*>& out,
                                                     bool logicOnly);
        virtual void enumerateAreas(std::vector<CoreAboveGroundArea*>& out);
        virtual CoreGameObject* getCoreObjectByName(const std::string& name);

        /** A new object from metadata metaID: uniquely named, initialised
            and placed at worldPosition (which puts it into the loaded
            partition there). Null when the metadata yields nothing, no
            factory makes its type, or no loaded partition lies under
            worldPosition (logged: such an object would belong to nobody). */
        virtual CoreGameObject* createCoreGameObject(const std::string& metaID,
                                             const Ogre::Vector3& worldPosition);
        /** A new, uninitialised object of that type and name from the first
            factory that supports the type; null when none does (or when the
            factory's object is not a CoreGameObject). The caller owns it. */
        virtual CoreGameObject* createCoreGameObjectFromFactory(const std::string& type,
                                                        const std::string& name);

        // Editing (CoreGameObjectManagerEditing.cpp). Every operation works
        // on the set without duplicates and without objects whose ancestor
        // is in the set (see GameObjectManager).

        virtual Ogre::Vector3 getAveragedCenter(const std::vector<CoreGameObject*>& objs);
        /** Destroys and deletes the objects with their children (each
            leaves its parent, its partition and the selection first), then
            empties objs. */
        virtual void deleteObjects(std::vector<CoreGameObject*>& objs);
        /** For each object: its stored form read back into a new object of
            the same type, named after it with a new unique number (its
            children renamed too), in the partition named by the stored form,
            never with a parent; a child's clone stands at the child's offset
            from its partition's origin. An object that refuses to be saved,
            or whose clone finds no loaded partition, gives no clone
            (logged). */
        virtual void cloneObjects(const std::vector<CoreGameObject*>& objs,
                                  std::vector<CoreGameObject*>& out);
        virtual void startMovingObjects(const std::vector<CoreGameObject*>& objs);
        virtual void finishMovingObjects(const std::vector<CoreGameObject*>& objs);
        virtual void rotateObjects(const std::vector<CoreGameObject*>& objs,
                                   const Ogre::Quaternion& rotation);
        virtual void rotateObjects(const std::vector<CoreGameObject*>& objs,
                                   const Ogre::Radian& angle);
        /** Turns the group rigidly by rotation about the world position of
            pivot: positions exactly; each orientation by the direction of
            its local z axis (the roll about it is kept, see
            CoreGameObject::setOrientation). */
        virtual void rotateObjectsAroundOne(const std::vector<CoreGameObject*>& objs,
                                            CoreGameObject* pivot,
                                            const Ogre::Quaternion& rotation);
        virtual void rotateObjectsAroundOne(const std::vector<GameObject*>& objs, GameObject* pivot,
                                            const Ogre::Quaternion& rotation);
        /** As rotateObjectsAroundOne, about the group's averaged centre. */
        virtual void rotateObjectsAroundCenter(const std::vector<CoreGameObject*>& objs,
                                               const Ogre::Quaternion& rotation);
        virtual void rotateObjectsAroundCenter(const std::vector<GameObject*>& objs,
                                               const Ogre::Quaternion& rotation);
        virtual void translateObjects(const std::vector<CoreGameObject*>& objs,
                                      const Ogre::Vector3& delta);
        virtual void moveObjects(const std::vector<CoreGameObject*>& objs,
                                 const Ogre::Vector3& target);
        /** Moves every object onto target (its height the fixed height while
            enabled). */
        virtual void moveObjectsAsOne(const std::vector<CoreGameObject*>& objs,
                                      const Ogre::Vector3& target);
        /** Gives every object the scale and parent-relative orientation, then
            moves it onto position as moveObjectsAsOne does. */
        virtual void moveObjectsAsOneEx(const std::vector<CoreGameObject*>& objs,
                                        const Ogre::Vector3& position, const Ogre::Vector3& scale,
                                        const Ogre::Quaternion& orientation);
        virtual void scaleObjects(const std::vector<CoreGameObject*>& objs,
                                  const Ogre::Vector3& factor);
        virtual bool linkObjects(const std::vector<CoreGameObject*>& objs, CoreGameObject* parent);
        virtual void unlinkObjects(const std::vector<CoreGameObject*>& objs);
        virtual bool saveCompoundGameObject(CoreGameObject* object, const std::string& name);

        // Ray and collision queries (CoreGameObjectManagerQueries.cpp); all
        // answer false without a scene.

        /** The objects the scene's ray query finds under ray whose collision
            shapes the ray hits: one info per hit, naming its object. */
        virtual bool rayCollideObjects(const Ogre::Ray& ray, std::vector<CollisionInfo>& infos);
        /** The point where ray meets the world geometry, when the scene has
            any. */
        virtual bool rayCollideWorld(const Ogre::Ray& ray, Ogre::Vector3& point);
        /** The hit nearest to the ray's origin among the objects (when
            objects; those of ignore passed over) and the world geometry
            (when world). point is that hit; hit is the group head of the
            nearest object hit, also when the world point is nearer (null
            when no object was hit). */
        virtual bool rayCollide(const Ogre::Ray& ray, bool objects, bool world,
                                CoreGameObject*& hit, const std::vector<CoreGameObject*>& ignore,
                                Ogre::Vector3& point);
        virtual bool rayCollide(const Ogre::Ray& ray, bool objects, bool world,
                                CoreGameObject*& hit, Ogre::Vector3& point);
        /** Appends (once each) the objects hit between a and b, by rays cast
            from each end towards the other. False when a and b are equal. */
        virtual bool segmentCollide(const Ogre::Vector3& a, const Ogre::Vector3& b,
                                    std::vector<CoreGameObject*>& out);
        /** The hits of ray on the height planes of the objects that hold
            logic data. */
        virtual bool rayCollideObjectsHeight(const Ogre::Ray& ray,
                                             std::vector<CollisionInfo>& infos);
        /** The hit of the first object of objs whose height plane ray hits. */
        virtual bool rayCollideObjectsHeight(const Ogre::Ray& ray,
                                             const std::vector<CoreGameObject*>& objs,
                                             CollisionInfo& info);
        virtual bool rayCollideObjectsUnderGroundHeight(const Ogre::Ray& ray,
                                                        std::vector<CollisionInfo>& infos);
        virtual bool rayCollideObjectsUnderGroundHeight(const Ogre::Ray& ray,
                                                        const std::vector<CoreGameObject*>& objs,
                                                        CollisionInfo& info);
        /** Appends the contacts of object with the objects near it (the
            search box is its world box grown about its own centre by
            |motion| x 1.5 + 1), each naming the other object. */
        virtual void collisionDetect(CoreGameObject* object, std::vector<CollisionInfo>& infos,
                                     const Ogre::Vector3& motion);

        // Selection (CoreGameObjectManagerSelection.cpp): the selected
        // objects in order of selection, each once.

        virtual void selectObject(CoreGameObject* object);
        virtual void unselectObject(CoreGameObject* object);
        /** Shows or hides the object's editing box; the selection is not
            changed. */
        virtual void selectObjectAndShowBox(CoreGameObject* object);
        virtual void selectObjectAndShowBox(GameObject* object);
        virtual void unselectObjectAndBox(CoreGameObject* object);
        virtual void unselectObjectAndBox(GameObject* object);
        /** The first selected object (null for none); the cursor of
            GetNextSelectedObject starts there. */
        virtual CoreGameObject* GetFirstSelectedObject();
        /** The selected object after the cursor; null at the end, and again
            on every later call. Unselecting the object under the cursor
            leaves the cursor before the next one. */
        virtual CoreGameObject* GetNextSelectedObject();
        /** Unselects every selected object. */
        void UnselectAllObjects();
        /** Empties the selection without unselecting the objects. */
        void IgnoreSelectObject();
        const std::list<CoreGameObject*>& getSelection() const { return mSelection; }
        /** Called by an object that is destroyed: it leaves the selection
            and the above-ground area drawing it. */
        void handleObjectDestroyed(CoreGameObject* object);

        // Object browser (CoreGameObjectManagerFolders.cpp).

        /** enumerateCategoryInfos sorted by name ignoring letter case. */
        virtual void enumerateCategoryInfosByNameOrder(const std::string& dir,
                                                       std::vector<CategoryInfo>& out,
                                                       bool ascending) const;
        /** The entries of enumerateCategoryInfos keyed by their last
            modification in UTC as "YYYYMMDDhhmmss", so that the map is in
            time order. */
        virtual void enumerateCategoryInfosByTimeOrder(
            const std::string& dir, std::multimap<std::string, CategoryInfo>& out) const;
        /** Whether a's name comes before (after) b's, ignoring letter case. */
        static bool lessByNmae(const CategoryInfo& a, const CategoryInfo& b);
        static bool greaterByNmae(const CategoryInfo& a, const CategoryInfo& b);
        void setObjectsFolder(const std::string& folder) { mObjectsFolder = folder; }
        const std::string& getObjectsFolder() const { return mObjectsFolder; }
        void setCompoundsFolder(const std::string& folder) { mCompoundsFolder = folder; }
        const std::string& getCompoundsFolder() const { return mCompoundsFolder; }

        /** base (without its last "_" part when stripSuffix), "_" and the
            next unique number that gives no object's name in use. */
        std::string getUniqueName(const std::string& base, bool stripSuffix);
        /** The part of name before its last "_"; name itself without "_". */
        static std::string getNameWithoutSuffix(const std::string& name);
        /** The current UTC time as "year_month_day_hour_minute_second". */
        static std::string getTimeStamp();
        /** A calendar time as "year_month_day_hour_minute_second" (full year,
            month from 1, no padding). */
        static std::string formatTimeStamp(const std::tm& utc);

        /** The cached template of metaID, loading it on first use. Throws
            Ogre::InternalErrorException when the file is missing or empty.
            Null (cached) when the file's type has no factory that makes
            metadata; null (not cached) when it names no type or fails to
            load. */
        virtual CoreMetadata* getMetadata(const std::string& metaID);
        /** Whether metaID is cached or is a resource of the group "General". */
        virtual bool isMetadataExit(const std::string& metaID);
        /** The template of metaID: the existing one when there is one, else a
            new, unloaded one of that type, cached. Null without factory. */
        virtual CoreMetadata* createMetadata(const std::string& metaID, const std::string& type);
        /** Deletes the cached template; objects using it must be gone. */
        virtual void deleteMetadata(const std::string& metaID);

        /** Counted registration for update(elapsed). */
        void addUpdateListener(CoreGameObject* object);
        /** Releases one registration, or all with force. Unlisted objects are
            ignored. */
        void removeUpdateListener(CoreGameObject* object, bool force);
        void addUpdateListenerAnim(CoreGameObject* object);
        void removeUpdateListenerAnim(CoreGameObject* object);
        /** Number of registrations of object for update (0 when unlisted). */
        int getUpdateListenerCount(const CoreGameObject* object) const;
        bool isUpdateListenerAnim(const CoreGameObject* object) const;

        /** The world's system of that type, made, initialised and kept when
            there is none yet. Returns the new system; null when it existed
            already or the registry could not make one. */
        GameObjectManagerGameSystem* createGameObjectManagerGameSystem(const std::string& type);
        GameObjectManagerGameSystem* getGameObjectManagerGameSystemByType(const std::string& type);

        /** Shows or hides the bound meshes of effect, particle-system and
            dummy objects. */
        void setAllHoldGameObjectMeshVisible(bool visible);

        Ogre::SceneManager* getSceneManager() const;
        SceneManagerWrapper* getSceneManagerWrapper() const { return mSceneManagerWrapper; }
        CollisionGameSystem* getCollisionGameSystem() const { return mCollisionGameSystem; }
        virtual CorePartitionManager* getPartitionManager() const { return mPartitionManager; }
        void setPartitionMgr(CorePartitionManager* manager) { mPartitionManager = manager; }
        AboveGroundManager* getAboveGroundManager() const { return mAboveGroundManager; }
        virtual Ogre::Camera* getPlayerCamera() const { return mPlayerCamera; }
        virtual const std::string& getWorldName() const { return mWorldName; }
        bool getSimulating() const { return mSimulating; }
        bool getEditing() const { return mEditing; }
        int getObjectUniqueInt() const { return mObjectUniqueInt; }
        const std::vector<std::string>& getGameSystemTypes() const { return mGameSystemTypes; }
        bool IsEnabledInstanced() const { return mInstancingEnabled; }
        void SetEnabledInstanced(bool enabled) { mInstancingEnabled = enabled; }
        const Ogre::Vector3& GetConsultPos() const { return mConsultPos; }
        void SetConsultPos(const Ogre::Vector3& position) { mConsultPos = position; }
        bool IsEnableConsultPos() const { return mConsultPosEnabled; }
        void SetEnableConsultPos(bool enabled) { mConsultPosEnabled = enabled; }
        const Ogre::Quaternion& getRotateObjOrient() const { return mRotateObjOrient; }
        const Ogre::Vector3& getRotateObjPos() const { return mRotateObjPos; }
        void setRotateObjPos(const Ogre::Vector3& position) { mRotateObjPos = position; }

    protected:
        /** Where the world file of worldName is saved: <worlds>/w/w.World, or
            empty when no worlds folder is configured. */
        static std::string getWorldFileName(const std::string& worldName);
        /** The resource name under which the world file of worldName is
            found in "PLSM2": "w.World", or "w.world" when only that spelling
            exists. */
        static std::string getWorldResourceName(const std::string& worldName);

        /** The name the world was started under, "_" and type; a world
            saved under another name keeps finding its systems. */
        std::string getGameSystemName(const std::string& type) const;
        /** Takes the world's game systems out of the registry and deletes them. */
        void dropGameSystems();
        /** Keeps system under name unless the name is taken. */
        bool addGameObjectManagerGameSystem(const std::string& name,
                                            GameObjectManagerGameSystem* system);
        GameObjectManagerGameSystem* getGameObjectManagerGameSystemByName(const std::string& name);

        /** Writes "GameObjectManagerData" under root. */
        void saveManagerData(DataElementPtr& root);

        static std::vector<CoreGameObject*> castGameObjectsToCoreGameObjects(
            const std::vector<GameObject*>& objs);
        static std::vector<GameObject*> castCoreObjectsToGameObjects(
            const std::vector<CoreGameObject*>& objs);
        static std::vector<CorePartition*> castPartitionsToCorePartitions(
            const std::vector<Partition*>& partitions);
        static std::vector<Partition*> castCorePartitionsToPartitions(
            const std::vector<CorePartition*>& partitions);
        /** objs without duplicates and without objects whose ancestor is in
            objs, in their first order. */
        static std::vector<CoreGameObject*> distinctRoots(const std::vector<CoreGameObject*>& objs);
        /** target with the fixed height while it is enabled. */
        Ogre::Vector3 applyFixedHeight(const Ogre::Vector3& target) const;
        /** Turns the objects rigidly about pivot. */
        void rotateObjectsAbout(const std::vector<CoreGameObject*>& objs,
                                const Ogre::Vector3& pivot, const Ogre::Quaternion& rotation);
        /** Takes object off the selection, keeping the cursor on a listed
            entry. */
        void eraseFromSelection(CoreGameObject* object);

        MetadataMap mMetadataCache;
        CorePartitionManager* mPartitionManager = nullptr;
        AboveGroundManager* mAboveGroundManager = nullptr;
        bool mSimulating = false;
        float mFixedHeight = 0.0f;
        bool mFixedHeightEnabled = false;
        SceneManagerWrapper* mSceneManagerWrapper = nullptr;
        Ogre::Camera* mPlayerCamera = nullptr;
        std::string mWorldName;
        std::vector<std::pair<CoreGameObject*, int>> mUpdateListeners;
        std::vector<CoreGameObject*> mAnimUpdateListeners;
        CollisionGameSystem* mCollisionGameSystem = nullptr;
        bool mEditing;
        int mObjectUniqueInt = 0;
        bool mInstancingEnabled = false;
        GameSystemMap mGameSystems;
        std::vector<std::string> mGameSystemTypes;
        std::list<CoreGameObject*> mSelection;
        std::list<CoreGameObject*>::iterator mSelectionCursor;
        /** The entry under the cursor was erased: the cursor stands on the
            one after it, which the next GetNextSelectedObject returns. */
        bool mSelectionCursorAhead = false;
        Ogre::Vector3 mConsultPos = Ogre::Vector3::ZERO;
        bool mConsultPosEnabled = false;
        Ogre::Quaternion mRotateObjOrient = Ogre::Quaternion::IDENTITY;
        Ogre::Vector3 mRotateObjPos = Ogre::Vector3::ZERO;
        /** The world name initStart was given; the game systems are named
            after it. */
        std::string mStartWorldName;
        std::string mObjectsFolder = "../../Data/maps/Objects";
        std::string mCompoundsFolder = "../../../media/Wren/Objects/Compounds";
    };
}

#endif
