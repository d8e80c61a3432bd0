#ifndef __WrenCollisionGameSystem_H__
#define __WrenCollisionGameSystem_H__

#include "GameSystem.h"

#include <OgreAxisAlignedBox.h>
#include <OgreMatrix4.h>
#include <OgreRay.h>
#include <OgreResource.h>
#include <OgreThreadLoader.h>
#include <OgreVector.h>

#include <cstdio>
#include <list>
#include <map>
#include <memory>

namespace Wren
{
    class CoreGameObject;

    /** Collision geometry shared by every object built from the same
        collision mesh at the same scale. It loads like a resource, on
        request in the background (see Ogre::ThreadLoader); only a loaded
        shape takes part in collision tests.

        The base holds no geometry: loadImpl succeeds and unloadImpl does
        nothing. Concrete collision systems derive their shapes from it.
    */
    class WREN_COMMON_EXPORT CollisionShape : public Ogre::ThreadLoader
    {
    public:
        CollisionShape();
        ~CollisionShape() override;

    protected:
        bool loadImpl() override;
        void unloadImpl() override;
    };

    /** Shared handle of a collision shape; the shape is deleted with its
        last handle. Two handles are equal when they point to the same shape. */
    typedef Ogre::SharedPtr<CollisionShape> CollisionShapePtr;

    /** One hit of a collision test. */
    struct WREN_COMMON_EXPORT CollisionInfo
    {
        /** The hit point in world space. */
        Ogre::Vector3 point = Ogre::Vector3::ZERO;
        /** Unit normal of the hit surface in world space, facing the ray's
            origin for a ray test; zero when the test gives none. */
        Ogre::Vector3 normal = Ogre::Vector3::ZERO;
        /** Ray tests: distance from the ray's origin to the point, in units
            of the ray's direction (the world distance for a unit direction).
            Shape tests: 0. */
        Ogre::Real distance = 0;
        /** The object that was hit; set by the object's collide operations,
            null from the collision system's own tests. */
        CoreGameObject* object = nullptr;
    };

    /** The registry of shared collision shapes, found in GameSystemManager
        under the name "CollisionGameSystem", with an optional recovery scheme
        that releases shapes nobody uses any more.

        Concrete collision systems make the shapes and supply the tests; they
        register what they make through the protected operations, so that
        objects built from the same mesh share one shape.

        Recovery: once more shapes are registered than the hold count, a
        release pass runs, one shape per frame, oldest candidate first, and
        releases every shape that only the registry still uses (a shape whose
        only remaining reference is its candidate entry is dropped too); it
        ends on the first frame that finds nothing to release. Between
        passes the count is checked every recovery time. The count is
        compared with the hold count as an unsigned number, so a negative
        hold count never starts a pass.

        Main thread only; nothing here locks.
    */
    class WREN_COMMON_EXPORT CollisionGameSystem : public GameSystem
    {
    public:
        typedef std::map<std::string, CollisionShapePtr> ShapeMap;
        typedef std::list<CollisionShapePtr> ShapeList;

        CollisionGameSystem();
        /** Drops the registry's references; a shape still held elsewhere
            lives on until its last handle goes. */
        ~CollisionGameSystem() override;

        /** One step of the recovery scheme. */
        void update(float elapsedSeconds) override;

        /** The shape for a collision mesh name at scale: the registered one
            when there is one, otherwise a new one, registered. Null when no
            shape can be made for the name. A shape whose geometry failed to
            load is returned (and kept, so it is not retried) but never
            reaches the loaded state. */
        virtual CollisionShapePtr createCollisionShape(const std::string& meshName,
                                                       const Ogre::Vector3& scale) = 0;

        /** A new shape built from a mesh at scale, not registered; null when
            the mesh holds no triangles. */
        virtual CollisionShapePtr createCollisionShapeFromMesh(const Ogre::MeshPtr& mesh,
                                                               const Ogre::Vector3& scale) = 0;

        /** The shape's bounds in its own space; a null box for a shape
            without geometry. */
        virtual Ogre::AxisAlignedBox getCollisionShapeBounds(
            const CollisionShapePtr& shape) const = 0;

        /** Tests ray against shape placed by the world transform. On a hit
            fills info with the hit nearest to the ray's origin (ahead of it)
            and returns true; on a miss leaves info as it was. */
        virtual bool collideRay(const CollisionShapePtr& shape, const Ogre::Matrix4& transform,
                                const Ogre::Ray& ray, CollisionInfo& info) const = 0;

        /** Tests shape a, placed by transformA, against shape b, placed by
            transformB; appends one CollisionInfo per contact and returns
            whether they touch. */
        virtual bool collideShapes(const CollisionShapePtr& a, const Ogre::Matrix4& transformA,
                                   const CollisionShapePtr& b, const Ogre::Matrix4& transformB,
                                   std::vector<CollisionInfo>& infos) const = 0;

        /** Tests shape, placed by transform, against a world-space box;
            appends one CollisionInfo per contact and returns whether they
            touch. */
        virtual bool collideBox(const CollisionShapePtr& shape, const Ogre::Matrix4& transform,
                                const Ogre::AxisAlignedBox& box,
                                std::vector<CollisionInfo>& infos) const = 0;

        void setRecovery(bool recovery) { mRecovery = recovery; }
        bool getRecovery() const { return mRecovery; }
        void setHoldMaxCount(int count) { mHoldMaxCount = count; }
        int getHoldMaxCount() const { return mHoldMaxCount; }
        /** Interval, in seconds, between checks of the count while no pass
            is under way. */
        void setRecoveryTime(float seconds) { mRecoveryTime = seconds; }
        float getRecoveryTime() const { return mRecoveryTime; }

        /** True while a release pass is under way. */
        bool isRecovering() const { return mRecovering != 0; }
        /** Number of registered shapes. */
        size_t getCollisionShapeCount() const { return mShapes.size(); }
        /** The registered shapes by name. */
        const ShapeMap& getCollisionShapes() const { return mShapes; }
        /** Candidates for release, oldest first. */
        const ShapeList& getRecoveryShapeList() const { return mRecoveryList; }

        /** Writes a report of the registry to file (nothing when file is
            null): the number of release candidates, then one line per
            registered shape in name order with its name, a size figure
            (always 0) and its current use count. Long names are cut to fit a
            line of 512 bytes. */
        void printResourceInfo(FILE* file);

    protected:
        /** The registered shape of that name, or a null handle. */
        CollisionShapePtr getCollisionShape(const std::string& name);

        /** Registers shape under name, replacing an earlier entry of that
            name. With recovery on, the shape becomes a release candidate,
            and a pass starts when more shapes are registered than the hold
            count. A null shape is ignored. */
        void addCollisionShape(const std::string& name, CollisionShapePtr& shape);

        /** Removes the entry of that name, if any. The shape stays a release
            candidate. */
        void removeCollisionShape(const std::string& name);

        /** Removes the first entry, in name order, that holds shape, if any. */
        void removeCollisionShape(CollisionShapePtr& shape);

        /** Appends shape to the release candidates unless it is already
            there; returns true. */
        bool AddToRecoveryShapeList(CollisionShapePtr& shape);

        /** One step of the recovery scheme; returns true. */
        bool RecoveryFrame(float elapsedSeconds);

        ShapeMap mShapes;
        bool mRecovery = false;
        ShapeList mRecoveryList;
        int mRecovering = 0;
        int mHoldMaxCount = 0;
        float mElapsed = 0;
        float mRecoveryTime = 0;
    };
}

#endif
