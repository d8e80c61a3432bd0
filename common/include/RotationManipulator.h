#ifndef __WrenRotationManipulator_H__
#define __WrenRotationManipulator_H__

#include "AxisManipulator.h"

namespace Wren
{
    /** Turns the selection about an axis: a ring per axis (children "_Y"
        red, "_X" green, "_Z" blue). Dragging reports rotations.

        A ring's bounding box covers its whole disc, so the ray query's pick
        is refined with the collision system: the camera ray is tested
        against the rings' collision shapes, X, Y, Z in turn, each placed by
        its node's world transform, and the first ring hit becomes the
        current handle (none when the ray passes through the rings' holes).
        Without a collision system, or without shapes, the ray query's pick
        stands.
    */
    class WREN_COMMON_EXPORT RotationManipulator : public AxisManipulator
    {
    public:
        /** Picks as described above, or drags; always true. */
        bool mouseMoved(const Ogre::Vector2& pos) override;

    protected:
        void buildHandles() override;
    };
}

#endif
