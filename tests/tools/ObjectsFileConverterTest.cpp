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

    ObjectsFileConverter::Options overwriting(bool overwrite)
    {
        ObjectsFileConverter::Options options;
        options.overwrite = overwrite;
        return options;
    }
}

TEST(ConvertTool, XmlBecomesBinaryBesideItAndBackAgain)
{
    const std::string dir = folder();
    const std::string xml = TestEngine::writeFile(dir, "W_Partition1.objects", gObjects);
    const std::string original = TestEngine::readFile(xml);

    ObjectsFileConverter::Result toBinary = ObjectsFileConverter::convert(xml, "", overwriting(false));
    ASSERT_TRUE(toBinary.ok) << toBinary.error;
    EXPECT_EQ(dir + "/W_Partition1.objbinary", toBinary.output);
    EXPECT_EQ(2u, toBinary.objects);
    EXPECT_EQ(ObjectsFileConverter::Form::Binary, ObjectsFileConverter::formOf(toBinary.output));
    EXPECT_EQ(original, TestEngine::readFile(xml));

    const std::string back = dir + "/back.objects";
    ObjectsFileConverter::Result toXml = ObjectsFileConverter::convert(toBinary.output, back, overwriting(false));
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
    ObjectsFileConverter::Result r = ObjectsFileConverter::convert(xml, "", overwriting(false));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(xml + ".objbinary", r.output);
    EXPECT_EQ(ObjectsFileConverter::Form::Missing, ObjectsFileConverter::formOf(dir + "/none"));
}

TEST(ConvertTool, NeverReplacesTheInputOrAnExistingOutputUnlessForced)
{
    const std::string dir = folder();
    const std::string xml = TestEngine::writeFile(dir, "a.objects", gObjects);
    const std::string existing = TestEngine::writeFile(dir, "a.objbinary", "precious");

    ObjectsFileConverter::Result same = ObjectsFileConverter::convert(xml, dir + "/./a.objects", overwriting(true));
    EXPECT_FALSE(same.ok);
    EXPECT_EQ(gObjects, TestEngine::readFile(xml));

    ObjectsFileConverter::Result kept = ObjectsFileConverter::convert(xml, "", overwriting(false));
    EXPECT_FALSE(kept.ok);
    EXPECT_NE(std::string::npos, kept.error.find("--force"));
    EXPECT_EQ("precious", TestEngine::readFile(existing));

    ObjectsFileConverter::Result forced = ObjectsFileConverter::convert(xml, "", overwriting(true));
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
        ObjectsFileConverter::Result r = ObjectsFileConverter::convert(input, dir + "/out", overwriting(false));
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_NE(std::string::npos, r.error.find(c.says)) << c.name << ": " << r.error;
        EXPECT_EQ(std::string::npos, r.error.find('\n')) << c.name;
        EXPECT_FALSE(std::filesystem::exists(dir + "/out")) << c.name;
    }
    EXPECT_FALSE(ObjectsFileConverter::convert(dir + "/absent.objects", "", overwriting(false)).ok);
    ObjectsFileConverter::Result folderAsFile = ObjectsFileConverter::convert(dir, "", overwriting(false));
    EXPECT_FALSE(folderAsFile.ok);
    EXPECT_NE(std::string::npos, folderAsFile.error.find("is a folder"));
}

TEST(ConvertTool, AWorldFolderHasEveryObjectsFileConvertedAndReportedAndVerified)
{
    const std::string world = folder();
    TestEngine::writeFile(world, "W.World", "<World/>");
    std::filesystem::create_directories(world + "/Partitions/old");
    for (const char* name : {"W_Partition0_0.objects", "W_Partition0_1.objects", "old/W_Partition9.objects"})
        TestEngine::writeFile(world + "/Partitions", name, gObjects);

    ObjectsFileConverter::Options options;
    options.verify = true;
    ObjectsFileConverter::FolderResult result = ObjectsFileConverter::convertFolder(world, options);
    ASSERT_TRUE(result.ok) << ObjectsFileConverter::describe(result);
    ASSERT_EQ(3u, result.files.size());
    for (const ObjectsFileConverter::Result& file : result.files)
    {
        EXPECT_TRUE(file.verified);
        EXPECT_EQ(ObjectsFileConverter::Form::Binary, ObjectsFileConverter::formOf(file.output));
    }
    const std::string report = ObjectsFileConverter::describe(result);
    EXPECT_NE(std::string::npos, report.find("W_Partition0_1.objbinary"));
    EXPECT_NE(std::string::npos, report.find("converted 3 of 3 objects files (6 objects)"));
    EXPECT_EQ(3, ObjectsFileConverter::toJson(result)["converted"]);

    // Now it holds both forms: the direction has to be said, and the files
    // already there are kept unless forced.
    EXPECT_FALSE(ObjectsFileConverter::convertFolder(world, options).ok);
    options.to = ObjectsFileConverter::Form::Xml;
    result = ObjectsFileConverter::convertFolder(world, options);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(std::string::npos, result.files[0].error.find("--force"));
    options.overwrite = true;
    result = ObjectsFileConverter::convertFolder(world, options);
    EXPECT_TRUE(result.ok) << ObjectsFileConverter::describe(result);

    EXPECT_FALSE(ObjectsFileConverter::convertFolder(world + "/W.World", options).ok);
    EXPECT_FALSE(ObjectsFileConverter::convertFolder(folder(), options).ok);
}

TEST(ConvertTool, ObjectsTheBinaryRecordCanNotKeepAreRefusedByNameUnlessLossIsAllowed)
{
    const std::string dir = folder();
    const std::string xml = TestEngine::writeFile(dir, "rich.objects", R"(<Objects>
  <CorePartitionData ShowBounds="true"/>
  <Object Type="MeshGameObject" Name="parent_1">
    <CoreData PosX="0.123456789" MetaID="rock.meta" PartitionID="0_0">
      <DynamicProperties><Property ID="Rock_Label"/></DynamicProperties>
    </CoreData>
    <Children><Object Type="MeshGameObject" Name="child_2"/></Children>
  </Object>
  <Object Type="MeshGameObject" Name="plain_3"/>
</Objects>)");
    ObjectsFileConverter::Result refused = ObjectsFileConverter::convert(xml, "", overwriting(false));
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(std::string::npos, refused.error.find("parent_1")) << refused.error;
    EXPECT_NE(std::string::npos, refused.error.find("1 child, 1 dynamic property"));
    EXPECT_FALSE(std::filesystem::exists(dir + "/rich.objbinary"));

    ObjectsFileConverter::Options options;
    options.allowLoss = true;
    options.verify = true;
    ObjectsFileConverter::Result lossy = ObjectsFileConverter::convert(xml, "", options);
    ASSERT_TRUE(lossy.ok) << lossy.error;
    EXPECT_TRUE(lossy.verified);
    EXPECT_EQ(2u, lossy.objects);
    EXPECT_EQ((std::vector<std::string>{"object \"parent_1\": 1 child, 1 dynamic property"}),
              lossy.dropped);
    EXPECT_NE(std::string::npos, ObjectsFileConverter::describe(lossy).find("left behind"));

    // Back to XML, verified with the floats as the text keeps them.
    options.allowLoss = false;
    ObjectsFileConverter::Result back = ObjectsFileConverter::convert(lossy.output, dir + "/back.objects", options);
    EXPECT_TRUE(back.ok) << back.error;
    EXPECT_TRUE(back.verified);
}
