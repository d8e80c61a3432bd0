#ifndef __WrenDragManipulator_H__
#define __WrenDragManipulator_H__

#include "AxisManipulator.h"

namespace Wren
{
    /** Drags the selection over the surface under the mouse: one blue box
        on the root node, its entity named after the manipulator. While it
        is dragged, each mouse move asks the observer where the camera ray
        meets the world (manipulatorRayCollide) and, on a hit, reports that
        point (handleManipulatorMove).
    */
    class WREN_COMMON_EXPORT DragManipulator : public AxisManipulator
    {
    public:
        bool mouseMoved(const Ogre::Vector2& pos) override;

    protected:
        void buildHandles() override;
    };
}

#endif
