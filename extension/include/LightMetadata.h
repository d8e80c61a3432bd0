#ifndef __WrenLightMetadata_H__
#define __WrenLightMetadata_H__

#include "WrenExtensionPrerequisites.h"

#include "CoreMetadata.h"

#include <OgreColourValue.h>

namespace Wren
{
    /** Template of light objects: the engine light they shine with.

        Metadata element (the common part is CoreMetadata's):
        @code
        <MetaData ObjectType="LightGameObject" Name="lamp"> <CoreData .../>
            <LightData LightType="Point" DiffuseR="1" DiffuseG="0.9" DiffuseB="0.7"
                       SpecularR="0" SpecularG="0" SpecularB="0" AttConstant="0"
                       AttQuadric="0" AttLinear="1" AttRange="20" CastShadows="true"
                       SpotFalloff="1" SpotInner="30" SpotOuter="40"/>
        </MetaData>
        @endcode
        The type is read from "LightTypeEnum" (the engine's numbering: 0
        point, 1 directional, 2 spotlight) and, only when that is -1 or
        missing, from the name "LightType" ("Point", "Directional",
        "Spotlight"). A number outside 0-2, or an unknown name, keeps the
        current type (logged). Every missing attribute keeps its current
        value; the spotlight angles are in degrees. load fails without
        "LightData". save writes the common part and "LightData" with the
        type as its name ("LightTypeEnum" is never written).
    */
    class WREN_EXTENSION_EXPORT LightMetadata : public CoreMetadata
    {
    public:
        LightMetadata(const std::string& id, CoreGameObjectManager* manager);
        ~LightMetadata() override;

        bool load(DataElementPtr& root) override;
        bool save(DataElementPtr& root) override;
        using CoreMetadata::save;
        /** Writes "LightData" alone (what save adds to the common part). */
        void saveOwnData(DataElementPtr& root) const;

        /** "Point", "Directional", "Spotlight"; empty for another number. */
        static std::string typeName(int type);

        /** What a light of the template shines with. */
        struct Values
        {
            /** Ogre::Light::LightTypes numbering. */
            int type = 0;
            Ogre::ColourValue diffuse = Ogre::ColourValue::White;
            Ogre::ColourValue specular = Ogre::ColourValue::Black;
            float attenuationConstant = 0.0f;
            float attenuationLinear = 1.0f;
            float attenuationQuadric = 0.0f;
            float attenuationRange = 20.0f;
            bool castShadows = true;
            float spotFalloff = 1.0f;
            /** Degrees. */
            float spotInner = 30.0f;
            float spotOuter = 40.0f;
        };

        const Values& getValues() const { return mValues; }
        void setValues(const Values& values) { mValues = values; }

    private:
        Values mValues;
    };
}

#endif
