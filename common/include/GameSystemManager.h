#ifndef __WrenGameSystemManager_H__
#define __WrenGameSystemManager_H__

#include "WrenCommonPrerequisites.h"

#include <OgreSingleton.h>

#include <map>

namespace Wren
{
    /** The process-wide registry of game system factories and of the game
        systems that run, each under a unique name.

        The host creates the one instance early, registers factories
        (allocated with new) and destroys it at the very end. The destructor
        first deletes every registered system, then every factory. A system
        taken out with removeGameSystem is the remover's to delete.

        The usual pattern of a user: getGameSystem(name); when absent,
        createGameSystem(type) and addGameSystem(name, system) with the type
        name as the registry name; then cast to the concrete class.

        Systems are kept and visited in ascending byte-wise order of their
        names (capital letters before small ones), not in the order they were
        added. Nothing here throws: refusals are reported by a false result
        or a null pointer.
    */
    class WREN_COMMON_EXPORT GameSystemManager : public Ogre::Singleton<GameSystemManager>
    {
    public:
        typedef std::map<std::string, GameSystem*> GameSystemMap;

        GameSystemManager();
        ~GameSystemManager();

        GameSystemManager(const GameSystemManager&) = delete;
        GameSystemManager& operator=(const GameSystemManager&) = delete;

        /** Appends factory and takes ownership of it. False when the pointer
            is null or already registered. */
        bool addGameSystemFactory(GameSystemFactory* factory);

        /** The first factory, in registration order, that supports type;
            null when none does. */
        GameSystemFactory* getGameSystemFactory(const std::string& type) const;
        /** Appends every registered factory to out in registration order;
            out is not cleared first. */
        void enumerateGameSystemFactories(std::vector<GameSystemFactory*>& out) const;

        /** A new system of that type made by the first factory that supports
            it, or null. The system is not registered: the caller adds it with
            addGameSystem (or deletes it). */
        GameSystem* createGameSystem(const std::string& type);

        /** Registers system under name and takes ownership of it. False, with
            nothing changed, when the name is taken, when system is null, or
            when the same system is already registered under another name (it
            would otherwise be deleted twice). */
        bool addGameSystem(const std::string& name, GameSystem* system);

        /** Unregisters the system of that name without deleting it; false
            when there is none. */
        bool removeGameSystem(const std::string& name);

        /** Unregisters the first entry, in name order, that holds system,
            without deleting it; false when there is none. */
        bool removeGameSystem(GameSystem* system);

        /** The system registered under name, or null. */
        GameSystem* getGameSystem(const std::string& name) const;

        /** Appends every registered system in ascending name order; out is
            not cleared first. */
        void enumerateGameSystems(std::vector<GameSystem*>& out);

        /** Calls update(elapsedSeconds) on every registered system in
            ascending name order. */
        void update(float elapsedSeconds);

        static GameSystemManager& getSingleton();
        static GameSystemManager* getSingletonPtr();

    protected:
        std::vector<GameSystemFactory*> mFactories;
        GameSystemMap mSystems;
    };
}

#endif
