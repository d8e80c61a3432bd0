#ifndef __WrenCoreMetadata_H__
#define __WrenCoreMetadata_H__

#include "GameObjectEnums.h"
#include "Metadata.h"
#include "Property.h"

namespace Wren
{
    /** What every object type needs of its template: the object type name,
        a display name, collision and display flags, the size hint that
        drives level-of-detail distances, and default dynamic properties that
        are copied into every new object.

        Read once from a metadata file (a data file, by convention ".meta"),
        cached by the object manager under its ID (the file name) and shared
        by every object made from it. Object types derive from it, call
        load/save of this class first and add their own child elements.

        Metadata file, as read by load (the root's own name is not checked;
        the manager names it "MetaData" when it writes one):
        @code
        <MetaData ObjectType="MeshGameObject" Name="tree">
            <CoreData Collidable="true" SeeThrough="false" Minimap="false"
                      Instanced="false" SizeHintEnum="-1" SizeHint="Medium"
                      LodDistance="0">
                <DynamicProperties>
                    <Property ID="..." ... />   (one per property, see Property)
                </DynamicProperties>
            </CoreData>
            ... (elements of the object type)
        </MetaData>
        @endcode
        - "ObjectType" and "Name" (default "") give the type and display name.
        - Without "CoreData" the flags keep their initial values.
        - "Collidable", "SeeThrough", "Minimap" (hidden in a mini map) and
          "Instanced" are booleans, each false when absent.
        - "SizeHintEnum" (default -1) gives the size hint as a number 0..4;
          when it is -1 the text "SizeHint" is read instead: "VeryLarge",
          "Large", "Medium", "Small" (exact), or a number d, which makes the
          hint custom with hint distance d (negative d counts as 0) and
          low-detail switch distance d / sqrt(2) (squared: d² and d² / 2).
          Other texts leave the hint as it was. A "SizeHintEnum" outside 0..4
          is logged and leaves the hint as it was, but is kept for saving.
        - "LodDistance" (read only, default 0) can bring the low-detail
          switch of a custom object nearer, never farther.

        save writes the same vocabulary except "LodDistance"; with
        "SizeHintEnum" -1 it also writes "SizeHint" as text (a custom hint
        as its distance in whole units).
    */
    class WREN_CORE_EXPORT CoreMetadata : public Metadata
    {
    public:
        /** An unloaded template with that ID for that manager; collidable
            starts false, as for a file without "Collidable", and the size
            hint starts Medium. */
        CoreMetadata(const std::string& id, CoreGameObjectManager* manager);
        ~CoreMetadata() override;

        /** Reads the vocabulary above from the root element of a metadata
            file. Returns false, logging the reason, only when root is null
            or empty; missing attributes are never an error. */
        virtual bool load(DataElementPtr& root);

        /** Writes the vocabulary above into root. Returns false, logging the
            reason, only when root is null or empty. */
        virtual bool save(DataElementPtr& root);

        /** Hook for object types that keep their template in a file of their
            own; the core writes nothing and returns true. */
        virtual bool save();

        const std::string& getID() const { return mID; }
        void SetID(const std::string& id) { mID = id; }
        const std::string& getName() const { return mName; }
        void setName(const std::string& name) { mName = name; }
        const std::string& getType() const { return mType; }
        void setType(const std::string& type) { mType = type; }

        bool getCollidable() const { return mCollidable; }
        void setCollidable(bool collidable) { mCollidable = collidable; }
        bool getSeeThrough() const { return mSeeThrough; }
        void setSeeThrough(bool seeThrough) { mSeeThrough = seeThrough; }
        bool getHideInMiniMap() const { return mHideInMiniMap; }
        void setHideInMiniMap(bool hide) { mHideInMiniMap = hide; }
        bool getInstanced() const { return mInstanced; }
        void setInstanced(bool instanced) { mInstanced = instanced; }

        /** Name under which the collision game system supplies the shape of
            the objects; set by the object types' metadata, empty when the
            objects have no shape. */
        const std::string& getCollisionShapeName() const { return mCollisionShapeName; }
        void setCollisionShapeName(const std::string& name) { mCollisionShapeName = name; }

        /** The size hint, one of SizeHint. */
        int getSizeHint() const { return mSizeHint; }
        /** Sets the size hint; when the file gave it as a number, the number
            follows, so that saving keeps the new hint. */
        void setSizeHint(int sizeHint);
        /** The size hint as stored in "SizeHintEnum"; -1 when given as text. */
        int getSizeHintEnum() const { return mSizeHintEnum; }

        /** Squared distance beyond which a custom-size object is not shown. */
        float getCustomHintDistanceSquared() const { return mCustomHintDistanceSquared; }
        void setCustomHintDistanceSquared(float d) { mCustomHintDistanceSquared = d; }
        /** Squared distance beyond which a custom-size object shows low detail. */
        float getCustomLodSwitchDistanceSquared() const { return mCustomLodSwitchDistanceSquared; }
        void setCustomLodSwitchDistanceSquared(float d) { mCustomLodSwitchDistanceSquared = d; }

        /** Default dynamic properties, in file order. */
        const std::vector<Property>& getDynamicProperties() const { return mDynamicProperties; }
        std::vector<Property>& getDynamicProperties() { return mDynamicProperties; }

        /** The text of a size hint as written in "SizeHint": the class name,
            or for a custom hint the distance sqrt(customHintDistanceSquared)
            truncated to whole units; "" for any other value. */
        static std::string sizeHintToText(int sizeHint, float customHintDistanceSquared);

    protected:
        CoreGameObjectManager* getManager() const { return mManager; }

        std::vector<Property> mDynamicProperties;
        bool mCollidable = false;
        bool mSeeThrough = false;
        bool mHideInMiniMap = false;
        bool mInstanced = false;
        std::string mCollisionShapeName;
        int mSizeHint = SIZE_MEDIUM;
        int mSizeHintEnum = -1;
        float mCustomHintDistanceSquared = 1.0f;
        float mCustomLodSwitchDistanceSquared = 1.0f;
        std::string mID;
        std::string mType;
        std::string mName;
        CoreGameObjectManager* mManager;
    };
}

#endif
