#ifndef __WrenSoundGameObject_H__
#define __WrenSoundGameObject_H__

#include "WrenExtensionPrerequisites.h"

#include "ChimeGroupParallelExecutor.h"
#include "PlaceHolderGameObject.h"

class ChimeExecutor;

namespace Wren
{
    class SoundMetadata;

    /** A placed sound, played by the sound library (ChimeSoundSystem) while
        the object is in range, made from a SoundMetadata.

        The object holds a parallel group with one executor of the
        template's sound file; a looping sound is added with the template's
        interval as its delay, so it repeats with that much silence before
        each play. Coming into range (level 0 or 1) the executor follows the
        object's node and the group starts (a looping one at the interval,
        so the sound is heard at once); a sound that plays already is not
        started again. Going beyond the hint distance (level 2) stops it
        and lets the node go. A one-shot sound that has ended gives up its
        per-frame update until it is started again. refresh (the template
        changed) builds the executor anew and restarts it in range. destroy
        stops the sound and lets the node go before the node is destroyed.

        The object element and the binary record carry nothing beyond
        CoreGameObject's.
    */
    class WREN_EXTENSION_EXPORT SoundGameObject : public PlaceHolderGameObject
    {
    public:
        SoundGameObject(CoreGameObjectManager* manager, const std::string& name);
        ~SoundGameObject() override;

        const std::string& getObjectType() const override;
        bool checkObjectType(const std::string& type) const override;

        void destroy(bool destroyChildren, bool keepInPartition) override;
        void changeLODLoadResources(bool immediate) override;
        /** Advances the sound. */
        void update(float elapsed) override;
        void refresh() override;

        SoundMetadata* getSoundMetadata() const { return mSoundMetadata; }
        const ChimeGroupParallelExecutor& getExecutorGroup() const { return mGroup; }
        /** The group's one executor, or null without metadata. */
        ChimeExecutor* getExecutor() const;
        /** Whether the sound plays (also while a looping one waits out its
            interval). */
        bool isPlaying() const { return mGroup.IsPlay(); }

    protected:
        void takeMetadata() override;

    private:
        /** Adds the executor of the template when the group has none. */
        void buildExecutor();
        void play();
        void stop();

        SoundMetadata* mSoundMetadata = nullptr;
        ChimeGroupParallelExecutor mGroup;
    };
}

#endif
