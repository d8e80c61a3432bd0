#include "Property.h"
#include "XMLDataElement.h"

#include <gtest/gtest.h>

#include <tinyxml.h>

using namespace Wren;

namespace
{
    DataElementPtr freshElement() { return DataElementPtr(new XMLDataElement("Property")); }

    int attributeCount(const DataElementPtr& e)
    {
        int n = 0;
        auto* xml = static_cast<XMLDataElement*>(e.get())->getXmlElement();
        for (const TiXmlAttribute* a = xml->FirstAttribute(); a; a = a->Next())
            ++n;
        return n;
    }
}

TEST(PropertyInit, FreshPropertyIsUnsetAndUnknown)
{
    Property p;
    EXPECT_EQ(p.data.dataType, DataType::Unknown);
    EXPECT_EQ(static_cast<int>(p.data.dataType), 7);
    EXPECT_TRUE(p.data.isUnset);
    p.initBool("A_B", "B", true);
    EXPECT_FALSE(p.data.isUnset);
}

TEST(PropertyInit, IntAndFloatTakeValueMinMaxIncrementInThatOrder)
{
    Property p;
    p.initInt("C_I", "I", 5, 1, 10, 2);
    EXPECT_EQ(p.data.intVal, 5);
    EXPECT_EQ(p.intMin, 1);
    EXPECT_EQ(p.intMax, 10);
    EXPECT_EQ(p.intIncrement, 2);
    EXPECT_EQ(p.data.dataType, DataType::Int);

    p.initFloat("C_F", "F", 0.5f, -1.0f, 2.0f, 0.25f);
    EXPECT_FLOAT_EQ(p.data.floatVal, 0.5f);
    EXPECT_FLOAT_EQ(p.floatMin, -1.0f);
    EXPECT_FLOAT_EQ(p.floatMax, 2.0f);
    EXPECT_FLOAT_EQ(p.floatIncrement, 0.25f);
    // A reused property keeps the limits of the earlier kind.
    EXPECT_EQ(p.intMax, 10);
    EXPECT_EQ(p.data.dataType, DataType::Float);
}

TEST(PropertySave, IntPropertyWritesAllNineteenAttributes)
{
    Property p;
    p.initInt("CoreGameObject_Count", "Count", 3, 0, 9, 1);
    DataElementPtr e = freshElement();
    EXPECT_TRUE(p.save(e));
    EXPECT_EQ(attributeCount(e), 19);
    EXPECT_EQ(e->getAttributeString("ID", ""), "CoreGameObject_Count");
    EXPECT_EQ(e->getAttributeString("DataTypeEnum", ""), "2");
    EXPECT_EQ(e->getAttributeString("FloatVal", ""), "0");
    EXPECT_EQ(e->getAttributeString("VectorValZ", ""), "0");
    EXPECT_EQ(e->getAttributeString("Required", ""), "false");
}

TEST(PropertyLoad, RoundTripKeepsEverythingButColourAndChoices)
{
    Property p;
    p.initString("A_S", "S", "hello world", 12, true);
    p.readOnly = true;
    p.initVector("A_V", "V", Ogre::Vector3(1.5f, -2.0f, 3.25f));
    p.choices = {"x", "y"};
    DataElementPtr e = freshElement();
    p.save(e);

    Property q;
    q.load(e);
    EXPECT_EQ(q.id, "A_V");
    EXPECT_EQ(q.data.stringVal, "hello world");
    EXPECT_EQ(q.stringMaxLength, 12);
    EXPECT_TRUE(q.required);
    EXPECT_TRUE(q.readOnly);
    EXPECT_EQ(q.data.vectorVal, Ogre::Vector3(1.5f, -2.0f, 3.25f));
    EXPECT_EQ(q.data.dataType, DataType::Vector);
    EXPECT_TRUE(q.choices.empty());
    EXPECT_TRUE(q.data.isUnset);

    Property c;
    c.initColour("A_C", "C", Ogre::ColourValue(1, 0.5f, 0.25f, 1));
    DataElementPtr ce = freshElement();
    c.save(ce);
    Property back;
    back.load(ce);
    EXPECT_EQ(back.data.dataType, DataType::Colour);
    EXPECT_EQ(back.data.colourVal, Ogre::ColourValue(0, 0, 0, 0));
}

TEST(PropertyLoad, DataTypeNumberWinsOverWords)
{
    DataElementPtr e = freshElement();
    e->setAttributeInt("DataTypeEnum", 4);
    e->setAttributeString("DataType", "String");
    Property p;
    p.load(e);
    EXPECT_EQ(p.data.dataType, DataType::Vector);

    DataElementPtr odd = freshElement();
    odd->setAttributeInt("DataTypeEnum", 42);
    p.load(odd);
    EXPECT_EQ(static_cast<int>(p.data.dataType), 42);
}

TEST(PropertyLoad, DataTypeWordsAreExactAndColourIsNotOne)
{
    const std::pair<const char*, DataType> cases[] = {
        {"String", DataType::String}, {"Int", DataType::Int},         {"Float", DataType::Float},
        {"Bool", DataType::Bool},     {"Vector", DataType::Vector},   {"Colour", DataType::Unknown},
        {"string", DataType::Unknown}, {"", DataType::Unknown},       {"Unknown", DataType::Unknown}};
    for (const auto& c : cases)
    {
        DataElementPtr e = freshElement();
        e->setAttributeString("DataType", c.first);
        Property p;
        p.load(e);
        EXPECT_EQ(p.data.dataType, c.second) << c.first;
    }
}

TEST(PropertyLoad, EmptyElementGivesDefaults)
{
    Property p;
    p.initInt("X", "Y", 9, 1, 2, 3);
    DataElementPtr e = freshElement();
    EXPECT_TRUE(p.load(e));
    EXPECT_EQ(p.id, "");
    EXPECT_EQ(p.name, "");
    EXPECT_EQ(p.intMin, 0);
    EXPECT_EQ(p.intMax, 0);
    EXPECT_EQ(p.data.intVal, 0);
    EXPECT_EQ(p.data.dataType, DataType::Unknown);
}

TEST(PropertyContainerBase, AcceptsEverythingAndLeavesMessage)
{
    PropertyContainer c;
    std::vector<Property> out(1);
    c.enumerateProperties(out);
    EXPECT_EQ(out.size(), 1u);
    std::string message = "untouched";
    EXPECT_TRUE(c.validateProperty("Any_Id", PropertyData(), message));
    EXPECT_EQ(message, "untouched");
}
