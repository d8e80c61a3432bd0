#include "FxEffectManager.h"

#include <OgreRoot.h>
#include <OgreStringConverter.h>

#include <algorithm>

FxEffectManager& FxEffectManager::getSingleton()
{
    static FxEffectManager manager;
    return manager;
}

FxEffectManager::~FxEffectManager()
{
    mEffects.clear();
    for (Ogre::SceneManager* sceneManager : mWatched)
        sceneManager->removeListener(&mWatcher);
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

void FxEffectManager::watch(Ogre::SceneManager* sceneManager)
{
    if (std::find(mWatched.begin(), mWatched.end(), sceneManager) != mWatched.end())
        return;
    sceneManager->addListener(&mWatcher);
    mWatched.push_back(sceneManager);
}

void FxEffectManager::SceneWatcher::sceneManagerDestroyed(Ogre::SceneManager* sceneManager)
{
    for (const std::unique_ptr<FxEffect>& effect : mManager.mEffects)
        if (effect->getSceneManager() == sceneManager)
            effect->forgetScene();
    std::vector<Ogre::SceneManager*>& watched = mManager.mWatched;
    watched.erase(std::remove(watched.begin(), watched.end(), sceneManager), watched.end());
}
