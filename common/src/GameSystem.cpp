#include "GameSystem.h"

#include "GameObjectManagerGameSystem.h"
#include "GameSystemFactory.h"

namespace Wren
{
    GameSystem::~GameSystem() {}

    void GameSystem::update(float) {}

    GameSystemFactory::~GameSystemFactory() {}

    GameObjectManagerGameSystem::~GameObjectManagerGameSystem() {}

    void GameObjectManagerGameSystem::enumerateProperties(std::vector<Property>& out)
    {
        PropertyContainer::enumerateProperties(out);
    }

    void GameObjectManagerGameSystem::setProperty(const std::string& id, const PropertyData& value)
    {
        PropertyContainer::setProperty(id, value);
    }

    bool GameObjectManagerGameSystem::validateProperty(const std::string& id,
                                                       const PropertyData& value,
                                                       std::string& errorMessage)
    {
        return PropertyContainer::validateProperty(id, value, errorMessage);
    }

    void GameObjectManagerGameSystem::init(GameObjectManager*) {}

    bool GameObjectManagerGameSystem::save(DataElementPtr) { return true; }

    bool GameObjectManagerGameSystem::load(DataElementPtr) { return true; }
}
