#include "NullCollisionSystem.h"

namespace Wren
{
namespace Test
{
    CollisionShapePtr NullCollisionSystem::createCollisionShape(const std::string&, const Ogre::Vector3&)
    {
        return CollisionShapePtr();
    }

    CollisionShapePtr NullCollisionSystem::createCollisionShapeFromMesh(const Ogre::MeshPtr&,
                                                                        const Ogre::Vector3&)
    {
        return CollisionShapePtr();
    }

    Ogre::AxisAlignedBox NullCollisionSystem::getCollisionShapeBounds(const CollisionShapePtr&) const
    {
        return Ogre::AxisAlignedBox();
    }

    bool NullCollisionSystem::collideRay(const CollisionShapePtr&, const Ogre::Matrix4&, const Ogre::Ray&,
                                         CollisionInfo&) const
    {
        return false;
    }

    bool NullCollisionSystem::collideShapes(const CollisionShapePtr&, const Ogre::Matrix4&,
                                            const CollisionShapePtr&, const Ogre::Matrix4&,
                                            std::vector<CollisionInfo>&) const
    {
        return false;
    }

    bool NullCollisionSystem::collideBox(const CollisionShapePtr&, const Ogre::Matrix4&,
                                         const Ogre::AxisAlignedBox&, std::vector<CollisionInfo>&) const
    {
        return false;
    }

    bool NullCollisionSystemFactory::supportsGameSystemType(const std::string& type) const
    {
        return type == "CollisionGameSystem";
    }

    GameSystem* NullCollisionSystemFactory::createGameSystem(const std::string& type) const
    {
        return supportsGameSystemType(type) ? new NullCollisionSystem : nullptr;
    }
}
}
