#ifndef __WrenLine3D_H__
#define __WrenLine3D_H__

#include "WrenCommonPrerequisites.h"

#include <OgreSimpleRenderable.h>

namespace Wren
{
    /** A connected line through a fixed number of points, for editor
        overlays (guides, outlines): a line strip in its own dynamic vertex
        buffer, drawn unlit white ("BaseWhiteNoLighting"), whose bounding box
        follows the points. Points are in the space of the node the line is
        attached to.

        The vertex count is fixed at construction. A line is built by adding
        that many points (addPoint, or drawLine for two) and filling the
        buffer once with drawLines; later changes of shape go through
        updateLine, which writes the buffer directly. A second drawLines (or
        drawLine) stores its points but leaves the buffer as it was.

        Too few points to fill the buffer are refused with a logged message
        and leave the buffer (and the drawn flag) as they were; an index
        past the stored points raises Ogre::InvalidParametersException.
    */
    class WREN_COMMON_EXPORT Line3D : public Ogre::SimpleRenderable
    {
    public:
        /** A line strip of vertexCount vertices and its vertex buffer.
            Throws Ogre::InvalidParametersException when vertexCount is 0. */
        explicit Line3D(unsigned int vertexCount);
        /** Frees the vertex data. */
        ~Line3D() override;

        Line3D(const Line3D&) = delete;
        Line3D& operator=(const Line3D&) = delete;

        /** Appends a point; refused with a logged message once 65535 points
            are stored. */
        void addPoint(const Ogre::Vector3& point);
        /** The stored point at index. */
        const Ogre::Vector3& getPoint(unsigned short index) const;
        unsigned short getNumPoints() const { return static_cast<unsigned short>(mPoints.size()); }
        /** Replaces the stored point at index; the buffer is not touched. */
        void updatePoint(unsigned short index, const Ogre::Vector3& point);

        /** Replaces the stored points by start and end, then drawLines. */
        void drawLine(const Ogre::Vector3& start, const Ogre::Vector3& end);
        /** Fills the buffer from the first getVertexCount() stored points
            and fits the bounding box to them, the first time only. */
        void drawLines();
        /** Writes getVertexCount() points from points straight into the
            buffer and refits the bounding box; the stored points and the
            drawn flag stay. points must hold at least that many points. */
        void updateLine(const Ogre::Vector3 points[]);
        /** As updateLine(const Ogre::Vector3[]), but refuses (logged, buffer
            unchanged) a list shorter than the vertex count. */
        void updateLine(const std::vector<Ogre::Vector3>& points);

        /** True once drawLines has filled the buffer. */
        bool isDrawn() const { return mDrawn; }
        unsigned int getVertexCount() const { return mVertexCount; }

        /** Squared distance from the camera's derived position to the
            centre of the bounding box. */
        Ogre::Real getSquaredViewDepth(const Ogre::Camera* camera) const override;
        /** The longer of the bounding box's minimum and maximum corners. */
        Ogre::Real getBoundingRadius() const override;
        const Ogre::Quaternion& getWorldOrientation() const { return Ogre::Quaternion::IDENTITY; }
        const Ogre::Vector3& getWorldPosition() const { return Ogre::Vector3::ZERO; }

    private:
        /** Writes the first vertex-count points of points to the buffer and
            fits the bounding box. */
        void fill(const Ogre::Vector3* points);
        /** Throws unless index names a stored point. */
        void checkIndex(unsigned short index, const char* source) const;

        std::vector<Ogre::Vector3> mPoints;
        bool mDrawn = false;
        unsigned int mVertexCount;
    };
}

#endif
