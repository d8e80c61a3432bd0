#include "CollisionGameSystemFactory.h"

#include "MeshCollisionGameSystem.h"

namespace Wren
{
    CollisionGameSystemFactory::~CollisionGameSystemFactory() {}

    bool CollisionGameSystemFactory::supportsGameSystemType(const std::string& type) const
    {
        return type == "CollisionGameSystem";
    }

    GameSystem* CollisionGameSystemFactory::createGameSystem(const std::string& type) const
    {
        return supportsGameSystemType(type) ? new MeshCollisionGameSystem : nullptr;
    }
}
