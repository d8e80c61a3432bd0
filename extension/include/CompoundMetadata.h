#ifndef __WrenCompoundMetadata_H__
#define __WrenCompoundMetadata_H__

#include "WrenExtensionPrerequisites.h"

#include "CoreMetadata.h"

namespace Wren
{
    /** Template of compound objects: the objects file their content is
        read from.

        Metadata element (the common part is CoreMetadata's; the object
        manager writes such files when it saves a compound):
        @code
        <MetaData ObjectType="CompoundGameObject" Name="camp"> <CoreData .../>
            <CompoundData ObjectsFileName="camp.objects"/>
        </MetaData>
        @endcode
        load fails without "CompoundData"; a missing "ObjectsFileName" keeps
        the current name.
    */
    class WREN_EXTENSION_EXPORT CompoundMetadata : public CoreMetadata
    {
    public:
        CompoundMetadata(const std::string& id, CoreGameObjectManager* manager);
        ~CompoundMetadata() override;

        bool load(DataElementPtr& root) override;
        bool save(DataElementPtr& root) override;
        using CoreMetadata::save;

        const std::string& getObjectsFileName() const { return mObjectsFileName; }
        void setObjectsFileName(const std::string& name) { mObjectsFileName = name; }

    private:
        std::string mObjectsFileName;
    };
}

#endif
