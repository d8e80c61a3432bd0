#ifndef __WrenParticleSystemMetadata_H__
#define __WrenParticleSystemMetadata_H__

#include "WrenExtensionPrerequisites.h"

#include "CoreMetadata.h"
#include "GameObjectEnums.h"

namespace Wren
{
    /** Template of particle-system objects: the engine's particle-system
        templates they show, one per level of detail.

        Metadata element (the common part is CoreMetadata's):
        @code
        <MetaData ObjectType="ParticleSystemGameObject" Name="smoke"> <CoreData .../>
            <ParticleSystemData HighLODParticleSystem="Smoke/Dense"
                                MediumLODParticleSystem="" LowLODParticleSystem="Smoke/Thin"/>
        </MetaData>
        @endcode
        Missing names are empty. An older attribute "ParticleSystem", when
        present and not empty, names the template of all three levels. load
        fails without "ParticleSystemData"; save writes the common part and
        the three names.
    */
    class WREN_EXTENSION_EXPORT ParticleSystemMetadata : public CoreMetadata
    {
    public:
        ParticleSystemMetadata(const std::string& id, CoreGameObjectManager* manager);
        ~ParticleSystemMetadata() override;

        bool load(DataElementPtr& root) override;
        bool save(DataElementPtr& root) override;
        using CoreMetadata::save;
        /** Writes "ParticleSystemData" alone (what save adds to the common
            part). */
        void saveOwnData(DataElementPtr& root) const;

        /** The template shown at a level: the high one at LOD_HIGH, the low
            one at LOD_LOW (the medium one is kept but not shown), none
            beyond the hint distance. */
        const std::string& getTemplateOf(LevelOfDetail level) const;

        const std::string& getHighTemplate() const { return mHigh; }
        const std::string& getMediumTemplate() const { return mMedium; }
        const std::string& getLowTemplate() const { return mLow; }
        void setTemplates(const std::string& high, const std::string& medium,
                          const std::string& low);

    private:
        std::string mHigh;
        std::string mMedium;
        std::string mLow;
    };
}

#endif
