#ifndef __WrenManipulatorObserver_H__
#define __WrenManipulatorObserver_H__

#include "WrenCommonPrerequisites.h"

#include <OgreQuaternion.h>
#include <OgreRay.h>
#include <OgreVector.h>

namespace Wren
{
    /** What a manipulator reports to the host (its selection logic), which
        applies the changes to the objects; manipulators never change
        objects themselves. Every operation does nothing by default.

        Manipulators do not own their observer; it is never deleted through
        this interface.
    */
    class WREN_COMMON_EXPORT ManipulatorObserver
    {
    public:
        /** Move by a world-space offset. */
        virtual void handleManipulatorTranslate(const Ogre::Vector3& delta);
        /** Rotate by a relative rotation. */
        virtual void handleManipulatorRotate(const Ogre::Quaternion& delta);
        /** Scale by per-axis factors. */
        virtual void handleManipulatorScale(const Ogre::Vector3& factors);
        /** Move to an absolute world position. */
        virtual void handleManipulatorMove(const Ogre::Vector3& position);
        /** Intersect ray with the world, ignoring the selection; on a hit put
            the point in hit and return true. False by default. */
        virtual bool manipulatorRayCollide(const Ogre::Ray& ray, Ogre::Vector3& hit);
        /** A drag begins. */
        virtual void handleManipulatorStartManipulating();
        /** A drag ends. */
        virtual void handleManipulatorStopManipulating();

    protected:
        ~ManipulatorObserver() = default;
    };
}

#endif
