#include "ExtensionGameObjectFactory.h"

#include "CoreGameObjectManager.h"
#include "MeshGameObject.h"
#include "MeshMetadata.h"

namespace Wren
{
    ExtensionGameObjectFactory::ExtensionGameObjectFactory() {}
    ExtensionGameObjectFactory::~ExtensionGameObjectFactory() {}

    bool ExtensionGameObjectFactory::supportsObjectType(const std::string& type) const
    {
        return type == "MeshGameObject";
    }

    GameObject* ExtensionGameObjectFactory::createGameObject(const std::string& type,
                                                             const std::string& name,
                                                             GameObjectManager* manager) const
    {
        CoreGameObjectManager* core = dynamic_cast<CoreGameObjectManager*>(manager);
        if (type == "MeshGameObject" && core)
            return new MeshGameObject(core, name);
        return nullptr;
    }

    Metadata* ExtensionGameObjectFactory::createMetadata(const std::string& type,
                                                         const std::string& name,
                                                         GameObjectManager* manager) const
    {
        CoreGameObjectManager* core = dynamic_cast<CoreGameObjectManager*>(manager);
        if (type == "MeshGameObject" && core)
            return new MeshMetadata(name, core);
        return nullptr;
    }

    bool ExtensionGameObjectFactory::initGameObjectManager(GameObjectManager*) { return true; }
}
