#include "DummyMetadata.h"

#include "DataElement.h"

namespace Wren
{
    DummyMetadata::DummyMetadata(const std::string& id, CoreGameObjectManager* manager)
        : CoreMetadata(id, manager)
    {
    }

    DummyMetadata::~DummyMetadata() {}

    bool DummyMetadata::load(DataElementPtr& root)
    {
        if (!CoreMetadata::load(root))
            return false;
        DataElementPtr data = root->getFirstChild("DummyMetaData");
        if (data->getIsEmpty())
            return false;
        mPlaceHolder = data->getAttributeString("PlaceHolder", "");
        return true;
    }

    bool DummyMetadata::save(DataElementPtr& root)
    {
        if (!CoreMetadata::save(root))
            return false;
        root->createChild("DummyMetaData")->setAttributeString("PlaceHolder", mPlaceHolder);
        return true;
    }
}
