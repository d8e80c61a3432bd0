#include "BinaryFileResource.h"
#include "ObjectsFileConverter.h"
#include "TestEngine.h"

#include <gtest/gtest.h>

#include <filesystem>

using Wren::ObjectsFileConverter;
using Wren::Test::TestEngine;

namespace
{
    const char* const gObjects = R"(<Objects>
  <CorePartitionData ShowBounds="false"/>
  <Object Type="MeshGameObject" Name="rock_1">
    <CoreData PosX="1" PosY="2" PosZ="3" OrientW="1" ScaleX="1" ScaleY="1" ScaleZ="1"
              MetaID="rock.meta" PartitionID="0_0"/>
    <MeshData IsStatic="true" CastShadows="true"/>
  </Object>
  <Object Type="DummyGameObject" Name="marker_2"/>
</Objects>)";

    std::string folder() { return TestEngine::instance().makeTempFolder("convert"); }
}

TEST(ConvertTool, XmlBecomesBinaryBesideItAndBackAgain)
{
    const std::string dir = folder();
    const std::string xml = TestEngine::writeFile(dir, "W_Partition1.objects", gObjects);
    const std::string original = TestEngine::readFile(xml);

    ObjectsFileConverter::Result toBinary = ObjectsFileConverter::convert(xml, "", false);
    ASSERT_TRUE(toBinary.ok) << toBinary.error;
    EXPECT_EQ(dir + "/W_Partition1.objbinary", toBinary.output);
    EXPECT_EQ(2u, toBinary.objects);
    EXPECT_EQ(ObjectsFileConverter::Form::Binary, ObjectsFileConverter::formOf(toBinary.output));
    EXPECT_EQ(original, TestEngine::readFile(xml));

    const std::string back = dir + "/back.objects";
    ObjectsFileConverter::Result toXml = ObjectsFileConverter::convert(toBinary.output, back, false);
    ASSERT_TRUE(toXml.ok) << toXml.error;
    const std::string text = TestEngine::readFile(back);
    EXPECT_NE(std::string::npos, text.find("rock.meta"));
    EXPECT_NE(std::string::npos, text.find("marker_2"));
    EXPECT_NE(std::string::npos, text.find("CastShadows=\"true\""));

    nlohmann::json j = ObjectsFileConverter::toJson(toXml);
    EXPECT_EQ(true, j["ok"]);
    EXPECT_EQ("binary", j["from"]);
    EXPECT_EQ("xml", j["to"]);
    EXPECT_EQ(2, j["objects"]);
}

TEST(ConvertTool, FormIsToldByContentNotByName)
{
    const std::string dir = folder();
    const std::string xml = TestEngine::writeFile(dir, "misnamed.objbinary", gObjects);
    EXPECT_EQ(ObjectsFileConverter::Form::Xml, ObjectsFileConverter::formOf(xml));
    ObjectsFileConverter::Result r = ObjectsFileConverter::convert(xml, "", false);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(xml + ".objbinary", r.output);
    EXPECT_EQ(ObjectsFileConverter::Form::Missing, ObjectsFileConverter::formOf(dir + "/none"));
}

TEST(ConvertTool, NeverReplacesTheInputOrAnExistingOutputUnlessForced)
{
    const std::string dir = folder();
    const std::string xml = TestEngine::writeFile(dir, "a.objects", gObjects);
    const std::string existing = TestEngine::writeFile(dir, "a.objbinary", "precious");

    ObjectsFileConverter::Result same = ObjectsFileConverter::convert(xml, dir + "/./a.objects", true);
    EXPECT_FALSE(same.ok);
    EXPECT_EQ(gObjects, TestEngine::readFile(xml));

    ObjectsFileConverter::Result kept = ObjectsFileConverter::convert(xml, "", false);
    EXPECT_FALSE(kept.ok);
    EXPECT_NE(std::string::npos, kept.error.find("--force"));
    EXPECT_EQ("precious", TestEngine::readFile(existing));

    ObjectsFileConverter::Result forced = ObjectsFileConverter::convert(xml, "", true);
    EXPECT_TRUE(forced.ok) << forced.error;
    EXPECT_EQ(ObjectsFileConverter::Form::Binary, ObjectsFileConverter::formOf(existing));
}

TEST(ConvertTool, BadInputsFailWithOneLineAndWriteNothing)
{
    const std::string dir = folder();
    struct Case
    {
        const char* name;
        std::string content;
        const char* says;
    };
    const Case cases[] = {
        {"broken.objects", "<Objects><CorePartitionData/>", "not well-formed"},
        {"world.objects", "<World/>", "CorePartitionData"},
        {"cut.objbinary", "WBIN\x01\x00", "not a readable binary"},
        {"long.objects",
         "<Objects><CorePartitionData/><Object Type=\"" + std::string(40, 'T') +
             "\" Name=\"n\"/></Objects>",
         "longer than 31"},
    };
    for (const Case& c : cases)
    {
        const std::string input = TestEngine::writeFile(dir, c.name, c.content);
        ObjectsFileConverter::Result r = ObjectsFileConverter::convert(input, dir + "/out", false);
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_NE(std::string::npos, r.error.find(c.says)) << c.name << ": " << r.error;
        EXPECT_EQ(std::string::npos, r.error.find('\n')) << c.name;
        EXPECT_FALSE(std::filesystem::exists(dir + "/out")) << c.name;
    }
    EXPECT_FALSE(ObjectsFileConverter::convert(dir + "/absent.objects", "", false).ok);
}
