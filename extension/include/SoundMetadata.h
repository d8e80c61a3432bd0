#ifndef __WrenSoundMetadata_H__
#define __WrenSoundMetadata_H__

#include "WrenExtensionPrerequisites.h"

#include "CoreMetadata.h"

namespace Wren
{
    /** Template of sound objects: the sound file they play and how it
        repeats.

        Metadata element (the common part is CoreMetadata's):
        @code
        <MetaData ObjectType="SoundGameObject" Name="brook"> <CoreData .../>
            <SoundMetaData SoundFileName="brook.wav" Loop="true" IntervalTime="3"
                           BeginTime="0" EndTime="0"/>
        </MetaData>
        @endcode
        Missing attributes read as empty, false and 0. A looping sound waits
        IntervalTime seconds before each play. BeginTime and EndTime are kept
        for callers; the objects do not use them. load fails without
        "SoundMetaData"; save writes the common part and "SoundMetaData" with
        its five attributes, so that a saved template loads again.
    */
    class WREN_EXTENSION_EXPORT SoundMetadata : public CoreMetadata
    {
    public:
        SoundMetadata(const std::string& id, CoreGameObjectManager* manager);
        ~SoundMetadata() override;

        bool load(DataElementPtr& root) override;
        bool save(DataElementPtr& root) override;
        using CoreMetadata::save;
        /** Writes "SoundMetaData" alone (what save adds to the common part). */
        void saveOwnData(DataElementPtr& root) const;

        /** What the sound of the template is. */
        struct Values
        {
            std::string soundFileName;
            bool loop = false;
            /** Seconds. */
            float intervalTime = 0.0f;
            float beginTime = 0.0f;
            float endTime = 0.0f;
        };

        const Values& getValues() const { return mValues; }
        void setValues(const Values& values) { mValues = values; }

    private:
        Values mValues;
    };
}

#endif
