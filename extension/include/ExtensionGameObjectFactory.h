#ifndef __WrenExtensionGameObjectFactory_H__
#define __WrenExtensionGameObjectFactory_H__

#include "WrenExtensionPrerequisites.h"

#include "GameObjectFactory.h"

namespace Wren
{
    /** The factory of the object types of worldextension, by exact
        (case-sensitive) type name, tested in this order, each name making
        the object and metadata classes of its own name ("MeshGameObject":
        MeshGameObject and MeshMetadata): "MeshGameObject",
        "ParticleSystemGameObject", "LightGameObject", "CompoundGameObject",
        "EffectSystemGameObject", "DummyGameObject", "SoundGameObject". Any
        other name, "PlaceHolderGameObject" among them (a base, never made),
        yields null from both create operations, without a message. The host registers it with
        GameObjectFactoryManager, which then owns it. */
    class WREN_EXTENSION_EXPORT ExtensionGameObjectFactory : public GameObjectFactory
    {
    public:
        ExtensionGameObjectFactory();
        ~ExtensionGameObjectFactory() override;

        bool supportsObjectType(const std::string& type) const override;
        /** A bare object for the manager (a CoreGameObjectManager); null for
            an unknown type or a manager of another kind. */
        GameObject* createGameObject(const std::string& type, const std::string& name,
                                     GameObjectManager* manager) const override;
        Metadata* createMetadata(const std::string& type, const std::string& name,
                                 GameObjectManager* manager) const override;
        /** Registers nothing; true. */
        bool initGameObjectManager(GameObjectManager* manager) override;
    };
}

#endif
