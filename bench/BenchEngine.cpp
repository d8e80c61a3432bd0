#include "BenchEngine.h"

#include "CoreGameObjectManager.h"
#include "DataElement.h"
#include "GridPartitionManager.h"
#include "WorldHost.h"

#include <OgreCodec.h>
#include <OgreDefaultHardwareBufferManager.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgrePlugin.h>
#include <OgreSubMesh.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>

#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <stdlib.h>

namespace Wren
{
namespace Bench
{
    namespace
    {
        bool gSmoke = false;
        BenchEngine* gEngine = nullptr;

        class MeshTemplateExtension : public WorldTemplateExtension
        {
        public:
            void writeMetadata(DataElementPtr& root) const override
            {
                DataElementPtr mesh = root->createChild("MeshData");
                mesh->setAttributeBool("FadeBetweenLODs", false);
                mesh->setAttributeBool("Fade", false);
                mesh->setAttributeBool("CastShadows", false);
                mesh->setAttributeBool("IsStatic", false);
                DataElementPtr sub = mesh->createChild("SubMeshData");
                sub->setAttributeString("Mesh", BenchEngine::MeshName);
            }
            void writeObject(DataElementPtr& object, const PlacedObject&) const override
            {
                DataElementPtr mesh = object->createChild("MeshData");
                mesh->setAttributeBool("IsStatic", false);
                mesh->setAttributeBool("CastShadows", false);
            }
        };
    }

    const char* const BenchEngine::MeshName = "wren_bench_box.mesh";

    bool smoke() { return gSmoke; }
    void setSmoke(bool on) { gSmoke = on; }

    BenchEngine& BenchEngine::instance()
    {
        if (!gEngine)
            gEngine = new BenchEngine();
        return *gEngine;
    }

    void BenchEngine::shutdown()
    {
        delete gEngine;
        gEngine = nullptr;
    }

    BenchEngine::BenchEngine()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "wren-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            mTempRoot = pattern;
        if (!Ogre::LogManager::getSingletonPtr())
        {
            mLogManager = new Ogre::LogManager();
            const std::string log = mTempRoot.empty() ? "wren-bench.log" : mTempRoot + "/wren-bench.log";
            mLogManager->createLog(log, true, false, false);
        }
        mRoot = new Ogre::Root("", "", "");
        try
        {
            mRoot->loadPlugin(std::string(WREN_OGRE_PLUGIN_DIR) + "/Plugin_DotScene");
            // A plugin registers its codec when the Root initialises, which
            // a Root without a render system never does: initialised here.
            for (Ogre::Plugin* plugin : mRoot->getInstalledPlugins())
            {
                plugin->initialise();
                mPlugins.push_back(plugin);
            }
            mSceneLoader = Ogre::Codec::isCodecRegistered("scene");
        }
        catch (const Ogre::Exception& e)
        {
            Ogre::LogManager::getSingleton().logMessage(
                "wren-bench: OGRE's scene loader is not available: " + e.getDescription());
        }
        mBufferManager = new Ogre::DefaultHardwareBufferManager();
        Ogre::MaterialManager::getSingleton().initialise();
        Ogre::ResourceGroupManager::getSingleton().initialiseAllResourceGroups();
        createMesh();
    }

    BenchEngine::~BenchEngine()
    {
        for (Ogre::Plugin* plugin : mPlugins)
            plugin->shutdown();
        delete mRoot;
        delete mBufferManager;
        delete mLogManager;
        if (!mTempRoot.empty() && !std::getenv("WREN_BENCH_KEEP"))
        {
            std::error_code ec;
            std::filesystem::remove_all(mTempRoot, ec);
        }
    }

    void BenchEngine::createMesh()
    {
        // A unit box of 24 vertices and 12 triangles: what a cheap prop
        // mesh costs in memory and in entity creation.
        Ogre::MeshPtr mesh = Ogre::MeshManager::getSingleton().createManual(
            MeshName, Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
        Ogre::SubMesh* sub = mesh->createSubMesh();
        sub->useSharedVertices = false;
        sub->vertexData = new Ogre::VertexData();
        Ogre::VertexDeclaration* decl = sub->vertexData->vertexDeclaration;
        decl->addElement(0, 0, Ogre::VET_FLOAT3, Ogre::VES_POSITION);
        decl->addElement(0, 12, Ogre::VET_FLOAT3, Ogre::VES_NORMAL);
        const float n[6][3] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
        std::vector<float> vertices;
        std::vector<Ogre::uint16> indices;
        for (int f = 0; f < 6; ++f)
        {
            const Ogre::Vector3 normal(n[f][0], n[f][1], n[f][2]);
            const Ogre::Vector3 u = normal.perpendicular();
            const Ogre::Vector3 v = normal.crossProduct(u);
            const Ogre::uint16 base = Ogre::uint16(vertices.size() / 6);
            for (int k = 0; k < 4; ++k)
            {
                const Ogre::Vector3 p = (normal + u * ((k & 1) ? 1.f : -1.f) +
                                         v * ((k & 2) ? 1.f : -1.f)) * 0.5f;
                vertices.insert(vertices.end(), {p.x, p.y, p.z, normal.x, normal.y, normal.z});
            }
            indices.insert(indices.end(), {base, Ogre::uint16(base + 1), Ogre::uint16(base + 2),
                                           Ogre::uint16(base + 2), Ogre::uint16(base + 1),
                                           Ogre::uint16(base + 3)});
        }
        sub->vertexData->vertexCount = vertices.size() / 6;
        Ogre::HardwareVertexBufferSharedPtr vb =
            Ogre::HardwareBufferManager::getSingleton().createVertexBuffer(
                decl->getVertexSize(0), sub->vertexData->vertexCount,
                Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY);
        vb->writeData(0, vb->getSizeInBytes(), vertices.data(), true);
        sub->vertexData->vertexBufferBinding->setBinding(0, vb);
        Ogre::HardwareIndexBufferSharedPtr ib =
            Ogre::HardwareBufferManager::getSingleton().createIndexBuffer(
                Ogre::HardwareIndexBuffer::IT_16BIT, indices.size(),
                Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY);
        ib->writeData(0, ib->getSizeInBytes(), indices.data(), true);
        sub->indexData->indexBuffer = ib;
        sub->indexData->indexCount = indices.size();
        sub->indexData->indexStart = 0;
        sub->setMaterialName("BaseWhite");
        mesh->_setBounds(Ogre::AxisAlignedBox(-0.5f, -0.5f, -0.5f, 0.5f, 0.5f, 0.5f));
        mesh->_setBoundingSphereRadius(0.87f);
        mesh->load();
    }

    std::string BenchEngine::makeTempFolder(const std::string& hint)
    {
        const std::string folder = mTempRoot + "/" + std::to_string(++mTempCount) + "-" + hint;
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        return folder;
    }

    WorldTemplate meshTemplate()
    {
        WorldTemplate t;
        t.metaId = "BenchBox.meta";
        t.name = "BenchBox";
        t.objectType = "MeshGameObject";
        t.sizeHint = "VeryLarge";
        t.collidable = false;
        t.minScale = 0.5f;
        t.maxScale = 1.5f;
        t.extension = std::make_shared<MeshTemplateExtension>();
        return t;
    }

    WorldGeneratorResult generateWorld(const std::string& name, int cells, int objectsPerCell,
                                       bool binary)
    {
        const std::string folder = BenchEngine::instance().makeTempFolder("worlds") + "/" + name;
        WorldGeneratorOptions options;
        options.cells = cells;
        options.objectsPerCell = objectsPerCell;
        options.binary = binary;
        options.seed = 2024;
        options.templates.push_back(meshTemplate());
        return WorldGenerator(options).generate(folder);
    }

    bool startWorld(WorldHost& host, const WorldGeneratorResult& world)
    {
        if (!world.ok)
            return false;
        WorldHostSettings settings;
        settings.worldName = world.worldName;
        settings.resourcesConfig = world.resourcesFile;
        settings.declareWorldFolders = false;
        settings.declareConfigLocations = true;
        settings.backgroundLoading = false;
        settings.makePartitionManager = [](CoreGameObjectManager* objects) -> CorePartitionManager* {
            return new GridPartitionManager(objects);
        };
        return host.start(std::move(settings));
    }

    std::size_t residentBytes()
    {
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line))
            if (line.compare(0, 6, "VmRSS:") == 0)
                return std::size_t(std::strtoull(line.c_str() + 6, nullptr, 10)) * 1024;
        return 0;
    }

    void trimHeap() { malloc_trim(0); }
}
}
