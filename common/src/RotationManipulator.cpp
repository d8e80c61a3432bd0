#include "RotationManipulator.h"

#include "ManipulatorMedia.h"

#include <OgreSceneNode.h>

namespace Wren
{
    void RotationManipulator::buildHandles()
    {
        typedef ManipulatorMedia M;
        addChildHandle("_Y", M::RingMesh, M::RingCollisionMesh, Ogre::Quaternion::IDENTITY,
                       M::RedMaterial, AM_ROTATE_Y);
        addChildHandle("_X", M::RingMesh, M::RingCollisionMesh,
                       Ogre::Quaternion(Ogre::Degree(90), Ogre::Vector3::UNIT_Z), M::GreenMaterial,
                       AM_ROTATE_X);
        addChildHandle("_Z", M::RingMesh, M::RingCollisionMesh,
                       Ogre::Quaternion(Ogre::Degree(90), Ogre::Vector3::UNIT_X), M::BlueMaterial,
                       AM_ROTATE_Z);
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
