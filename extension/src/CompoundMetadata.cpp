#include "CompoundMetadata.h"

#include "DataElement.h"

namespace Wren
{
    CompoundMetadata::CompoundMetadata(const std::string& id, CoreGameObjectManager* manager)
        : CoreMetadata(id, manager)
    {
    }

    CompoundMetadata::~CompoundMetadata() {}

    bool CompoundMetadata::load(DataElementPtr& root)
    {
        if (!CoreMetadata::load(root))
            return false;
        DataElementPtr data = root->getFirstChild("CompoundData");
        if (data->getIsEmpty())
            return false;
        mObjectsFileName = data->getAttributeString("ObjectsFileName", mObjectsFileName);
        return true;
    }

    bool CompoundMetadata::save(DataElementPtr& root)
    {
        if (!CoreMetadata::save(root))
            return false;
        root->createChild("CompoundData")->setAttributeString("ObjectsFileName", mObjectsFileName);
        return true;
    }
}
