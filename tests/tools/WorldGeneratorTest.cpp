#include "BinaryFileResource.h"
#include "ChimeSound.h"
#include "CompleteObjectDataInfo.h"
#include "DataElement.h"
#include "EffectSystemMetadata.h"
#include "LightMetadata.h"
#include "MediaGenerator.h"
#include "MeshMetadata.h"
#include "ParticleSystemMetadata.h"
#include "ParticleSystemTemplateExtension.h"
#include "SoundMetadata.h"
#include "SoundTemplateExtension.h"
#include "TestEngine.h"
#include "WorldGenerator.h"
#include "WorldGeneratorRandom.h"
#include "WorldGrid.h"
#include "XMLDataElement.h"
#include "XMLDataFile.h"

#include <OgreStringConverter.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <regex>
#include <set>

namespace fs = std::filesystem;
using Wren::Test::TestEngine;

namespace
{
    Wren::WorldGeneratorOptions smallWorld(std::uint32_t seed = 7)
    {
        Wren::WorldGeneratorOptions options;
        options.cells = 3;
        options.objectsPerCell = 6;
        options.seed = seed;
        return options;
    }

    /** A world folder "W" inside a fresh folder named "worlds". */
    std::string freshWorldFolder(const std::string& hint, const std::string& name = "W")
    {
        return TestEngine::instance().makeTempFolder(hint) + "/worlds/" + name;
    }

    std::map<std::string, std::string> filesBelow(const std::string& folder)
    {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file())
                files[fs::relative(entry.path(), folder).string()] =
                    TestEngine::readFile(entry.path().string());
        return files;
    }

    struct StoredObject
    {
        std::string file;
        std::string type, name, metaId, partitionId;
        float pos[3], orient[4], scale[3];
        /** The "MeshData" flags; -1 without the element. */
        int isStatic = -1, castShadows = -1;
    };

    std::vector<StoredObject> readXmlObjects(const std::string& path)
    {
        std::vector<StoredObject> objects;
        Wren::XMLDataFile file;
        EXPECT_TRUE(file.load(path)) << path;
        Wren::DataElementPtr root = file.getRootElement();
        EXPECT_FALSE(root->getFirstChild("CorePartitionData")->getIsEmpty()) << path;
        for (Wren::DataElementPtr e = root->getFirstChild("Object"); !e->getIsEmpty();
             e = e->getNextSibling("Object"))
        {
            StoredObject o;
            o.file = path;
            o.type = e->getAttributeString("Type", "");
            o.name = e->getAttributeString("Name", "");
            Wren::DataElementPtr core = e->getFirstChild("CoreData");
            EXPECT_FALSE(core->getIsEmpty());
            EXPECT_FALSE(core->getFirstChild("DynamicProperties")->getIsEmpty());
            EXPECT_FALSE(e->getFirstChild("Children")->getIsEmpty());
            o.metaId = core->getAttributeString("MetaID", "");
            o.partitionId = core->getAttributeString("PartitionID", "");
            const char* p[] = {"PosX", "PosY", "PosZ"};
            const char* q[] = {"OrientX", "OrientY", "OrientZ", "OrientW"};
            const char* s[] = {"ScaleX", "ScaleY", "ScaleZ"};
            for (int k = 0; k < 3; ++k)
                o.pos[k] = core->getAttributeFloat(p[k], NAN);
            for (int k = 0; k < 4; ++k)
                o.orient[k] = core->getAttributeFloat(q[k], NAN);
            for (int k = 0; k < 3; ++k)
                o.scale[k] = core->getAttributeFloat(s[k], NAN);
            Wren::DataElementPtr mesh = e->getFirstChild("MeshData");
            if (!mesh->getIsEmpty())
            {
                o.isStatic = mesh->getAttributeBool("IsStatic", false) ? 1 : 0;
                o.castShadows = mesh->getAttributeBool("CastShadows", false) ? 1 : 0;
            }
            objects.push_back(o);
        }
        return objects;
    }

    std::string cellIdOfFile(const std::string& path, const std::string& world)
    {
        std::string name = fs::path(path).stem().string();
        return name.substr((world + "_Partition").size());
    }
}

// Random numbers ------------------------------------------------------------

TEST(WorldGeneratorRandom, EngineIsTheStandardMersenneTwister)
{
    // The standard fixes the 10000th output of a default-seeded mt19937.
    Wren::WorldGeneratorRandom random(5489u);
    for (int k = 0; k < 9999; ++k)
        random.next();
    EXPECT_EQ(random.next(), 4123659995u);
}

TEST(WorldGeneratorRandom, UnitUsesTheTop24BitsOfOneOutput)
{
    Wren::WorldGeneratorRandom random(5489u);  // first output 3499211612
    EXPECT_EQ(random.unit(), 13668795.0f / 16777216.0f);
}

TEST(WorldGeneratorRandom, BelowRedrawsOutputsOfTheBiasedTail)
{
    // Seed 1 gives 1791095845, 4282876139, 3093770124; with count 3 * 2^30
    // the second lies above the last whole multiple and is redrawn.
    Wren::WorldGeneratorRandom random(1u);
    EXPECT_EQ(random.below(3221225472u), 1791095845u);
    EXPECT_EQ(random.below(3221225472u), 3093770124u);
}

TEST(WorldGeneratorRandom, DrawsStayInTheirRangesAndCoverThem)
{
    Wren::WorldGeneratorRandom random(42u);
    std::set<std::uint32_t> seen;
    for (int k = 0; k < 2000; ++k)
    {
        std::uint32_t v = random.below(5);
        ASSERT_LT(v, 5u);
        seen.insert(v);
        float f = random.uniform(-2.0f, 3.0f);
        ASSERT_GE(f, -2.0f);
        ASSERT_LT(f, 3.0f);
    }
    EXPECT_EQ(seen.size(), 5u);
    EXPECT_EQ(random.below(0), 0u);
    EXPECT_EQ(random.uniform(4.0f, 4.0f), 4.0f);
}

// Names' time ---------------------------------------------------------------

TEST(WorldGeneratorTime, EpochSecondsBecomeUnpaddedCalendarFields)
{
    EXPECT_EQ(Wren::UtcTime::fromEpochSeconds(0).text(), "1970_1_1_0_0_0");
    EXPECT_EQ(Wren::UtcTime::fromEpochSeconds(951782400).text(), "2000_2_29_0_0_0");
    EXPECT_EQ(Wren::UtcTime::fromEpochSeconds(1709251199).text(), "2024_2_29_23_59_59");
    EXPECT_EQ(Wren::UtcTime::fromEpochSeconds(-1).text(), "1969_12_31_23_59_59");
    EXPECT_EQ(Wren::UtcTime::fromEpochSeconds(4102444800LL).text(), "2100_1_1_0_0_0");
}

TEST(WorldGeneratorTime, SeedsChooseTimesWithinTheSampleYears)
{
    std::set<std::string> texts;
    for (std::uint32_t seed : {0u, 1u, 2u, 3u, 1000u, 4294967295u})
    {
        Wren::UtcTime t = Wren::WorldGenerator::timeForSeed(seed);
        EXPECT_GE(t.year, 2020);
        EXPECT_LE(t.year, 2024);
        texts.insert(t.text());
    }
    EXPECT_EQ(texts.size(), 6u);
}

// Writing a world -----------------------------------------------------------

TEST(WorldGeneration, SameSeedWritesTheSameBytes)
{
    const std::string a = freshWorldFolder("same-a"), b = freshWorldFolder("same-b");
    ASSERT_TRUE(Wren::WorldGenerator(smallWorld()).generate(a).ok);
    ASSERT_TRUE(Wren::WorldGenerator(smallWorld()).generate(b).ok);
    auto filesA = filesBelow(a), filesB = filesBelow(b);
    ASSERT_EQ(filesA.size(), filesB.size());
    // World file, metadata, objects files, resources.cfg, eight meshes, the
    // material script and the placeholder box with its template; the
    // meshes too are the same bytes.
    EXPECT_EQ(filesA.size(), 1u + 5u + 9u + 1u + 11u);
    EXPECT_EQ(filesA.count("Media/FineSphere_Low.mesh"), 1u);
    for (const auto& entry : filesA)
    {
        std::string other = filesB[entry.first];
        if (entry.first == "resources.cfg")
        {
            // Only the folder it names differs.
            std::string text = entry.second;
            size_t at;
            while ((at = text.find(a)) != std::string::npos)
                text.replace(at, a.size(), b);
            EXPECT_EQ(text, other);
        }
        else
            EXPECT_EQ(entry.second, other) << entry.first;
    }
}

TEST(WorldGeneration, DifferentSeedsPlaceDifferently)
{
    const std::string a = freshWorldFolder("seed-a"), b = freshWorldFolder("seed-b");
    ASSERT_TRUE(Wren::WorldGenerator(smallWorld(1)).generate(a).ok);
    ASSERT_TRUE(Wren::WorldGenerator(smallWorld(2)).generate(b).ok);
    EXPECT_NE(TestEngine::readFile(a + "/Partitions/W_Partition1_1.objects"),
              TestEngine::readFile(b + "/Partitions/W_Partition1_1.objects"));
}

TEST(WorldGeneration, EveryObjectLiesInsideItsCellAndWithinTheSavedBound)
{
    EXPECT_EQ(Wren::WorldGenerator::placementHalfExtent(256.0f), 127.0f);
    EXPECT_EQ(Wren::WorldGenerator::placementHalfExtent(40.0f), 19.0f);
    for (float cellSize : {256.0f, 40.0f})
    {
        float farthest = 0.0f;
        Wren::WorldGeneratorOptions options = smallWorld(11);
        options.cellSize = cellSize;
        options.objectsPerCell = 40;
        const std::string folder = freshWorldFolder("inside");
        Wren::WorldGeneratorResult result = Wren::WorldGenerator(options).generate(folder);
        ASSERT_TRUE(result.ok) << result.error;
        ASSERT_EQ(result.objectsFiles.size(), 9u);
        size_t count = 0;
        for (const std::string& path : result.objectsFiles)
        {
            const std::string id = cellIdOfFile(path, "W");
            auto cell = Wren::WorldGrid::parseCellId(id);
            ASSERT_TRUE(cell) << path;
            for (const StoredObject& o : readXmlObjects(path))
            {
                ++count;
                EXPECT_EQ(o.partitionId, id);
                Ogre::Vector3 world = result.grid.cellWorldPosition(cell->first, cell->second) +
                                      Ogre::Vector3(o.pos[0], o.pos[1], o.pos[2]);
                EXPECT_TRUE(result.grid.cellContains(cell->first, cell->second, world))
                    << o.name << " at " << world;
                // The grid's lookup nudges by half a unit; it must still land here.
                auto found = result.grid.cellAt(world + Ogre::Vector3(0.5f, 0, 0.5f));
                ASSERT_TRUE(found);
                EXPECT_EQ(*found, *cell) << o.name;
                // A grid partition saves its top-level objects within half
                // its cell size.
                EXPECT_LT(std::fabs(o.pos[0]), cellSize * 0.5f);
                EXPECT_LT(std::fabs(o.pos[2]), cellSize * 0.5f);
                farthest = std::max({farthest, std::fabs(o.pos[0]), std::fabs(o.pos[2])});
                float length = std::sqrt(o.orient[0] * o.orient[0] + o.orient[1] * o.orient[1] +
                                         o.orient[2] * o.orient[2] + o.orient[3] * o.orient[3]);
                EXPECT_NEAR(length, 1.0f, 1e-4f);
                EXPECT_GT(o.scale[0], 0.0f);
            }
        }
        EXPECT_EQ(count, 9u * 40u);
        // Objects use the whole cell, not only its middle.
        EXPECT_GT(farthest, cellSize * 0.4f);
    }
}

TEST(WorldGeneration, NamesAreUniqueAcrossTheWorldAndFollowTheNamingRule)
{
    const std::string folder = freshWorldFolder("names");
    Wren::WorldGeneratorResult result = Wren::WorldGenerator(smallWorld(3)).generate(folder);
    ASSERT_TRUE(result.ok);

    std::map<std::string, std::string> templateName;  // metadata ID -> "Name"
    for (const std::string& path : result.metadataFiles)
    {
        Wren::XMLDataFile meta;
        ASSERT_TRUE(meta.load(path));
        templateName[fs::path(path).filename().string()] =
            meta.getRootElement()->getAttributeString("Name", "");
    }

    const std::regex rule("(.+)_([0-9]+)_([0-9]+_[0-9]+_[0-9]+_[0-9]+_[0-9]+_[0-9]+)");
    std::set<std::string> names;
    std::set<int> numbers;
    for (const std::string& path : result.objectsFiles)
        for (const StoredObject& o : readXmlObjects(path))
        {
            EXPECT_TRUE(names.insert(o.name).second) << "duplicate " << o.name;
            std::smatch m;
            ASSERT_TRUE(std::regex_match(o.name, m, rule)) << o.name;
            ASSERT_TRUE(templateName.count(o.metaId)) << o.metaId;
            EXPECT_EQ(m[1].str(), templateName[o.metaId]);
            numbers.insert(std::stoi(m[2].str()));
            EXPECT_EQ(m[3].str(), Wren::WorldGenerator::timeForSeed(3).text());
        }
    ASSERT_EQ(names.size(), 54u);
    EXPECT_EQ(*numbers.begin(), 1);
    EXPECT_EQ(*numbers.rbegin(), 54);

    // New objects of the editor continue after the generated ones.
    Wren::XMLDataFile world;
    ASSERT_TRUE(world.load(result.worldFile));
    EXPECT_EQ(world.getRootElement()
                  ->getFirstChild("GameObjectManagerData")
                  ->getAttributeInt("ObjectUniqueInt", -1),
              54);
}

TEST(WorldGeneration, WorldFileCarriesTheManagerAndGridElements)
{
    Wren::WorldGeneratorOptions options = smallWorld();
    options.cells = 5;
    options.cellSize = 128;
    options.loadRadius = 200;
    const std::string folder = freshWorldFolder("world", "Meadow");
    Wren::WorldGeneratorResult result = Wren::WorldGenerator(options).generate(folder);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.worldFile, folder + "/Meadow.World");
    EXPECT_EQ(result.worldName, "Meadow");
    EXPECT_TRUE(fs::exists(folder + "/Partitions/Meadow_Partition4_4.objects"));

    Wren::XMLDataFile world;
    ASSERT_TRUE(world.load(result.worldFile));
    Wren::DataElementPtr root = world.getRootElement();
    EXPECT_EQ(static_cast<Wren::XMLDataElement*>(root.get())->getName(), "World");
    Wren::DataElementPtr manager = root->getFirstChild("GameObjectManagerData");
    ASSERT_FALSE(manager->getIsEmpty());
    EXPECT_FALSE(manager->getFirstChild("GameSystems")->getIsEmpty());
    Wren::DataElementPtr grid = root->getFirstChild("GridPartitionManagerData");
    ASSERT_FALSE(grid->getIsEmpty());
    EXPECT_EQ(grid->getAttributeFloat("GridCellSize", 0), 128.0f);
    EXPECT_EQ(grid->getAttributeInt("NumGridCellsX", 0), 5);
    EXPECT_EQ(grid->getAttributeInt("NumGridCellsZ", 0), 5);
    EXPECT_EQ(grid->getAttributeFloat("GridCellLoadRadius", 0), 200.0f);

    // The resource locations name the world's own folders, relative to it.
    const std::string config = TestEngine::readFile(result.resourcesFile);
    EXPECT_NE(config.find("[PLSM2]\nFileSystem=.\n"), std::string::npos);
    EXPECT_NE(config.find("FileSystem=Meta\n"), std::string::npos);
    EXPECT_TRUE(result.notes.empty());
}

TEST(WorldGeneration, MetadataFilesCoverEverySizeHint)
{
    const std::string folder = freshWorldFolder("meta");
    Wren::WorldGeneratorResult result = Wren::WorldGenerator(smallWorld()).generate(folder);
    ASSERT_TRUE(result.ok);
    std::set<std::string> hints;
    std::set<std::string> ids;
    for (const std::string& path : result.metadataFiles)
    {
        Wren::XMLDataFile meta;
        ASSERT_TRUE(meta.load(path));
        Wren::DataElementPtr root = meta.getRootElement();
        EXPECT_EQ(root->getAttributeString("ObjectType", ""), "MeshGameObject");
        Wren::DataElementPtr core = root->getFirstChild("CoreData");
        ASSERT_FALSE(core->getIsEmpty());
        EXPECT_EQ(core->getAttributeInt("SizeHintEnum", 0), -1);
        std::string hint = core->getAttributeString("SizeHint", "");
        bool named = hint == "VeryLarge" || hint == "Large" || hint == "Medium" || hint == "Small";
        hints.insert(named ? hint : (Ogre::StringConverter::isNumber(hint) ? "custom" : hint));
        ids.insert(fs::path(path).filename().string());
    }
    EXPECT_EQ(hints, (std::set<std::string>{"VeryLarge", "Large", "Medium", "Small", "custom"}));
    for (const std::string& path : result.objectsFiles)
        for (const StoredObject& o : readXmlObjects(path))
            EXPECT_TRUE(ids.count(o.metaId)) << o.metaId << " has no metadata file";
}

TEST(WorldGeneration, BinaryAndXmlFormsHoldTheSameRecords)
{
    const std::string xmlFolder = freshWorldFolder("xml"), binFolder = freshWorldFolder("bin");
    Wren::WorldGeneratorOptions options = smallWorld(5);
    Wren::WorldGeneratorResult xml = Wren::WorldGenerator(options).generate(xmlFolder);
    options.binary = true;
    Wren::WorldGeneratorResult bin = Wren::WorldGenerator(options).generate(binFolder);
    ASSERT_TRUE(xml.ok);
    ASSERT_TRUE(bin.ok) << bin.error;
    ASSERT_EQ(bin.objectsFiles.size(), xml.objectsFiles.size());
    EXPECT_TRUE(fs::exists(binFolder + "/Partitions/W_Partition2_1.objbinary"));
    EXPECT_FALSE(fs::exists(binFolder + "/Partitions/W_Partition2_1.objects"));

    for (size_t f = 0; f < xml.objectsFiles.size(); ++f)
    {
        std::vector<StoredObject> expected = readXmlObjects(xml.objectsFiles[f]);
        Ogre::BinaryFileResource file;
        ASSERT_TRUE(file.loadFromFile(bin.objectsFiles[f])) << bin.objectsFiles[f];
        Ogre::BinaryDataElement* root = file.getRootElement();
        ASSERT_NE(root, nullptr);
        EXPECT_EQ(root->getName(), "Objects");
        ASSERT_EQ(root->getSize(), 1u);
        EXPECT_EQ(*static_cast<const unsigned char*>(root->getBuf()), 0);
        ASSERT_EQ(root->getChildCount(), expected.size());
        for (size_t k = 0; k < expected.size(); ++k)
        {
            Ogre::BinaryDataElement* child = root->getChild(k);
            EXPECT_EQ(child->getName(), "Object");
            Wren::CompleteObjectDataInfo record;
            ASSERT_TRUE(record.fromBytes(child->getBuf(), child->getSize()));
            const StoredObject& o = expected[k];
            EXPECT_EQ(record.getType(), o.type);
            EXPECT_EQ(record.getName(), o.name);
            EXPECT_EQ(record.getMetaId(), o.metaId);
            EXPECT_EQ(record.getPartitionId(), o.partitionId);
            EXPECT_EQ(record.getPosition(), Ogre::Vector3(o.pos[0], o.pos[1], o.pos[2]));
            EXPECT_EQ(record.orientX, o.orient[0]);
            EXPECT_EQ(record.orientY, o.orient[1]);
            EXPECT_EQ(record.orientZ, o.orient[2]);
            EXPECT_EQ(record.orientW, o.orient[3]);
            EXPECT_EQ(record.getScale(), Ogre::Vector3(o.scale[0], o.scale[1], o.scale[2]));
            // The two mesh flags survive the conversion.
            ASSERT_NE(o.isStatic, -1) << o.name;
            EXPECT_EQ(record.isStatic, o.isStatic) << o.name;
            EXPECT_EQ(record.castShadows, o.castShadows) << o.name;
        }
    }
}

TEST(WorldGeneration, SampleTemplatesAreMeshTemplatesThatMeshMetadataReads)
{
    Wren::WorldGeneratorOptions options = smallWorld(9);
    options.objectsPerCell = 30;
    const std::string folder = freshWorldFolder("mesh-meta");
    Wren::WorldGeneratorResult result = Wren::WorldGenerator(options).generate(folder);
    ASSERT_TRUE(result.ok) << result.error;

    std::set<std::string> media;
    for (const std::string& path : result.mediaFiles)
        media.insert(fs::path(path).filename().string());
    EXPECT_EQ(media.size(), 11u);
    const std::string script = TestEngine::readFile(folder + "/Media/SampleWorld.material");

    std::map<std::string, bool> staticOf;
    int instancedStatic = 0, plainStatic = 0, dynamic = 0;
    for (const std::string& path : result.metadataFiles)
    {
        const std::string id = fs::path(path).filename().string();
        Wren::XMLDataFile file;
        ASSERT_TRUE(file.load(path));
        Wren::DataElementPtr root = file.getRootElement();
        Wren::MeshMetadata meta(id, nullptr);
        ASSERT_TRUE(meta.load(root)) << id;
        ASSERT_GE(meta.getSubMeshCount(), 1u) << id;
        for (const auto& sub : meta.getSubMeshes())
        {
            EXPECT_TRUE(media.count(sub.highLODMesh)) << sub.highLODMesh;
            EXPECT_TRUE(media.count(sub.lowLODMesh)) << sub.lowLODMesh;
            EXPECT_NE(sub.highLODMesh, sub.lowLODMesh);
            ASSERT_EQ(sub.materials.size(), 1u) << id;
            EXPECT_FALSE(sub.materials[0].managed);
            EXPECT_EQ(sub.materials[0].subIndex, 0);
            EXPECT_NE(script.find("material " + sub.materials[0].materialName + "\n"),
                      std::string::npos)
                << sub.materials[0].materialName;
        }
        EXPECT_NE(meta.getMeshNames(0), meta.getMeshNames(1)) << id;
        // Objects collide by the coarse mesh of their first part.
        EXPECT_TRUE(meta.getIsExistLogicObj()) << id;
        EXPECT_EQ(meta.getLogicMesh(Wren::MeshMetadata::LOGIC_OBSTACLE),
                  meta.getSubMeshes().front().lowLODMesh)
            << id;
        EXPECT_EQ(meta.getCollisionShapeName(), meta.getSubMeshes().front().lowLODMesh) << id;
        EXPECT_TRUE(meta.getCollidable()) << id;
        if (meta.getIsStatic() && meta.getInstanced())
            ++instancedStatic;
        else if (meta.getIsStatic())
            ++plainStatic;
        else
            ++dynamic;
        EXPECT_FALSE(!meta.getIsStatic() && meta.getInstanced()) << id;
        staticOf[id] = meta.getIsStatic();

        // What is written is what the metadata saves again.
        Wren::XMLDataFile again;
        Wren::DataElementPtr copy = again.createRootElement("MetaData");
        ASSERT_TRUE(meta.save(copy));
        Wren::DataElementPtr mine = root->getFirstChild("MeshData");
        Wren::DataElementPtr saved = copy->getFirstChild("MeshData");
        for (const char* name : {"FadeBetweenLODs", "Fade", "CastShadows", "IsStatic"})
            EXPECT_EQ(mine->getAttributeString(name, "-"), saved->getAttributeString(name, "?"))
                << id << " " << name;
        EXPECT_FALSE(root->getFirstChild("StrikeData")->getIsEmpty());
        EXPECT_FALSE(mine->getFirstChild("DefaultEffectData")->getIsEmpty());
    }
    EXPECT_GE(instancedStatic, 1);
    EXPECT_GE(plainStatic, 1);
    EXPECT_GE(dynamic, 1);

    // Every object carries its template's flags.
    std::set<int> flags;
    for (const std::string& path : result.objectsFiles)
        for (const StoredObject& o : readXmlObjects(path))
        {
            EXPECT_EQ(o.type, "MeshGameObject");
            ASSERT_NE(o.isStatic, -1) << o.name;
            EXPECT_EQ(o.isStatic == 1, staticOf[o.metaId]) << o.name;
            flags.insert(o.isStatic);
        }
    EXPECT_EQ(flags, (std::set<int>{0, 1}));

    // The meshes and materials are looked up in "General".
    const std::string config = TestEngine::readFile(result.resourcesFile);
    const size_t general = config.find("[General]");
    ASSERT_NE(general, std::string::npos);
    EXPECT_GT(config.find("FileSystem=Media\n"), general);
}

TEST(WorldGeneration, PlainTemplatesWriteCoreObjectsAndMediaCanBeLeftOut)
{
    Wren::WorldGeneratorOptions options = smallWorld();
    options.templates = Wren::WorldGenerator::plainTemplates();
    options.writeMedia = false;
    const std::string folder = freshWorldFolder("plain");
    Wren::WorldGeneratorResult result = Wren::WorldGenerator(options).generate(folder);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_TRUE(result.mediaFiles.empty());
    EXPECT_FALSE(fs::exists(folder + "/Media"));
    EXPECT_EQ(TestEngine::readFile(result.resourcesFile).find("Media"), std::string::npos);
    for (const std::string& path : result.objectsFiles)
        for (const StoredObject& o : readXmlObjects(path))
        {
            EXPECT_EQ(o.type, "CoreGameObject");
            EXPECT_EQ(o.isStatic, -1);
        }
    EXPECT_EQ(TestEngine::readFile(folder + "/Meta/SampleTower.meta").find("MeshData"),
              std::string::npos);
}

namespace
{
    /** What a mesh template would add: its flags on every object. */
    class StaticMeshExtension : public Wren::WorldTemplateExtension
    {
    public:
        void writeMetadata(Wren::DataElementPtr& root) const override
        {
            root->createChild("MeshData")->setAttributeString("MeshName", "rock.mesh");
        }
        void writeObject(Wren::DataElementPtr& object, const Wren::PlacedObject&) const override
        {
            Wren::DataElementPtr mesh = object->createChild("MeshData");
            mesh->setAttributeBool("IsStatic", true);
            mesh->setAttributeBool("CastShadows", false);
        }
    };
}

TEST(WorldGeneration, TemplateExtensionAddsTypeSpecificDataToBothForms)
{
    Wren::WorldTemplate rock;
    rock.metaId = "Rock.meta";
    rock.name = "Rock";
    rock.objectType = "MeshGameObject";
    rock.extension = std::make_shared<StaticMeshExtension>();
    Wren::WorldGeneratorOptions options = smallWorld();
    options.cells = 1;
    options.objectsPerCell = 2;
    options.templates = {rock};
    const std::string xmlFolder = freshWorldFolder("ext-xml");
    ASSERT_TRUE(Wren::WorldGenerator(options).generate(xmlFolder).ok);
    const std::string objects = TestEngine::readFile(xmlFolder + "/Partitions/W_Partition0_0.objects");
    EXPECT_NE(objects.find("<Children />\n\t\t<MeshData IsStatic=\"true\""), std::string::npos)
        << objects;
    EXPECT_NE(TestEngine::readFile(xmlFolder + "/Meta/Rock.meta").find("MeshName=\"rock.mesh\""),
              std::string::npos);

    options.binary = true;
    const std::string binFolder = freshWorldFolder("ext-bin");
    ASSERT_TRUE(Wren::WorldGenerator(options).generate(binFolder).ok);
    Ogre::BinaryFileResource file;
    ASSERT_TRUE(file.loadFromFile(binFolder + "/Partitions/W_Partition0_0.objbinary"));
    ASSERT_EQ(file.getRootElement()->getChildCount(), 2u);
    Wren::CompleteObjectDataInfo record;
    Ogre::BinaryDataElement* first = file.getRootElement()->getChild(0);
    ASSERT_TRUE(record.fromBytes(first->getBuf(), first->getSize()));
    EXPECT_EQ(record.getType(), "MeshGameObject");
    EXPECT_EQ(record.isStatic, 1);
    EXPECT_EQ(record.castShadows, 0);
}

TEST(WorldGeneration, FolderThatIsNotEmptyIsRefusedAndLeftUntouched)
{
    const std::string folder = freshWorldFolder("busy");
    TestEngine::writeFile(folder, "notes.txt", "mine");
    Wren::Test::LogCapture log;
    Wren::WorldGeneratorResult result = Wren::WorldGenerator(smallWorld()).generate(folder);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("not empty"), std::string::npos);
    EXPECT_TRUE(log.contains("not empty"));
    EXPECT_EQ(filesBelow(folder).size(), 1u);
    EXPECT_EQ(TestEngine::readFile(folder + "/notes.txt"), "mine");
}

TEST(WorldGeneration, ReplacingAWorldRemovesItsStaleObjectsFiles)
{
    const std::string folder = freshWorldFolder("replace");
    ASSERT_TRUE(Wren::WorldGenerator(smallWorld()).generate(folder).ok);
    TestEngine::writeFile(folder + "/Partitions", "Other_Partition0_0.objects", "<Objects/>");

    Wren::WorldGeneratorOptions options = smallWorld();
    options.cells = 2;
    options.binary = true;
    options.replace = true;
    Wren::WorldGeneratorResult result = Wren::WorldGenerator(options).generate(folder);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.removedFiles.size(), 9u);
    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(folder + "/Partitions"))
        left.insert(entry.path().filename().string());
    EXPECT_EQ(left, (std::set<std::string>{"Other_Partition0_0.objects", "W_Partition0_0.objbinary",
                                           "W_Partition0_1.objbinary", "W_Partition1_0.objbinary",
                                           "W_Partition1_1.objbinary"}));
}

TEST(WorldGeneration, InvalidOptionsAreRefusedWithAReason)
{
    auto refused = [](const Wren::WorldGeneratorOptions& options, const std::string& folder) {
        Wren::WorldGeneratorResult result = Wren::WorldGenerator(options).generate(folder);
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.error.empty());
        EXPECT_FALSE(fs::exists(folder));
        return result.error;
    };
    Wren::WorldGeneratorOptions options = smallWorld();
    options.cells = 0;
    EXPECT_NE(refused(options, freshWorldFolder("bad")).find("cells"), std::string::npos);
    options.cells = 65;
    refused(options, freshWorldFolder("bad"));
    options = smallWorld();
    options.objectsPerCell = -1;
    refused(options, freshWorldFolder("bad"));
    options = smallWorld();
    options.cellSize = 0;
    refused(options, freshWorldFolder("bad"));
    options = smallWorld();
    EXPECT_NE(refused(options, freshWorldFolder("bad", "my world")).find("world name"),
              std::string::npos);
    Wren::WorldTemplate twice = Wren::WorldGenerator::sampleTemplates()[0];
    options.templates = {twice, twice};
    refused(options, freshWorldFolder("bad"));
    options.templates = {twice};
    options.templates[0].name = std::string(100, 'n');
    refused(options, freshWorldFolder("bad"));
}

TEST(WorldGeneration, FolderOutsideAWorldsFolderGetsANoteAboutSavingBack)
{
    EXPECT_TRUE(Wren::WorldGenerator::isInsideWorldsFolder("/data/Worlds/w1"));
    EXPECT_TRUE(Wren::WorldGenerator::isInsideWorldsFolder("../../media/worlds/common/"));
    EXPECT_FALSE(Wren::WorldGenerator::isInsideWorldsFolder("/data/maps/w1"));
    EXPECT_FALSE(Wren::WorldGenerator::isInsideWorldsFolder("/data/worlds/x/w1"));
    EXPECT_FALSE(Wren::WorldGenerator::isInsideWorldsFolder("/data/myworlds/w1"));
    EXPECT_EQ(Wren::WorldGenerator::worldNameOf("/data/maps/w1/"), "w1");

    const std::string folder = TestEngine::instance().makeTempFolder("maps") + "/W";
    Wren::WorldGeneratorResult result = Wren::WorldGenerator(smallWorld()).generate(folder);
    ASSERT_TRUE(result.ok);
    ASSERT_EQ(result.notes.size(), 1u);
    EXPECT_NE(result.notes[0].find("worlds"), std::string::npos);
}

TEST(WorldGeneration, JsonSummaryCountsWhatWasWritten)
{
    const std::string folder = freshWorldFolder("json");
    Wren::WorldGeneratorResult result = Wren::WorldGenerator(smallWorld()).generate(folder);
    ASSERT_TRUE(result.ok);
    nlohmann::json j = Wren::WorldGenerator::toJson(result);
    EXPECT_EQ(j["world"], "W");
    EXPECT_EQ(j["objects"], 54);
    EXPECT_EQ(j["grid"]["cellsX"], 3);
    EXPECT_EQ(j["form"], "xml");
    EXPECT_EQ(j["objectsFiles"].size(), 9u);
    size_t perTemplate = 0;
    for (const auto& entry : j["objectsPerTemplate"].items())
        perTemplate += entry.value().get<size_t>();
    EXPECT_EQ(perTemplate, 54u);
}

TEST(WorldGeneration, DummiesAndCompoundsWhenAskedWithTheirTemplatesAndContent)
{
    Wren::WorldGeneratorOptions options = smallWorld(5);
    options.dummiesPerCell = 2;
    options.compoundsPerCell = 1;
    const std::string folder = freshWorldFolder("marked");
    Wren::WorldGeneratorResult result = Wren::WorldGenerator(options).generate(folder);
    ASSERT_TRUE(result.ok) << result.error;

    // Each cell: the drawn objects first, then two markers and a camp.
    for (const std::string& path : result.objectsFiles)
    {
        std::vector<StoredObject> objects = readXmlObjects(path);
        ASSERT_EQ(objects.size(), 9u) << path;
        for (size_t k = 0; k < 6; ++k)
            EXPECT_EQ(objects[k].type, "MeshGameObject");
        EXPECT_EQ(objects[6].metaId, "SampleMarker.meta");
        EXPECT_EQ(objects[7].type, "DummyGameObject");
        EXPECT_EQ(objects[8].type, "CompoundGameObject");
        EXPECT_EQ(objects[8].metaId, "SampleCamp.meta");
    }
    EXPECT_EQ(result.objectsPerTemplate["SampleMarker.meta"], 18u);
    EXPECT_EQ(result.objectsPerTemplate["SampleCamp.meta"], 9u);

    EXPECT_NE(TestEngine::readFile(folder + "/Meta/SampleMarker.meta")
                  .find("<DummyMetaData PlaceHolder=\"Box0Point5Meters.meta\""),
              std::string::npos);

    // The content: a tree (the first template that is not instanced) with a
    // crate and a beacon below it.
    ASSERT_EQ(result.templateFiles.size(), 1u);
    EXPECT_EQ(result.templateFiles[0], result.folder + "/Compounds/SampleCamp.objects");
    Wren::XMLDataFile content;
    ASSERT_TRUE(content.load(result.templateFiles[0]));
    Wren::DataElementPtr root = content.getRootElement();
    EXPECT_EQ(root->getFirstChild("CoreData")->getAttributeString("MetaID", ""), "SampleTree.meta");
    std::vector<std::string> children;
    for (Wren::DataElementPtr e = root->getFirstChild("Children")->getFirstChild("Object");
         !e->getIsEmpty(); e = e->getNextSibling("Object"))
        children.push_back(e->getFirstChild("CoreData")->getAttributeString("MetaID", ""));
    EXPECT_EQ(children, (std::vector<std::string>{"SampleCrate.meta", "SampleBeacon.meta"}));
    EXPECT_NE(TestEngine::readFile(result.resourcesFile).find("FileSystem=Compounds\n"),
              std::string::npos);

    // Without them, no trace: the sample keeps its templates and folders.
    const std::string plain = freshWorldFolder("unmarked");
    Wren::WorldGeneratorResult plainResult = Wren::WorldGenerator(smallWorld(5)).generate(plain);
    ASSERT_TRUE(plainResult.ok);
    EXPECT_EQ(plainResult.metadataFiles.size(), 5u);
    EXPECT_FALSE(fs::exists(plain + "/Compounds"));
    // The drawn objects are the same either way.
    const std::vector<StoredObject> first = readXmlObjects(plainResult.objectsFiles[0]);
    const std::vector<StoredObject> marked = readXmlObjects(result.objectsFiles[0]);
    for (size_t k = 0; k < first.size(); ++k)
        EXPECT_EQ(first[k].name, marked[k].name);
}

TEST(WorldGeneration, EveryKindWhenAskedWithTemplatesItsTypesReadAndTheirScriptAndSound)
{
    Wren::WorldGeneratorOptions options = smallWorld(5);
    ASSERT_EQ(Wren::WorldGenerator::chooseTypes("mesh, light,particle,effect,sound", options), "");
    EXPECT_EQ(options.objectsPerCell, 6);
    EXPECT_EQ(options.dummiesPerCell, 0);
    const std::string folder = freshWorldFolder("kinds");
    Wren::WorldGeneratorResult result = Wren::WorldGenerator(options).generate(folder);
    ASSERT_TRUE(result.ok) << result.error;

    for (const std::string& path : result.objectsFiles)
    {
        std::vector<StoredObject> objects = readXmlObjects(path);
        ASSERT_EQ(objects.size(), 10u) << path;
        EXPECT_EQ(objects[6].type, "LightGameObject");
        EXPECT_EQ(objects[7].type, "ParticleSystemGameObject");
        EXPECT_EQ(objects[8].type, "EffectSystemGameObject");
        EXPECT_EQ(objects[9].type, "SoundGameObject");
    }

    // The templates are what the types' metadata classes read.
    auto load = [&](Wren::CoreMetadata& meta) {
        Wren::XMLDataFile file;
        EXPECT_TRUE(file.load(folder + "/Meta/" + meta.getID()));
        Wren::DataElementPtr root = file.getRootElement();
        EXPECT_TRUE(meta.load(root)) << meta.getID();
    };
    Wren::LightMetadata lamp("SampleLamp.meta", nullptr);
    load(lamp);
    EXPECT_EQ(lamp.getType(), "LightGameObject");
    EXPECT_EQ(lamp.getValues().type, 0);
    EXPECT_FLOAT_EQ(lamp.getValues().attenuationRange, 60.0f);
    Wren::ParticleSystemMetadata smoke("SampleSmoke.meta", nullptr);
    load(smoke);
    EXPECT_EQ(smoke.getHighTemplate(), Wren::ParticleSystemTemplateExtension::HighTemplate);
    EXPECT_EQ(smoke.getLowTemplate(), Wren::ParticleSystemTemplateExtension::LowTemplate);
    Wren::EffectSystemMetadata sparks("SampleSparks.meta", nullptr);
    load(sparks);
    EXPECT_EQ(sparks.getEffectName(), "Sparks");
    Wren::SoundMetadata brook("SampleBrook.meta", nullptr);
    load(brook);
    EXPECT_EQ(brook.getValues().soundFileName, Wren::SoundTemplateExtension::SoundFile);
    EXPECT_TRUE(brook.getValues().loop);

    // The script defines the two templates; the sound is a second long.
    ASSERT_EQ(result.templateFiles.size(), 2u);
    const std::string script = TestEngine::readFile(folder + "/Media/SampleWorld.particle");
    EXPECT_NE(script.find("particle_system SampleWorld/Smoke"), std::string::npos);
    EXPECT_NE(script.find("particle_system SampleWorld/Wisp"), std::string::npos);
    std::string error;
    auto sound = ChimeSound::load(folder + "/Media/SampleBrook.wav", false, error);
    ASSERT_NE(sound, nullptr) << error;
    EXPECT_NEAR(sound->getLength(), 1.0f, 1e-3f);
    const std::string config = TestEngine::readFile(result.resourcesFile);
    EXPECT_EQ(config.find(result.folder + "/Media\n"), config.rfind(result.folder + "/Media\n"))
        << "declared once";

    // The drawn objects are those of the default sample, object for object;
    // naming only the meshes gives the default sample itself.
    const std::string plain = freshWorldFolder("default");
    Wren::WorldGeneratorResult plainResult = Wren::WorldGenerator(smallWorld(5)).generate(plain);
    ASSERT_TRUE(plainResult.ok);
    const std::vector<StoredObject> kinds = readXmlObjects(result.objectsFiles[0]);
    const std::vector<StoredObject> drawn = readXmlObjects(plainResult.objectsFiles[0]);
    ASSERT_EQ(drawn.size(), 6u);
    for (size_t k = 0; k < drawn.size(); ++k)
    {
        EXPECT_EQ(kinds[k].name, drawn[k].name);
        EXPECT_EQ(kinds[k].metaId, drawn[k].metaId);
        EXPECT_EQ(kinds[k].pos[0], drawn[k].pos[0]);
        EXPECT_EQ(kinds[k].scale[1], drawn[k].scale[1]);
    }
    Wren::WorldGeneratorOptions meshes = smallWorld(5);
    ASSERT_EQ(Wren::WorldGenerator::chooseTypes("mesh", meshes), "");
    const std::string again = freshWorldFolder("meshes", "W");
    ASSERT_TRUE(Wren::WorldGenerator(meshes).generate(again).ok);
    auto plainFiles = filesBelow(plain), meshFiles = filesBelow(again);
    plainFiles.erase("resources.cfg");
    meshFiles.erase("resources.cfg");
    EXPECT_EQ(plainFiles, meshFiles);

    Wren::WorldGeneratorOptions untouched = smallWorld(5);
    EXPECT_NE(Wren::WorldGenerator::chooseTypes("mesh,tree", untouched).find("\"tree\""),
              std::string::npos);
    EXPECT_NE(Wren::WorldGenerator::chooseTypes(" ", untouched), "");
    EXPECT_EQ(untouched.objectsPerCell, 6);
    Wren::WorldGeneratorOptions all = smallWorld(5);
    all.dummiesPerCell = 3;
    ASSERT_EQ(Wren::WorldGenerator::chooseTypes("all", all), "");
    EXPECT_EQ(all.dummiesPerCell, 3) << "a count asked for stays";
    EXPECT_EQ(all.compoundsPerCell, 1);
    EXPECT_EQ(all.soundsPerCell, 1);
}

TEST(WorldGeneration, OrientationsReadBackAsTheSameTextAfterTheEngineNormalisesThem)
{
    // A node normalises the orientation it is given; what a save writes of
    // it must be the text the generator wrote.
    Wren::WorldGeneratorOptions options = smallWorld(8);
    options.cells = 8;
    options.objectsPerCell = 200;
    auto text = [](float f) { return Ogre::StringConverter::toString(f); };
    for (const Wren::PlacedObject& o : Wren::WorldGenerator(options).place())
    {
        auto parse = [&](float f) { return Ogre::StringConverter::parseReal(text(f)); };
        Ogre::Quaternion read(parse(o.orientation.w), parse(o.orientation.x),
                              parse(o.orientation.y), parse(o.orientation.z));
        read.normalise();
        ASSERT_EQ(text(read.y) + " " + text(read.w), text(o.orientation.y) + " " + text(o.orientation.w))
            << o.name;
    }
}
