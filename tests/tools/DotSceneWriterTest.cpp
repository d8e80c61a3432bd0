#include "DataElement.h"
#include "DotSceneWriter.h"
#include "TestEngine.h"
#include "XMLDataFile.h"

#include <gtest/gtest.h>

#include <filesystem>

using Wren::Test::TestEngine;

namespace
{
    class SubMeshExtension : public Wren::WorldTemplateExtension
    {
    public:
        SubMeshExtension(const char* attribute, const char* mesh)
            : mAttribute(attribute), mMesh(mesh)
        {
        }
        void writeMetadata(Wren::DataElementPtr& root) const override
        {
            root->createChild("MeshData")
                ->createChild("SubMeshData")
                ->setAttributeString(mAttribute, mMesh);
        }
        void writeObject(Wren::DataElementPtr&, const Wren::PlacedObject&) const override {}

    private:
        std::string mAttribute;
        std::string mMesh;
    };

    Wren::WorldTemplate meshTemplate(const char* attribute, const char* mesh)
    {
        Wren::WorldTemplate t;
        t.objectType = "MeshGameObject";
        t.extension = std::make_shared<SubMeshExtension>(attribute, mesh);
        return t;
    }

    Wren::PlacedObject placed(const std::string& name, size_t templateIndex, int i, int j,
                              const Ogre::Vector3& position)
    {
        Wren::PlacedObject o;
        o.name = name;
        o.templateIndex = templateIndex;
        o.cellX = i;
        o.cellZ = j;
        o.position = position;
        o.orientation.FromAngleAxis(Ogre::Degree(90), Ogre::Vector3::UNIT_Y);
        o.scale = Ogre::Vector3(0.1f, 0.2f, 0.3f);
        return o;
    }
}

TEST(DotSceneWriter, TemplateMeshIsTheFirstSubMeshOrNoneForPlainTemplates)
{
    TestEngine::instance();
    const std::vector<std::string> names = Wren::DotSceneWriter::meshNamesOf(
        {Wren::WorldTemplate(), meshTemplate("Mesh", "rock.mesh"),
         meshTemplate("HighLODMesh", "tower_high.mesh")});
    EXPECT_EQ(names, (std::vector<std::string>{"", "rock.mesh", "tower_high.mesh"}));
}

TEST(DotSceneWriter, NodesCarryWorldTransformsAndOneEntityEach)
{
    TestEngine::instance();
    Wren::WorldGrid grid;
    grid.cellsX = grid.cellsZ = 2;
    grid.cellSize = 100.0f;
    const std::vector<Wren::PlacedObject> objects = {
        placed("Rock_1_2024_1_2_3_4_5", 1, 1, 0, Ogre::Vector3(3, 1, -4)),
        placed("Odd \"<&>\" name", 0, 0, 1, Ogre::Vector3::ZERO),
        placed("Rock_3_2024_1_2_3_4_5", 7, 0, 0, Ogre::Vector3(0.1f, 0, 0))};
    const std::string text =
        Wren::DotSceneWriter::toText(objects, grid, {"", "rock.mesh"});

    Wren::XMLDataFile file;
    ASSERT_TRUE(file.load(text.c_str()));
    Wren::DataElementPtr root = file.getRootElement();
    EXPECT_EQ(root->getAttributeString("formatVersion", ""), "1.1");
    std::vector<Wren::DataElementPtr> nodes;
    for (Wren::DataElementPtr n = root->getFirstChild("nodes")->getFirstChild("node");
         !n->getIsEmpty(); n = n->getNextSibling("node"))
        nodes.push_back(n);
    ASSERT_EQ(nodes.size(), 3u);

    // Cell (1, 0) of a 2 x 2 grid of 100 lies at (50, 0, -50).
    Wren::DataElementPtr first = nodes[0];
    EXPECT_EQ(first->getAttributeString("name", ""), "Rock_1_2024_1_2_3_4_5");
    Wren::DataElementPtr position = first->getFirstChild("position");
    EXPECT_FLOAT_EQ(position->getAttributeFloat("x", 0), 53.0f);
    EXPECT_FLOAT_EQ(position->getAttributeFloat("y", 0), 1.0f);
    EXPECT_FLOAT_EQ(position->getAttributeFloat("z", 0), -54.0f);
    Wren::DataElementPtr rotation = first->getFirstChild("rotation");
    EXPECT_FLOAT_EQ(rotation->getAttributeFloat("qw", 0), objects[0].orientation.w);
    EXPECT_FLOAT_EQ(rotation->getAttributeFloat("qy", 0), objects[0].orientation.y);
    EXPECT_FLOAT_EQ(first->getFirstChild("scale")->getAttributeFloat("z", 0), 0.3f);
    Wren::DataElementPtr entity = first->getFirstChild("entity");
    EXPECT_EQ(entity->getAttributeString("name", ""), "Rock_1_2024_1_2_3_4_5");
    EXPECT_EQ(entity->getAttributeString("meshFile", ""), "rock.mesh");

    // A plain template and an index past the mesh list give bare nodes;
    // names are escaped and read back whole.
    EXPECT_EQ(nodes[1]->getAttributeString("name", ""), "Odd \"<&>\" name");
    EXPECT_TRUE(nodes[1]->getFirstChild("entity")->getIsEmpty());
    EXPECT_TRUE(nodes[2]->getFirstChild("entity")->getIsEmpty());
    // Nine significant digits give the float back exactly.
    EXPECT_EQ(nodes[2]->getFirstChild("position")->getAttributeFloat("x", 0), -50.0f + 0.1f);
}

TEST(DotSceneWriter, WritesThroughATemporaryFileAndRefusesAMissingFolder)
{
    TestEngine& engine = TestEngine::instance();
    const std::string folder = engine.makeTempFolder("scene");
    Wren::WorldGrid grid;
    const std::vector<Wren::PlacedObject> objects = {
        placed("A_1", 0, 4, 4, Ogre::Vector3::ZERO)};
    std::string error;
    ASSERT_TRUE(Wren::DotSceneWriter::write(folder + "/W.scene", objects, grid, {"a.mesh"}, error));
    EXPECT_EQ(TestEngine::readFile(folder + "/W.scene"),
              Wren::DotSceneWriter::toText(objects, grid, {"a.mesh"}));
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 1u);

    Wren::Test::LogCapture log;
    EXPECT_FALSE(Wren::DotSceneWriter::write(folder + "/missing/W.scene", objects, grid,
                                             {"a.mesh"}, error));
    EXPECT_NE(error.find("missing/W.scene"), std::string::npos);
    EXPECT_TRUE(log.contains("DotSceneWriter"));
}
