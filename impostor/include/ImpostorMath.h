#ifndef __WrenImpostorMath_H__
#define __WrenImpostorMath_H__

#include "WrenImpostorPrerequisites.h"

#include <OgreCommon.h>
#include <OgreMatrix4.h>
#include <OgreVector.h>

namespace Ogre
{
    /** The arithmetic of impostors, free of any scene: distance bands, the
        size of a box on screen, the texture size chosen for it, where a
        region lies in its texture and the projection that captures it. */
    class WREN_IMPOSTOR_EXPORT ImpostorMath
    {
    public:
        /** Number of distance bands. */
        static const int LEVEL_COUNT = 6;
        /** Distance of the first band; each further band doubles it. */
        static const int FIRST_LEVEL_DISTANCE = 100;

        /** Squared outer distance of band level: 100², 200², ... 3200². */
        static Real levelSquaredDistance(int level);

        /** The first band whose squared distance is at least squaredDistance;
            0 beyond the last band (and for anything within the first). */
        static int chooseLevel(Real squaredDistance);

        /** Size in whole pixels of box on a viewport of viewportWidth x
            viewportHeight: the corners in front of the camera are projected,
            their bounding rectangle clamped to the screen, and the larger of
            its pixel width and height returned; 0 when no corner is in front
            or the rectangle is degenerate. */
        static unsigned int projectedSize(const Matrix4& view, const Matrix4& projection,
                                          const AxisAlignedBox& box, unsigned int viewportWidth,
                                          unsigned int viewportHeight);

        /** Size scale of a handler: (maximum - minimum) / threshold; 0 for a
            threshold of 0. */
        static Real sizeScale(unsigned int minimum, unsigned int maximum, unsigned int threshold);

        /** Impostor texture size for a node pixelSize pixels tall on screen:
            a = pixelSize x sizeScale (truncated); the maximum when a reaches
            it, the minimum when a does not exceed it, otherwise the smallest
            maximum / 2^k that is not below a. */
        static unsigned int chooseTextureSize(unsigned int pixelSize, Real sizeScale,
                                              unsigned int minimum, unsigned int maximum);

        /** True when the picture drawn with the view directions oldToMax and
            oldToMin (normalised, from the box corners to the camera) must be
            drawn again for newToMax and newToMin: the smaller of the two dot
            products is below redrawCosine (below 0.8 x redrawCosine for
            textures of 128 texels or less). */
        static bool needsRedraw(const Vector3& oldToMax, const Vector3& oldToMin,
                                const Vector3& newToMax, const Vector3& newToMin,
                                Real redrawCosine, unsigned int textureSize);

        /** Texture coordinates of the billboard for the region at (x, y) of
            size texels in a square texture of textureSize texels: the region
            inset by 0.001 on every side (left, top, right, bottom). */
        static FloatRect regionTexcoords(int x, int y, unsigned int size, unsigned int textureSize);

        /** The region as relative viewport dimensions: left and top are
            the region's corner, right and bottom its far corner, all divided
            by the texture size. */
        static FloatRect regionViewport(int x, int y, unsigned int size, unsigned int textureSize);

        /** Projection of the capture camera: an orthographic view of the
            sphere of radius around a point distance ahead, x and y scaled by
            1 / radius, depths distance - radius ... distance + radius mapped
            to -1 ... 1. */
        static Matrix4 captureProjection(Real radius, Real distance);

        /** The largest distance of a vertex of mesh (shared and submesh
            vertices) from centre, in the mesh's own space; 0 when no
            positions can be read. */
        static Real radiusAbout(const Mesh& mesh, const Vector3& centre);
    };
}

#endif
