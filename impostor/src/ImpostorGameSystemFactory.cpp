#include "ImpostorGameSystemFactory.h"

#include "ImpostorGameSystem.h"

namespace Wren
{
    ImpostorGameSystemFactory::~ImpostorGameSystemFactory() {}

    bool ImpostorGameSystemFactory::supportsGameSystemType(const std::string& type) const
    {
        return type == ImpostorGameSystem::TYPE_NAME;
    }

    GameSystem* ImpostorGameSystemFactory::createGameSystem(const std::string& type) const
    {
        if (!supportsGameSystemType(type))
            return nullptr;
        return new ImpostorGameSystem();
    }
}
