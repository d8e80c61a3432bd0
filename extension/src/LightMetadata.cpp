#include "LightMetadata.h"

#include "DataElement.h"

#include <OgreLogManager.h>

namespace Wren
{
    namespace
    {
        const char* const TypeNames[] = {"Point", "Directional", "Spotlight"};
        const int TypeCount = 3;

        void logMessage(const std::string& text)
        {
            if (Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr())
                logs->logMessage(text);
        }
    }

    LightMetadata::LightMetadata(const std::string& id, CoreGameObjectManager* manager)
        : CoreMetadata(id, manager)
    {
    }

    LightMetadata::~LightMetadata() {}

    std::string LightMetadata::typeName(int type)
    {
        return type >= 0 && type < TypeCount ? TypeNames[type] : "";
    }

    bool LightMetadata::load(DataElementPtr& root)
    {
        if (!CoreMetadata::load(root))
            return false;
        DataElementPtr data = root->getFirstChild("LightData");
        if (data->getIsEmpty())
            return false;

        const int number = data->getAttributeInt("LightTypeEnum", -1);
        if (number == -1)
        {
            const std::string name = data->getAttributeString("LightType", "");
            int found = 0;
            while (found < TypeCount && name != TypeNames[found])
                ++found;
            if (found < TypeCount)
                mValues.type = found;
            else if (!name.empty())
                logMessage("LightMetadata: " + getID() + " names the unknown light type '" + name +
                           "'; the type stays " + typeName(mValues.type));
        }
        else if (number >= 0 && number < TypeCount)
            mValues.type = number;
        else
            logMessage("LightMetadata: " + getID() + " gives the light type " +
                       std::to_string(number) + ", which is none of 0-2; the type stays " +
                       typeName(mValues.type));

        auto colour = [&data](const char* prefix, Ogre::ColourValue& value) {
            const std::string p(prefix);
            value.r = data->getAttributeFloat(p + "R", value.r);
            value.g = data->getAttributeFloat(p + "G", value.g);
            value.b = data->getAttributeFloat(p + "B", value.b);
        };
        Values& v = mValues;
        colour("Diffuse", v.diffuse);
        colour("Specular", v.specular);
        v.attenuationConstant = data->getAttributeFloat("AttConstant", v.attenuationConstant);
        v.attenuationQuadric = data->getAttributeFloat("AttQuadric", v.attenuationQuadric);
        v.attenuationLinear = data->getAttributeFloat("AttLinear", v.attenuationLinear);
        v.attenuationRange = data->getAttributeFloat("AttRange", v.attenuationRange);
        v.castShadows = data->getAttributeBool("CastShadows", v.castShadows);
        v.spotFalloff = data->getAttributeFloat("SpotFalloff", v.spotFalloff);
        v.spotInner = data->getAttributeFloat("SpotInner", v.spotInner);
        v.spotOuter = data->getAttributeFloat("SpotOuter", v.spotOuter);
        return true;
    }

    bool LightMetadata::save(DataElementPtr& root)
    {
        if (!CoreMetadata::save(root))
            return false;
        saveOwnData(root);
        return true;
    }

    void LightMetadata::saveOwnData(DataElementPtr& root) const
    {
        const Values& v = mValues;
        DataElementPtr data = root->createChild("LightData");
        data->setAttributeString("LightType", typeName(v.type));
        data->setAttributeFloat("DiffuseR", v.diffuse.r);
        data->setAttributeFloat("DiffuseG", v.diffuse.g);
        data->setAttributeFloat("DiffuseB", v.diffuse.b);
        data->setAttributeFloat("SpecularR", v.specular.r);
        data->setAttributeFloat("SpecularG", v.specular.g);
        data->setAttributeFloat("SpecularB", v.specular.b);
        data->setAttributeFloat("AttConstant", v.attenuationConstant);
        data->setAttributeFloat("AttQuadric", v.attenuationQuadric);
        data->setAttributeFloat("AttLinear", v.attenuationLinear);
        data->setAttributeFloat("AttRange", v.attenuationRange);
        data->setAttributeBool("CastShadows", v.castShadows);
        data->setAttributeFloat("SpotFalloff", v.spotFalloff);
        data->setAttributeFloat("SpotInner", v.spotInner);
        data->setAttributeFloat("SpotOuter", v.spotOuter);
    }
}
