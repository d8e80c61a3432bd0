#include "ScaleManipulator.h"

#include "ManipulatorMedia.h"

namespace Wren
{
    void ScaleManipulator::buildHandles()
    {
        typedef ManipulatorMedia M;
        addArrows(AM_SCALE_X, AM_SCALE_Y, AM_SCALE_Z);
        addHandle("_ALL", {{"_Line", M::DragMesh}}, Ogre::Quaternion::IDENTITY,
                  Ogre::Vector3::UNIT_SCALE, M::BlueMaterial, M::DragMesh, AM_SCALE_ALL);
    }
}
