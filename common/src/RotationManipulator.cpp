#include "RotationManipulator.h"

#include "ManipulatorMedia.h"

#include <OgreSceneNode.h>

namespace Wren
{
    void RotationManipulator::buildHandles()
    {
        typedef ManipulatorMedia M;
        const struct
        {
            const char* suffix;
            Ogre::Quaternion orientation;
            const char* material;
            AxisMode mode;
        } rings[] = {
            {"_Y", Ogre::Quaternion::IDENTITY, M::RedMaterial, AM_ROTATE_Y},
            {"_X", Ogre::Quaternion(Ogre::Degree(90), Ogre::Vector3::UNIT_Z), M::GreenMaterial,
             AM_ROTATE_X},
            {"_Z", Ogre::Quaternion(Ogre::Degree(90), Ogre::Vector3::UNIT_X), M::BlueMaterial,
             AM_ROTATE_Z}};
        for (const auto& ring : rings)
            addHandle(ring.suffix, {{"", M::RingMesh}}, ring.orientation, Ogre::Vector3::UNIT_SCALE,
                      ring.material, M::RingCollisionMesh, ring.mode);
    }

    bool RotationManipulator::mouseMoved(const Ogre::Vector2& pos)
    {
        if (!AxisManipulator::mouseMoved(pos) || !mCollisionSystem)
            return true;
        AxisManipulatorHandle* const rings[] = {getHandle(AM_ROTATE_X), getHandle(AM_ROTATE_Y),
                                                getHandle(AM_ROTATE_Z)};
        for (AxisManipulatorHandle* ring : rings)
            if (!ring->getCollisionShape())
                return true;

        mCurrentHandle = nullptr;
        CollisionShapeNeedUpdate(mNode->getPosition());
        const Ogre::Ray ray = mouseRay(pos);
        for (AxisManipulatorHandle* ring : rings)
        {
            const Ogre::SceneNode& node = *ring->getNode();
            Ogre::Matrix4 placed;
            placed.makeTransform(node._getDerivedPosition(), node._getDerivedScale(),
                                 node._getDerivedOrientation());
            CollisionInfo hit;
            if (mCollisionSystem->collideRay(ring->getCollisionShape(), placed, ray, hit))
            {
                mCurrentHandle = ring;
                break;
            }
        }
        return true;
    }
}
