#ifndef __WrenScaleManipulator_H__
#define __WrenScaleManipulator_H__

#include "AxisManipulator.h"

namespace Wren
{
    /** Scales the selection along an axis or as a whole: an arrow per axis
        as the translation manipulator has them (children "_Y", "_X", "_Z")
        and a box in the middle ("_ALL", entity "_ALL_Line", blue). Dragging
        reports scale factors from the mouse motion.
    */
    class WREN_COMMON_EXPORT ScaleManipulator : public AxisManipulator
    {
    protected:
        void buildHandles() override;
    };
}

#endif
