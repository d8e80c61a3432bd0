#include "CameraPath.h"
#include "DotSceneWriter.h"
#include "MediaGenerator.h"
#include "SceneExporter.h"
#include "SceneImporter.h"
#include "TestEngine.h"
#include "WorldGenerator.h"
#include "WorldViewer.h"

#include <OgreRoot.h>
#include <OgreSceneManager.h>

#include <tinyxml.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

namespace fs = std::filesystem;
using Wren::Test::TestEngine;

namespace
{
    struct SceneNodeSeen
    {
        Ogre::Vector3 position;
        std::string mesh;
        bool light = false;
        /** The names of the nodes right below it. */
        std::vector<std::string> children;
    };

    /** Every node of a written scene file by name, read as plain XML. */
    std::map<std::string, SceneNodeSeen> nodesOfSceneFile(const std::string& path)
    {
        std::map<std::string, SceneNodeSeen> out;
        TiXmlDocument document;
        EXPECT_TRUE(document.LoadFile(path.c_str())) << path;
        std::function<void(const TiXmlElement*)> read = [&](const TiXmlElement* parent) {
            for (const TiXmlElement* e = parent->FirstChildElement("node"); e;
                 e = e->NextSiblingElement("node"))
            {
                SceneNodeSeen& seen = out[e->Attribute("name")];
                const TiXmlElement* p = e->FirstChildElement("position");
                double x = 0, y = 0, z = 0;
                p->QueryDoubleAttribute("x", &x);
                p->QueryDoubleAttribute("y", &y);
                p->QueryDoubleAttribute("z", &z);
                seen.position = Ogre::Vector3(float(x), float(y), float(z));
                if (const TiXmlElement* entity = e->FirstChildElement("entity"))
                    seen.mesh = entity->Attribute("meshFile");
                seen.light = e->FirstChildElement("light") != nullptr;
                for (const TiXmlElement* c = e->FirstChildElement("node"); c;
                     c = c->NextSiblingElement("node"))
                    seen.children.push_back(c->Attribute("name"));
                read(e);
            }
        };
        if (const TiXmlElement* root = document.RootElement())
            if (const TiXmlElement* nodes = root->FirstChildElement("nodes"))
                read(nodes);
        return out;
    }
}

// A world the generator also wrote as a scene comes back from that scene as
// a world of its own: the viewer streams the same objects at the same
// places, and its export holds the same nodes again.
TEST(SceneImport, GeneratedSceneStreamsAtTheSamePlacesAndExportsBackToTheSameNodes)
{
    TestEngine::instance();
    Wren::WorldGeneratorOptions generation;
    generation.cells = 2;
    generation.objectsPerCell = 7;
    generation.seed = 5;
    const std::string source = TestEngine::instance().makeTempFolder("scene-source") + "/W";
    Wren::WorldGenerator generator(generation);
    const Wren::WorldGeneratorResult generated = generator.generate(source);
    ASSERT_TRUE(generated.ok) << generated.error;
    const std::vector<Wren::PlacedObject> placed = generator.place();
    std::string error;
    const std::string scene = source + "/W.scene";
    ASSERT_TRUE(Wren::DotSceneWriter::write(
        scene, placed, generated.grid,
        Wren::DotSceneWriter::meshNamesOf(generator.getOptions().templates), error));
    std::map<std::string, Ogre::Vector3> expected;
    for (const Wren::PlacedObject& o : placed)
        expected[o.name] = generated.grid.cellWorldPosition(o.cellX, o.cellZ) + o.position;

    const std::string world = TestEngine::instance().makeTempFolder("scene-import") + "/W";
    const Wren::SceneImportResult imported = Wren::SceneImporter::import(scene, world);
    ASSERT_TRUE(imported.ok()) << imported.error;
    EXPECT_EQ(imported.imported, placed.size());
    EXPECT_TRUE(imported.refused.empty()) << imported.refused.front();
    EXPECT_TRUE(fs::exists(world + "/Media/" + Wren::MediaGenerator::MaterialScript));

    Wren::WorldViewerOptions view;
    view.world = world;
    view.backgroundLoading = false;
    view.customPath = Wren::CameraPath::line(Ogre::Vector3(-20, 30, 0), Ogre::Vector3(20, 30, 0),
                                             96.0f, 1 / 30.0f);
    view.frames = 12;
    // The objects' nodes carry their names (with the partition's ID after).
    std::map<std::string, Ogre::Vector3> nodes;
    Wren::WorldViewer viewer(view);
    ASSERT_TRUE(viewer.run([&nodes](const Wren::ViewerFigures&) {
        nodes.clear();
        std::function<void(Ogre::Node*)> walk = [&](Ogre::Node* node) {
            nodes[node->getName()] = node->_getDerivedPosition();
            for (Ogre::Node* child : node->getChildren())
                walk(child);
        };
        for (const auto& entry : Ogre::Root::getSingleton().getSceneManagers())
            walk(entry.second->getRootSceneNode());
    })) << viewer.getError();
    EXPECT_EQ(viewer.getReport().getFigures().objects, placed.size());
    for (const auto& object : expected)
    {
        auto found = nodes.lower_bound(object.first);
        ASSERT_TRUE(found != nodes.end() && found->first.rfind(object.first, 0) == 0)
            << object.first;
        EXPECT_LT(found->second.distance(object.second), 1e-3f) << object.first;
    }

    const std::string exported = world + "/Exported.scene";
    const Wren::SceneExportResult written = Wren::SceneExporter::exportWorld(world, exported);
    ASSERT_TRUE(written.ok) << written.error;
    EXPECT_EQ(written.nodes, placed.size());
    const std::map<std::string, SceneNodeSeen> back = nodesOfSceneFile(exported);
    ASSERT_EQ(back.size(), expected.size());
    for (const auto& object : expected)
    {
        auto found = back.find(object.first);
        ASSERT_TRUE(found != back.end()) << object.first;
        EXPECT_LT(found->second.position.distance(object.second), 1e-3f) << object.first;
        EXPECT_FALSE(found->second.mesh.empty()) << object.first;
    }
}

// What can not be placed is listed, the rest imports: children of an entity
// stay its children, a group's transform passes on to what it holds, a
// light becomes a light object. Nothing placeable at all is a failure.
TEST(SceneImport, UnplaceableNodesAreListedAndTheRestImportsWithChildrenAndLights)
{
    TestEngine::instance();
    const std::string folder = TestEngine::instance().makeTempFolder("scene-refusals");
    std::vector<std::string> media;
    std::string why;
    ASSERT_TRUE(Wren::MediaGenerator::write(folder + "/meshes", media, &why)) << why;
    typedef Wren::MediaGenerator Media;
    const std::string box = Media::meshName(Media::SHAPE_BOX, Media::LEVEL_HIGH);
    const std::string scene = TestEngine::writeFile(folder, "level.scene", R"(
<scene formatVersion="1.1"><nodes>
  <node name="Hut"><position x="10" y="0" z="20"/>
    <entity name="Hut" meshFile=")" + box + R"("/>
    <node name="Chimney"><position x="0" y="2" z="0"/>
      <entity name="Chimney" meshFile=")" + box + R"("/></node>
  </node>
  <node name="Empty"><position x="5" y="0" z="5"/></node>
  <node name="Ghost"><entity name="Ghost" meshFile="Missing.mesh"/></node>
  <node name="Group"><position x="-300" y="0" z="0"/>
    <node name="Rock"><position x="1" y="0" z="0"/>
      <entity name="Rock" meshFile=")" + box + R"("/></node>
  </node>
  <node name="Lamp"><position x="0" y="5" z="0"/>
    <light name="LampLight" type="point"><colourDiffuse r="1" g="0.5" b="0"/></light></node>
</nodes></scene>)");

    const std::string world = TestEngine::instance().makeTempFolder("scene-refusals-world") + "/W";
    const Wren::SceneImportResult imported = Wren::SceneImporter::import(scene, world);
    ASSERT_TRUE(imported.ok()) << imported.error;
    EXPECT_EQ(imported.imported, 4u);
    EXPECT_EQ(imported.lights, 1u);
    EXPECT_EQ(imported.refused,
              (std::vector<std::string>{"node 'Empty': no entity", "node 'Ghost': no entity",
                                        "mesh 'Missing.mesh': can not be loaded"}));
    EXPECT_EQ(imported.world.grid.cellsX, 3);
    EXPECT_TRUE(fs::exists(world + "/Media/" + box));

    const std::string exported = world + "/W.scene";
    ASSERT_TRUE(Wren::SceneExporter::exportWorld(world, exported).ok);
    const std::map<std::string, SceneNodeSeen> back = nodesOfSceneFile(exported);
    ASSERT_EQ(back.size(), 4u);
    EXPECT_EQ(back.at("Hut").children, std::vector<std::string>{"Chimney"});
    EXPECT_LT(back.at("Chimney").position.distance(Ogre::Vector3(0, 2, 0)), 1e-3f);
    EXPECT_LT(back.at("Rock").position.distance(Ogre::Vector3(-299, 0, 0)), 1e-3f);
    EXPECT_EQ(back.at("Rock").mesh, box);
    EXPECT_TRUE(back.at("Lamp").mesh.empty());
    EXPECT_TRUE(back.at("Lamp").light);
    // OGRE's loader reads the export back to the same objects.
    const Wren::SceneImportResult again = Wren::SceneImporter::import(
        exported, TestEngine::instance().makeTempFolder("scene-again") + "/W");
    EXPECT_EQ(again.imported, 4u);
    EXPECT_EQ(again.lights, 1u);
    EXPECT_TRUE(again.refused.empty());

    const std::string nothing =
        TestEngine::writeFile(folder, "empty.scene",
                              R"(<scene formatVersion="1.1"><nodes><node name="Empty"/></nodes>)"
                              "</scene>");
    const Wren::SceneImportResult none = Wren::SceneImporter::import(
        nothing, TestEngine::instance().makeTempFolder("scene-none") + "/W");
    EXPECT_FALSE(none.ok());
    EXPECT_EQ(none.refused, std::vector<std::string>{"node 'Empty': no entity"});
    EXPECT_FALSE(none.error.empty());
}
