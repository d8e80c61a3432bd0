#ifndef __WrenFxEffect_H__
#define __WrenFxEffect_H__

#include "WrenPlatformPrerequisites.h"

#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <string>

namespace Ogre
{
    class BillboardSet;
    class SceneManager;
    class SceneNode;
}

/** The kind of behaviour an effect runs; the stand-in shows every kind the
    same way. */
typedef int EFFECTLOGICTYPE;

/** One effect instance: a scene node carrying a billboard. Made and
    destroyed only by FxEffectManager.

    SetParent hangs the effect's node under a scene node (null: under the
    scene's root); SetWorldPos and SetWorldOrientation place it relative to
    that parent. A parent of another scene manager takes the effect into
    that scene. When the effect's scene manager is destroyed first, the
    effect stays valid without a node until it is removed. */
class WREN_PLATFORM_EXPORT FxEffect
{
public:
    FxEffect(const std::string& name, const std::string& instanceName, EFFECTLOGICTYPE type,
             Ogre::SceneManager* sceneManager);
    ~FxEffect();

    FxEffect(const FxEffect&) = delete;
    FxEffect& operator=(const FxEffect&) = delete;

    /** With keepWorldPlace the effect keeps its place in the world under
        its new parent (its offsets change to match); otherwise it keeps
        its offsets. */
    void SetParent(Ogre::SceneNode* parent, bool keepWorldPlace = false);
    void SetWorldPos(const Ogre::Vector3& position);
    void SetWorldOrientation(const Ogre::Quaternion& orientation);

    const std::string& getName() const { return mName; }
    EFFECTLOGICTYPE getType() const { return mType; }
    Ogre::SceneManager* getSceneManager() const { return mSceneManager; }
    /** The node that carries the billboard; null without scene manager. */
    Ogre::SceneNode* getSceneNode() const { return mNode; }
    Ogre::SceneNode* getParent() const;
    /** Where the effect is in the world (through its parents); zero and
        identity without a node. */
    Ogre::Vector3 getWorldPosition() const;
    Ogre::Quaternion getWorldOrientation() const;

private:
    friend class FxEffectManager;

    /** Makes the node and billboard in the scene manager (null: none). */
    void build(Ogre::SceneManager* sceneManager);
    /** Destroys the node and billboard. */
    void release();
    /** Drops the scene objects without touching them: their scene manager
        is being destroyed and takes them along. */
    void forgetScene();

    std::string mName;
    std::string mInstanceName;
    EFFECTLOGICTYPE mType;
    Ogre::SceneManager* mSceneManager = nullptr;
    Ogre::SceneNode* mNode = nullptr;
    Ogre::BillboardSet* mBillboards = nullptr;
};

#endif
