#include "GameSystemManager.h"

#include "GameSystem.h"
#include "GameSystemFactory.h"

#include "EngineLog.h"

#include <algorithm>

template <>
Wren::GameSystemManager* Ogre::Singleton<Wren::GameSystemManager>::msSingleton = nullptr;

namespace Wren
{
    GameSystemManager::GameSystemManager() {}

    GameSystemManager::~GameSystemManager()
    {
        // A system's destructor may still look into the registry, so each
        // entry leaves the map before its system is deleted.
        while (!mSystems.empty())
        {
            GameSystem* system = mSystems.begin()->second;
            mSystems.erase(mSystems.begin());
            delete system;
        }
        for (GameSystemFactory* factory : mFactories)
            delete factory;
    }

    bool GameSystemManager::addGameSystemFactory(GameSystemFactory* factory)
    {
        if (!factory)
        {
            EngineLog::line(
                "GameSystemManager::addGameSystemFactory: a null factory was refused");
            return false;
        }
        if (std::find(mFactories.begin(), mFactories.end(), factory) != mFactories.end())
            return false;
        mFactories.push_back(factory);
        return true;
    }

    GameSystemFactory* GameSystemManager::getGameSystemFactory(const std::string& type) const
    {
        for (GameSystemFactory* factory : mFactories)
        {
            if (factory->supportsGameSystemType(type))
                return factory;
        }
        return nullptr;
    }

    void GameSystemManager::enumerateGameSystemFactories(std::vector<GameSystemFactory*>& out) const
    {
        out.insert(out.end(), mFactories.begin(), mFactories.end());
    }

    GameSystem* GameSystemManager::createGameSystem(const std::string& type)
    {
        GameSystemFactory* factory = getGameSystemFactory(type);
        return factory ? factory->createGameSystem(type) : nullptr;
    }

    bool GameSystemManager::addGameSystem(const std::string& name, GameSystem* system)
    {
        if (!system)
        {
            EngineLog::line(
                "GameSystemManager::addGameSystem: a null system was refused for the name " + name);
            return false;
        }
        if (mSystems.count(name))
            return false;
        for (const GameSystemMap::value_type& entry : mSystems)
        {
            if (entry.second == system)
            {
                EngineLog::line(
                    "GameSystemManager::addGameSystem: the system registered as " + entry.first +
                    " was refused under a second name " + name);
                return false;
            }
        }
        mSystems[name] = system;
        return true;
    }

    bool GameSystemManager::removeGameSystem(const std::string& name)
    {
        return mSystems.erase(name) != 0;
    }

    bool GameSystemManager::removeGameSystem(GameSystem* system)
    {
        for (GameSystemMap::iterator i = mSystems.begin(); i != mSystems.end(); ++i)
        {
            if (i->second == system)
            {
                mSystems.erase(i);
                return true;
            }
        }
        return false;
    }

    GameSystem* GameSystemManager::getGameSystem(const std::string& name) const
    {
        GameSystemMap::const_iterator i = mSystems.find(name);
        return i == mSystems.end() ? nullptr : i->second;
    }

    void GameSystemManager::enumerateGameSystems(std::vector<GameSystem*>& out)
    {
        for (const GameSystemMap::value_type& entry : mSystems)
            out.push_back(entry.second);
    }

    void GameSystemManager::update(float elapsedSeconds)
    {
        // A system may add or remove systems while it updates; the names are
        // taken first and each one is looked up again before its turn, so a
        // removed system is never called and the walk never runs on a
        // changed map.
        std::vector<std::string> names;
        names.reserve(mSystems.size());
        for (const GameSystemMap::value_type& entry : mSystems)
            names.push_back(entry.first);
        for (const std::string& name : names)
        {
            GameSystemMap::iterator i = mSystems.find(name);
            if (i != mSystems.end())
                i->second->update(elapsedSeconds);
        }
    }

    GameSystemManager& GameSystemManager::getSingleton()
    {
        assert(msSingleton);
        return *msSingleton;
    }

    GameSystemManager* GameSystemManager::getSingletonPtr() { return msSingleton; }
}
