#ifndef __WrenNullCollisionSystem_H__
#define __WrenNullCollisionSystem_H__

#include "CollisionGameSystem.h"
#include "GameSystemFactory.h"

namespace Wren
{
namespace Test
{
    /** A collision system without geometry: it makes no shapes, its
        shapes have empty bounds and nothing ever collides. For tests that
        need a world's collision system but no collisions (a world needs
        one to start), and as the base of tests' own systems that give
        meaning to some of its calls. */
    class NullCollisionSystem : public CollisionGameSystem
    {
    public:
        /** Null. */
        CollisionShapePtr createCollisionShape(const std::string& meshName,
                                               const Ogre::Vector3& scale) override;
        /** Null. */
        CollisionShapePtr createCollisionShapeFromMesh(const Ogre::MeshPtr& mesh,
                                                       const Ogre::Vector3& scale) override;
        /** The null box. */
        Ogre::AxisAlignedBox getCollisionShapeBounds(const CollisionShapePtr& shape) const override;
        /** False. */
        bool collideRay(const CollisionShapePtr& shape, const Ogre::Matrix4& transform,
                        const Ogre::Ray& ray, CollisionInfo& info) const override;
        /** False. */
        bool collideShapes(const CollisionShapePtr& a, const Ogre::Matrix4& transformA,
                           const CollisionShapePtr& b, const Ogre::Matrix4& transformB,
                           std::vector<CollisionInfo>& infos) const override;
        /** False. */
        bool collideBox(const CollisionShapePtr& shape, const Ogre::Matrix4& transform,
                        const Ogre::AxisAlignedBox& box, std::vector<CollisionInfo>& infos) const override;
    };

    /** Makes a NullCollisionSystem for the type "CollisionGameSystem". */
    class NullCollisionSystemFactory : public GameSystemFactory
    {
    public:
        bool supportsGameSystemType(const std::string& type) const override;
        GameSystem* createGameSystem(const std::string& type) const override;
    };
}
}

#endif
