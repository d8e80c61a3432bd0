#include "DragManipulator.h"

#include "ManipulatorMedia.h"
#include "ManipulatorObserver.h"

namespace Wren
{
    void DragManipulator::buildHandles()
    {
        addHandle("", {{"", ManipulatorMedia::DragMesh}}, Ogre::Quaternion::IDENTITY,
                  Ogre::Vector3::UNIT_SCALE, ManipulatorMedia::BlueMaterial,
                  ManipulatorMedia::DragCollisionMesh, AM_DRAG);
    }

    bool DragManipulator::mouseMoved(const Ogre::Vector2& pos)
    {
        const bool picked = AxisManipulator::mouseMoved(pos);
        Ogre::Vector3 hit;
        if (mIsActive && mAxesValid && mCurrentHandle && mIsManipulating && mObserver &&
            mObserver->manipulatorRayCollide(mouseRay(pos), hit))
            mObserver->handleManipulatorMove(hit);
        return picked;
    }
}
