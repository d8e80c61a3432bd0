#include "TranslationManipulator.h"

#include "ManipulatorMedia.h"

namespace Wren
{
    namespace
    {
        enum Axes
        {
            X = 1,
            Y = 2,
            Z = 4
        };

        /** The axes a translation mode moves along. */
        int axesOf(AxisMode mode)
        {
            switch (mode)
            {
            case AM_TRANSLATE_X: return X;
            case AM_TRANSLATE_Y: return Y;
            case AM_TRANSLATE_Z: return Z;
            case AM_TRANSLATE_XY: return X | Y;
            case AM_TRANSLATE_XZ: return X | Z;
            case AM_TRANSLATE_YZ: return Y | Z;
            default: return 0;
            }
        }
    }

    void TranslationManipulator::buildHandles()
    {
        typedef ManipulatorMedia M;
        addArrows(AM_TRANSLATE_X, AM_TRANSLATE_Y, AM_TRANSLATE_Z);
        addChildHandle("_XY", M::TwoAxisMesh, M::TwoAxisCollisionMesh, Ogre::Quaternion::IDENTITY,
                       M::RedMaterial, AM_TRANSLATE_XY);
        addChildHandle("_XZ", M::TwoAxisMesh, M::TwoAxisCollisionMesh,
                       Ogre::Quaternion(Ogre::Degree(90), Ogre::Vector3::UNIT_X), M::GreenMaterial,
                       AM_TRANSLATE_XZ);
        addChildHandle("_YZ", M::TwoAxisMesh, M::TwoAxisCollisionMesh,
                       Ogre::Quaternion(Ogre::Degree(270), Ogre::Vector3::UNIT_Y), M::BlueMaterial,
                       AM_TRANSLATE_YZ);
    }

    bool TranslationManipulator::isHighlighted(const AxisManipulatorHandle& handle) const
    {
        if (AxisManipulator::isHighlighted(handle))
            return true;
        const int axis = axesOf(handle.getMode());
        const bool arrow = axis == X || axis == Y || axis == Z;
        return arrow && mCurrentHandle && (axesOf(mCurrentHandle->getMode()) & axis);
    }
}
