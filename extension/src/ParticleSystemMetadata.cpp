#include "ParticleSystemMetadata.h"

#include "DataElement.h"

namespace Wren
{
    ParticleSystemMetadata::ParticleSystemMetadata(const std::string& id,
                                                   CoreGameObjectManager* manager)
        : CoreMetadata(id, manager)
    {
    }

    ParticleSystemMetadata::~ParticleSystemMetadata() {}

    bool ParticleSystemMetadata::load(DataElementPtr& root)
    {
        if (!CoreMetadata::load(root))
            return false;
        DataElementPtr data = root->getFirstChild("ParticleSystemData");
        if (data->getIsEmpty())
            return false;
        mHigh = data->getAttributeString("HighLODParticleSystem", "");
        mMedium = data->getAttributeString("MediumLODParticleSystem", "");
        mLow = data->getAttributeString("LowLODParticleSystem", "");
        const std::string all = data->getAttributeString("ParticleSystem", "");
        if (!all.empty())
            mHigh = mMedium = mLow = all;
        return true;
    }

    bool ParticleSystemMetadata::save(DataElementPtr& root)
    {
        if (!CoreMetadata::save(root))
            return false;
        saveOwnData(root);
        return true;
    }

    void ParticleSystemMetadata::saveOwnData(DataElementPtr& root) const
    {
        DataElementPtr data = root->createChild("ParticleSystemData");
        data->setAttributeString("HighLODParticleSystem", mHigh);
        data->setAttributeString("MediumLODParticleSystem", mMedium);
        data->setAttributeString("LowLODParticleSystem", mLow);
    }

    const std::string& ParticleSystemMetadata::getTemplateOf(LevelOfDetail level) const
    {
        static const std::string none;
        switch (level)
        {
        case LOD_HIGH: return mHigh;
        case LOD_LOW: return mLow;
        default: return none;
        }
    }

    void ParticleSystemMetadata::setTemplates(const std::string& high, const std::string& medium,
                                              const std::string& low)
    {
        mHigh = high;
        mMedium = medium;
        mLow = low;
    }
}
