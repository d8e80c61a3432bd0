#include "CoreMetadata.h"
#include "XMLDataElement.h"
#include "XMLDataFile.h"

#include "TestEngine.h"

#include <gtest/gtest.h>

#include <tinyxml.h>

using namespace Wren;

namespace
{
    /** A metadata template loaded from XML text. */
    struct LoadedMetadata
    {
        explicit LoadedMetadata(const std::string& xml) : metadata("tree.meta", nullptr)
        {
            EXPECT_TRUE(file.load(xml.c_str()));
            DataElementPtr root = file.getRootElement();
            result = metadata.load(root);
        }
        XMLDataFile file;
        CoreMetadata metadata;
        bool result = false;
    };

    std::string withCoreData(const std::string& attributes, const std::string& inner = "")
    {
        return "<MetaData ObjectType=\"MeshGameObject\" Name=\"tree\"><CoreData " + attributes +
               ">" + inner + "</CoreData></MetaData>";
    }

    TiXmlElement* xmlOf(const DataElementPtr& element)
    {
        return static_cast<XMLDataElement*>(element.get())->getXmlElement();
    }
}

TEST(CoreMetadataLoad, ReadsTypeNameFlagsAndDynamicPropertiesInOrder)
{
    LoadedMetadata m(withCoreData(
        "Collidable=\"true\" SeeThrough=\"yes\" Minimap=\"1\" Instanced=\"false\"",
        "<DynamicProperties>"
        "<Property ID=\"Tree_Height\" Name=\"Height\" FloatVal=\"2.5\" DataTypeEnum=\"1\"/>"
        "<Property ID=\"Tree_Kind\" Name=\"Kind\" StringVal=\"oak\" DataType=\"String\"/>"
        "</DynamicProperties>"));
    EXPECT_TRUE(m.result);
    EXPECT_EQ(m.metadata.getID(), "tree.meta");
    EXPECT_EQ(m.metadata.getType(), "MeshGameObject");
    EXPECT_EQ(m.metadata.getName(), "tree");
    EXPECT_TRUE(m.metadata.getCollidable());
    EXPECT_TRUE(m.metadata.getSeeThrough());
    EXPECT_TRUE(m.metadata.getHideInMiniMap());
    EXPECT_FALSE(m.metadata.getInstanced());
    EXPECT_EQ(m.metadata.getSizeHint(), SIZE_MEDIUM);
    const std::vector<Property>& properties = m.metadata.getDynamicProperties();
    ASSERT_EQ(properties.size(), 2u);
    EXPECT_EQ(properties[0].id, "Tree_Height");
    EXPECT_FLOAT_EQ(properties[0].data.floatVal, 2.5f);
    EXPECT_EQ(properties[1].data.dataType, DataType::String);
    EXPECT_EQ(properties[1].data.stringVal, "oak");
}

TEST(CoreMetadataLoad, FileWithoutCoreDataLoadsWithEveryFlagFalse)
{
    LoadedMetadata m("<MetaData ObjectType=\"DummyGameObject\"/>");
    EXPECT_TRUE(m.result);
    EXPECT_EQ(m.metadata.getType(), "DummyGameObject");
    EXPECT_EQ(m.metadata.getName(), "");
    EXPECT_FALSE(m.metadata.getCollidable());
    EXPECT_FALSE(m.metadata.getSeeThrough());
    EXPECT_FALSE(m.metadata.getHideInMiniMap());
    EXPECT_FALSE(m.metadata.getInstanced());
    EXPECT_EQ(m.metadata.getSizeHint(), SIZE_MEDIUM);
    EXPECT_EQ(m.metadata.getSizeHintEnum(), -1);
    EXPECT_FLOAT_EQ(m.metadata.getCustomHintDistanceSquared(), 1.0f);
    EXPECT_FLOAT_EQ(m.metadata.getCustomLodSwitchDistanceSquared(), 1.0f);
}

TEST(CoreMetadataSizeHint, NumberInSizeHintEnumWinsOverTheText)
{
    LoadedMetadata m(withCoreData("SizeHintEnum=\"1\" SizeHint=\"Small\""));
    EXPECT_EQ(m.metadata.getSizeHint(), SIZE_LARGE);
    EXPECT_EQ(m.metadata.getSizeHintEnum(), 1);
}

TEST(CoreMetadataSizeHint, NamedClassesAreExactAndCaseSensitive)
{
    EXPECT_EQ(LoadedMetadata(withCoreData("SizeHint=\"VeryLarge\"")).metadata.getSizeHint(), 0);
    EXPECT_EQ(LoadedMetadata(withCoreData("SizeHint=\"Large\"")).metadata.getSizeHint(), 1);
    EXPECT_EQ(LoadedMetadata(withCoreData("SizeHint=\"Small\"")).metadata.getSizeHint(), 3);
    EXPECT_EQ(LoadedMetadata(withCoreData("SizeHint=\"small\"")).metadata.getSizeHint(), 2);
    EXPECT_EQ(LoadedMetadata(withCoreData("SizeHint=\"huge\"")).metadata.getSizeHint(), 2);
    EXPECT_EQ(LoadedMetadata(withCoreData("SizeHint=\"\"")).metadata.getSizeHint(), 2);
}

TEST(CoreMetadataSizeHint, NumberMakesACustomHintWithHalfTheSquaredSwitchDistance)
{
    LoadedMetadata m(withCoreData("SizeHint=\"120\""));
    EXPECT_EQ(m.metadata.getSizeHint(), SIZE_CUSTOM);
    EXPECT_FLOAT_EQ(m.metadata.getCustomHintDistanceSquared(), 14400.0f);
    EXPECT_FLOAT_EQ(m.metadata.getCustomLodSwitchDistanceSquared(), 7200.0f);
}

TEST(CoreMetadataSizeHint, LodDistanceOnlyBringsTheSwitchNearer)
{
    EXPECT_FLOAT_EQ(LoadedMetadata(withCoreData("SizeHint=\"120\" LodDistance=\"50\""))
                        .metadata.getCustomLodSwitchDistanceSquared(),
                    2500.0f);
    EXPECT_FLOAT_EQ(LoadedMetadata(withCoreData("SizeHint=\"120\" LodDistance=\"100\""))
                        .metadata.getCustomLodSwitchDistanceSquared(),
                    7200.0f);
    // The named classes keep the initial custom distances, which a small
    // "LodDistance" can still bring nearer.
    EXPECT_FLOAT_EQ(LoadedMetadata(withCoreData("SizeHint=\"Small\" LodDistance=\"0.5\""))
                        .metadata.getCustomLodSwitchDistanceSquared(),
                    0.25f);
}

TEST(CoreMetadataSizeHint, NegativeNumberGivesZeroDistances)
{
    LoadedMetadata m(withCoreData("SizeHint=\"-5\""));
    EXPECT_EQ(m.metadata.getSizeHint(), SIZE_CUSTOM);
    EXPECT_FLOAT_EQ(m.metadata.getCustomHintDistanceSquared(), 0.0f);
    EXPECT_FLOAT_EQ(m.metadata.getCustomLodSwitchDistanceSquared(), 0.0f);
}

TEST(CoreMetadataSizeHint, EnumOutsideTheTableIsLoggedAndLeavesTheHint)
{
    // The hint indexes the distance table; an unknown number must not reach it.
    Wren::Test::LogCapture log;
    LoadedMetadata m(withCoreData("SizeHintEnum=\"9\""));
    EXPECT_TRUE(m.result);
    EXPECT_EQ(m.metadata.getSizeHint(), SIZE_MEDIUM);
    EXPECT_EQ(m.metadata.getSizeHintEnum(), 9);
    EXPECT_TRUE(log.contains("unknown SizeHintEnum 9"));
}

TEST(CoreMetadataSave, WritesTheVocabularyInOrderWithTheHintAsText)
{
    LoadedMetadata m(withCoreData(
        "Collidable=\"true\" SizeHint=\"Large\" LodDistance=\"3\"",
        "<DynamicProperties><Property ID=\"P\" Name=\"p\" DataTypeEnum=\"3\"/></DynamicProperties>"));
    DataElementPtr root(new XMLDataElement("MetaData"));
    EXPECT_TRUE(m.metadata.save(root));
    EXPECT_EQ(root->getAttributeString("ObjectType", "?"), "MeshGameObject");
    EXPECT_EQ(root->getAttributeString("Name", "?"), "tree");
    DataElementPtr core = root->getFirstChild("CoreData");
    ASSERT_FALSE(core->getIsEmpty());
    std::vector<std::string> names;
    for (const TiXmlAttribute* a = xmlOf(core)->FirstAttribute(); a; a = a->Next())
        names.push_back(a->Name());
    EXPECT_EQ(names, std::vector<std::string>({"Collidable", "SeeThrough", "Minimap", "Instanced",
                                               "SizeHintEnum", "SizeHint"}));
    EXPECT_EQ(core->getAttributeString("Collidable", ""), "true");
    EXPECT_EQ(core->getAttributeString("SizeHintEnum", ""), "-1");
    EXPECT_EQ(core->getAttributeString("SizeHint", ""), "Large");
    DataElementPtr property = core->getFirstChild("DynamicProperties")->getFirstChild("Property");
    ASSERT_FALSE(property->getIsEmpty());
    EXPECT_EQ(property->getAttributeString("ID", ""), "P");
    EXPECT_TRUE(property->getNextSibling("Property")->getIsEmpty());
}

TEST(CoreMetadataSave, CustomHintIsWrittenAsItsWholeDistance)
{
    CoreMetadata metadata("m", nullptr);
    metadata.setSizeHint(SIZE_CUSTOM);
    metadata.setCustomHintDistanceSquared(14400.5f);
    DataElementPtr root(new XMLDataElement("MetaData"));
    metadata.save(root);
    EXPECT_EQ(root->getFirstChild("CoreData")->getAttributeString("SizeHint", ""), "120");
    EXPECT_EQ(CoreMetadata::sizeHintToText(7, 1.0f), "");
}

TEST(CoreMetadataSave, NumericHintKeepsItsNumberAndFollowsAChangedHint)
{
    LoadedMetadata m(withCoreData("SizeHintEnum=\"3\""));
    m.metadata.setSizeHint(SIZE_VERY_LARGE);
    DataElementPtr root(new XMLDataElement("MetaData"));
    m.metadata.save(root);
    DataElementPtr core = root->getFirstChild("CoreData");
    EXPECT_EQ(core->getAttributeInt("SizeHintEnum", -2), 0);
    EXPECT_EQ(core->getAttributeString("SizeHint", "absent"), "absent");
}

TEST(CoreMetadataRoundTrip, SavedTemplateLoadsBackTheSame)
{
    LoadedMetadata original(withCoreData(
        "Collidable=\"true\" Instanced=\"true\" SizeHint=\"80\"",
        "<DynamicProperties><Property ID=\"A\" Name=\"a\" IntVal=\"4\" "
        "DataTypeEnum=\"2\"/></DynamicProperties>"));
    XMLDataFile file;
    DataElementPtr root = file.createRootElement("MetaData");
    ASSERT_TRUE(original.metadata.save(root));
    CoreMetadata copy("copy", nullptr);
    DataElementPtr reread = file.getRootElement();
    ASSERT_TRUE(copy.load(reread));
    EXPECT_EQ(copy.getType(), original.metadata.getType());
    EXPECT_TRUE(copy.getCollidable());
    EXPECT_TRUE(copy.getInstanced());
    EXPECT_EQ(copy.getSizeHint(), SIZE_CUSTOM);
    EXPECT_FLOAT_EQ(copy.getCustomHintDistanceSquared(), 6400.0f);
    EXPECT_FLOAT_EQ(copy.getCustomLodSwitchDistanceSquared(), 3200.0f);
    ASSERT_EQ(copy.getDynamicProperties().size(), 1u);
    EXPECT_EQ(copy.getDynamicProperties()[0].data.intVal, 4);
}

TEST(CoreMetadataLoad, EmptyOrNullRootIsRefusedWithALoggedReason)
{
    Wren::Test::LogCapture log;
    CoreMetadata metadata("broken.meta", nullptr);
    XMLDataFile empty;
    DataElementPtr root = empty.getRootElement();
    EXPECT_FALSE(metadata.load(root));
    DataElementPtr none;
    EXPECT_FALSE(metadata.load(none));
    EXPECT_FALSE(metadata.save(none));
    EXPECT_TRUE(log.contains("broken.meta"));
    EXPECT_TRUE(metadata.save());
}
