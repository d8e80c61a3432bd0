#ifndef __WrenDummyMetadata_H__
#define __WrenDummyMetadata_H__

#include "WrenExtensionPrerequisites.h"

#include "CoreMetadata.h"

namespace Wren
{
    /** Template of dummy objects: which mesh template marks them.

        Metadata element (the common part is CoreMetadata's):
        @code
        <MetaData ObjectType="DummyGameObject" Name="spawn"> <CoreData .../>
            <DummyMetaData PlaceHolder="Box0Point5Meters.meta"/>
        </MetaData>
        @endcode
        "PlaceHolder" is the ID of a "MeshGameObject" template (default
        empty: the dummy keeps the standard box). load fails without
        "DummyMetaData". save writes the common part too, so that a saved
        template loads again.
    */
    class WREN_EXTENSION_EXPORT DummyMetadata : public CoreMetadata
    {
    public:
        DummyMetadata(const std::string& id, CoreGameObjectManager* manager);
        ~DummyMetadata() override;

        bool load(DataElementPtr& root) override;
        bool save(DataElementPtr& root) override;
        using CoreMetadata::save;

        const std::string& getPlaceHolder() const { return mPlaceHolder; }
        void setPlaceHolder(const std::string& metaId) { mPlaceHolder = metaId; }

    private:
        std::string mPlaceHolder;
    };
}

#endif
