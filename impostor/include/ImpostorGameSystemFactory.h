#ifndef __WrenImpostorGameSystemFactory_H__
#define __WrenImpostorGameSystemFactory_H__

#include "WrenImpostorPrerequisites.h"

#include "GameSystemFactory.h"

namespace Wren
{
    /** Makes ImpostorGameSystem for the type name "ImpostorGameSystem"
        (compared exactly). The host registers it with GameSystemManager,
        which then owns it; the library registers nothing by itself. */
    class WREN_IMPOSTOR_EXPORT ImpostorGameSystemFactory : public GameSystemFactory
    {
    public:
        ~ImpostorGameSystemFactory() override;

        bool supportsGameSystemType(const std::string& type) const override;
        /** A new ImpostorGameSystem for "ImpostorGameSystem", null for any
            other type. The caller owns it. */
        GameSystem* createGameSystem(const std::string& type) const override;
    };
}

#endif
