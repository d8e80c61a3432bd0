#ifndef __WrenEffectSystemGameObject_H__
#define __WrenEffectSystemGameObject_H__

#include "WrenExtensionPrerequisites.h"

#include "PlaceHolderGameObject.h"

class FxEffect;

namespace Wren
{
    class EffectSystemMetadata;

    /** A placed effect of the effect library (FxEffectManager), named by an
        EffectSystemMetadata.

        The effect is made when the object comes into range (level 0 or 1)
        and removed when it goes beyond its hint distance (level 2) or is
        destroyed. It hangs where the object is: under the placeholder
        mesh's node, or the object's own node while there is no placeholder
        to hang from; while the game runs (the placeholder is taken out of
        the scene) it moves to the object's node, keeping its place in the
        world, and back afterwards. While it exists the object is
        registered for per-frame updates, so that the object manager finds
        it among the update listeners (setAllHoldGameObjectMeshVisible).

        The object element and the binary record carry nothing beyond
        CoreGameObject's.
    */
    class WREN_EXTENSION_EXPORT EffectSystemGameObject : public PlaceHolderGameObject
    {
    public:
        /** Seconds of the type's fades: 2 (effects do not fade). */
        static float FADE_DURATION;

        EffectSystemGameObject(CoreGameObjectManager* manager, const std::string& name);
        ~EffectSystemGameObject() override;

        const std::string& getObjectType() const override;
        bool checkObjectType(const std::string& type) const override;

        /** Removes the effect with the object. */
        void destroy(bool destroyChildren, bool keepInPartition) override;
        void changeLODLoadResources(bool immediate) override;
        void startSimulation() override;
        void endSimulation() override;

        EffectSystemMetadata* getEffectSystemMetadata() const { return mEffectMetadata; }
        /** The effect shown now, or null. */
        FxEffect* getEffect() const { return mEffect; }

    protected:
        void takeMetadata() override;

    private:
        void removeEffect();

        EffectSystemMetadata* mEffectMetadata = nullptr;
        FxEffect* mEffect = nullptr;
    };
}

#endif
