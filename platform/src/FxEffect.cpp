#include "FxEffect.h"

#include <OgreBillboardSet.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

FxEffect::FxEffect(const std::string& name, const std::string& instanceName,
                   EFFECTLOGICTYPE type, Ogre::SceneManager* sceneManager)
    : mName(name), mType(type), mSceneManager(sceneManager)
{
    if (!mSceneManager)
        return;
    mNode = mSceneManager->getRootSceneNode()->createChildSceneNode(instanceName);
    mBillboards = mSceneManager->createBillboardSet(instanceName, 1);
    mBillboards->setDefaultDimensions(1, 1);
    mBillboards->setMaterialName("BaseWhiteNoLighting");
    mBillboards->createBillboard(Ogre::Vector3::ZERO, Ogre::ColourValue(1, 0.8f, 0.3f));
    mNode->attachObject(mBillboards);
}

FxEffect::~FxEffect()
{
    if (!mSceneManager)
        return;
    mNode->detachAllObjects();
    mSceneManager->destroyBillboardSet(mBillboards);
    if (mNode->getParentSceneNode())
        mNode->getParentSceneNode()->removeChild(mNode);
    mSceneManager->destroySceneNode(mNode);
}

void FxEffect::SetParent(Ogre::SceneNode* parent)
{
    if (!mNode)
        return;
    if (!parent)
        parent = mSceneManager->getRootSceneNode();
    if (mNode->getParentSceneNode() == parent)
        return;
    if (mNode->getParentSceneNode())
        mNode->getParentSceneNode()->removeChild(mNode);
    parent->addChild(mNode);
}

Ogre::SceneNode* FxEffect::getParent() const
{
    return mNode ? mNode->getParentSceneNode() : nullptr;
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
