#include "EffectSystemMetadata.h"

#include "DataElement.h"

namespace Wren
{
    EffectSystemMetadata::EffectSystemMetadata(const std::string& id,
                                               CoreGameObjectManager* manager)
        : CoreMetadata(id, manager)
    {
    }

    EffectSystemMetadata::~EffectSystemMetadata() {}

    bool EffectSystemMetadata::load(DataElementPtr& root)
    {
        if (!CoreMetadata::load(root))
            return false;
        DataElementPtr data = root->getFirstChild("EffectData");
        if (data->getIsEmpty())
            return false;
        mEffectName = data->getAttributeString("Effect", "");
        return true;
    }

    bool EffectSystemMetadata::save(DataElementPtr& root)
    {
        if (!CoreMetadata::save(root))
            return false;
        saveOwnData(root);
        return true;
    }

    void EffectSystemMetadata::saveOwnData(DataElementPtr& root) const
    {
        root->createChild("EffectData")->setAttributeString("Effect", mEffectName);
    }
}
