#ifndef __WrenMaterialDefinition_H__
#define __WrenMaterialDefinition_H__

#include "WrenExtensionPrerequisites.h"

#include <OgreColourValue.h>
#include <OgreMaterial.h>

namespace Wren
{
    /** A managed material: one made from a ".matdef" data file in resource
        group "General" when no material of its name exists yet.

        File (the root element's name is not checked; every attribute is
        optional):
        @code
        <MaterialDefinition DiffuseTexture="rock.png" DiffuseTextureLow="rock_low.png"
            NormalTexture="" NormalTextureLow="" EnvironmentMapTexture=""
            EnableEnvironmentMap="false" EnableSpecular="false"
            DiffuseColor="1 1 1 1" SpecularColor="0 0 0 1" AmbientColor="1 1 1 1"
            EmissiveColor="0 0 0 1" SpecularShininess="16"
            EnvironmentMapReflectivity="0"/>
        @endcode
        The material has one technique with one lit pass carrying the
        colours; the diffuse texture (the low one for low detail, when
        named) is its first texture unit, an enabled environment map a
        second, added with the reflectivity as blend factor. Normal maps
        are kept in the definition but need shaders the framework does
        not supply. */
    class WREN_EXTENSION_EXPORT MaterialDefinition
    {
    public:
        std::string diffuseTexture;
        std::string diffuseTextureLow;
        std::string normalTexture;
        std::string normalTextureLow;
        std::string environmentMapTexture;
        bool enableEnvironmentMap = false;
        bool enableSpecular = false;
        Ogre::ColourValue diffuseColour = Ogre::ColourValue::White;
        Ogre::ColourValue specularColour = Ogre::ColourValue::Black;
        Ogre::ColourValue ambientColour = Ogre::ColourValue::White;
        Ogre::ColourValue emissiveColour = Ogre::ColourValue::Black;
        float specularShininess = 16.0f;
        float environmentMapReflectivity = 0.0f;

        /** Reads the attributes of element (defaults above; the specular
            colour defaults to white when specular is enabled). */
        void load(DataElementPtr& element);

        /** The diffuse texture for that level of detail: the low one when
            low and named, else the high one. */
        const std::string& getDiffuseTexture(bool low) const;

        /** Builds a material of that name in group "General". */
        Ogre::MaterialPtr build(const std::string& name, bool low) const;

        /** The material of that name when it exists; else the one built from
            name + ".matdef"; null (logged) when that file is missing or can
            not be read. The low-detail variant is the material name + "/Low"
            (built with the low textures); without a definition file a low
            request falls back to the material of that name. */
        static Ogre::MaterialPtr getManagedMaterial(const std::string& name, bool low);
    };
}

#endif
