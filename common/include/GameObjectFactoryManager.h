#ifndef __WrenGameObjectFactoryManager_H__
#define __WrenGameObjectFactoryManager_H__

#include "WrenCommonPrerequisites.h"

#include <OgreSingleton.h>

namespace Wren
{
    /** The process-wide registry of game object factories.

        The host creates the one instance before any object manager,
        registers its factories (allocated with new) and destroys it after
        the last object manager is gone. The registry owns what it holds: its
        destructor deletes every registered factory. There is no removal.

        Lookup is first match in registration order, so when two factories
        claim the same type the one registered first wins. Factories are
        compared by pointer identity.
    */
    class WREN_COMMON_EXPORT GameObjectFactoryManager
        : public Ogre::Singleton<GameObjectFactoryManager>
    {
    public:
        GameObjectFactoryManager();
        ~GameObjectFactoryManager();

        GameObjectFactoryManager(const GameObjectFactoryManager&) = delete;
        GameObjectFactoryManager& operator=(const GameObjectFactoryManager&) = delete;

        /** Appends factory to the registry, which takes ownership of it.
            Returns false and changes nothing when that very pointer is
            already registered, or when it is null. */
        bool addGameObjectFactory(GameObjectFactory* factory);

        /** The first factory, in registration order, whose
            supportsObjectType(type) is true; null when none is. */
        GameObjectFactory* getGameObjectFactory(const std::string& type) const;

        /** Appends every registered factory to out in registration order;
            out is not cleared first. */
        void enumerateGameObjectFactories(std::vector<GameObjectFactory*>& out);

        static GameObjectFactoryManager& getSingleton();
        static GameObjectFactoryManager* getSingletonPtr();

    protected:
        std::vector<GameObjectFactory*> mFactories;
    };
}

#endif
