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
        const Ogre::Quaternion unrotated = Ogre::Quaternion::IDENTITY;
        addArrow("_Y", unrotated, M::RedMaterial, AM_TRANSLATE_Y);
        addArrow("_X", Ogre::Quaternion(Ogre::Degree(270), Ogre::Vector3::UNIT_Z), M::GreenMaterial,
                 AM_TRANSLATE_X);
        addArrow("_Z", Ogre::Quaternion(Ogre::Degree(90), Ogre::Vector3::UNIT_X), M::BlueMaterial,
                 AM_TRANSLATE_Z);
        const struct
        {
            const char* suffix;
            Ogre::Quaternion orientation;
            const char* material;
            AxisMode mode;
        } planes[] = {
            {"_XY", unrotated, M::RedMaterial, AM_TRANSLATE_XY},
            {"_XZ", Ogre::Quaternion(Ogre::Degree(90), Ogre::Vector3::UNIT_X), M::GreenMaterial,
             AM_TRANSLATE_XZ},
            {"_YZ", Ogre::Quaternion(Ogre::Degree(270), Ogre::Vector3::UNIT_Y), M::BlueMaterial,
             AM_TRANSLATE_YZ}};
        for (const auto& plane : planes)
            addHandle(plane.suffix, {{"", M::TwoAxisMesh}}, plane.orientation,
                      Ogre::Vector3::UNIT_SCALE, plane.material, M::TwoAxisCollisionMesh, plane.mode);
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
