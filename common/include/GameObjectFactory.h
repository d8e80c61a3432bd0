#ifndef __WrenGameObjectFactory_H__
#define __WrenGameObjectFactory_H__

#include "WrenCommonPrerequisites.h"

namespace Wren
{
    /** Maker of game objects and their metadata templates for one or more
        object type names.

        The object manager never names concrete object classes: it asks
        GameObjectFactoryManager for the factory that supports a type name and
        lets that factory make the object or the metadata. A factory is
        allocated with new and handed to the registry, which deletes it when
        the registry is destroyed.
    */
    class WREN_COMMON_EXPORT GameObjectFactory
    {
    public:
        virtual ~GameObjectFactory();

        /** True when this factory makes objects of that type name. */
        virtual bool supportsObjectType(const std::string& type) const = 0;

        /** A new, uninitialised object of that type and name for that
            manager, or null. The caller owns the result. */
        virtual GameObject* createGameObject(const std::string& type, const std::string& name,
                                             GameObjectManager* manager) const = 0;

        /** A new, unloaded metadata template of that type whose ID is name,
            or null. The caller owns the result. */
        virtual Metadata* createMetadata(const std::string& type, const std::string& name,
                                         GameObjectManager* manager) const = 0;

        /** Whether this factory serves that type for that manager; lets a
            factory refuse a type for a particular manager. The base accepts
            every type. */
        virtual bool isSupported(const std::string& type, const GameObjectManager* manager) const;

        /** Called once by an object manager during its initialisation so the
            factory can prepare per-manager state. The base does nothing and
            returns true. */
        virtual bool initGameObjectManager(GameObjectManager* manager);
    };
}

#endif
