#ifndef __WrenCollisionMath_H__
#define __WrenCollisionMath_H__

#include "WrenHostPrerequisites.h"

#include <OgreAxisAlignedBox.h>
#include <OgreMatrix4.h>
#include <OgreVector.h>

namespace Wren
{
    /** The arithmetic of the mesh collision system, free of scene and
        resources. */
    namespace CollisionMath
    {
        /** Ray against one triangle, both faces. On a hit stores in t the ray
            parameter of the hit point (origin + t * direction), which may be
            0, and returns true; a ray behind the triangle, parallel to it or
            a degenerate triangle gives false. */
        WREN_HOST_EXPORT bool intersectRayTriangle(const Ogre::Vector3& origin,
                                                   const Ogre::Vector3& direction,
                                                   const Ogre::Vector3& a, const Ogre::Vector3& b,
                                                   const Ogre::Vector3& c, Ogre::Real& t);

        /** A box placed by an affine transform: a parallelepiped given by its
            centre and three half-edge vectors (which a scaled or sheared
            transform need not keep orthogonal or of equal length). */
        struct WREN_HOST_EXPORT PlacedBox
        {
            Ogre::Vector3 centre = Ogre::Vector3::ZERO;
            Ogre::Vector3 halfEdges[3] = {Ogre::Vector3::ZERO, Ogre::Vector3::ZERO,
                                          Ogre::Vector3::ZERO};
        };

        /** The local-space box placed by transform (affine). A null or
            infinite box gives a box of zero size at the transformed origin. */
        WREN_HOST_EXPORT PlacedBox placeBox(const Ogre::AxisAlignedBox& box,
                                            const Ogre::Matrix4& transform);

        /** True when the two placed boxes overlap or touch (separating axis
            test on their face normals and edge cross products; exact for
            parallelepipeds, flat ones included). */
        WREN_HOST_EXPORT bool placedBoxesOverlap(const PlacedBox& a, const PlacedBox& b);

        /** The axis-aligned bounds of a placed box. */
        WREN_HOST_EXPORT Ogre::AxisAlignedBox boundsOf(const PlacedBox& box);

        /** The centre of the region shared by two axis-aligned boxes (the
            midpoint of their centres when they do not intersect). */
        WREN_HOST_EXPORT Ogre::Vector3 overlapCentre(const Ogre::AxisAlignedBox& a,
                                                     const Ogre::AxisAlignedBox& b);

        /** Key under which a shape of a mesh at a scale is cached: the mesh
            name, "|", and the scale as three numbers. */
        WREN_HOST_EXPORT std::string shapeKey(const std::string& meshName,
                                              const Ogre::Vector3& scale);
    }
}

#endif
