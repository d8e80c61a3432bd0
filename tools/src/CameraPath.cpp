#include "CameraPath.h"

#include <algorithm>
#include <cmath>

namespace Wren
{
    const float CameraPath::SwingLength = 20.0f;

    std::vector<std::string> CameraPath::names() { return {"line", "circle", "swing"}; }

    std::optional<CameraPath> CameraPath::fromName(const std::string& name, const WorldGrid& grid,
                                                   float unitsPerSecond, float timeStep,
                                                   float height, std::string* error)
    {
        auto refuse = [error](const std::string& why) {
            if (error)
                *error = why;
            return std::nullopt;
        };
        if (!(unitsPerSecond > 0.0f) || !std::isfinite(unitsPerSecond))
            return refuse("the camera speed must be above zero");
        if (!(timeStep > 0.0f) || !std::isfinite(timeStep))
            return refuse("the time step must be above zero");
        if (grid.cellsX < 1 || grid.cellsZ < 1 || !(grid.cellSize > 0.0f))
            return refuse("the grid has no cells");

        if (name == "line")
        {
            const float inset = grid.cellSize * 0.25f;
            Ogre::Vector3 start(grid.minX() + inset, height, grid.minZ() + inset);
            Ogre::Vector3 end(grid.minX() + grid.width() - inset, height,
                              grid.minZ() + grid.depth() - inset);
            CameraPath path = line(start, end, unitsPerSecond, timeStep);
            path.mName = name;
            return path;
        }
        if (name == "circle")
        {
            Ogre::Vector3 centre(grid.minX() + grid.width() * 0.5f, height,
                                 grid.minZ() + grid.depth() * 0.5f);
            float radius = std::min(grid.width(), grid.depth()) * 0.375f;
            CameraPath path = circle(centre, radius, unitsPerSecond, timeStep);
            path.mName = name;
            return path;
        }
        if (name == "swing")
        {
            if (grid.cellsX < 2)
                return refuse("the grid has no border between columns to swing across");
            const float border = grid.minX() + float(grid.cellsX / 2) * grid.cellSize;
            const float z = grid.minZ() + (float(grid.cellsZ / 2) + 0.5f) * grid.cellSize;
            CameraPath path = line(Ogre::Vector3(border - SwingLength * 0.5f, height, z),
                                   Ogre::Vector3(border + SwingLength * 0.5f, height, z),
                                   unitsPerSecond, timeStep);
            path.mName = name;
            return path;
        }
        std::string known;
        for (const std::string& n : names())
            known += (known.empty() ? "" : ", ") + n;
        return refuse("unknown camera path \"" + name + "\" (known: " + known + ")");
    }

    CameraPath CameraPath::line(const Ogre::Vector3& start, const Ogre::Vector3& end,
                                float unitsPerSecond, float timeStep)
    {
        CameraPath path;
        path.mShape = Shape::Line;
        path.mName = "line";
        path.mStart = start;
        path.mEnd = end;
        path.mSpeed = unitsPerSecond;
        path.mTimeStep = timeStep;
        return path;
    }

    CameraPath CameraPath::circle(const Ogre::Vector3& centre, float radius, float unitsPerSecond,
                                  float timeStep)
    {
        CameraPath path;
        path.mShape = Shape::Circle;
        path.mName = "circle";
        path.mCentre = centre;
        path.mRadius = radius;
        path.mSpeed = unitsPerSecond;
        path.mTimeStep = timeStep;
        return path;
    }

    double CameraPath::distanceAt(std::uint64_t frame) const
    {
        return double(mSpeed) * double(mTimeStep) * double(frame);
    }

    double CameraPath::length() const
    {
        if (mShape == Shape::Line)
            return (mEnd - mStart).length();
        return 2.0 * M_PI * mRadius;
    }

    std::uint64_t CameraPath::framesPerPass() const
    {
        const double step = double(mSpeed) * double(mTimeStep);
        if (!(step > 0.0))
            return 0;
        return static_cast<std::uint64_t>(std::ceil(length() / step - 1e-9));
    }

    Ogre::Vector3 CameraPath::positionAt(std::uint64_t frame) const
    {
        const double travelled = distanceAt(frame);
        const double pass = length();
        if (!(pass > 0.0))
            return mShape == Shape::Line ? mStart
                                         : mCentre + Ogre::Vector3(mRadius, 0.0f, 0.0f);
        if (mShape == Shape::Line)
        {
            // There and back: the distance folds into [0, pass].
            double along = std::fmod(travelled, 2.0 * pass);
            if (along > pass)
                along = 2.0 * pass - along;
            const double t = along / pass;
            return mStart + (mEnd - mStart) * static_cast<float>(t);
        }
        const double angle = std::fmod(travelled, pass) / mRadius;
        return mCentre + Ogre::Vector3(static_cast<float>(mRadius * std::cos(angle)), 0.0f,
                                       static_cast<float>(mRadius * std::sin(angle)));
    }
}
