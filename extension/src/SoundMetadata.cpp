#include "SoundMetadata.h"

#include "DataElement.h"

namespace Wren
{
    SoundMetadata::SoundMetadata(const std::string& id, CoreGameObjectManager* manager)
        : CoreMetadata(id, manager)
    {
    }

    SoundMetadata::~SoundMetadata() {}

    bool SoundMetadata::load(DataElementPtr& root)
    {
        if (!CoreMetadata::load(root))
            return false;
        DataElementPtr data = root->getFirstChild("SoundMetaData");
        if (data->getIsEmpty())
            return false;
        mValues.soundFileName = data->getAttributeString("SoundFileName", "");
        mValues.loop = data->getAttributeBool("Loop", false);
        mValues.intervalTime = data->getAttributeFloat("IntervalTime", 0.0f);
        mValues.beginTime = data->getAttributeFloat("BeginTime", 0.0f);
        mValues.endTime = data->getAttributeFloat("EndTime", 0.0f);
        return true;
    }

    bool SoundMetadata::save(DataElementPtr& root)
    {
        if (!CoreMetadata::save(root))
            return false;
        saveOwnData(root);
        return true;
    }

    void SoundMetadata::saveOwnData(DataElementPtr& root) const
    {
        DataElementPtr data = root->createChild("SoundMetaData");
        data->setAttributeString("SoundFileName", mValues.soundFileName);
        data->setAttributeBool("Loop", mValues.loop);
        data->setAttributeFloat("IntervalTime", mValues.intervalTime);
        data->setAttributeFloat("BeginTime", mValues.beginTime);
        data->setAttributeFloat("EndTime", mValues.endTime);
    }
}
