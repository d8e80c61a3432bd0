#ifndef __WrenCoreAboveGroundArea_H__
#define __WrenCoreAboveGroundArea_H__

#include "AboveGroundArea.h"

#include <OgreAxisAlignedBox.h>
#include <OgreMatrix4.h>

#include <list>
#include <map>

namespace Ogre
{
    class InstanceManager;
    class SceneNode;
}

namespace Wren
{
    /** The working above-ground area: it files the static objects handed to
        it by metadata template and tears down the batches it was built into.
        Building is the business of the area kinds that derive from it; this
        class never changes its own state (the manager does).

        Batches are the scene manager's instance managers, one per batch
        name. unload destroys them and the area's node; objects of groups
        holding more than one object are destroyed and deleted with them,
        while a group of exactly one object is left alone (its partition
        owns that object). An area kind that hands objects to its batches
        must take them out of their partitions first, or empty its groups
        before unload.
    */
    class WREN_CORE_EXPORT CoreAboveGroundArea : public AboveGroundArea
    {
    public:
        /** Answer of isPositionInArea, as CorePartition::PositionResult. */
        enum AreaPositionResult
        {
            AREA_POSITION_INSIDE = 0,
            AREA_POSITION_OUTSIDE = 2
        };

        typedef std::list<CoreGameObject*> ObjectGroup;
        typedef std::map<std::string, ObjectGroup> ObjectGroupMap;
        typedef std::map<std::string, Ogre::InstanceManager*> InstancingMap;
        typedef std::map<std::string, AboveGroundShaderInstancingInfo> BuildRequestMap;

        CoreAboveGroundArea(const std::string& id, const Ogre::Vector3& worldPosition,
                            CoreAboveGroundManager* manager);
        ~CoreAboveGroundArea() override;

        // PropertyContainer
        /** "CoreAboveGroundArea_ShowBounds" ("Show bounds", bool). */
        void enumerateProperties(std::vector<Property>& out) override;
        /** Recognises "CoreAboveGroundArea_ShowBounds" and changes nothing. */
        void setProperty(const std::string& id, const PropertyData& value) override;

        // AboveGroundArea
        const std::string& getAreaType() const override;
        const std::string& getID() const override { return mID; }
        /** False in this class. */
        bool getLoaded() override;
        /** When the value changes and there are batches: shows or hides every
            batch. Without batches nothing changes. */
        void SetVisible(bool visible) override;

        /** Unloads the area. */
        virtual void destroy();
        /** Files obj under its metadata's ID (groups keep insertion order);
            the transform is not kept. Objects without metadata are refused
            (logged). */
        virtual void addObject(CoreGameObject* obj, Ogre::Matrix4& transform);
        virtual void removeObject(CoreGameObject* obj);
        /** One build step; true when the build is finished (at once here). */
        virtual bool update(float elapsed);
        /** Starts the build; false here (nothing can be built). */
        virtual bool load();
        /** Destroys the batches, the node and the objects of groups of more
            than one object, then forgets all groups and requests. */
        virtual bool unload();
        virtual void enumerateObjectsByType(std::vector<AboveGroundStaticGeometryInfo*>& out,
                                            const std::string& type);
        virtual CoreGameObject* getObjectByName(const std::string& name);
        virtual AreaPositionResult isPositionInArea(const Ogre::Vector3& position);
        virtual void setShowBounds(bool show);
        virtual void createBoundsVisualization();
        virtual void destroyBoundsVisualization();

        const Ogre::Vector3& getWorldPosition() const { return mWorldPosition; }
        /** The area's bounds; a null box in this class, which has no extent. */
        virtual Ogre::AxisAlignedBox GetAABB() const;
        AboveGroundAreaState GetAreaState() const { return mState; }
        void SetAreaState(AboveGroundAreaState state) { mState = state; }
        bool getVisible() const { return mVisible; }
        const ObjectGroupMap& getObjectGroups() const { return mObjectsByMetadata; }
        const InstancingMap& getInstancings() const { return mInstancings; }

    protected:
        /** "Above_" + name + "_" + ID + "_" + index, at most 255 characters. */
        std::string __CreateShaderInstantNameByMatName(const std::string& name, int index) const;

        bool mVisible = false;
        Ogre::SceneNode* mSceneNode = nullptr;
        AboveGroundAreaState mState = AreaIdle;
        ObjectGroupMap mObjectsByMetadata;
        ObjectGroupMap::iterator mBuildCursor;
        CoreAboveGroundManager* mManager;
        std::string mID;
        Ogre::Vector3 mWorldPosition;
        bool mShowBounds = false;
        InstancingMap mInstancings;
        BuildRequestMap mBuildRequests;
    };
}

#endif
