#ifndef __WrenCameraPath_H__
#define __WrenCameraPath_H__

#include "WorldGrid.h"

#include <OgreVector.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Wren
{
    /** Where the viewer's camera is at each frame: a fixed route over a grid
        world, travelled at a constant speed with a fixed time step, so that
        a run is the same every time.

        "line": the diagonal of the grid from a quarter cell inside its
        lowest corner (lowest x and z) to a quarter cell inside the opposite
        corner, travelled there and back again for ever.

        "circle": a circle about the grid's centre with a radius of 3/8 of
        the shorter side of the grid, starting on the +x axis and turning
        from +x towards +z.

        "swing": back and forth across the border between the two middle
        columns of the grid, SwingLength units from SwingLength/2 before it
        to SwingLength/2 beyond it, along the middle of the middle row: the
        camera changes cell every few frames, where streaming would thrash.

        The camera flies at a fixed height above the ground.
    */
    class CameraPath
    {
    public:
        enum class Shape
        {
            Line,
            Circle
        };

        /** Length of the "swing" route. */
        static const float SwingLength;

        /** The names fromName accepts, in a stable order. */
        static std::vector<std::string> names();

        /** The route called name over grid; nullopt with the reason in
            error for an unknown name, a grid without cells, or a speed or
            time step that is not above zero. */
        static std::optional<CameraPath> fromName(const std::string& name, const WorldGrid& grid,
                                                  float unitsPerSecond, float timeStep,
                                                  float height, std::string* error = nullptr);

        /** A line from start to end (there and back). */
        static CameraPath line(const Ogre::Vector3& start, const Ogre::Vector3& end,
                               float unitsPerSecond, float timeStep);
        /** A circle about centre in the horizontal plane. */
        static CameraPath circle(const Ogre::Vector3& centre, float radius, float unitsPerSecond,
                                 float timeStep);

        /** The camera's position at frame k (frame 0 is the start). */
        Ogre::Vector3 positionAt(std::uint64_t frame) const;
        /** Distance travelled by frame k. */
        double distanceAt(std::uint64_t frame) const;
        /** Length of one pass: the line one way, or the circle once round. */
        double length() const;
        /** Frames of one pass, rounded up. */
        std::uint64_t framesPerPass() const;

        Shape getShape() const { return mShape; }
        const std::string& getName() const { return mName; }
        float getSpeed() const { return mSpeed; }
        float getTimeStep() const { return mTimeStep; }

    private:
        CameraPath() = default;

        Shape mShape = Shape::Line;
        std::string mName;
        Ogre::Vector3 mStart = Ogre::Vector3::ZERO;
        Ogre::Vector3 mEnd = Ogre::Vector3::ZERO;
        Ogre::Vector3 mCentre = Ogre::Vector3::ZERO;
        float mRadius = 0.0f;
        float mSpeed = 1.0f;
        float mTimeStep = 1.0f;
    };
}

#endif
