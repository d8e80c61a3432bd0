#include "ParticleSystemGameObject.h"

#include "CoreGameObjectManager.h"
#include "ParticleSystemMetadata.h"

#include <OgreControllerManager.h>
#include <OgreLogManager.h>
#include <OgreParticleSystem.h>
#include <OgreSceneManager.h>
#include <OgreUserDefinedObject.h>

namespace Wren
{
    float ParticleSystemGameObject::FADE_DURATION = 2.0f;

    namespace
    {
        void logMessage(const std::string& text)
        {
            if (Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr())
                logs->logMessage("ParticleSystemGameObject: " + text);
        }
    }

    ParticleSystemGameObject::ParticleSystemGameObject(CoreGameObjectManager* manager,
                                                       const std::string& name)
        : PlaceHolderGameObject(manager, name, PLACEHOLDER_META_ID)
    {
    }

    ParticleSystemGameObject::~ParticleSystemGameObject() {}

    const std::string& ParticleSystemGameObject::getObjectType() const
    {
        static const std::string type = "ParticleSystemGameObject";
        return type;
    }

    bool ParticleSystemGameObject::checkObjectType(const std::string& type) const
    {
        return type == ParticleSystemGameObject::getObjectType() ||
               PlaceHolderGameObject::checkObjectType(type);
    }

    void ParticleSystemGameObject::takeMetadata()
    {
        mParticleMetadata = dynamic_cast<ParticleSystemMetadata*>(getMetadata());
    }

    bool ParticleSystemGameObject::IsChangeLod(LevelOfDetail from, LevelOfDetail to)
    {
        return PlaceHolderGameObject::IsChangeLod(from, to) ||
               (mParticleMetadata &&
                mParticleMetadata->getTemplateOf(from) != mParticleMetadata->getTemplateOf(to));
    }

    void ParticleSystemGameObject::destroy(bool destroyChildren, bool keepInPartition)
    {
        PlaceHolderGameObject::destroy(destroyChildren, keepInPartition);
        destroySystem(mSystem);
        destroySystem(mOutgoing);
        mTemplate.clear();
    }

    void ParticleSystemGameObject::changeLODLoadResources(bool immediate)
    {
        PlaceHolderGameObject::changeLODLoadResources(immediate);
        const LevelOfDetail level = getLevelOfDetail();
        if (level == LOD_BEYOND_HINT)
        {
            mTemplate.clear();
            retireSystem();
        }
        else
        {
            static const std::string none;
            const std::string& chosen =
                mParticleMetadata ? mParticleMetadata->getTemplateOf(level) : none;
            if (chosen != mTemplate)
            {
                retireSystem();
                mTemplate = chosen;
                if (!chosen.empty() && !Ogre::ControllerManager::getSingletonPtr())
                    logMessage(getName() + " shows no particle system: the engine has no "
                                           "controller manager (it was not initialised)");
                else if (!chosen.empty())
                    try
                    {
                        mSystem = getManager()->getSceneManager()->createParticleSystem(
                            getName() + "_" + chosen, chosen);
                        Ogre::UserDefinedObject::bind(mSystem, this);
                        mAttachPending = true;
                    }
                    catch (const Ogre::Exception& e)
                    {
                        logMessage(getName() + " shows no particle system: " +
                                   e.getDescription());
                    }
            }
        }
        setCurrentState(STATE_RESOURCES_READY);
    }

    void ParticleSystemGameObject::changeLODFinalize(bool)
    {
        if ((mAttachPending || getLevelOfDetail() == LOD_BEYOND_HINT) && mSystem)
        {
            attachObject(mSystem);
            mAttachPending = false;
        }
        if (mOutgoing)
        {
            registerUpdate();
            mTimer = 0.0f;
            setCurrentState(STATE_FADING);
        }
        else
            setCurrentState(STATE_SETTLED);
    }

    void ParticleSystemGameObject::update(float elapsed)
    {
        PlaceHolderGameObject::update(elapsed);
        if (!mOutgoing)
            return;
        mTimer += elapsed;
        if (mTimer < FADE_DURATION)
            return;
        destroySystem(mOutgoing);
        setCurrentState(STATE_SETTLED);
        unregisterUpdate();
    }

    void ParticleSystemGameObject::retireSystem()
    {
        if (!mSystem)
            return;
        destroySystem(mOutgoing);
        mOutgoing = mSystem;
        mSystem = nullptr;
        mAttachPending = false;
    }

    void ParticleSystemGameObject::destroySystem(Ogre::ParticleSystem*& system)
    {
        if (!system)
            return;
        if (system->getParentSceneNode())
            system->getParentSceneNode()->detachObject(system);
        getManager()->getSceneManager()->destroyParticleSystem(system);
        system = nullptr;
    }
}
