#include "ExtensionGameObjectFactory.h"

#include "CompoundGameObject.h"
#include "CompoundMetadata.h"
#include "CoreGameObjectManager.h"
#include "DummyGameObject.h"
#include "DummyMetadata.h"
#include "EffectSystemGameObject.h"
#include "EffectSystemMetadata.h"
#include "LightGameObject.h"
#include "LightMetadata.h"
#include "MeshGameObject.h"
#include "MeshMetadata.h"
#include "ParticleSystemGameObject.h"
#include "ParticleSystemMetadata.h"
#include "SoundGameObject.h"
#include "SoundMetadata.h"

namespace Wren
{
    namespace
    {
        /** One creatable type: its name and how its object and metadata are
            made. */
        struct ObjectType
        {
            const char* name;
            CoreGameObject* (*makeObject)(CoreGameObjectManager*, const std::string&);
            CoreMetadata* (*makeMetadata)(const std::string&, CoreGameObjectManager*);
        };

        template <class Object, class Meta>
        ObjectType typeOf(const char* name)
        {
            return {name,
                    [](CoreGameObjectManager* m, const std::string& n) -> CoreGameObject* {
                        return new Object(m, n);
                    },
                    [](const std::string& n, CoreGameObjectManager* m) -> CoreMetadata* {
                        return new Meta(n, m);
                    }};
        }

        /** The types in the order every operation tests them. */
        const std::vector<ObjectType>& objectTypes()
        {
            static const std::vector<ObjectType> types = {
                typeOf<MeshGameObject, MeshMetadata>("MeshGameObject"),
                typeOf<ParticleSystemGameObject, ParticleSystemMetadata>(
                    "ParticleSystemGameObject"),
                typeOf<LightGameObject, LightMetadata>("LightGameObject"),
                typeOf<CompoundGameObject, CompoundMetadata>("CompoundGameObject"),
                typeOf<EffectSystemGameObject, EffectSystemMetadata>("EffectSystemGameObject"),
                typeOf<DummyGameObject, DummyMetadata>("DummyGameObject"),
                typeOf<SoundGameObject, SoundMetadata>("SoundGameObject")};
            return types;
        }

        const ObjectType* findType(const std::string& name)
        {
            for (const ObjectType& type : objectTypes())
                if (name == type.name)
                    return &type;
            return nullptr;
        }
    }

    ExtensionGameObjectFactory::ExtensionGameObjectFactory() {}
    ExtensionGameObjectFactory::~ExtensionGameObjectFactory() {}

    bool ExtensionGameObjectFactory::supportsObjectType(const std::string& type) const
    {
        return findType(type) != nullptr;
    }

    GameObject* ExtensionGameObjectFactory::createGameObject(const std::string& type,
                                                             const std::string& name,
                                                             GameObjectManager* manager) const
    {
        CoreGameObjectManager* core = dynamic_cast<CoreGameObjectManager*>(manager);
        const ObjectType* found = findType(type);
        return found && core ? found->makeObject(core, name) : nullptr;
    }

    Metadata* ExtensionGameObjectFactory::createMetadata(const std::string& type,
                                                         const std::string& name,
                                                         GameObjectManager* manager) const
    {
        CoreGameObjectManager* core = dynamic_cast<CoreGameObjectManager*>(manager);
        const ObjectType* found = findType(type);
        return found && core ? found->makeMetadata(name, core) : nullptr;
    }

    bool ExtensionGameObjectFactory::initGameObjectManager(GameObjectManager*) { return true; }
}
