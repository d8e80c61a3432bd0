#ifndef __WrenCorePartitionManager_H__
#define __WrenCorePartitionManager_H__

#include "LODDistanceInfo.h"
#include "OgreFogLevelListener.h"
#include "PartitionManager.h"
#include "StepDeadline.h"

#include <OgreAxisAlignedBox.h>
#include <OgreMatrix4.h>
#include <OgreQuaternion.h>

#include <list>
#include <map>
#include <unordered_map>

namespace Wren
{
    /** The working partition manager: owns the partitions, streams them
        around the player camera, works off level-of-detail changes of
        objects under a per-step budget and holds the distance tables.

        Streaming step (update), at most every updateInterval seconds:
        1. start queued level-of-detail changes while fewer than the budget
           (1, or 5 when loading several objects per frame) are in flight;
        2. advance the changes in flight by each object's state (2: load
           resources again, 3: finalise, 1 or 4: finished);
        3. when the camera's partition changed: empty both wait lists,
           deactivate the old and activate the new partition, queue the
           loaded partitions it is not connected to for unloading and its
           unloaded connected partitions for loading;
        4. load (after its prefetch completed) or unload at most one
           partition; while such work is pending the interval is 0.01 s;
        5. update every loaded partition.
        Between beginLoading and endLoading nothing happens.

        Load-time budget (setLoadTimeBudget, the property
        "PartitionManager_LoadTimeBudget", the world file's
        @code <CorePartitionManagerData LoadTimeBudget="1"/> @endcode):
        with a budget of b milliseconds, step 4 brings a partition in, or
        takes one out, in pieces (CorePartition::loadStep, unloadStep)
        until b milliseconds have passed since the step began (one object
        at least), and the next steps go on with it before anything else
        waits its turn: still one partition at a time, in the order of the
        wait lists, with the level-of-detail budget as it was. A partition
        counts as loaded (and joins the loaded list) once its last object
        is in; one taken out leaves the loaded list, and the scene, in the
        step that starts it. When the camera moves on so that a partition
        being brought in is no longer kept (see
        CorePartition::enumerateHeldPartitions), what was made of it is
        taken out. A budget of 0 (the default) is the behaviour above: a
        whole partition in one step.

        Keeping: at a change of the camera's partition the unloading list
        gets the loaded partitions that the new one does not hold
        (enumerateHeldPartitions, which is its connected partitions unless
        a partition kind keeps more), so that partitions just beyond the
        load radius are not unloaded at every crossing.

        Distance tables: the base table, a copy scaled by the view-range
        scale and one scaled by the fog level, which the partitions use. The
        manager listens to Ogre::FogLevelNotifier from construction to
        destruction; without reports the fog level stays 1.

        Files: setUseBinaryFiles chooses the objects-file form of the manager
        and all its partitions together (binary by default). Streaming lets
        no exception out of the frame: a failing object is logged and left
        out, a partition whose file can not be read comes up empty and is
        counted (getCorruptPartitionFileCount).

        Undo: createOperation snapshots every partition into a
        FullSceneOperation; loadFromOperation puts a snapshot back (see
        there).

        Properties: "PartitionManager_OverrideShowBounds" ("Override Bounds")
        and "PartitionManager_ShowAllBounds" ("Show Bounds"), both bool:
        with the override on every partition shows its bounds exactly when
        show-all is on; with it off each follows its own flag.
    */
    class WREN_CORE_EXPORT CorePartitionManager : public PartitionManager,
                                                  public Ogre::FogLevelListner
    {
    public:
        typedef std::map<std::string, CorePartition*> PartitionMap;
        typedef std::list<CorePartition*> PartitionList;
        typedef std::list<CoreGameObject*> ObjectList;

        /** owner is the object manager that will own this manager. */
        explicit CorePartitionManager(GameObjectManager* owner);
        /** Frees the manager's own lists; destroy must have been called. */
        ~CorePartitionManager() override;

        // PropertyContainer
        void enumerateProperties(std::vector<Property>& out) override;
        void setProperty(const std::string& id, const PropertyData& value) override;

        // PartitionManager
        /** Empties the wait lists, then destroys and deletes every partition
            (a loaded one after its area).
            The full-scene operations of this manager in the history become
            steps that do nothing (they log), so that an undo after the
            world is gone harms nothing. */
        void destroy() override;
        bool initStart(const std::string& worldName, DataElementPtr& element) override;
        bool initFinish() override;
        /** Saves every partition in ID order in the manager's file form,
            then takes worldName as the world's name. Under a new name every
            partition is written, loaded or not (see CorePartition::save).
            True when every file could be written and no object refused to
            be; the refusals are listed by getRefusedObjects. worldFile is
            for partition kinds that write their part of the world file. */
        bool save(const std::string& worldName, DataFile* worldFile) override;
        void update(float elapsed) override;
        void startSimulation() override;
        void endSimulation() override;
        const std::string& getWorldName() const override { return mWorldName; }

        /** The partition that claims position (a preferred claim beats a
            plain one; among equal claims the last in ID order wins); when
            none does and nearestIfNone, the one whose origin is nearest
            (ties keep the earlier in ID order). Null without partitions. */
        virtual CorePartition* getPartition(const Ogre::Vector3& position, bool nearestIfNone);
        /** The partition of that ID, or null. */
        virtual CorePartition* getPartition(const std::string& id);
        virtual CoreGameObjectManager* getGameObjectManager() const { return mGameObjectManager; }
        /** The fog-scaled table, which the partitions use. */
        virtual const LODDistanceInfo& getLODDistanceInfo() const { return mFogLodDistances; }
        virtual const LODDistanceInfo& GetScaledLODDistanceInfo() const
        {
            return mScaledLodDistances;
        }
        virtual void enumerateObjects(std::vector<CoreGameObject*>& out);
        virtual void enumeratePartitions(std::vector<CorePartition*>& out);
        virtual void enumerateObjectsByType(std::vector<CoreGameObject*>& out,
                                            const std::string& type);
        /** Asks the loaded partitions, in load order. */
        virtual void enumetateObjectsByLogicInfo(std::vector<CoreGameObject*>& out);
        /** The first object of that name in ID order of the partitions. */
        virtual CoreGameObject* getObjectByName(const std::string& name);
        /** Null in this class: no partition kind is made by name here. */
        virtual CorePartition* createPartition(const std::string& id);
        /** When p is held: unloads it (its area first), takes it off the
            loaded list, the wait lists and the active slot, erases and
            deletes it; false otherwise. */
        virtual bool destroyPartition(CorePartition* p);
        /** A snapshot of every partition (see FullSceneOperation); the
            caller owns it. name is not used. */
        virtual FullSceneOperation* createOperation(const std::string& name);
        /** Puts op's snapshot back: each loaded partition with an entry is
            reloaded from (and keeps) a copy's content, each unloaded one
            receives a copy to use at its next load. Both become dirty, so a
            save writes them. Partitions without an entry are left alone. */
        virtual void loadFromOperation(FullSceneOperation* op);
        /** Queues obj for a level-of-detail change unless it is queued. */
        virtual void addObjectToChangeLODQueue(CoreGameObject* obj);
        /** Takes obj off the queue and out of the changes in flight. */
        virtual void removeObjectFromChangeLODQueue(CoreGameObject* obj);
        virtual void handleObjectDestroyed(CoreGameObject* obj);

        /** The engine reports a new fog level: the fog table follows. */
        void _notifyFogLevelChanged(float fogLevel) override;

        /** Milliseconds a streaming step may spend bringing a partition in or
            taking one out (see the class comment); 0, or anything not above
            0, for none. */
        void setLoadTimeBudget(float milliseconds);
        float getLoadTimeBudget() const { return mLoadTimeBudget; }
        /** The partition being brought in or taken out over several steps;
            null when none is. */
        CorePartition* getStreamingPartition() const { return mStreamingPartition; }
        /** Whether getStreamingPartition is being brought in (else taken out). */
        bool getStreamingIn() const { return mStreamingIn; }
        /** Brings in or takes out the streaming partition at once. */
        void finishStreaming();

        /** Chooses the objects-file form of the manager and every partition
            (also those added later). */
        void setUseBinaryFiles(bool binary);
        bool getUseBinaryFiles() const { return mUseBinaryFiles; }
        /** How many partition objects files existed but could not be read
            since construction. */
        size_t getCorruptPartitionFileCount() const { return mCorruptPartitionFileCount; }
        /** Called by a partition whose objects file can not be read. */
        void notifyCorruptPartitionFile(CorePartition* p);
        /** Partition ID and object name of every object the last save left
            out because it refused to be written. */
        const std::vector<std::pair<std::string, std::string>>& getRefusedObjects() const
        {
            return mRefusedObjects;
        }
        /** Scales the view-range table by s squared. The property
            "PartitionManager_ViewRangeScale" (a number above 0; set, not
            listed by enumerateProperties) sets it too,
            and so does the world file: <CorePartitionManagerData
            ViewRangeScale="s"/>, read by initStart and written by save when
            s is not 1. */
        void SetViewRangeScale(float s);

        /** Every object of every partition (the box is not consulted here;
            a partition kind may narrow the search to it). */
        virtual void enumerateNearbyObjects(const Ogre::AxisAlignedBox& box,
                                            std::vector<CoreGameObject*>& out);
        /** Objects (or logic objects) of the loaded partitions whose origin
            lies less than 300 units from position in the XZ plane. */
        void enumerateNearbyPartitionObjects(const Ogre::Vector3& position,
                                             std::vector<CoreGameObject*>& out, bool logicOnly);
        /** Objects strictly inside the box in x and z, from the partition at
            its centre and those at its four corners. */
        void GetNearbyPartitionObjects(const Ogre::AxisAlignedBox& box,
                                       std::vector<CoreGameObject*>& out);

        /** Starts the front queued change at once and finalises it when its
            resources are ready. */
        void loadNextChangeLODObjects();
        /** Follows the camera, then loads and unloads every waiting partition
            at once (no prefetch). */
        void initLoadAllPartition();
        /** initLoadAllPartition, then every queued level-of-detail change. */
        void immediateLoadAllPartition();
        /** Loads, then unloads (each with its area first), every waiting
            partition at once. */
        void executeAllWaitList();

        /** Forwarded to the above-ground manager. */
        void addStaticObject(CoreGameObject* obj, Ogre::Matrix4& transform);
        void addStaticObject(CoreGameObject* obj, Ogre::Vector3& position,
                             Ogre::Quaternion& orientation);

        void SetDeltaTime(float interval) { mUpdateInterval = interval; }
        float getUpdateInterval() const { return mUpdateInterval; }
        void SetLoadingSinglebjectPerFrame(bool single) { mLoadingSingleObjectPerFrame = single; }
        void beginLoading() { mLoading = true; }
        void endLoading() { mLoading = false; }
        void setAboveGroundMgr(CoreAboveGroundManager* manager) { mAboveGroundManager = manager; }
        CoreAboveGroundManager* getAboveGroundMgr() const { return mAboveGroundManager; }
        bool getOverrideShowBounds() const { return mOverrideShowBounds; }
        bool getShowAllBounds() const { return mShowAllBounds; }
        float GetViewRangeScale() const { return mViewRangeScale; }
        float GetFogLevel() const { return mFogLevel; }
        CorePartition* GetActivePartition() const { return mActivePartition; }
        const PartitionList& GetLoadPartitions() const { return mLoadedPartitions; }
        size_t getChangeLODObjectsCount() const { return mChangeLODQueue.size(); }
        const ObjectList& getLodInFlight() const { return mLodInFlight; }
        const PartitionList& getLoadWaitList() const { return mLoadWaitList; }
        const PartitionList& getUnloadWaitList() const { return mUnloadWaitList; }

        /** Streaming steps a partition's files may take to arrive from the
            loader thread (30 by default, at least 1). A load that has not
            finished by then, whatever the cause (a loader busy with other
            work, a result that never comes), is logged with the partition's
            name and finished on the frame thread, which waits for the read
            under way if there is one: streaming never stalls. */
        void setBackgroundLoadPatience(unsigned steps) { mLoadPatience = steps ? steps : 1; }
        unsigned getBackgroundLoadPatience() const { return mLoadPatience; }
        /** Steps the partition at the front of the load wait list has waited
            for its files so far. */
        unsigned getLoadWaitSteps() const { return mLoadWaitList.empty() ? 0 : mLoadWaitSteps; }
        /** Loads finished on the frame thread because their files did not
            arrive in time. */
        size_t getBackgroundLoadFallbackCount() const { return mBackgroundLoadFallbacks; }
        /** Partitions taken off the load wait list unloaded because the
            camera moved on first (their load was asked for and had not
            finished). */
        size_t getLeftBeforeLoadedCount() const { return mLeftBeforeLoaded; }
        bool getInitialised() const { return mInitialised; }

    protected:
        /** Turns this manager's full-scene operations in the history into
            steps that do nothing. */
        void detachOperations();
        /** Stores p under its ID, replacing (and destroying, its area
            unloaded first) any partition of that ID. */
        virtual void addPartition(CorePartition* p);
        void LoadPartitionToWaitList(CorePartition* p);
        void UnLoadPartitionToWaitList(CorePartition* p);
        /** The fog table becomes the base table scaled by fogLevel squared. */
        void updateLODDistanceInfo(float fogLevel);
        /** Takes the front of the level-of-detail queue off it; null when
            the queue is empty. */
        CoreGameObject* popChangeLODQueue();
        /** Step 3 of the streaming step: follow the camera. */
        void followCamera();
        /** Loads p from its own file kind (binary or XML) and starts its area
            build. */
        void loadPartitionNow(CorePartition* p);
        /** Takes p's area off the above-ground manager and unloads it. */
        void unloadArea(CorePartition* p);
        /** Takes p's area off the above-ground manager, unloads both. */
        void unloadPartitionWithArea(CorePartition* p);
        /** Step 4 under a budget: p becomes the streaming partition. */
        void startStreaming(CorePartition* p, bool in, const StepDeadline& deadline);
        /** Goes on with the streaming partition until deadline. */
        void continueStreaming(const StepDeadline& deadline);
        /** A partition that leaves the manager is no longer streamed. */
        void forgetStreaming(CorePartition* p);

        PartitionMap mPartitions;
        PartitionList mLoadedPartitions;
        CorePartition* mActivePartition = nullptr;
        CoreGameObjectManager* mGameObjectManager;
        std::string mWorldName;
        ObjectList mChangeLODQueue;
        /** Where each queued object stands in mChangeLODQueue, so that a
            partition of many objects queues and leaves in linear time. */
        std::unordered_map<CoreGameObject*, ObjectList::iterator> mChangeLODQueued;
        bool mLoadingSingleObjectPerFrame = true;
        ObjectList mLodInFlight;
        bool mInitialised = false;
        bool mOverrideShowBounds = true;
        bool mShowAllBounds = true;
        CoreAboveGroundManager* mAboveGroundManager = nullptr;
        PartitionList mLoadWaitList;
        PartitionList mUnloadWaitList;
        unsigned mLoadPatience = 30;
        /** The front of the load wait list when mLoadWaitSteps was counted. */
        const CorePartition* mWaitingPartition = nullptr;
        unsigned mLoadWaitSteps = 0;
        size_t mBackgroundLoadFallbacks = 0;
        size_t mLeftBeforeLoaded = 0;
        LODDistanceInfo mLodDistances;
        LODDistanceInfo mScaledLodDistances;
        LODDistanceInfo mFogLodDistances;
        float mViewRangeScale = 1.0f;
        bool mLoading = false;
        float mFogLevel = 1.0f;
        float mUpdateInterval = 0.02f;
        float mAccumulatedTime = 0.0f;
        bool mUseBinaryFiles = true;
        size_t mCorruptPartitionFileCount = 0;
        float mLoadTimeBudget = 0.0f;
        CorePartition* mStreamingPartition = nullptr;
        bool mStreamingIn = false;
        std::vector<std::pair<std::string, std::string>> mRefusedObjects;
    };
}

#endif
