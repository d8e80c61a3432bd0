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
    that parent. */
class WREN_PLATFORM_EXPORT FxEffect
{
public:
    FxEffect(const std::string& name, const std::string& instanceName, EFFECTLOGICTYPE type,
             Ogre::SceneManager* sceneManager);
    ~FxEffect();

    FxEffect(const FxEffect&) = delete;
    FxEffect& operator=(const FxEffect&) = delete;

    void SetParent(Ogre::SceneNode* parent);
    void SetWorldPos(const Ogre::Vector3& position);
    void SetWorldOrientation(const Ogre::Quaternion& orientation);

    const std::string& getName() const { return mName; }
    EFFECTLOGICTYPE getType() const { return mType; }
    /** The node that carries the billboard; null without scene manager. */
    Ogre::SceneNode* getSceneNode() const { return mNode; }
    Ogre::SceneNode* getParent() const;

private:
    std::string mName;
    EFFECTLOGICTYPE mType;
    Ogre::SceneManager* mSceneManager;
    Ogre::SceneNode* mNode = nullptr;
    Ogre::BillboardSet* mBillboards = nullptr;
};

#endif
