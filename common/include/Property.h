#ifndef __WrenProperty_H__
#define __WrenProperty_H__

#include "WrenCommonPrerequisites.h"

#include <OgreColourValue.h>
#include <OgreVector.h>

#include <cstdint>

namespace Wren
{
    /** The kind of value a property holds, stored as a 32-bit number. No
        enumerator has the value 6; a stored number outside the list is kept
        as it is. */
    enum class DataType : int32_t
    {
        String = 0,
        Float = 1,
        Int = 2,
        Bool = 3,
        Vector = 4,
        Colour = 5,
        Unknown = 7
    };

    /** One typed value: a slot for every kind, dataType says which one
        holds the value. */
    struct WREN_COMMON_EXPORT PropertyData
    {
        bool boolVal = false;
        std::string stringVal;
        int intVal = 0;
        float floatVal = 0.0f;
        Ogre::ColourValue colourVal = Ogre::ColourValue(0, 0, 0, 0);
        /** True until one of Property's init operations filled the value. */
        bool isUnset = true;
        Ogre::Vector3 vectorVal = Ogre::Vector3::ZERO;
        DataType dataType = DataType::Unknown;
    };

    /** One editable value as offered to an editor: its identity, display
        name and editing limits. The limits are advice to the editor; the
        framework does not enforce them.

        Saved as attributes of a data element: "ID", "Name",
        "StringMaxLength", "Required", "FloatMax", "FloatMin",
        "FloatIncrement", "IntMax", "IntMin", "IntIncrement", "ReadOnly",
        "BoolVal", "StringVal", "IntVal", "FloatVal", "VectorValX",
        "VectorValY", "VectorValZ" and "DataTypeEnum", whatever the type.
        The colour and the choices are not saved. On load "DataTypeEnum"
        wins; without it the words of "DataType" ("String", "Int", "Float",
        "Bool", "Vector") are accepted, anything else is Unknown.
    */
    class WREN_COMMON_EXPORT Property
    {
    public:
        /** Key by which the owner recognises the property, by convention
            the class name, an underscore and the field name. */
        std::string id;
        /** Name shown to the user. */
        std::string name;
        /** Strings carried with the property; never saved or loaded. */
        std::vector<std::string> choices;
        int stringMaxLength = 0;
        bool required = false;
        bool readOnly = false;
        float floatMax = 0.0f;
        float floatMin = 0.0f;
        float floatIncrement = 0.0f;
        int intMax = 0;
        int intMin = 0;
        int intIncrement = 0;
        PropertyData data;

        /** Each init writes only the fields it names; the limits of other
            kinds keep what they held. */
        void initString(const std::string& id, const std::string& name, const std::string& value,
                        int maxLength, bool required);
        void initInt(const std::string& id, const std::string& name, int value, int min, int max,
                     int increment);
        void initFloat(const std::string& id, const std::string& name, float value, float min,
                       float max, float increment);
        void initBool(const std::string& id, const std::string& name, bool value);
        void initVector(const std::string& id, const std::string& name, const Ogre::Vector3& value);
        void initColour(const std::string& id, const std::string& name,
                        const Ogre::ColourValue& value);

        /** Writes the property as attributes of the element; returns true. */
        bool save(DataElementPtr& element);
        /** Reads the property from the element's attributes (absent ones
            take their defaults); returns true. */
        bool load(DataElementPtr& element);
    };

    /** Everything that exposes editable properties. Subclasses first call
        their base class in enumerateProperties and setProperty, then handle
        their own ids (exact comparison; unknown ids are ignored). */
    class WREN_COMMON_EXPORT PropertyContainer
    {
    public:
        virtual ~PropertyContainer() {}

        /** Appends this object's properties to out. */
        virtual void enumerateProperties(std::vector<Property>& out);
        /** Applies a new value to the property with that id. */
        virtual void setProperty(const std::string& id, const PropertyData& value);
        /** Says whether value suits the property id; on refusal the reason
            goes to errorMessage. The base accepts everything. */
        virtual bool validateProperty(const std::string& id, const PropertyData& value,
                                      std::string& errorMessage);
    };
}

#endif
