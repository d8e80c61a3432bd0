#include "AxisManipulatorHandle.h"

namespace Wren
{
    AxisManipulatorHandle::AxisManipulatorHandle(AxisManipulator* manipulator, AxisMode mode,
                                                 const CollisionShapePtr& collisionShape,
                                                 const std::string& material)
        : mManipulator(manipulator),
          mMode(mode),
          mCollisionShape(collisionShape),
          mMaterial(material),
          mShownMaterial(material)
    {
    }

    AxisManipulatorHandle::~AxisManipulatorHandle() {}
}
