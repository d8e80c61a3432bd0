#include "CollisionMath.h"

#include <OgreStringConverter.h>

#include <cmath>

namespace Wren
{
namespace CollisionMath
{
    bool intersectRayTriangle(const Ogre::Vector3& origin, const Ogre::Vector3& direction,
                              const Ogre::Vector3& a, const Ogre::Vector3& b,
                              const Ogre::Vector3& c, Ogre::Real& t)
    {
        // Moeller-Trumbore, in double precision so that long thin triangles
        // and far rays keep their hits.
        const double ox = origin.x, oy = origin.y, oz = origin.z;
        const double dx = direction.x, dy = direction.y, dz = direction.z;
        const double e1x = b.x - a.x, e1y = b.y - a.y, e1z = b.z - a.z;
        const double e2x = c.x - a.x, e2y = c.y - a.y, e2z = c.z - a.z;
        const double px = dy * e2z - dz * e2y;
        const double py = dz * e2x - dx * e2z;
        const double pz = dx * e2y - dy * e2x;
        const double det = e1x * px + e1y * py + e1z * pz;
        const double scaleOfDet = std::sqrt(e1x * e1x + e1y * e1y + e1z * e1z) *
                                  std::sqrt(e2x * e2x + e2y * e2y + e2z * e2z) *
                                  std::sqrt(dx * dx + dy * dy + dz * dz);
        if (!(std::fabs(det) > 1e-12 * scaleOfDet))
            return false;
        const double inv = 1.0 / det;
        const double sx = ox - a.x, sy = oy - a.y, sz = oz - a.z;
        const double u = (sx * px + sy * py + sz * pz) * inv;
        if (u < 0.0 || u > 1.0)
            return false;
        const double qx = sy * e1z - sz * e1y;
        const double qy = sz * e1x - sx * e1z;
        const double qz = sx * e1y - sy * e1x;
        const double v = (dx * qx + dy * qy + dz * qz) * inv;
        if (v < 0.0 || u + v > 1.0)
            return false;
        const double hit = (e2x * qx + e2y * qy + e2z * qz) * inv;
        if (hit < 0.0)
            return false;
        t = static_cast<Ogre::Real>(hit);
        return true;
    }

    PlacedBox placeBox(const Ogre::AxisAlignedBox& box, const Ogre::Matrix4& transform)
    {
        PlacedBox placed;
        const Ogre::Matrix3 linear = transform.linear();
        if (!box.isFinite())
        {
            placed.centre = transform.getTrans();
            return placed;
        }
        const Ogre::Vector3 half = box.getHalfSize();
        placed.centre = linear * box.getCenter() + transform.getTrans();
        for (int axis = 0; axis < 3; ++axis)
            placed.halfEdges[axis] = linear.GetColumn(axis) * half[axis];
        return placed;
    }

    namespace
    {
        Ogre::Real radiusAlong(const PlacedBox& box, const Ogre::Vector3& axis)
        {
            return std::fabs(box.halfEdges[0].dotProduct(axis)) +
                   std::fabs(box.halfEdges[1].dotProduct(axis)) +
                   std::fabs(box.halfEdges[2].dotProduct(axis));
        }

        /** False when axis separates the boxes; a vanishing axis separates
            nothing. */
        bool overlapAlong(const PlacedBox& a, const PlacedBox& b, const Ogre::Vector3& axis)
        {
            const Ogre::Real length = axis.length();
            if (!(length > 1e-9f))
                return true;
            const Ogre::Vector3 unit = axis / length;
            const Ogre::Real distance = std::fabs((b.centre - a.centre).dotProduct(unit));
            const Ogre::Real reach = radiusAlong(a, unit) + radiusAlong(b, unit);
            return distance <= reach * (1 + 1e-6f) + 1e-6f;
        }

        void faceNormals(const PlacedBox& box, Ogre::Vector3 out[3])
        {
            out[0] = box.halfEdges[1].crossProduct(box.halfEdges[2]);
            out[1] = box.halfEdges[2].crossProduct(box.halfEdges[0]);
            out[2] = box.halfEdges[0].crossProduct(box.halfEdges[1]);
        }
    }

    bool placedBoxesOverlap(const PlacedBox& a, const PlacedBox& b)
    {
        Ogre::Vector3 normals[3];
        faceNormals(a, normals);
        for (const Ogre::Vector3& axis : normals)
            if (!overlapAlong(a, b, axis))
                return false;
        faceNormals(b, normals);
        for (const Ogre::Vector3& axis : normals)
            if (!overlapAlong(a, b, axis))
                return false;
        for (const Ogre::Vector3& edgeA : a.halfEdges)
            for (const Ogre::Vector3& edgeB : b.halfEdges)
                if (!overlapAlong(a, b, edgeA.crossProduct(edgeB)))
                    return false;
        // A box without volume in two directions (a segment or a point) has
        // no face normals of its own; the world axes complete the set.
        for (const Ogre::Vector3& axis :
             {Ogre::Vector3::UNIT_X, Ogre::Vector3::UNIT_Y, Ogre::Vector3::UNIT_Z})
            if (!overlapAlong(a, b, axis))
                return false;
        return true;
    }

    Ogre::AxisAlignedBox boundsOf(const PlacedBox& box)
    {
        Ogre::Vector3 reach(0, 0, 0);
        for (const Ogre::Vector3& edge : box.halfEdges)
            reach += Ogre::Vector3(std::fabs(edge.x), std::fabs(edge.y), std::fabs(edge.z));
        return Ogre::AxisAlignedBox(box.centre - reach, box.centre + reach);
    }

    Ogre::Vector3 overlapCentre(const Ogre::AxisAlignedBox& a, const Ogre::AxisAlignedBox& b)
    {
        const Ogre::AxisAlignedBox shared = a.intersection(b);
        if (shared.isFinite())
            return shared.getCenter();
        return (a.getCenter() + b.getCenter()) * 0.5f;
    }

    std::string shapeKey(const std::string& meshName, const Ogre::Vector3& scale)
    {
        return meshName + "|" + Ogre::StringConverter::toString(scale);
    }
}
}
