#ifndef __WrenMeshCollisionGameSystem_H__
#define __WrenMeshCollisionGameSystem_H__

#include "WrenHostPrerequisites.h"

#include "CollisionGameSystem.h"

#include <OgreResourceGroupManager.h>

namespace Wren
{
    /** The host's collision system: shapes are the triangles of meshes.

        Shapes are cached by mesh name and scale (two objects of the same
        mesh at different scales get different shapes), loaded at once when
        first asked for.

        Accuracy:
        - collideRay is triangle-exact: it reports the hit nearest to the
          ray's origin on any triangle face (both sides count, so a ray from
          inside a closed mesh hits its far wall), with the face normal
          turned towards the ray's origin. A hit exactly at the origin counts.
        - collideShapes and collideBox work on bounding volumes: each
          shape's bounding box placed by its transform (rotation, scale and
          translation are honoured exactly). So two shapes whose boxes
          overlap collide even where their triangles do not touch. The
          single contact reported lies at the centre of the region shared by
          the two world-space bounds, without normal.
        A transform that is not affine or that flattens space (determinant
        0) gives no hit.
    */
    class WREN_HOST_EXPORT MeshCollisionGameSystem : public CollisionGameSystem
    {
    public:
        /** Meshes are searched in every resource group unless
            setMeshGroup says otherwise. */
        MeshCollisionGameSystem();
        ~MeshCollisionGameSystem() override;

        /** The cached shape of meshName at scale, made and loaded when there
            is none. Null for an empty name. A mesh that cannot be loaded
            gives a bad shape (logged once, kept so it is not retried). */
        CollisionShapePtr createCollisionShape(const std::string& meshName,
                                               const Ogre::Vector3& scale) override;

        /** A new shape of mesh at scale, loaded, not cached; null when mesh
            is null or holds no triangles. */
        CollisionShapePtr createCollisionShapeFromMesh(const Ogre::MeshPtr& mesh,
                                                       const Ogre::Vector3& scale) override;

        Ogre::AxisAlignedBox getCollisionShapeBounds(const CollisionShapePtr& shape) const override;

        bool collideRay(const CollisionShapePtr& shape, const Ogre::Matrix4& transform,
                        const Ogre::Ray& ray, CollisionInfo& info) const override;

        bool collideShapes(const CollisionShapePtr& a, const Ogre::Matrix4& transformA,
                           const CollisionShapePtr& b, const Ogre::Matrix4& transformB,
                           std::vector<CollisionInfo>& infos) const override;

        bool collideBox(const CollisionShapePtr& shape, const Ogre::Matrix4& transform,
                        const Ogre::AxisAlignedBox& box,
                        std::vector<CollisionInfo>& infos) const override;

        /** Resource group searched for meshes named by createCollisionShape. */
        void setMeshGroup(const std::string& group) { mMeshGroup = group; }
        const std::string& getMeshGroup() const { return mMeshGroup; }

    private:
        std::string mMeshGroup = Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME;
    };
}

#endif
