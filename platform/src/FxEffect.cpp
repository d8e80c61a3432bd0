#include "FxEffect.h"

#include "FxEffectManager.h"

#include <OgreBillboardSet.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

FxEffect::FxEffect(const std::string& name, const std::string& instanceName,
                   EFFECTLOGICTYPE type, Ogre::SceneManager* sceneManager)
    : mName(name), mInstanceName(instanceName), mType(type)
{
    build(sceneManager);
}

FxEffect::~FxEffect() { release(); }

void FxEffect::build(Ogre::SceneManager* sceneManager)
{
    mSceneManager = sceneManager;
    if (!mSceneManager)
        return;
    FxEffectManager::getSingleton().watch(mSceneManager);
    mNode = mSceneManager->getRootSceneNode()->createChildSceneNode(mInstanceName);
    mBillboards = mSceneManager->createBillboardSet(mInstanceName, 1);
    mBillboards->setDefaultDimensions(1, 1);
    mBillboards->setMaterialName("BaseWhiteNoLighting");
    mBillboards->createBillboard(Ogre::Vector3::ZERO, Ogre::ColourValue(1, 0.8f, 0.3f));
    mNode->attachObject(mBillboards);
}

void FxEffect::release()
{
    if (!mSceneManager)
        return;
    mNode->detachAllObjects();
    mSceneManager->destroyBillboardSet(mBillboards);
    if (mNode->getParentSceneNode())
        mNode->getParentSceneNode()->removeChild(mNode);
    mSceneManager->destroySceneNode(mNode);
    forgetScene();
}

void FxEffect::forgetScene()
{
    mSceneManager = nullptr;
    mNode = nullptr;
    mBillboards = nullptr;
}

void FxEffect::SetParent(Ogre::SceneNode* parent, bool keepWorldPlace)
{
    const Ogre::Vector3 worldPosition = getWorldPosition();
    const Ogre::Quaternion worldOrientation = getWorldOrientation();
    if (parent && parent->getCreator() != mSceneManager)
    {
        const Ogre::Vector3 position = mNode ? mNode->getPosition() : Ogre::Vector3::ZERO;
        const Ogre::Quaternion orientation =
            mNode ? mNode->getOrientation() : Ogre::Quaternion::IDENTITY;
        release();
        build(parent->getCreator());
        SetWorldPos(position);
        SetWorldOrientation(orientation);
    }
    if (!mNode)
        return;
    if (!parent)
        parent = mSceneManager->getRootSceneNode();
    if (mNode->getParentSceneNode() != parent)
    {
        if (mNode->getParentSceneNode())
            mNode->getParentSceneNode()->removeChild(mNode);
        parent->addChild(mNode);
    }
    if (keepWorldPlace)
    {
        mNode->_setDerivedPosition(worldPosition);
        mNode->_setDerivedOrientation(worldOrientation);
    }
}

Ogre::SceneNode* FxEffect::getParent() const
{
    return mNode ? mNode->getParentSceneNode() : nullptr;
}

Ogre::Vector3 FxEffect::getWorldPosition() const
{
    return mNode ? mNode->_getDerivedPosition() : Ogre::Vector3::ZERO;
}

Ogre::Quaternion FxEffect::getWorldOrientation() const
{
    return mNode ? mNode->_getDerivedOrientation() : Ogre::Quaternion::IDENTITY;
}

void FxEffect::SetWorldPos(const Ogre::Vector3& position)
{
    if (mNode)
        mNode->setPosition(position);
}

void FxEffect::SetWorldOrientation(const Ogre::Quaternion& orientation)
{
    if (mNode)
        mNode->setOrientation(orientation);
}
