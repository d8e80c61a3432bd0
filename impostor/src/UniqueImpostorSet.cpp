#include "UniqueImpostorSet.h"

#include <OgreBillboard.h>
#include <OgreBillboardSet.h>
#include <OgreCamera.h>
#include <OgreHardwarePixelBuffer.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreRenderTexture.h>
#include <OgreSceneManager.h>
#include <OgreStringConverter.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>
#include <OgreViewport.h>

#include <algorithm>

namespace Ogre
{
    namespace
    {
        unsigned int gSetSerial = 0;
        const Real kFixedBoundsExtent = 1000;
    }

    UniqueImpostorSet::UniqueImpostorSet() {}

    UniqueImpostorSet::~UniqueImpostorSet() { destroy(); }

    void UniqueImpostorSet::init(SceneManager* sceneManager, const String& name, const String& group,
                                 ImpostorManager* owner, unsigned int billboardPoolSize,
                                 unsigned int textureSize)
    {
        destroy();
        mSceneManager = sceneManager;
        mOwner = owner;
        mTextureSize = textureSize;
        mBaseName = name + StringConverter::toString(gSetSerial++);
        mDirty = false;

        mMaterial = MaterialManager::getSingleton().create(mBaseName + "mat", group);
        mTexture = TextureManager::getSingleton().createManual(
            mBaseName + "texture", group, TEX_TYPE_2D, textureSize, textureSize, 0, PF_A8R8G8B8,
            TU_RENDERTARGET);
        mRenderTarget = mTexture->getBuffer()->getRenderTarget();
        mRenderTarget->setAutoUpdated(false);

        mCameraNode = sceneManager->getRootSceneNode()->createChildSceneNode(mBaseName + "CamNode");
        mCamera = sceneManager->createCamera(mBaseName + "Cam");
        mCameraNode->attachObject(mCamera);
        mViewport = mRenderTarget->addViewport(mCamera);
        mViewport->setClearEveryFrame(true, FBT_COLOUR | FBT_DEPTH);
        mViewport->setBackgroundColour(ColourValue(0, 0, 0, 0));
        mViewport->setOverlaysEnabled(false);
        mViewport->setSkiesEnabled(false);

        Pass* pass = mMaterial->getTechnique(0)->getPass(0);
        TextureUnitState* unit = pass->createTextureUnitState();
        unit->setTexture(mTexture);
        unit->setTextureAddressingMode(TextureUnitState::TAM_CLAMP);
        pass->setAlphaRejectSettings(CMPF_GREATER_EQUAL, 127);
        pass->setLightingEnabled(false);

        mBillboardSet = sceneManager->createBillboardSet(mBaseName + "BillboardSet", billboardPoolSize);
        mBillboardSet->setDefaultDimensions(0, 0);
        mBillboardSet->setBillboardOrigin(BBO_CENTER);
        mBillboardSet->setBillboardRotationType(BBR_VERTEX);
        mBillboardSet->setUseAccurateFacing(true);
        mBillboardSet->setMaterialName(mBaseName + "mat", group);
        mBillboardSet->setBounds(AxisAlignedBox(Vector3(-kFixedBoundsExtent), Vector3(kFixedBoundsExtent)),
                                 kFixedBoundsExtent);
        mSceneNode = sceneManager->getRootSceneNode()->createChildSceneNode("ImpostorSetNode" + mBaseName);
        mSceneNode->attachObject(mBillboardSet);

        mRoot.init(0, 0, textureSize);
    }

    void UniqueImpostorSet::destroy()
    {
        mRoot.reset();
        if (mSceneManager)
        {
            if (mSceneNode)
                mSceneManager->destroySceneNode(mSceneNode);
            if (mBillboardSet)
                mSceneManager->destroyBillboardSet(mBillboardSet);
        }
        mSceneNode = nullptr;
        mBillboardSet = nullptr;
        if (mRenderTarget)
            mRenderTarget->removeAllViewports();
        mRenderTarget = nullptr;
        mViewport = nullptr;
        if (mSceneManager)
        {
            if (mCamera)
                mSceneManager->destroyCamera(mCamera);
            if (mCameraNode)
                mSceneManager->destroySceneNode(mCameraNode);
        }
        mCamera = nullptr;
        mCameraNode = nullptr;
        if (mMaterial)
        {
            if (MaterialManager* materials = MaterialManager::getSingletonPtr())
                materials->remove(mMaterial);
            mMaterial.reset();
        }
        if (mTexture)
        {
            if (TextureManager* textures = TextureManager::getSingletonPtr())
                textures->remove(mTexture);
            mTexture.reset();
        }
        mSceneManager = nullptr;
        mDirty = false;
    }

    void UniqueImpostorSet::updateBounds()
    {
        if (!mBillboardSet)
            return;
        AxisAlignedBox box;
        const int count = mBillboardSet->getNumBillboards();
        for (int i = 0; i < count; ++i)
        {
            Billboard* billboard = mBillboardSet->getBillboard(static_cast<unsigned int>(i));
            const Real width = billboard->hasOwnDimensions() ? billboard->getOwnWidth()
                                                             : mBillboardSet->getDefaultWidth();
            const Real height = billboard->hasOwnDimensions() ? billboard->getOwnHeight()
                                                              : mBillboardSet->getDefaultHeight();
            // A billboard turns to face the camera: half its diagonal bounds
            // it along every axis.
            const Vector3 extent(0.5f * Math::Sqrt(width * width + height * height));
            box.merge(AxisAlignedBox(billboard->getPosition() - extent, billboard->getPosition() + extent));
        }
        mBillboardSet->setBounds(box, box.isNull() ? 0 : Math::boundingRadiusFromAABB(box));
        if (mSceneNode)
            mSceneNode->needUpdate();
    }
}
