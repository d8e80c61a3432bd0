#ifndef __WrenCollisionGameSystemFactory_H__
#define __WrenCollisionGameSystemFactory_H__

#include "WrenHostPrerequisites.h"

#include "GameSystemFactory.h"

namespace Wren
{
    /** Makes the host's MeshCollisionGameSystem for the type name
        "CollisionGameSystem", under which the object manager and the
        manipulators look the collision system up. Register one with
        GameSystemManager at start-up. */
    class WREN_HOST_EXPORT CollisionGameSystemFactory : public GameSystemFactory
    {
    public:
        ~CollisionGameSystemFactory() override;

        /** True for "CollisionGameSystem" only. */
        bool supportsGameSystemType(const std::string& type) const override;
        /** A new MeshCollisionGameSystem for "CollisionGameSystem", else null. */
        GameSystem* createGameSystem(const std::string& type) const override;
    };
}

#endif
