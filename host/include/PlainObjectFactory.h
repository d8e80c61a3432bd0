#ifndef __WrenPlainObjectFactory_H__
#define __WrenPlainObjectFactory_H__

#include "WrenHostPrerequisites.h"

#include "GameObjectFactory.h"

namespace Wren
{
    /** Makes plain CoreGameObjects and CoreMetadata for the type
        "CoreGameObject": objects that have a place, a template and a level
        of detail but nothing to draw. Worlds of such objects (the sample
        worlds) run with no other factory. Other types are not served.
    */
    class WREN_HOST_EXPORT PlainObjectFactory : public GameObjectFactory
    {
    public:
        /** The type this factory serves. */
        static const char* const TypeName;

        bool supportsObjectType(const std::string& type) const override;
        /** A new CoreGameObject, or null for another type or a manager that
            is not a CoreGameObjectManager. */
        GameObject* createGameObject(const std::string& type, const std::string& name,
                                     GameObjectManager* manager) const override;
        /** A new CoreMetadata, or null as createGameObject. */
        Metadata* createMetadata(const std::string& type, const std::string& name,
                                 GameObjectManager* manager) const override;
    };
}

#endif
