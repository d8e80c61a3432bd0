#include "MediaGenerator.h"

#include "AtomicFile.h"
#include "MaterialBatchTemplates.h"

#include <OgreDefaultHardwareBufferManager.h>
#include <OgreHardwareBufferManager.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreMath.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgreMeshSerializer.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSubMesh.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace Wren
{
    const char* const MediaGenerator::MaterialScript = "SampleWorld.material";
    const char* const MediaGenerator::ResourceGroup = "General";
    const char* const MediaGenerator::DefaultMaterial = "SampleWorld/Default";
    const char* const MediaGenerator::PlaceHolderMesh = "Box0Point5Meters.mesh";

    namespace
    {
        void logLine(const std::string& line)
        {
            if (Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr())
                logs->logMessage("MediaGenerator: " + line);
        }

        bool fail(std::string* error, const std::string& why)
        {
            logLine(why);
            if (error)
                *error = why;
            return false;
        }

        /** Subdivisions of a shape at a level: plane and box faces are cut
            into n x n quads; spheres have rings x segments. */
        struct Resolution
        {
            int a;
            int b;
        };

        Resolution resolutionOf(MediaGenerator::Shape shape, MediaGenerator::Level level)
        {
            const bool high = level == MediaGenerator::LEVEL_HIGH;
            switch (shape)
            {
            case MediaGenerator::SHAPE_GROUND:
                return high ? Resolution{16, 16} : Resolution{1, 1};
            case MediaGenerator::SHAPE_BOX:
                return high ? Resolution{4, 4} : Resolution{1, 1};
            case MediaGenerator::SHAPE_COARSE_SPHERE:
                return high ? Resolution{8, 12} : Resolution{4, 6};
            case MediaGenerator::SHAPE_FINE_SPHERE:
            default:
                return high ? Resolution{24, 32} : Resolution{10, 14};
            }
        }

        const float GroundSize = 8.0f;

        /** Vertices and triangles of one submesh being built. */
        struct Geometry
        {
            std::vector<float> vertices;  // position, normal, uv
            std::vector<Ogre::uint16> indices;
            Ogre::AxisAlignedBox box;
            float radius = 0.0f;

            size_t count() const { return vertices.size() / 8; }
            void add(const Ogre::Vector3& p, const Ogre::Vector3& n, float u, float v)
            {
                const float values[8] = {p.x, p.y, p.z, n.x, n.y, n.z, u, v};
                vertices.insert(vertices.end(), values, values + 8);
                box.merge(p);
                radius = std::max(radius, p.length());
            }
            void triangle(size_t a, size_t b, size_t c)
            {
                indices.push_back(Ogre::uint16(a));
                indices.push_back(Ogre::uint16(b));
                indices.push_back(Ogre::uint16(c));
            }
        };

        /** A box of edges 2 * half about centre, each face n x n quads;
            faces wind counter-clockwise seen from outside. */
        Geometry boxGeometry(int n, float half, const Ogre::Vector3& centre)
        {
            struct Face
            {
                Ogre::Vector3 normal, u, v;
            };
            const Face faces[6] = {
                {Ogre::Vector3::UNIT_X, Ogre::Vector3::NEGATIVE_UNIT_Z, Ogre::Vector3::UNIT_Y},
                {Ogre::Vector3::NEGATIVE_UNIT_X, Ogre::Vector3::UNIT_Z, Ogre::Vector3::UNIT_Y},
                {Ogre::Vector3::UNIT_Z, Ogre::Vector3::UNIT_X, Ogre::Vector3::UNIT_Y},
                {Ogre::Vector3::NEGATIVE_UNIT_Z, Ogre::Vector3::NEGATIVE_UNIT_X, Ogre::Vector3::UNIT_Y},
                {Ogre::Vector3::UNIT_Y, Ogre::Vector3::UNIT_X, Ogre::Vector3::NEGATIVE_UNIT_Z},
                {Ogre::Vector3::NEGATIVE_UNIT_Y, Ogre::Vector3::UNIT_X, Ogre::Vector3::UNIT_Z}};
            Geometry g;
            for (const Face& face : faces)
            {
                const size_t first = g.count();
                for (int j = 0; j <= n; ++j)
                    for (int i = 0; i <= n; ++i)
                    {
                        const float s = 2.0f * i / n - 1.0f, t = 2.0f * j / n - 1.0f;
                        g.add(centre + (face.normal + face.u * s + face.v * t) * half, face.normal,
                              float(i) / n, 1.0f - float(j) / n);
                    }
                for (int j = 0; j < n; ++j)
                    for (int i = 0; i < n; ++i)
                    {
                        const size_t p00 = first + j * (n + 1) + i, p10 = p00 + 1;
                        const size_t p01 = p00 + (n + 1), p11 = p01 + 1;
                        g.triangle(p00, p10, p11);
                        g.triangle(p00, p11, p01);
                    }
            }
            return g;
        }

        /** A sphere of radius 1 resting on y = 0 (centre at y = 1). */
        Geometry sphereGeometry(int rings, int segments)
        {
            Geometry g;
            for (int r = 0; r <= rings; ++r)
            {
                const float phi = Ogre::Math::PI * r / rings;
                for (int s = 0; s <= segments; ++s)
                {
                    const float theta = Ogre::Math::TWO_PI * s / segments;
                    const Ogre::Vector3 n(std::sin(phi) * std::cos(theta), std::cos(phi),
                                          std::sin(phi) * std::sin(theta));
                    g.add(n + Ogre::Vector3::UNIT_Y, n, float(s) / segments, float(r) / rings);
                }
            }
            for (int r = 0; r < rings; ++r)
                for (int s = 0; s < segments; ++s)
                {
                    const size_t a = r * (segments + 1) + s, b = a + segments + 1;
                    g.triangle(a, a + 1, b);
                    g.triangle(a + 1, b + 1, b);
                }
            return g;
        }

        Ogre::MeshPtr meshOf(const Geometry& g, const std::string& name, const std::string& group)
        {
            Ogre::MeshPtr mesh = Ogre::MeshManager::getSingleton().createManual(name, group);
            Ogre::SubMesh* sub = mesh->createSubMesh();
            sub->useSharedVertices = false;
            sub->operationType = Ogre::RenderOperation::OT_TRIANGLE_LIST;
            sub->vertexData = new Ogre::VertexData();
            Ogre::VertexDeclaration* declaration = sub->vertexData->vertexDeclaration;
            size_t offset = 0;
            offset += declaration->addElement(0, offset, Ogre::VET_FLOAT3, Ogre::VES_POSITION).getSize();
            offset += declaration->addElement(0, offset, Ogre::VET_FLOAT3, Ogre::VES_NORMAL).getSize();
            offset += declaration
                          ->addElement(0, offset, Ogre::VET_FLOAT2,
                                       Ogre::VES_TEXTURE_COORDINATES, 0)
                          .getSize();
            Ogre::HardwareBufferManager& buffers = Ogre::HardwareBufferManager::getSingleton();
            Ogre::HardwareVertexBufferSharedPtr vertices = buffers.createVertexBuffer(
                offset, g.count(), Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY, true);
            vertices->writeData(0, vertices->getSizeInBytes(), g.vertices.data(), true);
            sub->vertexData->vertexBufferBinding->setBinding(0, vertices);
            sub->vertexData->vertexStart = 0;
            sub->vertexData->vertexCount = g.count();

            Ogre::HardwareIndexBufferSharedPtr indices =
                buffers.createIndexBuffer(Ogre::HardwareIndexBuffer::IT_16BIT, g.indices.size(),
                                          Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY, true);
            indices->writeData(0, indices->getSizeInBytes(), g.indices.data(), true);
            sub->indexData->indexBuffer = indices;
            sub->indexData->indexStart = 0;
            sub->indexData->indexCount = g.indices.size();
            sub->setMaterialName(MediaGenerator::DefaultMaterial);

            mesh->_setBounds(g.box, false);
            mesh->_setBoundingSphereRadius(g.radius);
            mesh->load();
            return mesh;
        }

        /** The engine for a generation: the running one, or a headless one
            made here (log, Root, a buffer manager in memory) and torn down
            when the scope ends. */
        class EngineScope
        {
        public:
            EngineScope()
            {
                if (!Ogre::LogManager::getSingletonPtr())
                {
                    mLogs = new Ogre::LogManager();
                    mLogs->createLog("MediaGenerator.log", true, false, true);
                }
                if (!Ogre::Root::getSingletonPtr())
                    mRoot = new Ogre::Root("", "", "");
                if (!Ogre::HardwareBufferManager::getSingletonPtr())
                    mBuffers = new Ogre::DefaultHardwareBufferManager();
                if (mRoot && !Ogre::Root::getSingleton().getRenderSystem())
                    Ogre::MaterialManager::getSingleton().initialise();
            }
            ~EngineScope()
            {
                // The buffer manager outlives the Root's meshes; the log goes last.
                delete mRoot;
                delete mBuffers;
                delete mLogs;
            }
            EngineScope(const EngineScope&) = delete;
            EngineScope& operator=(const EngineScope&) = delete;

        private:
            Ogre::LogManager* mLogs = nullptr;
            Ogre::Root* mRoot = nullptr;
            Ogre::DefaultHardwareBufferManager* mBuffers = nullptr;
        };

        std::string temporaryBeside(const fs::path& path)
        {
            return path.string() + ".tmp" + std::to_string(::getpid());
        }

        /** Exports a mesh through a temporary file renamed over the target. */
        bool exportMesh(const Ogre::MeshPtr& mesh, const fs::path& path, std::string* error)
        {
            const std::string temporary = temporaryBeside(path);
            std::error_code ec;
            try
            {
                Ogre::MeshSerializer serializer;
                serializer.exportMesh(mesh.get(), temporary);
            }
            catch (const Ogre::Exception& e)
            {
                fs::remove(temporary, ec);
                return fail(error, "can not write " + path.string() + ": " + e.getDescription());
            }
            fs::rename(temporary, path, ec);
            if (ec)
            {
                std::error_code ignored;
                fs::remove(temporary, ignored);
                return fail(error, "can not write " + path.string() + ": " + ec.message());
            }
            return true;
        }
    }

    std::string MediaGenerator::shapeName(Shape shape)
    {
        static const char* const names[SHAPE_COUNT] = {"Ground", "Box", "CoarseSphere",
                                                       "FineSphere"};
        return shape >= 0 && shape < SHAPE_COUNT ? names[shape] : "";
    }

    std::string MediaGenerator::meshName(Shape shape, Level level)
    {
        return shapeName(shape) + (level == LEVEL_HIGH ? "_High.mesh" : "_Low.mesh");
    }

    const std::vector<MediaGenerator::Colour>& MediaGenerator::colours()
    {
        static const std::vector<Colour> list = {
            {"Default", Ogre::ColourValue(0.7f, 0.7f, 0.7f)},
            {"Stone", Ogre::ColourValue(0.55f, 0.55f, 0.6f)},
            {"Brick", Ogre::ColourValue(0.7f, 0.3f, 0.2f)},
            {"Grass", Ogre::ColourValue(0.3f, 0.6f, 0.25f)},
            {"Leaf", Ogre::ColourValue(0.15f, 0.45f, 0.15f)},
            {"Wood", Ogre::ColourValue(0.55f, 0.38f, 0.2f)},
            {"Signal", Ogre::ColourValue(0.95f, 0.75f, 0.1f)}};
        return list;
    }

    std::string MediaGenerator::materialName(const std::string& colour)
    {
        return "SampleWorld/" + colour;
    }

    std::string MediaGenerator::materialScriptText()
    {
        std::ostringstream text;
        text << "// Plain colours of the sample world's meshes.\n";
        for (const Colour& c : colours())
        {
            std::ostringstream rgb;
            rgb << c.value.r << ' ' << c.value.g << ' ' << c.value.b << " 1";
            text << "\nmaterial " << materialName(c.name) << "\n"
                 << "{\n"
                 << "\ttechnique\n"
                 << "\t{\n"
                 << "\t\tbatch_template " << Ogre::MaterialBatchTemplates::UNTEXTURED_TEMPLATE
                 << " {}\n"
                 << "\t\tpass\n"
                 << "\t\t{\n"
                 << "\t\t\tambient " << rgb.str() << "\n"
                 << "\t\t\tdiffuse " << rgb.str() << "\n"
                 << "\t\t}\n"
                 << "\t}\n"
                 << "}\n";
        }
        return text.str();
    }

    size_t MediaGenerator::vertexCount(Shape shape, Level level)
    {
        const Resolution r = resolutionOf(shape, level);
        switch (shape)
        {
        case SHAPE_GROUND:
            return size_t(r.a + 1) * (r.b + 1);
        case SHAPE_BOX:
            return 6 * size_t(r.a + 1) * (r.a + 1);
        default:
            return size_t(r.a + 1) * (r.b + 1);
        }
    }

    Ogre::MeshPtr MediaGenerator::buildMesh(Shape shape, Level level, const std::string& name,
                                            const std::string& group)
    {
        const Resolution r = resolutionOf(shape, level);
        if (shape == SHAPE_GROUND)
        {
            // Shadow buffers, so the mesh can be read back and written out
            // whatever the render system.
            Ogre::MeshPtr mesh = Ogre::MeshManager::getSingleton().createPlane(
                name, group, Ogre::Plane(Ogre::Vector3::UNIT_Y, 0.0f), GroundSize, GroundSize,
                r.a, r.b, true, 1, 1.0f, 1.0f, Ogre::Vector3::UNIT_Z,
                Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY,
                Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY, true, true);
            mesh->getSubMesh(0)->setMaterialName(DefaultMaterial);
            return mesh;
        }
        if (shape == SHAPE_BOX)
            return meshOf(boxGeometry(r.a, 1.0f, Ogre::Vector3(0.0f, 1.0f, 0.0f)), name, group);
        return meshOf(sphereGeometry(r.a, r.b), name, group);
    }

    Ogre::MeshPtr MediaGenerator::buildPlaceHolderMesh(const std::string& name,
                                                       const std::string& group)
    {
        return meshOf(boxGeometry(1, 0.25f, Ogre::Vector3::ZERO), name, group);
    }

    bool MediaGenerator::write(const std::string& folderText, std::vector<std::string>& files,
                               std::string* error)
    {
        const fs::path folder(folderText);
        std::error_code ec;
        fs::create_directories(folder, ec);
        if (ec || !fs::is_directory(folder))
            return fail(error, "can not make the folder " + folder.string() +
                                   (ec ? ": " + ec.message() : std::string()));

        EngineScope engine;
        const std::string group = Ogre::ResourceGroupManager::INTERNAL_RESOURCE_GROUP_NAME;
        Ogre::MeshManager& meshes = Ogre::MeshManager::getSingleton();
        // A submesh stores the name of a material only when the material
        // exists; one stands in for the script while the meshes are written.
        Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
        Ogre::ResourcePtr standIn;
        if (!materials.getResourceByName(DefaultMaterial,
                                         Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME))
            standIn = materials.create(DefaultMaterial, group);
        struct StandInRemoval
        {
            Ogre::ResourcePtr& material;
            ~StandInRemoval()
            {
                if (material)
                    Ogre::MaterialManager::getSingleton().remove(material);
                material.reset();
            }
        } removal{standIn};
        // Builds a mesh under a private name (the file's own name may be
        // loaded later), writes it as file and removes it again.
        auto writeMesh = [&](const std::string& file,
                             const std::function<Ogre::MeshPtr(const std::string&)>& build) {
            const std::string privateName = "MediaGenerator/" + file;
            if (meshes.resourceExists(privateName, group))
                meshes.remove(privateName, group);
            Ogre::MeshPtr mesh;
            try
            {
                mesh = build(privateName);
            }
            catch (const Ogre::Exception& e)
            {
                if (meshes.resourceExists(privateName, group))
                    meshes.remove(privateName, group);
                return fail(error, "can not build the mesh " + file + ": " + e.getDescription());
            }
            const fs::path path = folder / file;
            const bool written = exportMesh(mesh, path, error);
            mesh.reset();
            meshes.remove(privateName, group);
            if (written)
                files.push_back(path.string());
            return written;
        };
        for (int s = 0; s < SHAPE_COUNT; ++s)
            for (Level level : {LEVEL_HIGH, LEVEL_LOW})
            {
                const Shape shape = Shape(s);
                if (!writeMesh(meshName(shape, level), [&](const std::string& name) {
                        return buildMesh(shape, level, name, group);
                    }))
                    return false;
            }
        if (!writeMesh(PlaceHolderMesh,
                       [&](const std::string& name) { return buildPlaceHolderMesh(name, group); }))
            return false;

        const std::string script = materialScriptText();
        const fs::path scriptPath = folder / MaterialScript;
        if (!AtomicFile::write(scriptPath.string(), script.data(), script.size()))
            return fail(error, "can not write " + scriptPath.string());
        files.push_back(scriptPath.string());
        return true;
    }

    bool MediaGenerator::declareMaterials(const std::string& group)
    {
        Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
        bool defined = true;
        for (const Colour& c : colours())
            defined = defined && materials.resourceExists(materialName(c.name), group);
        if (defined)
            return true;
        Ogre::MaterialBatchTemplates::registerScriptTranslator();
        Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
        try
        {
            if (!groups.resourceGroupExists(group) || !groups.resourceExists(group, MaterialScript))
            {
                logLine(std::string("the group ") + group + " holds no " + MaterialScript);
                return false;
            }
            Ogre::DataStreamPtr stream = groups.openResource(MaterialScript, group);
            materials.parseScript(stream, group);
        }
        catch (const Ogre::Exception& e)
        {
            logLine(std::string("can not read ") + MaterialScript + ": " + e.getDescription());
            return false;
        }
        for (const Colour& c : colours())
            if (!materials.resourceExists(materialName(c.name), group))
            {
                logLine(std::string("the script ") + MaterialScript + " does not define " +
                        materialName(c.name));
                return false;
            }
        return true;
    }
}
