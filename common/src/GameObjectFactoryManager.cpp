#include "GameObjectFactoryManager.h"

#include "GameObjectFactory.h"

#include "EngineLog.h"

#include <algorithm>

template <>
Wren::GameObjectFactoryManager* Ogre::Singleton<Wren::GameObjectFactoryManager>::msSingleton =
    nullptr;

namespace Wren
{
    GameObjectFactoryManager::GameObjectFactoryManager() {}

    GameObjectFactoryManager::~GameObjectFactoryManager()
    {
        for (GameObjectFactory* factory : mFactories)
            delete factory;
    }

    bool GameObjectFactoryManager::addGameObjectFactory(GameObjectFactory* factory)
    {
        if (!factory)
        {
            EngineLog::line(
                "GameObjectFactoryManager::addGameObjectFactory: a null factory was refused");
            return false;
        }
        if (std::find(mFactories.begin(), mFactories.end(), factory) != mFactories.end())
            return false;
        mFactories.push_back(factory);
        return true;
    }

    GameObjectFactory* GameObjectFactoryManager::getGameObjectFactory(const std::string& type) const
    {
        for (GameObjectFactory* factory : mFactories)
        {
            if (factory->supportsObjectType(type))
                return factory;
        }
        return nullptr;
    }

    void GameObjectFactoryManager::enumerateGameObjectFactories(
        std::vector<GameObjectFactory*>& out)
    {
        out.insert(out.end(), mFactories.begin(), mFactories.end());
    }

    GameObjectFactoryManager& GameObjectFactoryManager::getSingleton()
    {
        assert(msSingleton);
        return *msSingleton;
    }

    GameObjectFactoryManager* GameObjectFactoryManager::getSingletonPtr() { return msSingleton; }
}
