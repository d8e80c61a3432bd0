#include "Property.h"

#include "DataElement.h"

namespace Wren
{
    void Property::initString(const std::string& newId, const std::string& newName,
                              const std::string& value, int maxLength, bool isRequired)
    {
        id = newId;
        name = newName;
        data.stringVal = value;
        stringMaxLength = maxLength;
        required = isRequired;
        data.dataType = DataType::String;
        data.isUnset = false;
    }

    void Property::initInt(const std::string& newId, const std::string& newName, int value, int min,
                           int max, int increment)
    {
        id = newId;
        name = newName;
        data.intVal = value;
        intMin = min;
        intMax = max;
        intIncrement = increment;
        data.dataType = DataType::Int;
        data.isUnset = false;
    }

    void Property::initFloat(const std::string& newId, const std::string& newName, float value,
                             float min, float max, float increment)
    {
        id = newId;
        name = newName;
        data.floatVal = value;
        floatMin = min;
        floatMax = max;
        floatIncrement = increment;
        data.dataType = DataType::Float;
        data.isUnset = false;
    }

    void Property::initBool(const std::string& newId, const std::string& newName, bool value)
    {
        id = newId;
        name = newName;
        data.boolVal = value;
        data.dataType = DataType::Bool;
        data.isUnset = false;
    }

    void Property::initVector(const std::string& newId, const std::string& newName,
                              const Ogre::Vector3& value)
    {
        id = newId;
        name = newName;
        data.vectorVal = value;
        data.dataType = DataType::Vector;
        data.isUnset = false;
    }

    void Property::initColour(const std::string& newId, const std::string& newName,
                              const Ogre::ColourValue& value)
    {
        id = newId;
        name = newName;
        data.colourVal = value;
        data.dataType = DataType::Colour;
        data.isUnset = false;
    }

    bool Property::save(DataElementPtr& element)
    {
        element->setAttributeString("ID", id);
        element->setAttributeString("Name", name);
        element->setAttributeInt("StringMaxLength", stringMaxLength);
        element->setAttributeBool("Required", required);
        element->setAttributeFloat("FloatMax", floatMax);
        element->setAttributeFloat("FloatMin", floatMin);
        element->setAttributeFloat("FloatIncrement", floatIncrement);
        element->setAttributeInt("IntMax", intMax);
        element->setAttributeInt("IntMin", intMin);
        element->setAttributeInt("IntIncrement", intIncrement);
        element->setAttributeBool("ReadOnly", readOnly);
        element->setAttributeBool("BoolVal", data.boolVal);
        element->setAttributeString("StringVal", data.stringVal);
        element->setAttributeInt("IntVal", data.intVal);
        element->setAttributeFloat("FloatVal", data.floatVal);
        element->setAttributeFloat("VectorValX", data.vectorVal.x);
        element->setAttributeFloat("VectorValY", data.vectorVal.y);
        element->setAttributeFloat("VectorValZ", data.vectorVal.z);
        element->setAttributeInt("DataTypeEnum", static_cast<int>(data.dataType));
        return true;
    }

    bool Property::load(DataElementPtr& element)
    {
        id = element->getAttributeString("ID", "");
        name = element->getAttributeString("Name", "");
        stringMaxLength = element->getAttributeInt("StringMaxLength", 0);
        required = element->getAttributeBool("Required", false);
        floatMax = element->getAttributeFloat("FloatMax", 0.0f);
        floatMin = element->getAttributeFloat("FloatMin", 0.0f);
        floatIncrement = element->getAttributeFloat("FloatIncrement", 0.0f);
        intMax = element->getAttributeInt("IntMax", 0);
        intMin = element->getAttributeInt("IntMin", 0);
        intIncrement = element->getAttributeInt("IntIncrement", 0);
        readOnly = element->getAttributeBool("ReadOnly", false);
        data.boolVal = element->getAttributeBool("BoolVal", false);
        data.stringVal = element->getAttributeString("StringVal", "");
        data.intVal = element->getAttributeInt("IntVal", 0);
        data.floatVal = element->getAttributeFloat("FloatVal", 0.0f);
        data.vectorVal.x = element->getAttributeFloat("VectorValX", 0.0f);
        data.vectorVal.y = element->getAttributeFloat("VectorValY", 0.0f);
        data.vectorVal.z = element->getAttributeFloat("VectorValZ", 0.0f);

        const int number = element->getAttributeInt("DataTypeEnum", -1);
        if (number != -1)
        {
            // Stored as it is, even outside the enumeration.
            data.dataType = static_cast<DataType>(number);
            return true;
        }
        const std::string word = element->getAttributeString("DataType", "");
        if (word == "String")
            data.dataType = DataType::String;
        else if (word == "Int")
            data.dataType = DataType::Int;
        else if (word == "Float")
            data.dataType = DataType::Float;
        else if (word == "Bool")
            data.dataType = DataType::Bool;
        else if (word == "Vector")
            data.dataType = DataType::Vector;
        else
            data.dataType = DataType::Unknown;
        return true;
    }

    void PropertyContainer::enumerateProperties(std::vector<Property>&) {}

    void PropertyContainer::setProperty(const std::string&, const PropertyData&) {}

    bool PropertyContainer::validateProperty(const std::string&, const PropertyData&, std::string&)
    {
        return true;
    }
}
