#ifndef __WrenLightGameObject_H__
#define __WrenLightGameObject_H__

#include "WrenExtensionPrerequisites.h"

#include "PlaceHolderGameObject.h"

namespace Ogre
{
    class Light;
}

namespace Wren
{
    class LightMetadata;

    /** A placed engine light, made from a LightMetadata.

        The light is made, under the object's name, when the object comes
        into range (its level of detail becomes 0 or 1): it shines at once
        at the template's full strength, at the origin of the object's node.
        When the object goes beyond its hint distance (level 2) the light
        fades to black over FADE_DURATION seconds, its diffuse and specular
        colours falling linearly from the template's, and is then destroyed.
        A level change asked for during the fade waits for its end. A light
        the engine refuses to make is logged and the object settles without
        one.

        The object element and the binary record carry nothing beyond
        CoreGameObject's.
    */
    class WREN_EXTENSION_EXPORT LightGameObject : public PlaceHolderGameObject
    {
    public:
        enum FadeState
        {
            FADE_OUT = 0,
            FADE_NONE = 2
        };

        /** Seconds a light takes to fade out: 2. */
        static float FADE_DURATION;

        LightGameObject(CoreGameObjectManager* manager, const std::string& name);
        ~LightGameObject() override;

        const std::string& getObjectType() const override;
        bool checkObjectType(const std::string& type) const override;

        /** Destroys the light with the object. */
        void destroy(bool destroyChildren, bool keepInPartition) override;
        void changeLODLoadResources(bool immediate) override;
        /** Makes the light (level 0 or 1) or starts its fade (level 2). */
        void changeLODFinalize(bool immediate) override;
        /** Runs the fade. */
        void update(float elapsed) override;

        /** The light shining now (also while it fades), or null. */
        Ogre::Light* getLight() const { return mLight; }
        LightMetadata* getLightMetadata() const { return mLightMetadata; }
        FadeState getFadeState() const { return mFadeState; }
        float getFadeTimer() const { return mFadeTimer; }

    protected:
        void takeMetadata() override;

    private:
        void createLight();
        void destroyLight();

        LightMetadata* mLightMetadata = nullptr;
        Ogre::Light* mLight = nullptr;
        FadeState mFadeState = FADE_NONE;
        float mFadeTimer = 0.0f;
    };
}

#endif
