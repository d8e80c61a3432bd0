#include "LightGameObject.h"

#include "CoreGameObjectManager.h"
#include "LightMetadata.h"

#include <OgreLight.h>
#include <OgreLogManager.h>
#include <OgreSceneManager.h>
#include <OgreUserDefinedObject.h>

namespace Wren
{
    float LightGameObject::FADE_DURATION = 2.0f;

    LightGameObject::LightGameObject(CoreGameObjectManager* manager, const std::string& name)
        : PlaceHolderGameObject(manager, name, PLACEHOLDER_META_ID)
    {
    }

    LightGameObject::~LightGameObject() {}

    const std::string& LightGameObject::getObjectType() const
    {
        static const std::string type = "LightGameObject";
        return type;
    }

    bool LightGameObject::checkObjectType(const std::string& type) const
    {
        return type == LightGameObject::getObjectType() ||
               PlaceHolderGameObject::checkObjectType(type);
    }

    void LightGameObject::takeMetadata()
    {
        mLightMetadata = dynamic_cast<LightMetadata*>(getMetadata());
    }

    void LightGameObject::destroy(bool destroyChildren, bool keepInPartition)
    {
        PlaceHolderGameObject::destroy(destroyChildren, keepInPartition);
        destroyLight();
        mFadeState = FADE_NONE;
    }

    void LightGameObject::changeLODLoadResources(bool immediate)
    {
        PlaceHolderGameObject::changeLODLoadResources(immediate);
        setCurrentState(STATE_RESOURCES_READY);
    }

    void LightGameObject::changeLODFinalize(bool)
    {
        if (getLevelOfDetail() == LOD_BEYOND_HINT)
        {
            if (mLight)
            {
                mFadeState = FADE_OUT;
                mFadeTimer = 0.0f;
                registerUpdate();
                setCurrentState(STATE_FADING);
                return;
            }
        }
        else if (!mLight)
            createLight();
        setCurrentState(STATE_SETTLED);
    }

    void LightGameObject::update(float elapsed)
    {
        PlaceHolderGameObject::update(elapsed);
        if (mFadeState == FADE_NONE)
            return;
        mFadeTimer += elapsed;
        if (mFadeTimer >= FADE_DURATION)
        {
            destroyLight();
            mFadeState = FADE_NONE;
            setCurrentState(STATE_SETTLED);
            unregisterUpdate();
            return;
        }
        if (mLight && mLightMetadata)
        {
            const float f = 1.0f - mFadeTimer / FADE_DURATION;
            mLight->setDiffuseColour(mLightMetadata->getValues().diffuse * f);
            mLight->setSpecularColour(mLightMetadata->getValues().specular * f);
        }
    }

    void LightGameObject::createLight()
    {
        if (!mLightMetadata || !getSceneNode())
            return;
        const LightMetadata::Values& v = mLightMetadata->getValues();
        Ogre::SceneManager* scene = getManager()->getSceneManager();
        try
        {
            mLight = scene->createLight(getName());
        }
        catch (const Ogre::Exception& e)
        {
            if (Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr())
                logs->logMessage("LightGameObject: " + getName() + " shines without light: " +
                                 e.getDescription());
            return;
        }
        mLight->setType(static_cast<Ogre::Light::LightTypes>(v.type));
        mLight->setAttenuation(v.attenuationRange, v.attenuationConstant, v.attenuationLinear,
                               v.attenuationQuadric);
        mLight->setDiffuseColour(v.diffuse);
        mLight->setSpecularColour(v.specular);
        mLight->setCastShadows(v.castShadows);
        mLight->setVisible(true);
        if (v.type == Ogre::Light::LT_SPOTLIGHT)
            mLight->setSpotlightRange(Ogre::Degree(v.spotInner), Ogre::Degree(v.spotOuter),
                                      v.spotFalloff);
        Ogre::UserDefinedObject::bind(mLight, this);
        attachObject(mLight);
    }

    void LightGameObject::destroyLight()
    {
        if (!mLight)
            return;
        if (mLight->getParentSceneNode())
            mLight->getParentSceneNode()->detachObject(mLight);
        getManager()->getSceneManager()->destroyLight(mLight);
        mLight = nullptr;
    }
}
