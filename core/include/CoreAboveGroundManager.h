#ifndef __WrenCoreAboveGroundManager_H__
#define __WrenCoreAboveGroundManager_H__

#include "AboveGroundArea.h"
#include "AboveGroundManager.h"

#include <OgreMatrix4.h>

#include <list>
#include <unordered_map>

namespace Ogre
{
    class SceneNode;
}

namespace Wren
{
    /** The working above-ground manager: it owns the areas, files the static
        objects that partitions hand over into the area under each object,
        and builds the areas one at a time. An area with new objects waits
        (pending) until its load() agrees, is then built (building) by one
        update per frame of the first building area, and is built until its
        partition is unloaded (removeLoaded). An area is in at most one of
        the three lists, and in none while idle.

        How areas are laid out, made and found by position belongs to the
        area kinds' managers: in this class no area is found by position, so
        static objects are not taken by any area.

        An object that goes (deleted in the editor, or with its partition)
        leaves the area holding it: handleObjectDestroyed, which the object
        manager calls for every object destroyed. An area that takes an
        object once it is built goes back to waiting and is built again, so
        an object placed (or brought back by an undo) in a built area is
        drawn. Areas sent back to waiting outside a partition load are
        started again by update.

        Property: listed as "CoreAboveManager_ShowAllBounds" ("Show Bounds",
        bool); setProperty accepts that id and
        "CoreAboveGroundManager_ShowAllBounds", so an editor can set the value
        under the id it was shown.
    */
    class WREN_CORE_EXPORT CoreAboveGroundManager : public AboveGroundManager
    {
    public:
        typedef std::list<CoreAboveGroundArea*> AreaList;

        CoreAboveGroundManager(GameObjectManager* owner, PartitionManager* partitionManager);
        /** Frees the lists; destroy must have been called. */
        ~CoreAboveGroundManager() override;

        // PropertyContainer
        void enumerateProperties(std::vector<Property>& out) override;
        void setProperty(const std::string& id, const PropertyData& value) override;

        // AboveGroundManager
        /** Destroys the node "AboveGroundManager", destroys and deletes every
            area, empties all lists. */
        void destroy() override;
        bool initStart(const std::string& worldName, DataElementPtr& element) override;
        bool initFinish() override;
        /** Advances the first building area; moves it to the built ones when
            it finishes. With none building, starts an area that went back
            to waiting since the last load. */
        void update(float elapsed) override;
        /** The pending areas. */
        void enumerateAreas(std::vector<CoreAboveGroundArea*>& out) override;

        /** Area kinds find their areas here; null in this class. */
        virtual CoreAboveGroundArea* getArea(const Ogre::Vector3& position, bool nearestIfNone);
        virtual CoreAboveGroundArea* getArea(const std::string& id);
        virtual CorePartitionManager* getPartitionManager() const;
        virtual void enumerateObjects(std::vector<AboveGroundStaticGeometryInfo*>& out);
        virtual CoreGameObject* getObjectByName(const std::string& name);
        virtual CoreAboveGroundArea* createArea(const std::string& id);
        virtual bool destroyArea(CoreAboveGroundArea* area);
        virtual void handleObjectDestroyed(AboveGroundStaticGeometryInfo* info);
        /** obj is going: the area holding it, if any, lets it go
            (CoreAboveGroundArea::removeObject). */
        virtual void handleObjectDestroyed(CoreGameObject* obj);
        virtual CoreGameObjectManager* getGameObjectManager() const;
        virtual CoreAboveGroundArea* __FindAreaByPos(Ogre::Vector3& position);
        /** Creates the node "AboveGroundManager" on first use, then starts the
            first pending area whose load() agrees (at most one per call). */
        virtual void load();
        /** Takes area out of whichever list holds it and makes it idle. */
        virtual void removeLoaded(CoreAboveGroundArea* area);
        virtual void SeeThroughObject(CoreGameObject* obj);
        virtual void SeeBackObject(CoreGameObject* obj);

        /** Files obj, placed by its partition's transform, into the area
            under its world position, unless there is none; the area becomes
            pending unless it is (a building or built area starts again). An
            object filed before leaves its old area first. */
        void addStaticObject(CoreGameObject* obj, Ogre::Matrix4& transform);
        void addStaticObject(CoreGameObject* obj, Ogre::Vector3& position,
                             Ogre::Quaternion& orientation);
        void enumerateNearbyObjects(const Ogre::AxisAlignedBox& box,
                                    std::vector<CoreGameObject*>& out);

        bool getInitialised() const { return mInitialised; }
        bool getOverrideShowBounds() const { return mOverrideShowBounds; }
        bool getShowAllBounds() const { return mShowAllBounds; }
        float getViewDistance() const { return mViewDistance; }
        Ogre::SceneNode* getSceneNode() const { return mSceneNode; }
        const AreaList& getAreas() const { return mAreas; }
        const AreaList& getPendingAreas() const { return mPendingAreas; }
        const AreaList& getBuildingAreas() const { return mBuildingAreas; }
        const AreaList& getBuiltAreas() const { return mBuiltAreas; }

    protected:
        /** Appends a non-null area; the manager owns it from then on. */
        virtual void addArea(CoreAboveGroundArea* area);
        /** Starts the first pending area whose load() agrees; false when
            none does. */
        bool startPendingArea();
        /** The area holding obj lets it go. */
        void letGo(CoreGameObject* obj);

        AreaList mAreas;
        AreaList mPendingAreas;
        AreaList mBuiltAreas;
        AreaList mBuildingAreas;
        PartitionManager* mPartitionManager;
        GameObjectManager* mGameObjectManager;
        bool mInitialised = false;
        bool mOverrideShowBounds = false;
        bool mShowAllBounds = false;
        Ogre::SceneNode* mSceneNode = nullptr;
        float mViewDistance = 256.0f;
        /** The area each filed object went to. An area may have let go of
            an object since (it was handed back, or the area unloaded);
            entries go with their objects. */
        std::unordered_map<CoreGameObject*, CoreAboveGroundArea*> mHolders;
        /** An area went back to waiting outside a partition load. */
        bool mRestartPending = false;
    };
}

#endif
