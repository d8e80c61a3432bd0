#ifndef __WrenCoreAboveGroundArea_H__
#define __WrenCoreAboveGroundArea_H__

#include "AboveGroundArea.h"

#include <OgreAxisAlignedBox.h>
#include <OgreMatrix4.h>

#include <list>
#include <map>

namespace Ogre
{
    class FxShaderInstancing;
    class SceneManager;
    class SceneNode;
}

namespace Wren
{
    /** The working above-ground area: it files the static objects handed to
        it by metadata template and tears down the batches it was built into.
        Building is the business of the area kinds that derive from it; this
        class never changes its own state (the manager does).

        Batches are those of the scene manager's shader-instancing facility
        (Ogre::FxShaderInstancingManager), kept by batch name. unload
        destroys them and the area's node and forgets the objects: they stay
        their partitions', which list them and destroy them, so an area
        never deletes an object.
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
        typedef std::map<std::string, Ogre::FxShaderInstancing*> InstancingMap;
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
        /** Forgets obj (a group left empty goes); the manager calls it for
            an object that goes. */
        virtual void removeObject(CoreGameObject* obj);
        /** One build step; true when the build is finished (at once here). */
        virtual bool update(float elapsed);
        /** Starts the build; false here (nothing can be built). */
        virtual bool load();
        /** Destroys the batches and the node, then forgets all groups and
            requests; the objects are left to their partitions. */
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
        /** The object manager's scene, null without one. */
        Ogre::SceneManager* getSceneManager() const;

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
