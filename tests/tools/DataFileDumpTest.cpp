#include "DataFileDump.h"
#include "ObjectsFileConverter.h"
#include "TestEngine.h"

#include <gtest/gtest.h>

#include <sstream>

using Wren::DataFileDump;
using Wren::Test::TestEngine;

TEST(DumpTool, PrintsXmlAndBinaryObjectsFilesAlikeAndRefusesWhatItCanNotRead)
{
    const std::string dir = TestEngine::instance().makeTempFolder("dump");
    const std::string xml = TestEngine::writeFile(dir, "p.objects", R"(<Objects>
  <CorePartitionData ShowBounds="true"/>
  <Object Type="MeshGameObject" Name="rock_1"><CoreData PosX="1.5" MetaID="rock.meta"/>
    <MeshData IsStatic="true" CastShadows="false"/></Object>
</Objects>)");
    std::ostringstream out;
    std::string error;
    ASSERT_TRUE(DataFileDump::dump(xml, out, error)) << error;
    EXPECT_EQ("Objects\n"
              "  CorePartitionData ShowBounds=\"true\"\n"
              "  Object Type=\"MeshGameObject\" Name=\"rock_1\"\n"
              "    CoreData PosX=\"1.5\" MetaID=\"rock.meta\"\n"
              "    MeshData IsStatic=\"true\" CastShadows=\"false\"\n",
              out.str());

    const Wren::ObjectsFileConverter::Result binary =
        Wren::ObjectsFileConverter::convert(xml, "", Wren::ObjectsFileConverter::Options());
    ASSERT_TRUE(binary.ok) << binary.error;
    out.str("");
    ASSERT_TRUE(DataFileDump::dump(binary.output, out, error)) << error;
    EXPECT_EQ("Objects bytes=\"1\" ShowBounds=\"true\"\n"
              "  Object bytes=\"276\" Type=\"MeshGameObject\" Name=\"rock_1\" PosX=\"1.5\" PosY=\"0\" "
              "PosZ=\"0\" OrientX=\"0\" OrientY=\"0\" OrientZ=\"0\" OrientW=\"0\" ScaleX=\"0\" "
              "ScaleY=\"0\" ScaleZ=\"0\" MetaID=\"rock.meta\" PartitionID=\"\" IsStatic=\"true\" "
              "CastShadows=\"false\"\n",
              out.str());

    out.str("");
    EXPECT_FALSE(DataFileDump::dump(dir, out, error));
    EXPECT_FALSE(DataFileDump::dump(TestEngine::writeFile(dir, "cut.objbinary", "WBIN\x01"), out, error));
    EXPECT_NE(std::string::npos, error.find("cut.objbinary"));
    EXPECT_EQ("", out.str());
}
