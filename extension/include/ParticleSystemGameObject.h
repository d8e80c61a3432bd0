#ifndef __WrenParticleSystemGameObject_H__
#define __WrenParticleSystemGameObject_H__

#include "WrenExtensionPrerequisites.h"

#include "PlaceHolderGameObject.h"

namespace Ogre
{
    class ParticleSystem;
}

namespace Wren
{
    class ParticleSystemMetadata;

    /** A placed engine particle system, chosen per level of detail by a
        ParticleSystemMetadata (the high template at level 0, the low one at
        level 1).

        Coming into range, or changing to a level with another template,
        makes a new system named object name + "_" + template, attached to
        the object's node. The system it replaces, and the one of an object
        that goes beyond its hint distance, keeps running for FADE_DURATION
        seconds (so that its particles die away) and is then destroyed; a
        level change asked for meanwhile waits for that. A level without
        template shows no system; a template the engine does not know is
        logged and the object settles without system.

        The object element and the binary record carry nothing beyond
        CoreGameObject's.
    */
    class WREN_EXTENSION_EXPORT ParticleSystemGameObject : public PlaceHolderGameObject
    {
    public:
        /** Seconds an outgoing system keeps running: 2. */
        static float FADE_DURATION;

        ParticleSystemGameObject(CoreGameObjectManager* manager, const std::string& name);
        ~ParticleSystemGameObject() override;

        const std::string& getObjectType() const override;
        bool checkObjectType(const std::string& type) const override;

        /** Destroys both systems with the object. */
        void destroy(bool destroyChildren, bool keepInPartition) override;
        void changeLODLoadResources(bool immediate) override;
        void changeLODFinalize(bool immediate) override;
        /** Removes the outgoing system once its time is up. */
        void update(float elapsed) override;

        ParticleSystemMetadata* getParticleSystemMetadata() const { return mParticleMetadata; }
        /** The system shown for the current level, or null. */
        Ogre::ParticleSystem* getParticleSystem() const { return mSystem; }
        /** The system being let go of, or null. */
        Ogre::ParticleSystem* getOutgoingParticleSystem() const { return mOutgoing; }
        /** The template of the current level ("" beyond the hint distance). */
        const std::string& getTemplateName() const { return mTemplate; }
        float getTimer() const { return mTimer; }

    protected:
        void takeMetadata() override;
        /** Also true between the two shown levels when their templates
            differ, so that the change reaches the systems. */
        bool IsChangeLod(LevelOfDetail from, LevelOfDetail to) override;

    private:
        /** The current system becomes the outgoing one (an older outgoing one
            goes at once). */
        void retireSystem();
        void destroySystem(Ogre::ParticleSystem*& system);

        ParticleSystemMetadata* mParticleMetadata = nullptr;
        Ogre::ParticleSystem* mSystem = nullptr;
        Ogre::ParticleSystem* mOutgoing = nullptr;
        std::string mTemplate;
        bool mAttachPending = false;
        float mTimer = 0.0f;
    };
}

#endif
