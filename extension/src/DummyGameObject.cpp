#include "DummyGameObject.h"

#include "DummyMetadata.h"

namespace Wren
{
    DummyGameObject::DummyGameObject(CoreGameObjectManager* manager, const std::string& name)
        : PlaceHolderGameObject(manager, name, PLACEHOLDER_META_ID)
    {
    }

    DummyGameObject::~DummyGameObject() {}

    const std::string& DummyGameObject::getObjectType() const
    {
        static const std::string type = "DummyGameObject";
        return type;
    }

    bool DummyGameObject::checkObjectType(const std::string& type) const
    {
        return type == DummyGameObject::getObjectType() ||
               PlaceHolderGameObject::checkObjectType(type);
    }

    void DummyGameObject::takeMetadata()
    {
        // An empty name would ask the manager for the template "", which
        // does not exist: the standard box stays.
        if (DummyMetadata* metadata = dynamic_cast<DummyMetadata*>(getMetadata()))
            if (!metadata->getPlaceHolder().empty())
                setPlaceHolderMetaId(metadata->getPlaceHolder());
    }
}
