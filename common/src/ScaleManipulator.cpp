#include "ScaleManipulator.h"

#include "ManipulatorMedia.h"

namespace Wren
{
    void ScaleManipulator::buildHandles()
    {
        typedef ManipulatorMedia M;
        addArrow("_Y", Ogre::Quaternion::IDENTITY, M::RedMaterial, AM_SCALE_Y);
        addArrow("_X", Ogre::Quaternion(Ogre::Degree(270), Ogre::Vector3::UNIT_Z), M::GreenMaterial,
                 AM_SCALE_X);
        addArrow("_Z", Ogre::Quaternion(Ogre::Degree(90), Ogre::Vector3::UNIT_X), M::BlueMaterial,
                 AM_SCALE_Z);
        addHandle("_ALL", {{"_Line", M::DragMesh}}, Ogre::Quaternion::IDENTITY,
                  Ogre::Vector3::UNIT_SCALE, M::BlueMaterial, M::DragMesh, AM_SCALE_ALL);
    }
}
