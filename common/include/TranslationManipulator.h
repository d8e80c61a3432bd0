#ifndef __WrenTranslationManipulator_H__
#define __WrenTranslationManipulator_H__

#include "AxisManipulator.h"

namespace Wren
{
    /** Moves the selection along an axis or in a plane: an arrow per axis
        (Y red, X green, Z blue, children "_Y", "_X", "_Z" with the entities
        "_Line" and "_Cone") and a square per plane ("_XY" red, "_XZ"
        green, "_YZ" blue). Dragging reports translations.

        An axis arrow is highlighted with every handle that moves along its
        axis: the X arrow while X, XY or XZ is current, and so on.
    */
    class WREN_COMMON_EXPORT TranslationManipulator : public AxisManipulator
    {
    protected:
        void buildHandles() override;
        bool isHighlighted(const AxisManipulatorHandle& handle) const override;
    };
}

#endif
