#include "MaterialDefinition.h"

#include "DataElement.h"
#include "DataFile.h"
#include "DataFileResource.h"
#include "DataFileResourceManager.h"

#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreResourceGroupManager.h>
#include <OgreTechnique.h>
#include <OgreTextureUnitState.h>

namespace Wren
{
    void MaterialDefinition::load(DataElementPtr& e)
    {
        diffuseTexture = e->getAttributeString("DiffuseTexture", "");
        diffuseTextureLow = e->getAttributeString("DiffuseTextureLow", "");
        normalTexture = e->getAttributeString("NormalTexture", "");
        normalTextureLow = e->getAttributeString("NormalTextureLow", "");
        environmentMapTexture = e->getAttributeString("EnvironmentMapTexture", "");
        enableEnvironmentMap = e->getAttributeBool("EnableEnvironmentMap", false);
        enableSpecular = e->getAttributeBool("EnableSpecular", false);
        diffuseColour = e->getAttributeColourValue("DiffuseColor", Ogre::ColourValue::White);
        specularColour = e->getAttributeColourValue(
            "SpecularColor", enableSpecular ? Ogre::ColourValue::White : Ogre::ColourValue::Black);
        ambientColour = e->getAttributeColourValue("AmbientColor", Ogre::ColourValue::White);
        emissiveColour = e->getAttributeColourValue("EmissiveColor", Ogre::ColourValue::Black);
        specularShininess = e->getAttributeFloat("SpecularShininess", 16.0f);
        environmentMapReflectivity = e->getAttributeFloat("EnvironmentMapReflectivity", 0.0f);
    }

    const std::string& MaterialDefinition::getDiffuseTexture(bool low) const
    {
        return low && !diffuseTextureLow.empty() ? diffuseTextureLow : diffuseTexture;
    }

    Ogre::MaterialPtr MaterialDefinition::build(const std::string& name, bool low) const
    {
        Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().create(
            name, Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
        Ogre::Pass* pass = material->getTechnique(0)->getPass(0);
        pass->setDiffuse(diffuseColour);
        pass->setAmbient(ambientColour);
        pass->setSelfIllumination(emissiveColour);
        pass->setSpecular(specularColour);
        pass->setShininess(specularShininess);
        const std::string& texture = getDiffuseTexture(low);
        if (!texture.empty())
            pass->createTextureUnitState(texture);
        if (enableEnvironmentMap && !environmentMapTexture.empty())
        {
            Ogre::TextureUnitState* unit = pass->createTextureUnitState(environmentMapTexture);
            unit->setEnvironmentMap(true);
            unit->setColourOperationEx(Ogre::LBX_BLEND_MANUAL, Ogre::LBS_TEXTURE,
                                       Ogre::LBS_CURRENT, Ogre::ColourValue::White,
                                       Ogre::ColourValue::White, environmentMapReflectivity);
        }
        return material;
    }

    Ogre::MaterialPtr MaterialDefinition::getManagedMaterial(const std::string& name, bool low)
    {
        // The low-detail variant of a definition gets its own material, so
        // that the level first asked for does not decide the textures of both.
        const std::string key = low ? name + "/Low" : name;
        Ogre::MaterialPtr existing = Ogre::MaterialManager::getSingleton().getByName(key);
        if (existing)
            return existing;
        const std::string file = name + ".matdef";
        const bool hasFile =
            Ogre::ResourceGroupManager::getSingleton().resourceExists("General", file);
        if (low && !hasFile)
        {
            existing = Ogre::MaterialManager::getSingleton().getByName(name);
            if (existing)
                return existing;
        }
        if (!hasFile)
        {
            Ogre::LogManager::getSingleton().logMessage(
                "MaterialDefinition: can not find " + file + "; the material is not set");
            return Ogre::MaterialPtr();
        }
        DataFileResourcePtr resource;
        try
        {
            resource = DataFileResourceManager::getSingleton().createOrRetrieveDataFile(file, "General");
            resource->load();
        }
        catch (const Ogre::Exception& e)
        {
            Ogre::LogManager::getSingleton().logMessage("MaterialDefinition: " + file +
                                                        " can not be read: " + e.getDescription());
            return Ogre::MaterialPtr();
        }
        DataFile* data = resource ? resource->getDataFile() : nullptr;
        DataElementPtr root = data ? data->getRootElement() : DataElementPtr();
        if (!root || root->getIsEmpty())
        {
            Ogre::LogManager::getSingleton().logMessage("MaterialDefinition: " + file +
                                                        " holds no definition");
            return Ogre::MaterialPtr();
        }
        MaterialDefinition definition;
        definition.load(root);
        return definition.build(key, low);
    }
}
