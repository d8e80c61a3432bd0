#ifndef __WrenCorePartition_H__
#define __WrenCorePartition_H__

#include "CompleteObjectDataInfo.h"
#include "CorePartitionResourceLoading.h"
#include "GameObjectEnums.h"
#include "Partition.h"
#include "StepDeadline.h"

#include <OgreAxisAlignedBox.h>

#include <functional>
#include <memory>
#include <string_view>
#include <unordered_set>

namespace Ogre
{
    class IBinaryDataElement;
    class SceneNode;
}

namespace Wren
{
    struct PartitionLoadSource;

    /** The working partition that every partition kind derives from: it owns
        its objects while loaded, reads and writes its objects file (XML or
        binary) and decides each object's level of detail from the camera
        distance.

        Objects file of world w and partition p:
        - XML "w_Partitionp.objects", loaded by name from the group "General":
          @code
          <Objects>
              <CorePartitionData ShowBounds="false"/>
              <Object Type="..." Name="..."> ... </Object>   (see CoreGameObject)
          </Objects>
          @endcode
          The root's name is not checked; the partition reads only "Type" and
          "Name" of each object, the object reads the rest.
        - binary "w_Partitionp.objbinary", loaded from the group "PLSM2": root
          "Objects" with a 1-byte buffer (ShowBounds), one child "Object" per
          object holding a 276-byte CompleteObjectDataInfo record.
        Both are saved to <worlds>/w/Partitions/ (see WorldsFolder), written
        beside the old file and put in its place only once complete. The
        form is chosen by the manager (CorePartitionManager::setUseBinaryFiles)
        for all partitions together. A partition reads the form written last
        when both exist (logged when it is not its manager's), else the one
        that exists. Only objects whose save flag is on and that have no
        parent are written; children are written inside their parents.

        Saving never loses data quietly. The binary record keeps no
        children, no dynamic properties, no type data beyond the two mesh
        flags and no text longer than its field: a partition holding such an
        object is not written in binary form at all (its old file stays);
        the objects are named in the log and in getRefusedObjects, and the
        save answers false. An object (or a child) that refuses to be written
        for its position is left out of the file, listed the same way, and
        the save answers false too. After a save that answers false the
        partition stays dirty.

        What a load can not make an object of (a type no factory makes, a
        missing metadata file, a name already taken, a child that does not
        load) is kept as it was stored and written back unchanged by every
        save and snapshot, so that a save never erases objects that could
        not be shown.

        Streaming in pieces: loadStep and unloadStep do what a load and an
        unload do, spread over calls within a deadline each (see there); the
        partition manager uses them under a load-time budget. The partition
        counts as loaded only once the last object is in.

        Every change of what the partition stores (an object added, removed
        or destroyed, an object's transform, children or dynamic properties)
        marks it dirty; loading does not.

        A captured state (a snapshot of undo or redo, see FullSceneOperation)
        held while unloaded is used by the next load in either form, and by
        a save while still unloaded.

        Failures: a missing objects file gives an empty loaded partition; an
        unreadable one too, logged with its name and counted by the manager
        (CorePartitionManager::getCorruptPartitionFileCount). An object of an unknown type, one whose metadata file is
        missing (the manager's exception is logged), and one whose name is
        already taken are left out, each with a log line; the rest of the
        file loads. Adding an object whose name is taken throws
        Ogre::ItemIdentityException ("core object with the same name " and
        the name). A save that cannot write its file reports false and keeps
        the partition dirty, so nothing edited is thought saved.
    */
    class WREN_CORE_EXPORT CorePartition : public Partition
    {
    public:
        /** Answer of calculateProximity. */
        enum Proximity
        {
            PROXIMITY_NEAR = 0,
            PROXIMITY_MIDDLE = 1,
            PROXIMITY_FAR = 2,
            PROXIMITY_UNKNOWN = 3
        };

        /** Answer of isPositionInPartition; a preferred claim beats a plain
            one when partitions overlap. */
        enum PositionResult
        {
            POSITION_INSIDE = 0,
            POSITION_PREFERRED = 1,
            POSITION_OUTSIDE = 2
        };

        /** The bound of a plain partition's objects: the largest |x| and |z|
            of a top-level object's position relative to the partition. */
        static const float DEFAULT_OBJECT_BOUND;

        CorePartition(const std::string& id, const Ogre::Vector3& worldPosition,
                      CorePartitionManager* manager);
        /** Releases the members; unload (or destroy) must have been called. */
        ~CorePartition() override;

        // PropertyContainer
        /** "CorePartition_ShowBounds" ("Show bounds", bool). */
        void enumerateProperties(std::vector<Property>& out) override;
        /** Recognises "CorePartition_ShowBounds" (passed to setShowBounds);
            other ids are ignored, so that partition kinds can add their own. */
        void setProperty(const std::string& id, const PropertyData& value) override;

        // Partition
        const std::string& getPartitionType() const override;
        const std::string& getID() const override { return mID; }
        bool getLoaded() const override { return mLoaded; }
        const Ogre::Vector3& getWorldPosition() const override { return mWorldPosition; }
        /** Does nothing in this class. */
        void setShowBounds(bool show) override;

        /** Unloads the partition and its objects. */
        virtual void destroy();
        /** Takes obj in. An instanced object (unless skipChecks) goes to the
            above-ground manager with the partition node's world transform
            and is only listed. Otherwise the name is checked (unless
            skipChecks), the object is listed, a top-level object's node is
            hung under the partition's node, and its level of detail is
            checked. */
        virtual void addObject(CoreGameObject* obj, bool skipChecks);
        virtual void addObject(CoreGameObject* obj);
        /** Erases obj from the list; an unlisted top-level object hanging
            under the partition's node is taken off it. */
        virtual void removeObject(CoreGameObject* obj);
        /** Proximity, then every object's level-of-detail check. */
        virtual void update(float elapsed);
        /** Writes the partition into parent: "CorePartitionData", then one
            "Object" per saved object. */
        virtual bool save(DataElementPtr& parent);
        /** Writes the XML objects file of world worldName: when the
            partition changed since its last save, and always for another
            world than its manager's (Save As), where an unloaded partition
            writes its captured state or else its objects file of the
            manager's world. False (partition stays dirty) when it could not,
            or when objects refused to be written. */
        virtual bool save(const std::string& worldName);
        /** Creates the scene node and the objects of root (may be empty). */
        virtual bool load(DataElementPtr& root, bool flag);
        /** Loads from the captured state when one is held, else from the
            objects file written last (the XML one when both are as old). */
        virtual bool load(const std::string& worldName);
        /** Destroys the objects, the scene node and any captured state. */
        virtual bool unload(bool flag);
        virtual void startSimulation();
        virtual void endSimulation();
        virtual void enumerateObjectsByType(std::vector<CoreGameObject*>& out,
                                            const std::string& type);
        virtual void enumetateObjectsByLogicInfo(std::vector<CoreGameObject*>& out);
        /** The first object of that name, or null. */
        virtual CoreGameObject* getObjectByName(const std::string& name);
        /** Proximity to the camera; always near in this class. */
        virtual Proximity calculateProximity(float elapsed) const;
        /** The level obj should have at its camera distance (see
            LODDistanceInfo::levelOfDetailFor); its current level when there
            is no camera. */
        virtual LevelOfDetail checkLevelOfDetail(CoreGameObject* obj);
        /** Inside for every position in this class. */
        virtual PositionResult isPositionInPartition(const Ogre::Vector3& position);
        virtual void activate();
        virtual void deactivate();
        /** Partitions to keep loaded while this one is active; nothing in
            this class. */
        virtual void enumerateConnectedPartitions(std::vector<CorePartition*>& out);
        /** Partitions that stay loaded when this one becomes active with
            the camera at cameraPosition: the connected ones in this class;
            a partition kind may keep more (cells within a hold radius of the
            camera), so that a camera going back and forth across a border
            does not reload what it just left. */
        virtual void enumerateHeldPartitions(const Ogre::Vector3& cameraPosition,
                                             std::vector<CorePartition*>& out);
        virtual void addObjectToChangeLODQueue(CoreGameObject* obj);
        virtual void removeObjectFromChangeLODQueue(CoreGameObject* obj);
        /** Leaves the LOD queue and the object list. */
        virtual void handleObjectDestroyed(CoreGameObject* obj);
        /** The manager's fog-scaled distance table. */
        virtual const LODDistanceInfo& getLODDistanceInfo() const;
        /** Writes the binary form into root (which must be a
            BinaryDataElement). False, with the objects named in the log and
            in getRefusedObjects, when some object holds more than the
            record keeps; root is then not to be used. */
        virtual bool saveBinary(Ogre::IBinaryDataElement* root);
        /** As save, in the binary form; a partition that holds more than the
            record keeps is not written (see the class comment). */
        virtual bool saveBinary(const std::string& worldName);
        /** Creates the scene node and the objects of a binary root (null for
            an empty partition). */
        virtual bool loadBinary(Ogre::IBinaryDataElement* root, bool flag);
        /** As load, the binary file when both are as old; an empty
            partition when neither can be read. */
        virtual bool loadBinary(const std::string& worldName);
        /** As unload, keeping a captured state. */
        virtual bool unloadBinary(bool flag);
        /** Brings the partition in piece by piece, as the partition manager
            does under a load-time budget. The first call opens the objects
            file as loadBinary(worldName) or load(worldName) would (by the
            partition's form; a captured state first); every call starts,
            then finishes, objects until deadline has passed (one at least).
            Objects join the partition as they finish, each checking its
            level of detail. The call that puts the last object in answers
            true: only from then on is the partition loaded, just as a
            loadBinary(worldName) would have left it. An unload meanwhile
            (unload, unloadStep, destroy) takes out what the load made;
            loads and saves of any other kind finish it first. */
        virtual bool loadStep(const std::string& worldName, const StepDeadline& deadline);
        /** Takes the partition out piece by piece. The first call does what
            unload does first (unsaved edits become the captured state) and
            takes every object out of reach at once: off the partition's node
            and list, out of the level-of-detail queue and the selection, so
            nothing of the partition is seen or found any more. Every call
            destroys objects until deadline has passed (one at least); the
            call that destroys the last one, and the partition's node,
            answers true. A partial load is taken out the same way (its
            captured state, if it read one, stays). */
        virtual bool unloadStep(const StepDeadline& deadline);
        /** Whether a loadStep or unloadStep is under way. */
        bool isStreaming() const { return mStreaming != nullptr; }
        /** Finishes a loadStep or unloadStep under way at once. */
        void finishStreaming();
        virtual void createBoundsVisualization();
        virtual void destroyBoundsVisualization();
        /** w + "_Partition" + ID + ".objects". */
        virtual std::string getObjectsFileName(const std::string& worldName) const;
        /** Where the objects file is saved: <worlds>/w/Partitions/ and the
            binary or XML file name; empty without a worlds folder. */
        virtual std::string getObjectsFilePath(const std::string& worldName) const;
        /** Where the objects file of the given kind is saved. */
        std::string getObjectsFilePath(const std::string& worldName, bool binary) const;
        /** w + "_Partition" + ID + ".objbinary". */
        virtual std::string getObjectsBinaryFileName(const std::string& worldName) const;
        /** The largest |x| and |z| of a top-level object's position relative
            to this partition that its objects file may hold;
            DEFAULT_OBJECT_BOUND in this class. */
        virtual float getObjectBound() const;
        /** Whether its objects file may hold a top-level object at this
            position relative to the partition: |x| and |z| at most
            getObjectBound() in this class. */
        virtual bool holdsObjectAt(const Ogre::Vector3& localPosition) const
        {
            const float bound = getObjectBound();
            return localPosition.x >= -bound && localPosition.x <= bound &&
                   localPosition.z >= -bound && localPosition.z <= bound;
        }

        /** Appends every object that is its own selection. */
        void enumerateObjects(std::vector<CoreGameObject*>& out);
        /** Appends every object (the box is not consulted). */
        void enumerateNearbyObjects(const Ogre::AxisAlignedBox& box,
                                    std::vector<CoreGameObject*>& out);

        /** Loaded: a new document of the partition, which the caller owns.
            Unloaded: the captured state (possibly null), still owned by the
            partition. */
        DataFile* getState();
        /** Replaces the captured state, taking ownership. */
        void setState(DataFile* state);
        /** Loaded: a new binary document of the partition, which the caller
            owns; null when unloaded, or when some object holds more than
            the record keeps. */
        Ogre::BinaryFileResource* getBinaryState();
        void setBinaryState(Ogre::BinaryFileResource* state);

        /** Starts prefetching the objects file and its metadata. */
        void threadLoadResource(const std::string& worldName);
        /** Whether the prefetch has completed. */
        bool isResourceLoaded();

        /** Shows or hides the bounds by the manager's override and the
            partition's own flag. */
        void checkBounds();

        Proximity getProximity() const { return mProximity; }
        Ogre::SceneNode* getSceneNode() const { return mSceneNode; }
        const std::vector<CoreGameObject*>& getObjects() const { return mObjects; }
        CorePartitionManager* GetPartitionManager() const { return mManager; }
        bool isObjectDirty() const { return mObjectDirty; }
        void notifyObjectDirty() { mObjectDirty = true; }
        bool getShowBounds() const { return mShowBounds; }
        bool getUseBinaryFiles() const { return mUseBinaryFiles; }
        /** Selects the form of the objects file; the manager sets it for all
            its partitions (CorePartitionManager::setUseBinaryFiles). */
        void setUseBinaryFiles(bool binary) { mUseBinaryFiles = binary; }
        /** Names of the objects (children among them) the last save into a
            file or document left out because they refused to be written:
            outside their bound, or holding more than the binary record
            keeps. */
        const std::vector<std::string>& getRefusedObjects() const { return mRefusedObjects; }
        /** How many objects the last load could not make and keeps as
            stored. */
        size_t getKeptObjectCount() const;
        /** The scene node's world bounding box (null without a node). */
        Ogre::AxisAlignedBox GetAABB() const;
        bool IsEnableConsultPos() const;
        const Ogre::Vector3& GetConsultPos() const;

    protected:
        /** Whether obj is written by this partition. */
        bool shouldSave(const CoreGameObject* obj) const;
        /** Writes the objects file of worldName in the given form (see
            save). */
        bool writeObjectsFile(const std::string& worldName, bool binary);
        /** Writes an XML partition document to path in the given form. */
        bool writeDocument(DataFile& document, const std::string& path, bool binary);
        /** Writes the objects file of fromWorld (an empty partition when it
            has none) to path in the given form. */
        bool copyStoredFile(const std::string& fromWorld, const std::string& path, bool binary);
        /** Whether the objects file of worldName written last is the binary
            one; preferBinary when both are as old or neither exists. */
        bool newestFormIsBinary(const std::string& worldName, bool preferBinary) const;
        /** Opens the binary (XML) objects file of worldName into source,
            from its group, else from where it is saved; false when there is
            none, with corrupt set when one exists and can not be read. */
        bool openBinaryObjectsFile(const std::string& worldName, PartitionLoadSource& source,
                                   bool& corrupt);
        bool openXmlObjectsFile(const std::string& worldName, PartitionLoadSource& source,
                                bool& corrupt);
        /** Opens what load(worldName) or loadBinary(worldName) reads: the
            captured state, else the objects file written last. */
        void openStored(const std::string& worldName, bool preferBinary,
                        PartitionLoadSource& source);
        /** load and loadBinary of a world name. */
        bool loadStored(const std::string& worldName, bool preferBinary);
        /** beginLoad, then every object of source at once. */
        bool loadWhole(std::unique_ptr<PartitionLoadSource> source);
        /** Starts a load of source (after finishing any streaming under
            way): the node, the bounds flag, nothing kept yet. */
        void beginLoad(std::unique_ptr<PartitionLoadSource> source);
        /** Starts, then finishes, objects of the load under way until
            deadline; true once the last is in. */
        bool advanceLoad(const StepDeadline& deadline);
        /** Starts an unload (see unloadStep), keeping the captured state
            when keepState. Nothing happens while one is under way. */
        void beginUnload(bool keepState, const StepDeadline& deadline);
        /** Destroys objects of the unload under way until deadline; true
            once the last and the node are gone. */
        bool advanceUnload(const StepDeadline& deadline);
        /** Tells the manager that an objects file of this partition exists
            and can not be read. */
        void reportCorruptFile(const std::string& fileName);
        void createSceneNode();
        /** loadFinish of a started object; one that found no loaded
            partition of its own is taken in, one that fails (its name is
            taken) is destroyed and false is answered, so that the caller
            keeps its stored form. */
        bool finishObject(CoreGameObject* obj);
        /** Creates and starts one object from a stored form; null when it
            can not be made (logged). */
        CoreGameObject* startObject(const std::string& type, const std::string& name,
                                    DataElementPtr* element, CompleteObjectDataInfo* record);
        /** Keeps a copy of an "Object" element that could not be loaded. */
        void keepElement(DataElementPtr& element);

        std::vector<CoreGameObject*> mObjects;
        /** The name of each of mObjects, viewing the object's own name
            (names never change), so that the name check of addObject does
            not walk the list. */
        std::unordered_multiset<std::string_view> mObjectNames;
        CorePartitionManager* mManager;
        std::string mID;
        Proximity mProximity = PROXIMITY_UNKNOWN;
        Ogre::SceneNode* mSceneNode = nullptr;
        bool mLoaded = false;
        Ogre::Vector3 mWorldPosition;
        bool mShowBounds = false;
        DataFile* mState = nullptr;
        CorePartitionResourceLoading mResourceLoading;
        bool mObjectDirty = false;
        bool mUseBinaryFiles = true;
        std::vector<std::string> mRefusedObjects;
        /** What the last load could not make, as it was stored: XML
            "Object" elements (under a root "Objects") and binary records. */
        std::unique_ptr<DataFile> mKeptElements;
        std::vector<CompleteObjectDataInfo> mKeptRecords;
        /** A load or unload spread over several calls. */
        struct Streaming;
        std::unique_ptr<Streaming> mStreaming;
    };
}

#endif
