#include "FxEffectManager.h"

#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreStringConverter.h>

#include <algorithm>

FxEffectManager& FxEffectManager::getSingleton()
{
    static FxEffectManager manager;
    return manager;
}

FxEffect* FxEffectManager::createEffect(const std::string& name, EFFECTLOGICTYPE type, bool,
                                        const Ogre::Vector3& position,
                                        const Ogre::Quaternion& orientation,
                                        Ogre::SceneManager* sceneManager)
{
    if (!sceneManager)
        sceneManager = mSceneManager;
    Ogre::Root* root = Ogre::Root::getSingletonPtr();
    if (!sceneManager && root && !root->getSceneManagers().empty())
        sceneManager = root->getSceneManagers().begin()->second;
    const std::string instance = "FxEffect/" + Ogre::StringConverter::toString(++mNextId);
    mEffects.emplace_back(new FxEffect(name, instance, type, sceneManager));
    FxEffect* effect = mEffects.back().get();
    effect->SetWorldPos(position);
    effect->SetWorldOrientation(orientation);
    return effect;
}

void FxEffectManager::removeEffect(FxEffect* effect)
{
    auto it = std::find_if(mEffects.begin(), mEffects.end(),
                           [effect](const std::unique_ptr<FxEffect>& e) { return e.get() == effect; });
    if (it != mEffects.end())
        mEffects.erase(it);
}

void FxEffectManager::removeAllEffects() { mEffects.clear(); }
