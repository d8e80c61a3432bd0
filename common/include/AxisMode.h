#ifndef __WrenAxisMode_H__
#define __WrenAxisMode_H__

namespace Wren
{
    /** What dragging a manipulator handle does. */
    enum AxisMode
    {
        AM_TRANSLATE_X = 0,
        AM_TRANSLATE_Y = 1,
        AM_TRANSLATE_Z = 2,
        /** The X and Y rules together. */
        AM_TRANSLATE_XY = 3,
        /** The X and Z rules together. */
        AM_TRANSLATE_XZ = 4,
        /** The Y and Z rules together. */
        AM_TRANSLATE_YZ = 5,
        AM_ROTATE_X = 6,
        AM_ROTATE_Y = 7,
        AM_ROTATE_Z = 8,
        AM_SCALE_X = 9,
        AM_SCALE_Y = 10,
        AM_SCALE_Z = 11,
        AM_SCALE_ALL = 12,
        /** The drag handle: it works through the observer's ray test, not
            through the mouse motion. */
        AM_DRAG = 13
    };
}

#endif
