#include "BinaryFileResource.h"
#include "ChimeSoundSystem.h"
#include "CompoundGameObject.h"
#include "CoreGameObjectManager.h"
#include "CorePartition.h"
#include "DummyGameObject.h"
#include "EffectSystemGameObject.h"
#include "GridPartitionManager.h"
#include "GeneratedMedia.h"
#include "LightGameObject.h"
#include "MaterialBatchTemplates.h"
#include "MediaGenerator.h"
#include "MeshGameObject.h"
#include "ParticleSystemGameObject.h"
#include "SoundGameObject.h"
#include "TestEngine.h"
#include "WorldGenerator.h"
#include "WorldHost.h"

#include <OgreEntity.h>
#include <OgreMaterialManager.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgreParticleSystem.h>
#include <OgrePass.h>
#include <OgreResourceGroupManager.h>
#include <OgreSubEntity.h>
#include <OgreSubMesh.h>
#include <OgreTechnique.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>

namespace fs = std::filesystem;
using Wren::MediaGenerator;
using Wren::Test::TestEngine;
using Wren::Test::forgetGeneratedMedia;

namespace
{
    size_t verticesOf(const Ogre::MeshPtr& mesh)
    {
        size_t count = mesh->sharedVertexData ? mesh->sharedVertexData->vertexCount : 0;
        for (Ogre::SubMesh* sub : mesh->getSubMeshes())
            if (!sub->useSharedVertices)
                count += sub->vertexData->vertexCount;
        return count;
    }

    /** A resource group of its own over one folder, outside the global
        pool, initialised (so its scripts are parsed) and destroyed with
        everything it loaded. */
    struct FolderGroup
    {
        explicit FolderGroup(const std::string& folder)
        {
            static int count = 0;
            name = "GeneratedMedia" + std::to_string(++count);
            Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
            groups.createResourceGroup(name, false);
            groups.addResourceLocation(folder, "FileSystem", name);
            groups.initialiseResourceGroup(name);
        }
        ~FolderGroup() { Ogre::ResourceGroupManager::getSingleton().destroyResourceGroup(name); }
        std::string name;
    };

}

TEST(MediaGenerator, WritesEveryMeshAtBothLevelsAndTheMaterialScript)
{
    TestEngine::instance();
    const std::string folder = TestEngine::instance().makeTempFolder("media") + "/Media";
    std::vector<std::string> files;
    std::string error;
    ASSERT_TRUE(MediaGenerator::write(folder, files, &error)) << error;
    EXPECT_EQ(files.size(), 10u);
    for (const std::string& file : files)
        EXPECT_TRUE(fs::is_regular_file(file)) << file;
    // Nothing but the files themselves: no temporary left behind.
    size_t present = 0;
    for (const auto& entry : fs::directory_iterator(folder))
    {
        ++present;
        EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
    }
    EXPECT_EQ(present, 10u);
    EXPECT_TRUE(fs::exists(folder + "/Box_High.mesh"));
    EXPECT_TRUE(fs::exists(folder + "/Box0Point5Meters.mesh"));
    EXPECT_TRUE(fs::exists(folder + "/Ground_Low.mesh"));
    EXPECT_TRUE(fs::exists(folder + "/SampleWorld.material"));
    // The meshes built for writing are gone again.
    EXPECT_FALSE(Ogre::MeshManager::getSingleton().resourceExists(
        "MediaGenerator/Box_High.mesh", Ogre::ResourceGroupManager::INTERNAL_RESOURCE_GROUP_NAME));
}

TEST(MediaGenerator, MeshesReloadWithMoreVerticesAtTheHighLevelAndSaneBounds)
{
    const std::string folder = TestEngine::instance().makeTempFolder("media-load");
    std::vector<std::string> files;
    ASSERT_TRUE(MediaGenerator::write(folder, files));
    FolderGroup group(folder);
    Ogre::MeshManager& meshes = Ogre::MeshManager::getSingleton();
    size_t sphereLow[2] = {0, 0}, sphereHigh[2] = {0, 0};
    for (int s = 0; s < MediaGenerator::SHAPE_COUNT; ++s)
    {
        const auto shape = MediaGenerator::Shape(s);
        Ogre::MeshPtr high = meshes.load(MediaGenerator::meshName(shape, MediaGenerator::LEVEL_HIGH),
                                         group.name);
        Ogre::MeshPtr low = meshes.load(MediaGenerator::meshName(shape, MediaGenerator::LEVEL_LOW),
                                        group.name);
        ASSERT_TRUE(high && high->isLoaded());
        ASSERT_TRUE(low && low->isLoaded());
        const size_t h = verticesOf(high), l = verticesOf(low);
        EXPECT_EQ(h, MediaGenerator::vertexCount(shape, MediaGenerator::LEVEL_HIGH));
        EXPECT_EQ(l, MediaGenerator::vertexCount(shape, MediaGenerator::LEVEL_LOW));
        EXPECT_GT(h, l) << MediaGenerator::shapeName(shape);
        for (const Ogre::MeshPtr& mesh : {high, low})
        {
            ASSERT_EQ(mesh->getNumSubMeshes(), 1u);
            Ogre::SubMesh* sub = mesh->getSubMesh(0);
            EXPECT_EQ(sub->getMaterialName(), MediaGenerator::DefaultMaterial);
            EXPECT_GT(sub->indexData->indexCount, 0u);
            EXPECT_EQ(sub->indexData->indexCount % 3, 0u);
            Ogre::VertexData* vertices =
                sub->useSharedVertices ? mesh->sharedVertexData : sub->vertexData;
            ASSERT_NE(vertices, nullptr);
            EXPECT_NE(vertices->vertexDeclaration->findElementBySemantic(Ogre::VES_NORMAL), nullptr);
            // Everything stands on the ground, centred on the vertical axis.
            const Ogre::AxisAlignedBox& box = mesh->getBounds();
            ASSERT_TRUE(box.isFinite());
            EXPECT_NEAR(box.getMinimum().y, 0.0f, 1e-4f);
            EXPECT_NEAR(box.getCenter().x, 0.0f, 1e-4f);
            EXPECT_NEAR(box.getCenter().z, 0.0f, 1e-4f);
            const float expectedHeight = shape == MediaGenerator::SHAPE_GROUND ? 0.0f : 2.0f;
            EXPECT_NEAR(box.getMaximum().y, expectedHeight, 1e-3f) << mesh->getName();
            // The engine pads the bounds of its planes a little.
            const float width = shape == MediaGenerator::SHAPE_GROUND ? 8.0f : 2.0f;
            EXPECT_GE(box.getSize().x, width - 1e-3f) << mesh->getName();
            EXPECT_LE(box.getSize().x, width * 1.05f) << mesh->getName();
            // A coarse sphere's segments fall short of the full width along z.
            EXPECT_GT(box.getSize().z, width * 0.8f) << mesh->getName();
            EXPECT_LE(box.getSize().z, width * 1.05f) << mesh->getName();
            EXPECT_GT(mesh->getBoundingSphereRadius(), 0.0f);
        }
        if (shape == MediaGenerator::SHAPE_COARSE_SPHERE || shape == MediaGenerator::SHAPE_FINE_SPHERE)
        {
            const int k = shape == MediaGenerator::SHAPE_FINE_SPHERE;
            sphereHigh[k] = h;
            sphereLow[k] = l;
        }
    }
    EXPECT_GT(sphereHigh[1], sphereHigh[0]);
    EXPECT_GT(sphereLow[1], sphereLow[0]);

    // The placeholder: a box of half a metre about the origin.
    Ogre::MeshPtr box = meshes.load(MediaGenerator::PlaceHolderMesh, group.name);
    ASSERT_TRUE(box && box->isLoaded());
    EXPECT_EQ(box->getSubMesh(0)->getMaterialName(), MediaGenerator::DefaultMaterial);
    EXPECT_TRUE(box->getBounds().getMinimum().positionEquals(Ogre::Vector3(-0.25f), 1e-5f));
    EXPECT_TRUE(box->getBounds().getMaximum().positionEquals(Ogre::Vector3(0.25f), 1e-5f));
}

TEST(MediaGenerator, MaterialScriptDefinesEveryColourAsAPlainPass)
{
    const std::string folder = TestEngine::instance().makeTempFolder("media-materials");
    std::vector<std::string> files;
    ASSERT_TRUE(MediaGenerator::write(folder, files));
    Wren::Test::LogCapture log;
    Ogre::MaterialBatchTemplates::registerScriptTranslator();
    FolderGroup group(folder);
    EXPECT_FALSE(log.contains("rror")) << log.lines().size();
    Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
    for (const MediaGenerator::Colour& c : MediaGenerator::colours())
    {
        Ogre::MaterialPtr m = materials.getByName(MediaGenerator::materialName(c.name), group.name);
        ASSERT_TRUE(m) << c.name;
        // Untextured, drawn in batches through the template of its kind.
        EXPECT_EQ(Ogre::MaterialBatchTemplates::getTemplateName(*m),
                  Ogre::MaterialBatchTemplates::UNTEXTURED_TEMPLATE);
        ASSERT_EQ(m->getNumTechniques(), 1u);
        Ogre::Pass* pass = m->getTechnique(0)->getPass(0);
        EXPECT_TRUE(pass->getDiffuse().r == c.value.r && pass->getDiffuse().g == c.value.g &&
                    pass->getDiffuse().b == c.value.b)
            << c.name;
        EXPECT_EQ(pass->getAmbient(), pass->getDiffuse());
    }
}

TEST(MediaGenerator, MaterialsOfAFolderDeclaredAfterItsGroupWasInitialisedAreParsedOnRequest)
{
    const std::string folder = TestEngine::instance().makeTempFolder("media-late");
    std::vector<std::string> files;
    ASSERT_TRUE(MediaGenerator::write(folder, files));
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    const std::string name = "GeneratedMediaLate";
    groups.createResourceGroup(name, false);
    groups.initialiseResourceGroup(name);
    groups.addResourceLocation(folder, "FileSystem", name);
    const std::string stone = MediaGenerator::materialName("Stone");
    EXPECT_FALSE(Ogre::MaterialManager::getSingleton().resourceExists(stone, name));
    EXPECT_TRUE(MediaGenerator::declareMaterials(name));
    EXPECT_TRUE(Ogre::MaterialManager::getSingleton().resourceExists(stone, name));
    // A second call finds them defined and parses nothing again.
    EXPECT_TRUE(MediaGenerator::declareMaterials(name));
    groups.destroyResourceGroup(name);

    // A group without the script is refused, with a reason in the log.
    groups.createResourceGroup(name, false);
    groups.initialiseResourceGroup(name);
    Wren::Test::LogCapture log;
    EXPECT_FALSE(MediaGenerator::declareMaterials(name));
    EXPECT_TRUE(log.contains("SampleWorld.material"));
    groups.destroyResourceGroup(name);
}

TEST(MediaGenerator, FolderThatCanNotBeMadeIsReportedNotThrown)
{
    const std::string base = TestEngine::instance().makeTempFolder("media-blocked");
    TestEngine::writeFile(base, "Media", "a file where the folder should be");
    std::vector<std::string> files;
    std::string error;
    EXPECT_FALSE(MediaGenerator::write(base + "/Media", files, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(files.empty());
}

// A generated world as a host loads it ----------------------------------------

TEST(GeneratedWorld, MeshesAndMaterialsLoadFromTheDeclaredLocations)
{
    Wren::WorldGeneratorOptions options;
    options.cells = 2;
    options.objectsPerCell = 4;
    options.seed = 21;
    const std::string folder = TestEngine::instance().makeTempFolder("loads") + "/worlds/W";
    Wren::WorldGeneratorResult result = Wren::WorldGenerator(options).generate(folder);
    ASSERT_TRUE(result.ok) << result.error;
    // The meshes, the script, the placeholder box and its template.
    ASSERT_EQ(result.mediaFiles.size(), 11u);

    // The group "General" of a running engine is initialised already, as a
    // host finds it; its scripts are parsed on request.
    const std::string media = folder + "/Media";
    Ogre::ResourceGroupManager::getSingleton().addResourceLocation(media, "FileSystem", "General");
    EXPECT_TRUE(MediaGenerator::declareMaterials());
    for (const std::string& path : result.mediaFiles)
    {
        const std::string name = fs::path(path).filename().string();
        if (fs::path(name).extension() != ".mesh")
            continue;
        Ogre::MeshPtr mesh;
        EXPECT_NO_THROW(mesh = Ogre::MeshManager::getSingleton().load(name, "General")) << name;
        EXPECT_TRUE(mesh && mesh->isLoaded()) << name;
    }
    for (const MediaGenerator::Colour& c : MediaGenerator::colours())
        EXPECT_TRUE(Ogre::MaterialManager::getSingleton().getByName(
            MediaGenerator::materialName(c.name), "General"))
            << c.name;
    forgetGeneratedMedia(media);
}

TEST(GeneratedWorld, HostStreamsItInAndMeshObjectsBuildTheirEntities)
{
    for (bool binary : {false, true})
    {
        SCOPED_TRACE(binary ? "binary" : "XML");
        Wren::WorldGeneratorOptions options;
        options.cells = 2;
        options.objectsPerCell = 6;
        options.seed = 4;
        options.binary = binary;
        const std::string folder = TestEngine::instance().makeTempFolder("hosted") + "/worlds/W";
        Wren::WorldGeneratorResult result = Wren::WorldGenerator(options).generate(folder);
        ASSERT_TRUE(result.ok) << result.error;

        float farthest = 0.0f;
        for (const Wren::PlacedObject& o : Wren::WorldGenerator(options).place())
            farthest = std::max({farthest, std::fabs(o.position.x), std::fabs(o.position.z)});
        EXPECT_GT(farthest, 64.0f);

        Wren::WorldHost host;
        Wren::WorldHostSettings settings =
            Wren::Test::generatedWorldSettings(result.resourcesFile, binary);
        ASSERT_TRUE(host.start(std::move(settings)));
        ASSERT_TRUE(MediaGenerator::declareMaterials());
        // The camera at the origin sits on the corner of all four cells.
        for (int frame = 0; frame < 300; ++frame)
            host.update(0.1f);

        std::vector<Wren::CoreGameObject*> objects;
        host.getManager()->enumerateObjects(objects);
        EXPECT_EQ(objects.size(), 24u);
        std::set<std::string> generated;
        for (const std::string& path : result.mediaFiles)
            generated.insert(fs::path(path).filename().string());
        size_t shown = 0;
        std::set<bool> flags;
        for (Wren::CoreGameObject* object : objects)
        {
            auto* mesh = dynamic_cast<Wren::MeshGameObject*>(object);
            ASSERT_NE(mesh, nullptr) << object->getName();
            ASSERT_NE(mesh->getMeshMetadata(), nullptr);
            // The object's own flags, from its element or its record.
            EXPECT_EQ(mesh->getIsStatic(), mesh->getMeshMetadata()->getIsStatic()) << mesh->getName();
            EXPECT_EQ(mesh->getCastShadows(), mesh->getMeshMetadata()->getCastShadows())
                << mesh->getName();
            flags.insert(mesh->getIsStatic());
            if (mesh->IsInstanced() || mesh->getLevelOfDetail() == Wren::LOD_BEYOND_HINT)
                continue;
            ++shown;
            const auto& subs = mesh->getMeshMetadata()->getSubMeshes();
            ASSERT_EQ(mesh->getEntityList().size(), subs.size()) << object->getName();
            for (size_t k = 0; k < subs.size(); ++k)
            {
                Ogre::Entity* entity = mesh->getEntityList()[k];
                EXPECT_TRUE(generated.count(entity->getMesh()->getName()))
                    << entity->getMesh()->getName();
                EXPECT_EQ(entity->getSubEntity(0)->getMaterialName(),
                          subs[k].materials[0].materialName);
                EXPECT_TRUE(entity->isAttached());
            }
        }
        EXPECT_GT(shown, 0u);
        EXPECT_EQ(flags.size(), 2u);

        // Objects fill their cells up to a unit from the edges, and a grid
        // partition saves every one of them again.
        Wren::Test::LogCapture log;
        EXPECT_TRUE(host.save());
        EXPECT_FALSE(log.contains("won't be saved"));
        size_t saved = 0;
        for (const auto& entry : fs::directory_iterator(folder + "/Partitions"))
        {
            if (entry.path().extension() == ".objbinary")
            {
                Ogre::BinaryFileResource file;
                ASSERT_TRUE(file.loadFromFile(entry.path().string())) << entry.path();
                saved += file.getRootElement()->getChildCount();
                continue;
            }
            const std::string text = TestEngine::readFile(entry.path().string());
            for (size_t at = text.find("<Object "); at != std::string::npos;
                 at = text.find("<Object ", at + 1))
                ++saved;
        }
        EXPECT_EQ(saved, 24u);
        host.stop();
        forgetGeneratedMedia(folder + "/Media");
    }
}

TEST(GeneratedWorld, EveryKindStreamsInAndTheWorldSavesBackUnchanged)
{
    Wren::WorldGeneratorOptions options = Wren::Test::everyKindWorldOptions(2);
    options.seed = 8;
    const std::string folder = TestEngine::instance().makeTempFolder("marked") + "/worlds/W";
    Wren::WorldGeneratorResult result = Wren::WorldGenerator(options).generate(folder);
    ASSERT_TRUE(result.ok) << result.error;
    std::map<std::string, std::string> written;
    for (const std::string& path : result.objectsFiles)
        written[path] = TestEngine::readFile(path);

    Wren::WorldHost host;
    ASSERT_TRUE(host.start(Wren::Test::generatedWorldSettings(result.resourcesFile, false)));
    ASSERT_TRUE(MediaGenerator::declareMaterials());
    for (int frame = 0; frame < 300; ++frame)
        host.update(0.1f);

    std::vector<Wren::CoreGameObject*> objects;
    host.getManager()->enumerateObjects(objects);
    size_t dummies = 0, compounds = 0, alive = 0;
    for (Wren::CoreGameObject* object : objects)
    {
        if (auto* placeHolder = dynamic_cast<Wren::PlaceHolderGameObject*>(object))
        {
            EXPECT_NE(placeHolder->getPlaceHolderMesh(), nullptr) << object->getName();
        }
        // Lights, smoke, sparks and sounds are there exactly while in range.
        const bool inRange = object->getLevelOfDetail() != Wren::LOD_BEYOND_HINT;
        auto expectAlive = [&](bool there) {
            EXPECT_EQ(there, inRange) << object->getName();
            alive += there;
        };
        if (auto* lamp = dynamic_cast<Wren::LightGameObject*>(object))
            expectAlive(lamp->getLight() != nullptr);
        if (auto* smoke = dynamic_cast<Wren::ParticleSystemGameObject*>(object))
        {
            expectAlive(smoke->getParticleSystem() != nullptr);
            // The script's emitters come from the ParticleFX plugin.
            if (Ogre::ParticleSystem* system = smoke->getParticleSystem())
                EXPECT_EQ(system->getNumEmitters(), 1u) << smoke->getName();
        }
        if (auto* sparks = dynamic_cast<Wren::EffectSystemGameObject*>(object))
            expectAlive(sparks->getEffect() != nullptr);
        if (auto* brook = dynamic_cast<Wren::SoundGameObject*>(object))
            expectAlive(brook->isPlaying());
        if (auto* dummy = dynamic_cast<Wren::DummyGameObject*>(object))
        {
            ++dummies;
            ASSERT_NE(dummy->getPlaceHolderMesh(), nullptr) << dummy->getName();
            EXPECT_EQ(dummy->getPlaceHolderMesh()->getMeshMetadata()->getSubMeshes()[0].highLODMesh,
                      MediaGenerator::PlaceHolderMesh);
        }
        if (auto* compound = dynamic_cast<Wren::CompoundGameObject*>(object))
        {
            ++compounds;
            EXPECT_EQ(compound->getContent().size(), 3u) << compound->getName();
        }
    }
    EXPECT_EQ(dummies, 8u);
    EXPECT_EQ(compounds, 4u);
    EXPECT_GT(alive, 0u);
    // The objects one picks are those of the files; the partitions also hold
    // the placeholders and the compounds' content.
    EXPECT_EQ(objects.size(), 4u * (3 + 2 + 1 + 4 * Wren::Test::EveryKindPerCell));
    std::vector<Wren::CorePartition*> partitions;
    host.getManager()->enumeratePartitions(partitions);
    size_t members = 0;
    for (Wren::CorePartition* p : partitions)
        members += p->getObjects().size();
    EXPECT_EQ(members, 4u * Wren::Test::EveryKindCellMembers);

    // Every partition written again, as after an edit.
    for (Wren::CorePartition* p : partitions)
        p->notifyObjectDirty();
    for (const auto& entry : written)
        fs::remove(entry.first);
    Wren::Test::LogCapture log;
    EXPECT_TRUE(host.save());
    EXPECT_FALSE(log.contains("won't be saved"));
    for (const auto& entry : written)
        EXPECT_EQ(TestEngine::readFile(entry.first), entry.second) << entry.first;
    host.stop();
    EXPECT_FALSE(ChimeSoundSystem::getSingleton().isOpen()) << "the host closed what it opened";
    forgetGeneratedMedia(folder + "/Media");
}
