#include "GameObjectFactory.h"

namespace Wren
{
    GameObjectFactory::~GameObjectFactory() {}

    bool GameObjectFactory::isSupported(const std::string&, const GameObjectManager*) const
    {
        return true;
    }

    bool GameObjectFactory::initGameObjectManager(GameObjectManager*) { return true; }
}
