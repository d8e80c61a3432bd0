#include "MeshCollisionGameSystem.h"

#include "CollisionMath.h"
#include "MeshCollisionShape.h"

#include <OgreMatrix3.h>

#include <cmath>

namespace Wren
{
    namespace
    {
        /** The loaded mesh shape behind a handle, or null. */
        MeshCollisionShape* loadedMeshShape(const CollisionShapePtr& shape)
        {
            MeshCollisionShape* mesh = dynamic_cast<MeshCollisionShape*>(shape.get());
            if (!mesh || mesh->GetLoadingState() != Ogre::Resource::LOADSTATE_LOADED)
                return nullptr;
            return mesh;
        }

        bool isUsableTransform(const Ogre::Matrix4& transform)
        {
            return transform[3][0] == 0 && transform[3][1] == 0 && transform[3][2] == 0 &&
                   transform[3][3] == 1 && std::isfinite(transform.linear().determinant()) &&
                   transform.linear().determinant() != 0;
        }

        bool collideVolumes(const CollisionMath::PlacedBox& a, const CollisionMath::PlacedBox& b,
                            std::vector<CollisionInfo>& infos)
        {
            if (!CollisionMath::placedBoxesOverlap(a, b))
                return false;
            CollisionInfo info;
            info.point =
                CollisionMath::overlapCentre(CollisionMath::boundsOf(a), CollisionMath::boundsOf(b));
            infos.push_back(info);
            return true;
        }
    }

    MeshCollisionGameSystem::MeshCollisionGameSystem() {}

    MeshCollisionGameSystem::~MeshCollisionGameSystem() {}

    CollisionShapePtr MeshCollisionGameSystem::createCollisionShape(const std::string& meshName,
                                                                    const Ogre::Vector3& scale)
    {
        if (meshName.empty())
            return CollisionShapePtr();
        const std::string key = CollisionMath::shapeKey(meshName, scale);
        CollisionShapePtr shape = getCollisionShape(key);
        if (shape)
            return shape;
        shape.reset(new MeshCollisionShape(meshName, mMeshGroup, scale));
        shape->load(false);
        addCollisionShape(key, shape);
        return shape;
    }

    CollisionShapePtr MeshCollisionGameSystem::createCollisionShapeFromMesh(
        const Ogre::MeshPtr& mesh, const Ogre::Vector3& scale)
    {
        if (!mesh)
            return CollisionShapePtr();
        CollisionShapePtr shape(new MeshCollisionShape(mesh, scale));
        shape->load(false);
        if (shape->GetLoadingState() != Ogre::Resource::LOADSTATE_LOADED)
            return CollisionShapePtr();
        return shape;
    }

    Ogre::AxisAlignedBox MeshCollisionGameSystem::getCollisionShapeBounds(
        const CollisionShapePtr& shape) const
    {
        MeshCollisionShape* mesh = loadedMeshShape(shape);
        return mesh ? mesh->getBounds() : Ogre::AxisAlignedBox();
    }

    bool MeshCollisionGameSystem::collideRay(const CollisionShapePtr& shape,
                                             const Ogre::Matrix4& transform, const Ogre::Ray& ray,
                                             CollisionInfo& info) const
    {
        MeshCollisionShape* mesh = loadedMeshShape(shape);
        if (!mesh || !isUsableTransform(transform))
            return false;
        Ogre::Matrix3 inverse;
        if (!transform.linear().Inverse(inverse, 0))
            return false;

        // The ray in the shape's own space. An affine map keeps the ray
        // parameter, so a hit at t locally lies at ray.getPoint(t) in the world.
        const Ogre::Vector3 origin = inverse * (ray.getOrigin() - transform.getTrans());
        const Ogre::Vector3 direction = inverse * ray.getDirection();
        const Ogre::Ray local(origin, direction);
        if (!mesh->getBounds().contains(origin) &&
            !Ogre::Math::intersects(local, mesh->getBounds()).first)
            return false;

        const std::vector<Ogre::Vector3>& corners = mesh->getTriangles();
        bool hit = false;
        Ogre::Real nearest = 0;
        size_t nearestTriangle = 0;
        for (size_t i = 0; i + 2 < corners.size(); i += 3)
        {
            Ogre::Real t;
            if (CollisionMath::intersectRayTriangle(origin, direction, corners[i], corners[i + 1],
                                                    corners[i + 2], t) &&
                (!hit || t < nearest))
            {
                hit = true;
                nearest = t;
                nearestTriangle = i;
            }
        }
        if (!hit)
            return false;

        const Ogre::Vector3& a = corners[nearestTriangle];
        const Ogre::Vector3 localNormal =
            (corners[nearestTriangle + 1] - a).crossProduct(corners[nearestTriangle + 2] - a);
        Ogre::Vector3 normal = inverse.Transpose() * localNormal;
        normal.normalise();
        if (normal.dotProduct(ray.getDirection()) > 0)
            normal = -normal;

        info.point = ray.getPoint(nearest);
        info.normal = normal;
        info.distance = nearest;
        info.object = nullptr;
        return true;
    }

    bool MeshCollisionGameSystem::collideShapes(const CollisionShapePtr& a,
                                                const Ogre::Matrix4& transformA,
                                                const CollisionShapePtr& b,
                                                const Ogre::Matrix4& transformB,
                                                std::vector<CollisionInfo>& infos) const
    {
        MeshCollisionShape* meshA = loadedMeshShape(a);
        MeshCollisionShape* meshB = loadedMeshShape(b);
        if (!meshA || !meshB || !isUsableTransform(transformA) || !isUsableTransform(transformB))
            return false;
        return collideVolumes(CollisionMath::placeBox(meshA->getBounds(), transformA),
                              CollisionMath::placeBox(meshB->getBounds(), transformB), infos);
    }

    bool MeshCollisionGameSystem::collideBox(const CollisionShapePtr& shape,
                                             const Ogre::Matrix4& transform,
                                             const Ogre::AxisAlignedBox& box,
                                             std::vector<CollisionInfo>& infos) const
    {
        MeshCollisionShape* mesh = loadedMeshShape(shape);
        if (!mesh || !isUsableTransform(transform) || box.isNull())
            return false;
        if (box.isInfinite())
        {
            CollisionInfo info;
            info.point = CollisionMath::placeBox(mesh->getBounds(), transform).centre;
            infos.push_back(info);
            return true;
        }
        return collideVolumes(CollisionMath::placeBox(mesh->getBounds(), transform),
                              CollisionMath::placeBox(box, Ogre::Matrix4::IDENTITY), infos);
    }
}
