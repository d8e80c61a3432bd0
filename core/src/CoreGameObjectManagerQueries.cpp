// CoreGameObjectManager: which objects (or which world point) a ray, a
// segment or a moving object meets.
#include "CoreGameObjectManager.h"

#include "CoreGameObject.h"
#include "CorePartitionManager.h"
#include "SceneManagerWrapper.h"

#include <OgreMovableObject.h>

#include <algorithm>
#include <cmath>

namespace Wren
{
    namespace
    {
        typedef bool (CoreGameObject::*PlaneTest)(const Ogre::Ray&, CollisionInfo&);

        bool collectPlaneHits(const std::vector<CoreGameObject*>& objs, const Ogre::Ray& ray,
                              PlaneTest test, std::vector<CollisionInfo>& infos)
        {
            bool hit = false;
            for (CoreGameObject* obj : objs)
            {
                CollisionInfo info;
                if ((obj->*test)(ray, info))
                {
                    infos.push_back(info);
                    hit = true;
                }
            }
            return hit;
        }

        bool firstPlaneHit(const std::vector<CoreGameObject*>& objs, const Ogre::Ray& ray,
                           PlaneTest test, CollisionInfo& info)
        {
            for (CoreGameObject* obj : objs)
                if ((obj->*test)(ray, info))
                    return true;
            return false;
        }
    }

    bool CoreGameObjectManager::rayCollideObjects(const Ogre::Ray& ray,
                                                  std::vector<CollisionInfo>& infos)
    {
        if (!mSceneManagerWrapper)
            return false;
        // The result list belongs to the query: the objects are taken first.
        std::vector<CoreGameObject*> candidates;
        for (const Ogre::RaySceneQueryResultEntry& entry :
             mSceneManagerWrapper->executeRaySceneQuery(ray, true, false, false))
        {
            CoreGameObject* obj =
                dynamic_cast<CoreGameObject*>(GameObject::fromMovable(entry.movable));
            if (obj && std::find(candidates.begin(), candidates.end(), obj) == candidates.end())
                candidates.push_back(obj);
        }
        bool hit = false;
        for (CoreGameObject* obj : candidates)
        {
            CollisionInfo info;
            if (obj->collide(ray, info))
            {
                infos.push_back(info);
                hit = true;
            }
        }
        return hit;
    }

    bool CoreGameObjectManager::rayCollideWorld(const Ogre::Ray& ray, Ogre::Vector3& point)
    {
        if (!mSceneManagerWrapper)
            return false;
        Ogre::RaySceneQueryResult& results =
            mSceneManagerWrapper->executeRaySceneQuery(ray, false, true, false);
        if (results.empty() || !results.front().worldFragment)
            return false;
        point = results.front().worldFragment->singleIntersection;
        return true;
    }

    bool CoreGameObjectManager::rayCollide(const Ogre::Ray& ray, bool objects, bool world,
                                           CoreGameObject*& hit,
                                           const std::vector<CoreGameObject*>& ignore,
                                           Ogre::Vector3& point)
    {
        const Ogre::Vector3& origin = ray.getOrigin();
        const CollisionInfo* nearest = nullptr;
        std::vector<CollisionInfo> infos;
        if (objects && rayCollideObjects(ray, infos))
            for (const CollisionInfo& info : infos)
            {
                if (!info.object ||
                    std::find(ignore.begin(), ignore.end(), info.object) != ignore.end())
                    continue;
                if (!nearest || origin.squaredDistance(info.point) <
                                    origin.squaredDistance(nearest->point))
                    nearest = &info;
            }
        Ogre::Vector3 worldPoint;
        const bool worldHit = world && rayCollideWorld(ray, worldPoint);
        if (!nearest && !worldHit)
            return false;
        // The object hit is reported even when the world point is nearer.
        if (nearest)
        {
            hit = nearest->object->getSelection();
            point = nearest->point;
        }
        if (worldHit &&
            (!nearest || origin.squaredDistance(worldPoint) < origin.squaredDistance(point)))
            point = worldPoint;
        return true;
    }

    bool CoreGameObjectManager::rayCollide(const Ogre::Ray& ray, bool objects, bool world,
                                           CoreGameObject*& hit, Ogre::Vector3& point)
    {
        return rayCollide(ray, objects, world, hit, std::vector<CoreGameObject*>(), point);
    }

    bool CoreGameObjectManager::segmentCollide(const Ogre::Vector3& a, const Ogre::Vector3& b,
                                               std::vector<CoreGameObject*>& out)
    {
        const Ogre::Vector3 along = b - a;
        if (along.isZeroLength())
            return false;
        // In double precision: the sum of the two distances of a point on
        // the segment differs from its length by far less than the tolerance.
        const double length = along.length();
        auto distance = [](const Ogre::Vector3& p, const Ogre::Vector3& q) {
            const double dx = p.x - q.x, dy = p.y - q.y, dz = p.z - q.z;
            return std::sqrt(dx * dx + dy * dy + dz * dz);
        };
        std::vector<CollisionInfo> infos;
        rayCollideObjects(Ogre::Ray(a, along.normalisedCopy()), infos);
        rayCollideObjects(Ogre::Ray(b, -along.normalisedCopy()), infos);
        const size_t before = out.size();
        for (const CollisionInfo& info : infos)
        {
            if (!info.object ||
                std::abs(distance(info.point, a) + distance(info.point, b) - length) >= 0.0001)
                continue;
            if (std::find(out.begin() + before, out.end(), info.object) == out.end())
                out.push_back(info.object);
        }
        return out.size() > before;
    }

    bool CoreGameObjectManager::rayCollideObjectsHeight(const Ogre::Ray& ray,
                                                        std::vector<CollisionInfo>& infos)
    {
        std::vector<CoreGameObject*> objs;
        enumetateObjectsByLogicInfo(objs);
        return collectPlaneHits(objs, ray, &CoreGameObject::collidewithheighplane, infos);
    }

    bool CoreGameObjectManager::rayCollideObjectsHeight(const Ogre::Ray& ray,
                                                        const std::vector<CoreGameObject*>& objs,
                                                        CollisionInfo& info)
    {
        return firstPlaneHit(objs, ray, &CoreGameObject::collidewithheighplane, info);
    }

    bool CoreGameObjectManager::rayCollideObjectsUnderGroundHeight(
        const Ogre::Ray& ray, std::vector<CollisionInfo>& infos)
    {
        std::vector<CoreGameObject*> objs;
        enumetateObjectsByLogicInfo(objs);
        return collectPlaneHits(objs, ray, &CoreGameObject::collidewithundergroundheighplane,
                                infos);
    }

    bool CoreGameObjectManager::rayCollideObjectsUnderGroundHeight(
        const Ogre::Ray& ray, const std::vector<CoreGameObject*>& objs, CollisionInfo& info)
    {
        return firstPlaneHit(objs, ray, &CoreGameObject::collidewithundergroundheighplane, info);
    }

    void CoreGameObjectManager::collisionDetect(CoreGameObject* object,
                                                std::vector<CollisionInfo>& infos,
                                                const Ogre::Vector3& motion)
    {
        if (!object || !mPartitionManager)
            return;
        const float s = motion.isZeroLength() ? 1.0f : motion.length() * 1.5f + 1.0f;
        // Grown about its own centre (AxisAlignedBox::scale would scale it
        // about the origin and move it away).
        Ogre::AxisAlignedBox box = object->getWorldAABB();
        if (box.isFinite())
        {
            const Ogre::Vector3 centre = box.getCenter();
            const Ogre::Vector3 half = box.getHalfSize() * s;
            box.setExtents(centre - half, centre + half);
        }
        std::vector<CoreGameObject*> candidates;
        mPartitionManager->enumerateNearbyObjects(box, candidates);
        for (CoreGameObject* candidate : candidates)
        {
            if (candidate == object)
                continue;
            std::vector<CollisionInfo> found;
            if (!object->collide(*candidate, found))
                continue;
            for (CollisionInfo& info : found)
                info.object = candidate;
            infos.insert(infos.end(), found.begin(), found.end());
        }
    }

    bool CoreGameObjectManager::rayCollide(const Ogre::Ray& ray, bool objects, bool world,
                                           GameObject*& hit, Ogre::Vector3& point)
    {
        CoreGameObject* core = nullptr;
        const bool found = rayCollide(ray, objects, world, core, point);
        if (core)
            hit = core;
        return found;
    }

    bool CoreGameObjectManager::rayCollide(const Ogre::Ray& ray, bool objects, bool world,
                                           GameObject*& hit, const std::vector<GameObject*>& ignore,
                                           Ogre::Vector3& point)
    {
        CoreGameObject* core = nullptr;
        const bool found =
            rayCollide(ray, objects, world, core, castGameObjectsToCoreGameObjects(ignore), point);
        if (core)
            hit = core;
        return found;
    }
}
