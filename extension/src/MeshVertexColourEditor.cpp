#include "MeshVertexColourEditor.h"

#include "AtomicFile.h"
#include "OgreRenderableState.h"

#include <OgreArchive.h>
#include <OgreEntity.h>
#include <OgreGpuProgramManager.h>
#include <OgreHardwareBufferManager.h>
#include <OgreLight.h>
#include <OgreLogManager.h>
#include <OgreMaterial.h>
#include <OgreMesh.h>
#include <OgreMeshSerializer.h>
#include <OgrePass.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneNode.h>
#include <OgreSubEntity.h>
#include <OgreSubMesh.h>
#include <OgreTechnique.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include <unistd.h>

namespace Wren
{
    namespace
    {
        void logMessage(const std::string& text)
        {
            Ogre::LogManager::getSingleton().logMessage("MeshGameObject: " + text);
        }
    }

    Ogre::ColourValue MeshVertexColourEditor::directionalLightColour(const Ogre::Vector3& normal,
                                                             const Ogre::Vector3& direction,
                                                             const Ogre::ColourValue& diffuse)
    {
        const float d = -normal.dotProduct(direction);
        if (d <= 0)
            return Ogre::ColourValue::Black;
        Ogre::ColourValue c = diffuse * d;
        c.a = 1;
        return c;
    }

    Ogre::ColourValue MeshVertexColourEditor::pointLightColour(const Ogre::Vector3& normal,
                                                       const Ogre::Vector3& vertex,
                                                       const Ogre::Vector3& lightPosition,
                                                       const Ogre::ColourValue& diffuse,
                                                       float range, float constant, float linear,
                                                       float quadratic)
    {
        Ogre::Vector3 toLight = lightPosition - vertex;
        const float distance = toLight.length();
        toLight.normalise();
        const float t = normal.dotProduct(toLight);
        if (t <= 0)
            return Ogre::ColourValue::Black;
        float a = 0;
        if (range - distance > 0.001f && range > 0)
        {
            const float r = std::min(1.0f, distance / range);
            a = std::max(0.0f, 1.0f - (constant + linear * r + quadratic * r * r));
        }
        Ogre::ColourValue c = diffuse * (a * t);
        c.a = 1;
        return c;
    }

    Ogre::ColourValue MeshVertexColourEditor::addClamped(const Ogre::ColourValue& c,
                                                 const Ogre::ColourValue& light)
    {
        return Ogre::ColourValue(std::min(1.0f, c.r + light.r), std::min(1.0f, c.g + light.g),
                                 std::min(1.0f, c.b + light.b), c.a);
    }

    Ogre::ColourValue MeshVertexColourEditor::brushColour(const Ogre::ColourValue& vertex,
                                                  const Ogre::ColourValue& brush, int method)
    {
        switch (method)
        {
        case BVCM_ADD: return addClamped(vertex, brush);
        case BVCM_MULTIPLY: return vertex * brush;
        default: return brush;
        }
    }

    namespace
    {
        /** The vertex sets of a mesh: the shared one once, then those of the
            submeshes that have their own. */
        std::vector<Ogre::VertexData*> vertexSets(const Ogre::MeshPtr& mesh)
        {
            std::vector<Ogre::VertexData*> sets;
            if (mesh->sharedVertexData)
                sets.push_back(mesh->sharedVertexData);
            for (unsigned short i = 0; i < mesh->getNumSubMeshes(); ++i)
            {
                Ogre::SubMesh* sub = mesh->getSubMesh(i);
                if (!sub->useSharedVertices && sub->vertexData)
                    sets.push_back(sub->vertexData);
            }
            return sets;
        }

        /** Adds the float positions of every vertex of the mesh (a shared
            vertex set counted once) to sum and their number to count. Sets
            without float positions are left out. */
        void addPositions(const Ogre::MeshPtr& mesh, Ogre::Vector3& sum, size_t& count)
        {
            if (!mesh)
                return;
            for (Ogre::VertexData* data : vertexSets(mesh))
            {
                const Ogre::VertexElement* position =
                    data->vertexDeclaration->findElementBySemantic(Ogre::VES_POSITION);
                if (!position || position->getType() != Ogre::VET_FLOAT3 || !data->vertexCount)
                    continue;
                Ogre::HardwareVertexBufferSharedPtr buffer =
                    data->vertexBufferBinding->getBuffer(position->getSource());
                const unsigned char* base = static_cast<const unsigned char*>(
                    buffer->lock(Ogre::HardwareBuffer::HBL_READ_ONLY));
                for (size_t v = data->vertexStart; v < data->vertexStart + data->vertexCount; ++v)
                {
                    float p[3];
                    std::memcpy(p, base + v * buffer->getVertexSize() + position->getOffset(),
                                sizeof(p));
                    sum += Ogre::Vector3(p[0], p[1], p[2]);
                    ++count;
                }
                buffer->unlock();
            }
        }

        bool isColourType(Ogre::VertexElementType type)
        {
            return type == Ogre::VET_COLOUR || type == Ogre::VET_COLOUR_ARGB ||
                   type == Ogre::VET_COLOUR_ABGR;
        }

        Ogre::VertexElementType packedColourType(Ogre::VertexElementType type)
        {
            return type == Ogre::VET_COLOUR ? Ogre::VertexElement::getBestColourVertexElementType()
                                            : type;
        }

        /** Gives a vertex set without colours a colour element of white in a
            buffer of its own. */
        void addColourElement(Ogre::VertexData* data, const Ogre::MeshPtr& mesh)
        {
            const Ogre::VertexElement* colour =
                data->vertexDeclaration->findElementBySemantic(Ogre::VES_DIFFUSE);
            if (colour && isColourType(colour->getType()))
                return;
            if (colour)
                data->vertexDeclaration->removeElement(Ogre::VES_DIFFUSE);
            const Ogre::VertexElementType type = Ogre::VertexElement::getBestColourVertexElementType();
            const size_t count = data->vertexStart + data->vertexCount;
            Ogre::HardwareVertexBufferSharedPtr buffer =
                Ogre::HardwareBufferManager::getSingleton().createVertexBuffer(
                    Ogre::VertexElement::getTypeSize(type), count, mesh->getVertexBufferUsage(),
                    mesh->isVertexBufferShadowed());
            const Ogre::uint32 white =
                Ogre::VertexElement::convertColourValue(Ogre::ColourValue::White, type);
            std::vector<Ogre::uint32> colours(count, white);
            buffer->writeData(0, buffer->getSizeInBytes(), colours.data(), true);
            const unsigned short source = data->vertexBufferBinding->getNextIndex();
            data->vertexBufferBinding->setBinding(source, buffer);
            data->vertexDeclaration->addElement(source, 0, type, Ogre::VES_DIFFUSE);
        }

        /** Reads every vertex of the mesh (positions and normals in mesh
            space, colours as ARGB); false with the reason when the mesh has
            no float positions or no colours. */
        bool readVertices(const Ogre::MeshPtr& mesh, std::vector<MeshVertexColourEditor::VertexRecord>& out,
                          std::string& problem)
        {
            out.clear();
            for (Ogre::VertexData* data : vertexSets(mesh))
            {
                const Ogre::VertexElement* position =
                    data->vertexDeclaration->findElementBySemantic(Ogre::VES_POSITION);
                const Ogre::VertexElement* normal =
                    data->vertexDeclaration->findElementBySemantic(Ogre::VES_NORMAL);
                const Ogre::VertexElement* colour =
                    data->vertexDeclaration->findElementBySemantic(Ogre::VES_DIFFUSE);
                if (!position || position->getType() != Ogre::VET_FLOAT3)
                {
                    problem = "has no float positions";
                    return false;
                }
                if (!colour || !isColourType(colour->getType()))
                {
                    problem = "has no vertex colours";
                    return false;
                }
                if (normal && normal->getType() != Ogre::VET_FLOAT3)
                    normal = nullptr;
                const Ogre::VertexElement* elements[] = {position, normal, colour};
                std::map<unsigned short, const unsigned char*> locked;
                for (const Ogre::VertexElement* e : elements)
                    if (e && !locked.count(e->getSource()))
                        locked[e->getSource()] = static_cast<const unsigned char*>(
                            data->vertexBufferBinding->getBuffer(e->getSource())
                                ->lock(Ogre::HardwareBuffer::HBL_READ_ONLY));
                const Ogre::VertexElementType colourType = packedColourType(colour->getType());
                for (size_t v = data->vertexStart; v < data->vertexStart + data->vertexCount; ++v)
                {
                    MeshVertexColourEditor::VertexRecord record;
                    auto at = [&](const Ogre::VertexElement* e) {
                        const size_t stride =
                            data->vertexBufferBinding->getBuffer(e->getSource())->getVertexSize();
                        return locked[e->getSource()] + v * stride + e->getOffset();
                    };
                    const float* p = reinterpret_cast<const float*>(at(position));
                    record.position = Ogre::Vector3(p[0], p[1], p[2]);
                    record.normal = Ogre::Vector3::ZERO;
                    if (normal)
                    {
                        const float* n = reinterpret_cast<const float*>(at(normal));
                        record.normal = Ogre::Vector3(n[0], n[1], n[2]);
                    }
                    Ogre::uint32 packed;
                    std::memcpy(&packed, at(colour), sizeof(packed));
                    Ogre::VertexElement::convertColourValue(colourType, Ogre::VET_COLOUR_ARGB,
                                                            &packed);
                    record.colour = packed;
                    out.push_back(record);
                }
                for (auto& entry : locked)
                    data->vertexBufferBinding->getBuffer(entry.first)->unlock();
            }
            return true;
        }

        /** Writes the colours of records read by readVertices back. */
        void writeColours(const Ogre::MeshPtr& mesh,
                          const std::vector<MeshVertexColourEditor::VertexRecord>& records)
        {
            size_t next = 0;
            for (Ogre::VertexData* data : vertexSets(mesh))
            {
                const Ogre::VertexElement* colour =
                    data->vertexDeclaration->findElementBySemantic(Ogre::VES_DIFFUSE);
                Ogre::HardwareVertexBufferSharedPtr buffer =
                    data->vertexBufferBinding->getBuffer(colour->getSource());
                const Ogre::VertexElementType colourType = packedColourType(colour->getType());
                unsigned char* base =
                    static_cast<unsigned char*>(buffer->lock(Ogre::HardwareBuffer::HBL_NORMAL));
                for (size_t v = data->vertexStart;
                     v < data->vertexStart + data->vertexCount && next < records.size(); ++v)
                {
                    Ogre::uint32 packed = records[next++].colour;
                    Ogre::VertexElement::convertColourValue(Ogre::VET_COLOUR_ARGB, colourType,
                                                            &packed);
                    std::memcpy(base + v * buffer->getVertexSize() + colour->getOffset(), &packed,
                                sizeof(packed));
                }
                buffer->unlock();
            }
        }

        Ogre::ColourValue fromARGB(Ogre::uint32 argb)
        {
            Ogre::ColourValue c;
            c.setAsARGB(argb);
            return c;
        }

        /** The file a mesh was read from, when it lies in a folder of its
            group (resource locations are read-only for the engine by
            default; the editor writes them anyway); else empty. */
        std::string meshFilePath(const std::string& name, const std::string& group)
        {
            Ogre::FileInfoListPtr found;
            try
            {
                found = Ogre::ResourceGroupManager::getSingleton().findResourceFileInfo(group, name);
            }
            catch (const Ogre::Exception&)
            {
                return std::string();
            }
            for (const Ogre::FileInfo& info : *found)
                if (info.archive && info.archive->getType() == "FileSystem")
                    return info.archive->getName() + "/" + info.filename;
            return std::string();
        }

        /** Serialises the mesh to bytes through a scratch file of the
            system's temporary folder. */
        bool serialiseMesh(const Ogre::MeshPtr& mesh, std::string& bytes, std::string& problem)
        {
            static unsigned long counter = 0;
            std::error_code error;
            const std::filesystem::path scratch =
                std::filesystem::temp_directory_path(error) /
                ("wren-mesh-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
            if (error)
            {
                problem = "no temporary folder";
                return false;
            }
            bool done = false;
            try
            {
                Ogre::MeshSerializer().exportMesh(mesh.get(), scratch.string());
                std::ifstream in(scratch, std::ios::binary);
                bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
                done = in.good() || in.eof();
                if (!done || bytes.empty())
                {
                    done = false;
                    problem = "the serialised mesh can not be read back";
                }
            }
            catch (const Ogre::Exception& e)
            {
                problem = e.getDescription();
            }
            std::filesystem::remove(scratch, error);
            return done;
        }

        /** The node's world transform from the local transforms up its
            chain, so that a move made since the last scene update counts. */
        Ogre::Affine3 currentWorldTransform(const Ogre::Node* node)
        {
            Ogre::Affine3 transform = Ogre::Affine3::IDENTITY;
            for (; node; node = node->getParent())
            {
                Ogre::Affine3 local;
                local.makeTransform(node->getPosition(), node->getScale(), node->getOrientation());
                transform = local * transform;
            }
            return transform;
        }
    }

    MeshVertexColourEditor::MeshVertexColourEditor(const std::vector<Ogre::Entity*>& entities,
                                                   const Ogre::Node* meshNode,
                                                   const std::string& objectName)
        : mEntities(entities), mMeshNode(meshNode), mObjectName(objectName)
    {
    }

    std::vector<Ogre::MeshPtr> MeshVertexColourEditor::meshes() const
    {
        std::vector<Ogre::MeshPtr> meshes;
        for (Ogre::Entity* entity : mEntities)
            if (std::find(meshes.begin(), meshes.end(), entity->getMesh()) == meshes.end())
                meshes.push_back(entity->getMesh());
        return meshes;
    }

    bool MeshVertexColourEditor::prepare()
    {
        if (mEntities.empty())
        {
            logMessage(mObjectName + " shows no mesh whose vertex colours could be edited");
            return false;
        }
        for (const Ogre::MeshPtr& mesh : meshes())
            for (Ogre::VertexData* data : vertexSets(mesh))
                addColourElement(data, mesh);
        return true;
    }

    void MeshVertexColourEditor::useVertexColourMaterials() const
    {
        Ogre::GpuProgramManager* programs = Ogre::GpuProgramManager::getSingletonPtr();
        const bool shaders = programs && programs->getByName("buildingVS") &&
                             programs->getByName("buildingPS");
        // The materials themselves, not the clones a fade or the wireframe
        // shows, so that the change outlives those.
        for (Ogre::Entity* entity : mEntities)
            for (size_t s = 0; s < entity->getNumSubEntities(); ++s)
            {
                Ogre::MaterialPtr material =
                    Ogre::RenderableState::getMaterial(entity->getSubEntity(s));
                if (!material || material->getNumTechniques() == 0 ||
                    material->getTechnique(0)->getNumPasses() == 0)
                    continue;
                Ogre::Pass* pass = material->getTechnique(0)->getPass(0);
                pass->setVertexColourTracking(Ogre::TVC_DIFFUSE);
                if (!shaders)
                    continue;
                try
                {
                    pass->setVertexProgram("buildingVS");
                    Ogre::GpuProgramParametersSharedPtr vs = pass->getVertexProgramParameters();
                    vs->setNamedAutoConstant("mtxWorld", Ogre::GpuProgramParameters::ACT_WORLD_MATRIX);
                    vs->setNamedAutoConstant("mtxViewProj",
                                             Ogre::GpuProgramParameters::ACT_VIEWPROJ_MATRIX);
                    vs->setNamedAutoConstant("ambient",
                                             Ogre::GpuProgramParameters::ACT_AMBIENT_LIGHT_COLOUR);
                    vs->setNamedAutoConstant("lightDir",
                                             Ogre::GpuProgramParameters::ACT_LIGHT_DIRECTION);
                    vs->setNamedAutoConstant("lightDiffuse",
                                             Ogre::GpuProgramParameters::ACT_LIGHT_DIFFUSE_COLOUR);
                    vs->setNamedConstant("matAmbient", Ogre::ColourValue::White);
                    pass->setFragmentProgram("buildingPS");
                    pass->getFragmentProgramParameters()->setNamedConstant("lumFactor", 1.0f);
                }
                catch (const Ogre::Exception& e)
                {
                    logMessage("the building shaders do not fit " + material->getName() + ": " +
                               e.getDescription());
                }
            }
        for (Ogre::Entity* entity : mEntities)
            for (size_t s = 0; s < entity->getNumSubEntities(); ++s)
                Ogre::RenderableState::refreshMaterial(entity->getSubEntity(s));
    }

    bool MeshVertexColourEditor::edit(const std::function<void(VertexRecord&)>& change)
    {
        bool all = true;
        for (const Ogre::MeshPtr& mesh : meshes())
        {
            std::vector<VertexRecord> records;
            std::string problem;
            if (!readVertices(mesh, records, problem))
            {
                logMessage("the mesh " + mesh->getName() + " of " + mObjectName + " " + problem);
                all = false;
                continue;
            }
            for (VertexRecord& record : records)
                change(record);
            writeColours(mesh, records);
        }
        return all;
    }

    bool MeshVertexColourEditor::clear()
    {
        if (!prepare())
            return false;
        const Ogre::uint32 black = Ogre::ColourValue::Black.getAsARGB();
        return edit([black](VertexRecord& record) { record.colour = black; });
    }

    bool MeshVertexColourEditor::light(const Ogre::Light* light, VertexColorLightModel model)
    {
        if (!light || (model != VCLM_POINT && model != VCLM_DIRECTIONAL))
            return false;
#ifndef OGRE_NODELESS_POSITIONING
        if (!light->getParentNode())
        {
            logMessage("the light " + light->getName() + " hangs under no node; " + mObjectName +
                       " is not lit");
            return false;
        }
#endif
        if (!prepare())
            return false;
        useVertexColourMaterials();
        const Ogre::Affine3 transform = currentWorldTransform(mMeshNode);
        // Normals turn with the object; a scaled object needs the inverse
        // transpose to keep them at right angles to its faces.
        const Ogre::Matrix3 normalMatrix = transform.linear().Inverse().Transpose();
        const Ogre::Vector3 direction = light->getDerivedDirection().normalisedCopy();
        const Ogre::Vector3 lightPosition = light->getDerivedPosition();
        return edit([&](VertexRecord& record) {
            const Ogre::Vector3 normal = (normalMatrix * record.normal).normalisedCopy();
            const Ogre::ColourValue received =
                model == VCLM_DIRECTIONAL
                    ? directionalLightColour(normal, direction, light->getDiffuseColour())
                    : pointLightColour(normal, transform * record.position, lightPosition,
                                       light->getDiffuseColour(), light->getAttenuationRange(),
                                       light->getAttenuationConstant(),
                                       light->getAttenuationLinear(),
                                       light->getAttenuationQuadric());
            record.colour = addClamped(fromARGB(record.colour), received).getAsARGB();
        });
    }

    bool MeshVertexColourEditor::brush(const Ogre::Vector3& centre, float radius,
                                       const Ogre::ColourValue& colour,
                                       BrushVertexColorMethod method)
    {
        if (!prepare())
            return false;
        useVertexColourMaterials();
        const Ogre::Affine3 transform = currentWorldTransform(mMeshNode);
        const float radiusSquared = radius * radius;
        return edit([&](VertexRecord& record) {
            if ((transform * record.position).squaredDistance(centre) < radiusSquared)
                record.colour = brushColour(fromARGB(record.colour), colour, method).getAsARGB();
        });
    }

    void MeshVertexColourEditor::save() const
    {
        for (const Ogre::MeshPtr& mesh : meshes())
        {
            const std::string& name = mesh->getName();
            const std::string path = meshFilePath(name, mesh->getGroup());
            if (path.empty())
            {
                logMessage("the mesh " + name + " of " + mObjectName +
                           " was not read from a folder; not written");
                continue;
            }
            std::string bytes;
            std::string problem;
            if (!serialiseMesh(mesh, bytes, problem))
            {
                logMessage("the mesh " + name + " of " + mObjectName + " can not be serialised: " +
                           problem + "; " + path + " is left as it was");
                continue;
            }
            if (AtomicFile::write(path, bytes.data(), bytes.size()))
                logMessage("wrote the mesh " + name + " of " + mObjectName + " to " + path);
            else
                logMessage("the mesh " + name + " of " + mObjectName + " is not written; " + path +
                           " is left as it was");
        }
    }

    Ogre::Vector3 MeshVertexColourEditor::localCentre() const
    {
        Ogre::Vector3 sum = Ogre::Vector3::ZERO;
        size_t count = 0;
        for (Ogre::Entity* entity : mEntities)
            addPositions(entity->getMesh(), sum, count);
        return count ? sum / Ogre::Real(count) : Ogre::Vector3::ZERO;
    }
}
