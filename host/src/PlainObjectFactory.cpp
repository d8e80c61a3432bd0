#include "PlainObjectFactory.h"

#include "CoreGameObject.h"
#include "CoreGameObjectManager.h"
#include "CoreMetadata.h"

namespace Wren
{
    const char* const PlainObjectFactory::TypeName = "CoreGameObject";

    bool PlainObjectFactory::supportsObjectType(const std::string& type) const
    {
        return type == TypeName;
    }

    GameObject* PlainObjectFactory::createGameObject(const std::string& type,
                                                     const std::string& name,
                                                     GameObjectManager* manager) const
    {
        CoreGameObjectManager* core = dynamic_cast<CoreGameObjectManager*>(manager);
        if (!core || !supportsObjectType(type))
            return nullptr;
        return new CoreGameObject(core, name);
    }

    Metadata* PlainObjectFactory::createMetadata(const std::string& type, const std::string& name,
                                                 GameObjectManager* manager) const
    {
        CoreGameObjectManager* core = dynamic_cast<CoreGameObjectManager*>(manager);
        if (!core || !supportsObjectType(type))
            return nullptr;
        return new CoreMetadata(name, core);
    }
}
