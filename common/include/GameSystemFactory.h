#ifndef __WrenGameSystemFactory_H__
#define __WrenGameSystemFactory_H__

#include "WrenCommonPrerequisites.h"

namespace Wren
{
    /** Maker of game systems for one or more type names. Allocated with new
        and handed to GameSystemManager, which deletes it at its own end. */
    class WREN_COMMON_EXPORT GameSystemFactory
    {
    public:
        virtual ~GameSystemFactory();

        /** True when this factory makes systems of that type name. */
        virtual bool supportsGameSystemType(const std::string& type) const = 0;

        /** A new system of that type, or null. The caller owns it until it
            registers it with GameSystemManager::addGameSystem. */
        virtual GameSystem* createGameSystem(const std::string& type) const = 0;
    };
}

#endif
