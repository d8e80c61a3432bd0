#include "EffectSystemGameObject.h"

#include "EffectSystemMetadata.h"
#include "FxEffectManager.h"

namespace Wren
{
    float EffectSystemGameObject::FADE_DURATION = 2.0f;

    namespace
    {
        /** The logic type the world's effect objects ask for. */
        const EFFECTLOGICTYPE WorldEffectType = 8;
    }

    EffectSystemGameObject::EffectSystemGameObject(CoreGameObjectManager* manager,
                                                   const std::string& name)
        : PlaceHolderGameObject(manager, name, PLACEHOLDER_META_ID)
    {
    }

    EffectSystemGameObject::~EffectSystemGameObject() {}

    const std::string& EffectSystemGameObject::getObjectType() const
    {
        static const std::string type = "EffectSystemGameObject";
        return type;
    }

    bool EffectSystemGameObject::checkObjectType(const std::string& type) const
    {
        return type == EffectSystemGameObject::getObjectType() ||
               PlaceHolderGameObject::checkObjectType(type);
    }

    void EffectSystemGameObject::takeMetadata()
    {
        mEffectMetadata = dynamic_cast<EffectSystemMetadata*>(getMetadata());
    }

    void EffectSystemGameObject::destroy(bool destroyChildren, bool keepInPartition)
    {
        PlaceHolderGameObject::destroy(destroyChildren, keepInPartition);
        removeEffect();
    }

    void EffectSystemGameObject::changeLODLoadResources(bool immediate)
    {
        PlaceHolderGameObject::changeLODLoadResources(immediate);
        if (getLevelOfDetail() == LOD_BEYOND_HINT)
        {
            removeEffect();
            unregisterUpdate();
        }
        else if (!mEffect && mEffectMetadata)
        {
            mEffect = FxEffectManager::getSingleton().createEffect(
                mEffectMetadata->getEffectName(), WorldEffectType, false, Ogre::Vector3::ZERO,
                Ogre::Quaternion::IDENTITY, nullptr);
            if (Ogre::SceneNode* node = getPlaceNode())
                mEffect->SetParent(node);
            registerUpdate();
        }
    }

    void EffectSystemGameObject::startSimulation()
    {
        // Before the placeholder's node leaves the scene, taking the effect
        // along.
        if (mEffect && getSceneNode())
            mEffect->SetParent(getSceneNode(), true);
        PlaceHolderGameObject::startSimulation();
    }

    void EffectSystemGameObject::endSimulation()
    {
        PlaceHolderGameObject::endSimulation();
        if (mEffect && getPlaceNode())
            mEffect->SetParent(getPlaceNode(), true);
    }

    void EffectSystemGameObject::removeEffect()
    {
        if (!mEffect)
            return;
        FxEffectManager::getSingleton().removeEffect(mEffect);
        mEffect = nullptr;
    }
}
