#ifndef __WrenFxEffectManager_H__
#define __WrenFxEffectManager_H__

#include "FxEffect.h"

#include <OgreSceneManager.h>

#include <memory>
#include <vector>

/** Maker and owner of effect instances.

    getSingleton() is always available. Effects are placed in the scene
    manager given to createEffect or, when that is null, in the manager's
    default scene manager (setSceneManager), or else in the first scene
    manager of the engine; with none at all the effect has no node until it
    gets a parent. An effect whose scene manager is destroyed loses its node
    and stays valid until it is removed. Main thread only. */
class WREN_PLATFORM_EXPORT FxEffectManager
{
public:
    static FxEffectManager& getSingleton();
    static FxEffectManager* getSingletonPtr() { return &getSingleton(); }

    /** A new effect owned by the manager; never null. Callers of the world
        framework pass type 8, false, zero, identity and null. */
    FxEffect* createEffect(const std::string& name, EFFECTLOGICTYPE type, bool delayed,
                           const Ogre::Vector3& position, const Ogre::Quaternion& orientation,
                           Ogre::SceneManager* sceneManager);
    /** Destroys the effect; an effect the manager does not hold is ignored. */
    void removeEffect(FxEffect* effect);
    void removeAllEffects();

    void setSceneManager(Ogre::SceneManager* sceneManager) { mSceneManager = sceneManager; }
    size_t getEffectCount() const { return mEffects.size(); }

private:
    friend class FxEffect;

    /** Hears of the destruction of the scene managers effects are in. */
    class SceneWatcher : public Ogre::SceneManager::Listener
    {
    public:
        explicit SceneWatcher(FxEffectManager& manager) : mManager(manager) {}
        void sceneManagerDestroyed(Ogre::SceneManager* sceneManager) override;

    private:
        FxEffectManager& mManager;
    };

    FxEffectManager() : mWatcher(*this) {}
    ~FxEffectManager();

    /** Listens for the destruction of a scene manager that holds effects. */
    void watch(Ogre::SceneManager* sceneManager);

    Ogre::SceneManager* mSceneManager = nullptr;
    std::vector<std::unique_ptr<FxEffect>> mEffects;
    unsigned long mNextId = 0;
    SceneWatcher mWatcher;
    std::vector<Ogre::SceneManager*> mWatched;
};

#endif
