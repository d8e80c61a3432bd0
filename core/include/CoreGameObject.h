#ifndef __WrenCoreGameObject_H__
#define __WrenCoreGameObject_H__

#include "CollisionGameSystem.h"
#include "GameObject.h"
#include "GameObjectEnums.h"

#include <OgreAxisAlignedBox.h>
#include <OgreMaterial.h>
#include <OgreMatrix4.h>
#include <OgreRay.h>

#include <list>

namespace Ogre
{
    class SceneNode;
}

namespace Wren
{
    struct CompleteObjectDataInfo;

    /** The concrete base of every object type: a named object made from a
        metadata template, living in one partition, owning one scene node and
        its child objects, and carrying its own level-of-detail state.

        Life cycle, always in this order:
        - new object: initStart(metadata) then initFinish(worldPosition);
        - loaded object: loadStart(element) or loadBinaryStart(record) on
          every object of a file, then loadFinish() on each top-level object;
        - end: destroy(destroyChildren, keepInPartition), then delete.
        The destructor does not touch the scene node or the partition; it
        deletes only children that a load started and loadFinish has not yet
        taken in.

        Ownership: the partition owns its top-level objects; an object owns
        its children (children are members of their parent's partition too,
        which writes only objects without parent); the object owns its scene
        node. Metadata and partition are borrowed.

        Stored form (XML), written by save into the element the caller gives
        (the caller names it "Object") and read back by loadStart:
        @code
        <Object Type="MeshGameObject" Name="tree_7_2010_1_21_13_8_9">
            <CoreData PosX="1" PosY="0" PosZ="-3"
                      OrientX="0" OrientY="0" OrientZ="0" OrientW="1"
                      ScaleX="1" ScaleY="1" ScaleZ="1" MetaID="tree.meta"
                      PartitionID="0_0">
                <DynamicProperties>
                    <Property ID="..." ... />   (one per dynamic property)
                </DynamicProperties>
            </CoreData>
            <Children>
                <Object ...> ... </Object>    (one per saved child)
            </Children>
            ... (elements of the object type, e.g. "MeshData")
        </Object>
        @endcode
        Position, orientation and scale are relative to the parent node (the
        partition's node for a top-level object). Missing attributes read as
        0 (an absent "OrientW" or "ScaleX" is taken literally), missing
        strings as "". The binary form is one CompleteObjectDataInfo record:
        type, name, the ten transform numbers, metadata ID and partition ID;
        it has no dynamic properties and no children.

        Save rule: an object whose save flag is off, or whose parent-relative
        position lies outside its bounds is not written; the second case is
        logged. A top-level object keeps within its partition's extent
        (CorePartition::holdsObjectAt: x and z within 64 for a plain
        partition); a child keeps x and z within [-64, 64] of its parent.

        Every change of what is stored (the transform through any setter,
        children, dynamic properties) marks the partition dirty
        (notifyStoredChange), so that its next save writes the object.

        Level of detail: checkLevelOfDetail asks the partition for the level
        at the current camera distance. A change that needs resources
        (IsChangeLod) is queued with the partition manager, which calls
        changeLODLoadResources and changeLODFinalize under its per-step
        budget; while the object is busy (state other than 0 and 1) a change
        is deferred and applied by update once the state is 1.
    */
    class WREN_CORE_EXPORT CoreGameObject : public GameObject
    {
    public:
        typedef Wren::LevelOfDetail LevelOfDetail;
        typedef Wren::SizeHint SizeHint;
        typedef Wren::CurrentState CurrentState;

        /** Sets the fields to their initial values; creates no scene node.
            Objects are made by factories through the manager. */
        CoreGameObject(CoreGameObjectManager* manager, const std::string& name);
        ~CoreGameObject() override;

        // GameObject
        const std::string& getObjectType() const override;
        bool checkObjectType(const std::string& type) const override;
        const std::string& getName() const override;
        const std::string& getPartitionID() const override;
        const std::string& getDisplayName() const override;
        /** The node's derived position (the staged position before the node
            exists). */
        const Ogre::Vector3& getWorldPosition() const override;
        const Ogre::Quaternion& getWorldOrientation() const override;
        bool clearVertexLight() override;
        bool computerVertexLight(const Ogre::Light* light, VertexColorLightModel model) override;
        bool changeToWireframe() override;
        bool BrushVertexColor(const Ogre::Vector3& centre, const float& radius,
                              const Ogre::ColourValue& colour,
                              BrushVertexColorMethod method) override;
        void saveMesh() override;

        // PropertyContainer
        /** Appends "CoreGameObject_Position" (world position),
            "CoreGameObject_Orientation" (world orientation as XYZ Euler angles
            in degrees), then a copy of every dynamic property in order. */
        void enumerateProperties(std::vector<Property>& out) override;
        /** Position and orientation move the object in world space (and may
            hand it to another partition); any other id sets the value of the
            dynamic property of that id; unknown ids are ignored. */
        void setProperty(const std::string& id, const PropertyData& value) override;

        virtual void startMoving();
        virtual void finishMoving();
        /** Places the node (world space or parent-relative), updates it and,
            when checkPartition, moves a top-level object into the partition
            under its new position. */
        virtual void setPosition(const Ogre::Vector3& position, bool worldSpace,
                                 bool checkPartition);
        /** Parent-relative: sets the node's orientation. World space: turns
            the node so that its local z axis points along orientation's z
            axis (the roll about that axis is kept). */
        virtual void setOrientation(const Ogre::Quaternion& orientation, bool worldSpace,
                                    bool checkPartition);
        /** Moves the node by delta in world space. */
        virtual void translate(const Ogre::Vector3& delta, bool checkPartition);
        /** Parent-relative position, orientation and scale of the node. */
        virtual const Ogre::Vector3& getPosition() const;
        virtual const Ogre::Quaternion& getOrientation() const;
        virtual const Ogre::Vector3& getScale() const;
        /** World orientation applied to (0, 0, -1). */
        virtual Ogre::Vector3 getWorldDirection() const;
        /** Null box in the core; object types give their bounds. */
        virtual Ogre::AxisAlignedBox getWorldAABB() const;
        /** Rotates the node in its local space. */
        virtual void rotate(const Ogre::Quaternion& rotation);
        virtual void rotate(const Ogre::Vector3& axis, const Ogre::Radian& angle);
        /** Multiplies the node's scale. */
        virtual void scale(const Ogre::Vector3& factor);
        /** Takes child in: appends it, hangs its node under this node and
            makes it a member of this object's partition. A child already
            held by another parent leaves that parent first. Refuses (with a
            log line) a null child, this object itself and any of its
            ancestors. */
        virtual void addChild(CoreGameObject* child);
        /** Erases child from the children and takes its node off this node;
            the child has no parent any more. Its partition, and where its
            node hangs next, are left to the caller. */
        virtual void removeChild(CoreGameObject* child);
        virtual void startSimulation();
        virtual void endSimulation();

        /** Writes the stored form into element; false, writing nothing, by
            the save rule (see the class comment). */
        virtual bool save(DataElementPtr& element);
        /** Fills the record of the binary form (the caller clears it first);
            false, writing nothing, by the save rule, and also when a text
            does not fit its field (logged: it would be cut). */
        virtual bool saveBinary(CompleteObjectDataInfo& record);
        /** Whether the binary record keeps everything of this object: no
            children that it saves (see shouldSaveChild), no dynamic
            properties, texts that fit their fields.
            Object types with data of their own beyond the record answer
            false. */
        virtual bool fitsBinaryRecord() const;
        /** Whether type, name, metadata ID and partition ID fit their fields
            of the binary record. */
        bool textsFitBinaryRecord() const;
        /** Appends the names of the descendants that save leaves out because
            the save rule refuses them (a refused child's own children are
            not looked at). */
        void listRefusedDescendants(std::vector<std::string>& names) const;
        /** Reads the binary record (transform, metadata, partition ID); the
            caller has read type and name. Always true. */
        virtual bool loadBinaryStart(CompleteObjectDataInfo& record,
                                     std::vector<CoreGameObject*>& created, bool rename);
        /** Reads the stored form. Children are made through the manager and
            started first; each lands in created (a list the object does not
            own) and stays with this object until loadFinish takes it in.
            With rename, every child gets a new unique name (the object's own
            name is the caller's). A child of a type no factory knows is
            skipped and logged. False when a child's load fails (that child
            is deleted). A missing metadata file raises the manager's
            exception; metadata that can not be made leaves the object
            without metadata (logged), remembering the ID for saving. */
        virtual bool loadStart(DataElementPtr& element, std::vector<CoreGameObject*>& created,
                               bool rename);
        /** Builds the node from the staged transform, joins the partition
            named by the loaded partition ID and finishes and takes in the
            children. When that partition does not exist or is not loaded,
            the object is left without partition, the fact is logged and
            false is returned (the loading partition then takes the object
            in; a child joins its parent's). A child whose finish throws
            (its name is taken) is logged, destroyed and deleted; its
            siblings still load. */
        virtual bool loadFinish();
        /** Takes defaults from the metadata: dynamic properties and flags. */
        virtual bool initStart(CoreMetadata* metadata, bool flag);
        /** Builds the node and places the object at the world position,
            which puts it into the partition under it. */
        virtual bool initFinish(const Ogre::Vector3& worldPosition);
        /** Destroys the children (when destroyChildren), the scene node
            (keeping the nodes of surviving children), leaves the partition
            (unless keepInPartition), the level-of-detail queue and the
            manager's update lists. */
        virtual void destroy(bool destroyChildren, bool keepInPartition);
        /** Shows or hides the node's bounding box. */
        virtual void select();
        virtual void unselect();
        virtual void showEditingBox();
        virtual void hideEditingBox();
        /** Applies a deferred level-of-detail change once the object has
            settled, releasing one update registration. */
        virtual void update(float elapsed);
        virtual void updateAnim(float elapsed);
        virtual bool collidewithheighplane(const Ogre::Ray& ray, CollisionInfo& info);
        virtual bool collidewithundergroundheighplane(const Ogre::Ray& ray, CollisionInfo& info);
        virtual bool getIsExistLogicObj();
        /** The object selected when this one is picked: the end of the chain
            of alternative selections (this object without one). A chain that
            loops ends at the first object met twice. */
        virtual CoreGameObject* getSelection();
        virtual void attachObject(Ogre::MovableObject* movable);
        virtual void detachObject(Ogre::MovableObject* movable);
        /** Calls refresh() when metaID is the ID of this object's metadata. */
        virtual void MetaFileChange(const std::string& metaID);
        virtual void refresh();
        /** Asks the partition for the level at the current camera distance and
            changes to it when it differs; instanced objects and objects
            without partition keep their level. Returns the level now set. */
        virtual LevelOfDetail checkLevelOfDetail();
        /** Changes the level; see the class comment for queued and deferred
            changes. With immediate the resources are loaded and finalised at
            once. */
        virtual void setLevelOfDetail(LevelOfDetail level, bool immediate);
        /** Fetches the collision shape named by the metadata (once), leaves
            the level-of-detail queue and reports the resources ready (state
            3). Object types call it first and then set their own state. */
        virtual void changeLODLoadResources(bool immediate);
        /** Settles the object (state 1): a plain object has nothing to
            show, so a level change must not keep it busy. */
        virtual void changeLODFinalize(bool immediate);
        /** Hangs the node under node (detaching it from its former parent). */
        virtual void addToParentSceneNode(Ogre::SceneNode* node);
        /** Takes the node off node, when it hangs there. */
        virtual void removeFromParentSceneNode(Ogre::SceneNode* node);
        virtual void setBindMeshVisible(bool visible);
        virtual Ogre::Vector3 GetGeometryCenterInWorldSpace() const;
        virtual void GetMaterials(std::list<Ogre::MaterialPtr>& materials) const;
        virtual void SetMaterials(const std::list<Ogre::MaterialPtr>& materials);
        virtual void setVisible(bool visible);

        /** Collision queries over the loaded shapes of the collision shape
            list. All answer false without testing while the manager is
            simulating and this object (or the other one) is not collidable.
            Every hit appends (or fills) a CollisionInfo. */
        bool collide(const CollisionShapePtr& shape, const Ogre::Matrix4& transform,
                     std::vector<CollisionInfo>& infos) const;
        bool collide(const std::vector<CollisionShapePtr>& shapes, const Ogre::Matrix4& transform,
                     std::vector<CollisionInfo>& infos) const;
        bool collide(const CoreGameObject& other, std::vector<CollisionInfo>& infos) const;
        /** Ray test with the node's derived position and orientation (scale
            ignored); a hit names this object in info. */
        bool collide(const Ogre::Ray& ray, CollisionInfo& info) const;

        /** Tells the partition that what it stores of this object changed, so
            that its next save writes it. Every setter of what is stored
            calls it. */
        void notifyStoredChange();
        /** Sets the node's transform relative to its parent node so that its
            world position, orientation and scale are the ones given (the
            object stays in its partition). */
        void placeInWorld(const Ogre::Vector3& position, const Ogre::Quaternion& orientation,
                          const Ogre::Vector3& scale);

        /** Makes every descendant a member of partition (leaving its former
            one), so that no part of an object tree is left behind in another
            partition. Descendants whose name partition already holds for
            another object stay where they are (logged). */
        void moveDescendantsTo(CorePartition* partition);

        /** Creates the node under the scene's root node when there is none,
            named after the object (and the partition ID during a load). */
        void initSceneNode();

        CoreGameObject* getParent() const { return mParent; }
        CoreMetadata* getMetadata() const { return mMetadata; }
        /** The metadata's ID, or the ID the object was loaded with when its
            metadata could not be made. */
        const std::string& getMetadataID() const;
        CorePartition* getPartition() const { return mPartition; }
        void setPartition(CorePartition* partition) { mPartition = partition; }
        Ogre::SceneNode* getSceneNode() const { return mSceneNode; }
        LevelOfDetail getLevelOfDetail() const { return mLevelOfDetail; }
        CurrentState getCurrentState() const { return mCurrentState; }
        void setCurrentState(CurrentState state) { mCurrentState = state; }
        bool getQueuedForLODChange() const { return mQueuedForLODChange; }
        void setQueuedForLODChange(bool queued) { mQueuedForLODChange = queued; }
        bool getLodChangePending() const { return mLodChangePending; }
        bool IsSeeThrough() const { return mSeeThrough; }
        void SetSeeThrough(bool seeThrough) { mSeeThrough = seeThrough; }
        bool IsHideInMiniMap() const { return mHideInMiniMap; }
        void SetHideInMiniMap(bool hide) { mHideInMiniMap = hide; }
        /** True when the object wants instancing and the manager allows it. */
        bool IsInstanced() const;
        void SetInstanced(bool instanced) { mInstanced = instanced; }
        bool IsMoved() const { return mMoved; }
        void SetMoved(bool moved) { mMoved = moved; }
        /** The save flag, writable through the reference. */
        bool& GetSaveFlag() { return mSaveFlag; }
        void setAlternativeSelection(CoreGameObject* object) { mAlternativeSelection = object; }
        CoreGameObject* getAlternativeSelection() const { return mAlternativeSelection; }
        void setCollisionShapeList(const std::vector<CollisionShapePtr>& shapes)
        {
            mCollisionShapeList = shapes;
        }
        const CollisionShapePtr& getCollisionShape() const { return mCollisionShape; }
        /** Appends a copy. */
        void addDynamicProperty(const Property& property)
        {
            mDynamicProperties.push_back(property);
            notifyStoredChange();
        }
        /** The first dynamic property with that id, or null. */
        Property* getDynamicProperty(const std::string& id);
        const std::vector<Property>& getDynamicProperties() const { return mDynamicProperties; }
        /** Children created by loadStart that loadFinish has not yet taken in. */
        const std::vector<CoreGameObject*>& getPendingChildren() const { return mPendingChildren; }

        float GetDeltaHeight() const { return mDeltaHeight; }
        /** Stores h unless a height is already latched. */
        void SetDeltaHeight(float h);
        /** Releases the latch whatever the argument, so that the next
            SetDeltaHeight takes effect. */
        void DeltaHeightEnable(bool enable);

        /** The metadata's size hint and custom distances; Medium and 1 when
            the object has no metadata. */
        int getSizeHint() const;
        float getCustomHintDistanceSquared() const;
        float getCustomLodSwitchDiatanceSquared() const;

        /** Whether a parent-relative position may be stored under the save
            rule: |x| and |z| at most bound (the bound itself is valid). */
        static bool isWithinSaveBound(const Ogre::Vector3& localPosition, float bound);
        /** Whether save would write the object (the save rule, without its
            log line). */
        bool passesSaveRule() const { return checkSaveRule(false); }
        /** Whether the save rule refuses the object for its position alone
            (its save flag is on), logging the refusal when log. */
        bool isRefusedForPosition(bool log) const;

    protected:
        virtual const std::vector<CollisionShapePtr>& getCollisionShapeList() const;
        /** Whether child is written inside this object's stored form. */
        virtual bool shouldSaveChild(const CoreGameObject* child) const;
        virtual bool shouldSaveSelf() const;
        /** Whether a change between the two levels needs resources: true
            when either is "beyond the hint". */
        virtual bool IsChangeLod(LevelOfDetail from, LevelOfDetail to);

        /** Moves a top-level object into the loaded partition under its world
            position, keeping its world position; its children follow. An
            object stays where it is when no loaded partition is there, or
            when that partition already holds another object of its name
            (logged). */
        void checkCurrentPartition();
        /** The save-rule check (with its log line when log); true when the
            object may be written. */
        bool checkSaveRule(bool log) const;

        void setParent(CoreGameObject* parent) { mParent = parent; }
        std::vector<CoreGameObject*>& getChildren() { return mChildren; }
        CoreGameObjectManager* getManager() const { return mManager; }
        bool getCollidable() const { return mCollidable; }
        void setCollidable(bool collidable) { mCollidable = collidable; }
        /** Copies collidable, see-through, mini-map and instanced from the
            metadata. */
        void copyMetadataFlags();
        /** initSceneNode under the given node instead of the root. */
        void createSceneNode(Ogre::SceneNode* parent);
        /** Whether candidate is this object or one of its ancestors. */
        bool isSelfOrAncestor(const CoreGameObject* candidate) const;

        float mDeltaHeight = 0.0f;
        bool mDeltaHeightSet = false;
        std::string mName;
        std::vector<CoreGameObject*> mChildren;
        std::vector<CoreGameObject*> mPendingChildren;
        CoreGameObject* mParent = nullptr;
        CoreGameObjectManager* mManager;
        CollisionShapePtr mCollisionShape;
        std::vector<CollisionShapePtr> mCollisionShapeList;
        bool mCollidable = true;
        bool mSeeThrough = false;
        bool mHideInMiniMap = false;
        bool mInstanced = false;
        bool mMoved = false;
        CoreGameObject* mAlternativeSelection = nullptr;
        Ogre::SceneNode* mSceneNode = nullptr;
        std::vector<Property> mDynamicProperties;
        CoreMetadata* mMetadata = nullptr;
        /** The metadata ID read by a load, kept when no metadata could be
            made for it. */
        std::string mMetadataID;
        bool mLodChangePending = false;
        LevelOfDetail mPendingLevelOfDetail = LOD_BEYOND_HINT;
        CorePartition* mPartition = nullptr;
        std::string mPartitionID;
        Ogre::Vector3 mPosition = Ogre::Vector3::ZERO;
        Ogre::Quaternion mOrientation = Ogre::Quaternion::IDENTITY;
        Ogre::Vector3 mScale = Ogre::Vector3::ZERO;
        LevelOfDetail mLevelOfDetail = LOD_BEYOND_HINT;
        CurrentState mCurrentState = STATE_NOTHING_LOADED;
        bool mQueuedForLODChange = false;
        bool mSaveFlag = true;
    };
}

#endif
