#ifndef __WrenEffectSystemMetadata_H__
#define __WrenEffectSystemMetadata_H__

#include "WrenExtensionPrerequisites.h"

#include "CoreMetadata.h"

namespace Wren
{
    /** Template of effect objects: the effect of the effect library they
        show.

        Metadata element (the common part is CoreMetadata's):
        @code
        <MetaData ObjectType="EffectSystemGameObject" Name="sparks"> <CoreData .../>
            <EffectData Effect="Sparks"/>
        </MetaData>
        @endcode
        A missing "Effect" is empty. load fails without "EffectData"; save
        writes the common part and "EffectData".
    */
    class WREN_EXTENSION_EXPORT EffectSystemMetadata : public CoreMetadata
    {
    public:
        EffectSystemMetadata(const std::string& id, CoreGameObjectManager* manager);
        ~EffectSystemMetadata() override;

        bool load(DataElementPtr& root) override;
        bool save(DataElementPtr& root) override;
        using CoreMetadata::save;
        /** Writes "EffectData" alone (what save adds to the common part). */
        void saveOwnData(DataElementPtr& root) const;

        const std::string& getEffectName() const { return mEffectName; }
        void setEffectName(const std::string& name) { mEffectName = name; }

    private:
        std::string mEffectName;
    };
}

#endif
