#include "ManipulatorObserver.h"

namespace Wren
{
    void ManipulatorObserver::handleManipulatorTranslate(const Ogre::Vector3&) {}

    void ManipulatorObserver::handleManipulatorRotate(const Ogre::Quaternion&) {}

    void ManipulatorObserver::handleManipulatorScale(const Ogre::Vector3&) {}

    void ManipulatorObserver::handleManipulatorMove(const Ogre::Vector3&) {}

    bool ManipulatorObserver::manipulatorRayCollide(const Ogre::Ray&, Ogre::Vector3&)
    {
        return false;
    }

    void ManipulatorObserver::handleManipulatorStartManipulating() {}

    void ManipulatorObserver::handleManipulatorStopManipulating() {}
}
