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

    bool DummyGameObject::initStart(CoreMetadata* metadata, bool flag)
    {
        const bool started = PlaceHolderGameObject::initStart(metadata, flag);
        if (started)
            usePlaceHolderOfMetadata();
        return started;
    }

    bool DummyGameObject::loadStart(DataElementPtr& element, std::vector<CoreGameObject*>& created,
                                    bool rename)
    {
        const bool started = PlaceHolderGameObject::loadStart(element, created, rename);
        if (started)
            usePlaceHolderOfMetadata();
        return started;
    }

    bool DummyGameObject::loadBinaryStart(CompleteObjectDataInfo& record,
                                          std::vector<CoreGameObject*>& created, bool rename)
    {
        const bool started = PlaceHolderGameObject::loadBinaryStart(record, created, rename);
        if (started)
            usePlaceHolderOfMetadata();
        return started;
    }

    void DummyGameObject::usePlaceHolderOfMetadata()
    {
        // An empty name would ask the manager for the template "", which
        // does not exist: the standard box stays.
        if (DummyMetadata* metadata = dynamic_cast<DummyMetadata*>(getMetadata()))
            if (!metadata->getPlaceHolder().empty())
                setPlaceHolderMetaId(metadata->getPlaceHolder());
    }
}
