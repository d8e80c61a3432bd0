#ifndef __WrenCoreGameObjectManager_H__
#define __WrenCoreGameObjectManager_H__

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
        void enumerateObjects(std::vector<GameObject*>& out) override;
        void enumeratePartitions(std::vector<Partition*>& out) override;
        void enumerateObjectsByType(std::vector<GameObject*>& out,
                                    const std::string& type) override;
        GameObject* getObjectByName(const std::string& name) override;
        GameObject* createGameObject(const std::string& metaID,
                                     const Ogre::Vector3& position) override;
        /** Writes the world file, the partitions (through the partition
            manager) and the game systems' parts. The world name becomes
            worldName. False, with the reason logged, when the worlds folder
            is not configured, when the world file could not be written, or
            when the partition manager reports a failed save; a failed write
            leaves the earlier world file as it was. */
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
            partition there). Null when the metadata yields nothing or no
            factory makes its type. */
        virtual CoreGameObject* createCoreGameObject(const std::string& metaID,
                                             const Ogre::Vector3& worldPosition);
        /** A new, uninitialised object of that type and name from the first
            factory that supports the type; null when none does (or when the
            factory's object is not a CoreGameObject). The caller owns it. */
        virtual CoreGameObject* createCoreGameObjectFromFactory(const std::string& type,
                                                        const std::string& name);

        /** base (without its last "_" part when stripSuffix), "_" and the
            next unique number. */
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

        /** worldName + "_" + type. */
        std::string getGameSystemName(const std::string& type) const;
        /** Takes the world's game systems out of the registry and deletes them. */
        void dropGameSystems();
        /** Keeps system under name unless the name is taken. */
        bool addGameObjectManagerGameSystem(const std::string& name,
                                            GameObjectManagerGameSystem* system);
        GameObjectManagerGameSystem* getGameObjectManagerGameSystemByName(const std::string& name);

        /** Writes "GameObjectManagerData" under root. */
        void saveManagerData(DataElementPtr& root);

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
        Ogre::Vector3 mConsultPos = Ogre::Vector3::ZERO;
        bool mConsultPosEnabled = false;
        Ogre::Quaternion mRotateObjOrient = Ogre::Quaternion::IDENTITY;
        Ogre::Vector3 mRotateObjPos = Ogre::Vector3::ZERO;
    };
}

#endif
