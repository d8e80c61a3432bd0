#include "MeshGameObject.h"

#include "AtomicFile.h"
#include "CompleteObjectDataInfo.h"
#include "CoreGameObjectManager.h"
#include "DataElement.h"
#include "FxEffectManager.h"
#include "MaterialDefinition.h"
#include "OgreRenderableState.h"
#include "OgreUserDefinedObject.h"

#include <OgreAnimationState.h>
#include <OgreArchive.h>
#include <OgreEntity.h>
#include <OgreGpuProgramManager.h>
#include <OgreHardwareBufferManager.h>
#include <OgreLight.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgreMeshSerializer.h>
#include <OgrePass.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>
#include <OgreSubEntity.h>
#include <OgreSubMesh.h>
#include <OgreTechnique.h>

#include <algorithm>
#include <functional>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

namespace Wren
{
    float MeshGameObject::FADE_DURATION = 2.0f;

    namespace
    {
        const char* const kMeshGroup = "General";

        void logMessage(const std::string& text)
        {
            Ogre::LogManager::getSingleton().logMessage("MeshGameObject: " + text);
        }
    }

    MeshGameObject::MeshGameObject(CoreGameObjectManager* manager, const std::string& name)
        : CoreGameObject(manager, name)
    {
    }

    MeshGameObject::~MeshGameObject() { releaseOwnMeshes(); }

    const std::string& MeshGameObject::getObjectType() const
    {
        static const std::string type = "MeshGameObject";
        return type;
    }

    bool MeshGameObject::checkObjectType(const std::string& type) const
    {
        return type == getObjectType();
    }

    float MeshGameObject::viewRangeScale(int sizeHint)
    {
        switch (sizeHint)
        {
        case SIZE_VERY_LARGE: return 1.3f;
        case SIZE_LARGE: return 1.0f;
        case SIZE_MEDIUM: return 0.5f;
        case SIZE_SMALL: return 0.3f;
        default: return 1.0f;
        }
    }

    Ogre::ColourValue MeshGameObject::directionalLightColour(const Ogre::Vector3& normal,
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

    Ogre::ColourValue MeshGameObject::pointLightColour(const Ogre::Vector3& normal,
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

    Ogre::ColourValue MeshGameObject::addClamped(const Ogre::ColourValue& c,
                                                 const Ogre::ColourValue& light)
    {
        return Ogre::ColourValue(std::min(1.0f, c.r + light.r), std::min(1.0f, c.g + light.g),
                                 std::min(1.0f, c.b + light.b), c.a);
    }

    Ogre::ColourValue MeshGameObject::brushColour(const Ogre::ColourValue& vertex,
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
        bool readVertices(const Ogre::MeshPtr& mesh, std::vector<MeshGameObject::VertexRecord>& out,
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
                    MeshGameObject::VertexRecord record;
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
                          const std::vector<MeshGameObject::VertexRecord>& records)
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

    const std::string& MeshGameObject::getShownMeshName(const std::string& meshName) const
    {
        auto it = mOwnMeshes.find(meshName);
        return it == mOwnMeshes.end() ? meshName : it->second;
    }

    std::vector<std::pair<Ogre::MeshPtr, Ogre::Entity*>> MeshGameObject::currentMeshes() const
    {
        std::vector<std::pair<Ogre::MeshPtr, Ogre::Entity*>> meshes;
        for (Ogre::Entity* entity : mEntities)
        {
            const Ogre::MeshPtr& mesh = entity->getMesh();
            bool seen = false;
            for (const auto& m : meshes)
                seen = seen || m.first == mesh;
            if (!seen)
                meshes.push_back(std::make_pair(mesh, entity));
        }
        return meshes;
    }

    bool MeshGameObject::makeMeshesEditable()
    {
        if (mEntities.empty())
        {
            logMessage(mName + " shows no mesh whose vertex colours could be edited");
            return false;
        }
        if (mShared)
        {
            // The entities belong to an above-ground area and stand for many objects.
            logMessage(mName + " shows entities of its area; their vertex colours stay as they are");
            return false;
        }
        Ogre::MeshManager& meshes = Ogre::MeshManager::getSingleton();
        for (size_t i = 0; i < mEntities.size(); ++i)
        {
            Ogre::Entity* entity = mEntities[i];
            const Ogre::MeshPtr mesh = entity->getMesh();
            bool ownAlready = false;
            for (const auto& own : mOwnMeshes)
                ownAlready = ownAlready || own.second == mesh->getName();
            if (ownAlready)
                continue;
            const std::string original = mesh->getName();
            // Other objects keep showing the mesh as it is: the edits go to
            // a copy of this object's own, shown from now on.
            if (!mOwnMeshes.count(original))
            {
                std::string copyName = original + "#" + mName;
                for (int n = 2; meshes.resourceExists(copyName, mesh->getGroup()); ++n)
                    copyName = original + "#" + mName + "#" + Ogre::StringConverter::toString(n);
                try
                {
                    Ogre::MeshPtr copy = mesh->clone(copyName);
                    for (Ogre::VertexData* data : vertexSets(copy))
                        addColourElement(data, copy);
                }
                catch (const Ogre::Exception& e)
                {
                    logMessage("the mesh " + original + " of " + mName +
                               " can not be copied for editing: " + e.getDescription());
                    if (meshes.resourceExists(copyName, mesh->getGroup()))
                        meshes.remove(copyName, mesh->getGroup());
                    return false;
                }
                mOwnMeshes[original] = copyName;
            }

            Ogre::Entity* replacement = nullptr;
            try
            {
                replacement = createEntity(original, i, entity->getVisible());
            }
            catch (const Ogre::Exception& e)
            {
                logMessage("the copy of " + original + " of " + mName + " can not be shown: " +
                           e.getDescription());
                return false;
            }
            for (size_t s = 0; s < entity->getNumSubEntities() && s < replacement->getNumSubEntities();
                 ++s)
            {
                replacement->getSubEntity(s)->setMaterial(entity->getSubEntity(s)->getMaterial());
                Ogre::RenderableState::SetFarDistLevel(replacement->getSubEntity(s), 2);
            }
            replacement->setVisibilityFlags(entity->getVisibilityFlags());
            Ogre::RenderableState::SetViewRangeScale(replacement,
                                                     Ogre::RenderableState::GetViewRangeScale(entity));
            if (Ogre::AnimationStateSet* states = replacement->getAllAnimationStates())
            {
                auto it = states->getAnimationStateIterator();
                if (it.hasMoreElements())
                {
                    Ogre::AnimationState* state = it.getNext();
                    state->setEnabled(true);
                    state->setLoop(true);
                }
            }
            if (Ogre::SceneNode* node = entity->getParentSceneNode())
            {
                node->detachObject(entity);
                node->attachObject(replacement);
            }
            destroyEntity(entity);
            mEntities[i] = replacement;
        }
        return true;
    }

    void MeshGameObject::releaseOwnMeshes()
    {
        Ogre::MeshManager* meshes = Ogre::MeshManager::getSingletonPtr();
        for (const auto& own : mOwnMeshes)
            if (meshes)
            {
                Ogre::MeshPtr copy = meshes->getByName(own.second, kMeshGroup);
                if (copy)
                    meshes->remove(copy);
            }
        mOwnMeshes.clear();
    }

    void MeshGameObject::useVertexColourMaterials()
    {
        Ogre::GpuProgramManager* programs = Ogre::GpuProgramManager::getSingletonPtr();
        const bool shaders = programs && programs->getByName("buildingVS") &&
                             programs->getByName("buildingPS");
        for (Ogre::Entity* entity : mEntities)
            for (size_t s = 0; s < entity->getNumSubEntities(); ++s)
            {
                Ogre::MaterialPtr material = entity->getSubEntity(s)->getMaterial();
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
    }

    bool MeshGameObject::clearVertexLight()
    {
        if (!makeMeshesEditable())
            return false;
        const Ogre::uint32 black = Ogre::ColourValue::Black.getAsARGB();
        return editVertexColours([black](VertexRecord& record) { record.colour = black; });
    }

    bool MeshGameObject::editVertexColours(const std::function<void(VertexRecord&)>& edit)
    {
        bool all = true;
        for (const auto& shown : currentMeshes())
        {
            std::vector<VertexRecord> records;
            std::string problem;
            if (!readVertices(shown.first, records, problem))
            {
                logMessage("the mesh " + shown.first->getName() + " of " + mName + " " + problem);
                all = false;
                continue;
            }
            for (VertexRecord& record : records)
                edit(record);
            writeColours(shown.first, records);
        }
        return all;
    }

    bool MeshGameObject::computerVertexLight(const Ogre::Light* light, VertexColorLightModel model)
    {
        if (!light || (model != VCLM_POINT && model != VCLM_DIRECTIONAL))
            return false;
#ifndef OGRE_NODELESS_POSITIONING
        if (!light->getParentNode())
        {
            logMessage("the light " + light->getName() + " hangs under no node; " + mName +
                       " is not lit");
            return false;
        }
#endif
        if (!makeMeshesEditable())
            return false;
        useVertexColourMaterials();
        const Ogre::Affine3 transform = currentWorldTransform(mMeshSceneNode);
        // Normals turn with the object; a scaled object needs the inverse
        // transpose to keep them at right angles to its faces.
        const Ogre::Matrix3 normalMatrix = transform.linear().Inverse().Transpose();
        const Ogre::Vector3 direction = light->getDerivedDirection().normalisedCopy();
        const Ogre::Vector3 lightPosition = light->getDerivedPosition();
        return editVertexColours([&](VertexRecord& record) {
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

    bool MeshGameObject::BrushVertexColor(const Ogre::Vector3& centre, const float& radius,
                                          const Ogre::ColourValue& colour,
                                          BrushVertexColorMethod method)
    {
        if (!makeMeshesEditable())
            return false;
        useVertexColourMaterials();
        const Ogre::Affine3 transform = currentWorldTransform(mMeshSceneNode);
        const float radiusSquared = radius * radius;
        return editVertexColours([&](VertexRecord& record) {
            if ((transform * record.position).squaredDistance(centre) < radiusSquared)
                record.colour = brushColour(fromARGB(record.colour), colour, method).getAsARGB();
        });
    }

    bool MeshGameObject::changeToWireframe()
    {
        mWireframe = !mWireframe;
        for (Ogre::Entity* entity : mEntities)
            for (size_t i = 0; i < entity->getNumSubEntities(); ++i)
            {
                Ogre::MaterialPtr m = entity->getSubEntity(i)->getMaterial();
                if (!m)
                    continue;
                for (unsigned short t = 0; t < m->getNumTechniques(); ++t)
                    for (unsigned short p = 0; p < m->getTechnique(t)->getNumPasses(); ++p)
                        m->getTechnique(t)->getPass(p)->setPolygonMode(
                            mWireframe ? Ogre::PM_WIREFRAME : Ogre::PM_SOLID);
            }
        return !mEntities.empty();
    }

    void MeshGameObject::saveMesh()
    {
        for (const auto& shown : currentMeshes())
        {
            const Ogre::MeshPtr& mesh = shown.first;
            std::string name = mesh->getName();
            for (const auto& own : mOwnMeshes)
                if (own.second == name)
                    name = own.first;
            const std::string path = meshFilePath(name, mesh->getGroup());
            if (path.empty())
            {
                logMessage("the mesh " + name + " of " + mName +
                           " was not read from a folder; not written");
                continue;
            }
            std::string bytes;
            std::string problem;
            if (!serialiseMesh(mesh, bytes, problem))
            {
                logMessage("the mesh " + name + " of " + mName + " can not be serialised: " +
                           problem + "; " + path + " is left as it was");
                continue;
            }
            if (AtomicFile::write(path, bytes.data(), bytes.size()))
                logMessage("wrote the mesh " + name + " of " + mName + " to " + path);
            else
                logMessage("the mesh " + name + " of " + mName + " is not written; " + path +
                           " is left as it was");
        }
    }

    Ogre::AxisAlignedBox MeshGameObject::getWorldAABB() const
    {
        Ogre::AxisAlignedBox box;
        for (Ogre::Entity* entity : mEntities)
            box.merge(entity->getWorldBoundingBox(true));
        return box;
    }

    void MeshGameObject::enumerateProperties(std::vector<Property>& out)
    {
        CoreGameObject::enumerateProperties(out);
        Property isStatic;
        isStatic.initBool("MeshGameObject_IsStatic", "Is static", mIsStatic);
        out.push_back(isStatic);
        Property cast;
        cast.initBool("MeshGameObject_CastShadows", "Cast shadows", mCastShadows);
        out.push_back(cast);
    }

    void MeshGameObject::setProperty(const std::string& id, const PropertyData& value)
    {
        if (id == "MeshGameObject_IsStatic")
            mIsStatic = value.boolVal;
        else if (id == "MeshGameObject_CastShadows")
            setCastShadows(value.boolVal);
        else
            CoreGameObject::setProperty(id, value);
    }

    void MeshGameObject::setCastShadows(bool cast)
    {
        mCastShadows = cast;
        for (Ogre::Entity* entity : mEntities)
            entity->setCastShadows(cast);
    }

    bool MeshGameObject::save(DataElementPtr& element)
    {
        if (!CoreGameObject::save(element))
            return false;
        DataElementPtr mesh = element->createChild("MeshData");
        mesh->setAttributeBool("IsStatic", mIsStatic);
        mesh->setAttributeBool("CastShadows", mCastShadows);
        return true;
    }

    bool MeshGameObject::saveBinary(CompleteObjectDataInfo& record)
    {
        if (!CoreGameObject::saveBinary(record))
            return false;
        record.isStatic = mIsStatic ? 1 : 0;
        record.castShadows = mCastShadows ? 1 : 0;
        return true;
    }

    bool MeshGameObject::fitsBinaryRecord() const { return CoreGameObject::fitsBinaryRecord(); }

    bool MeshGameObject::loadBinaryStart(CompleteObjectDataInfo& record,
                                         std::vector<CoreGameObject*>& created, bool rename)
    {
        if (!CoreGameObject::loadBinaryStart(record, created, rename))
            return false;
        mMeshMetadata = dynamic_cast<MeshMetadata*>(mMetadata);
        mIsStatic = record.isStatic != 0;
        mCastShadows = record.castShadows != 0;
        return true;
    }

    bool MeshGameObject::loadStart(DataElementPtr& element, std::vector<CoreGameObject*>& created,
                                   bool rename)
    {
        if (!CoreGameObject::loadStart(element, created, rename))
            return false;
        mMeshMetadata = dynamic_cast<MeshMetadata*>(mMetadata);
        DataElementPtr mesh = element->getFirstChild("MeshData");
        if (!mesh->getIsEmpty())
        {
            mIsStatic = mesh->getAttributeBool("IsStatic", false);
            mCastShadows = mesh->getAttributeBool("CastShadows", false);
        }
        return true;
    }

    bool MeshGameObject::loadFinish()
    {
        const std::string partitionID = mPartitionID;
        const bool result = CoreGameObject::loadFinish();
        createMeshSceneNode();
        (void)partitionID;
        return result;
    }

    bool MeshGameObject::initStart(CoreMetadata* metadata, bool flag)
    {
        if (!CoreGameObject::initStart(metadata, flag))
            return false;
        mMeshMetadata = dynamic_cast<MeshMetadata*>(metadata);
        if (mMeshMetadata)
        {
            mIsStatic = mMeshMetadata->getIsStatic();
            mCastShadows = mMeshMetadata->getCastShadows();
        }
        return true;
    }

    bool MeshGameObject::initFinish(const Ogre::Vector3& worldPosition)
    {
        const bool result = CoreGameObject::initFinish(worldPosition);
        createMeshSceneNode();
        return result;
    }

    void MeshGameObject::createMeshSceneNode()
    {
        if (mMeshSceneNode || !mSceneNode)
            return;
        mMeshSceneNode = mSceneNode->createChildSceneNode(mName + getPartitionID() + "Mesh");
        Ogre::RenderableState::setStaticCulling(mMeshSceneNode, true);
        Ogre::RenderableState::setOccluder(mMeshSceneNode, true);
    }

    void MeshGameObject::destroyEntity(Ogre::Entity* entity)
    {
        if (!entity)
            return;
        Ogre::RenderableState::releaseEntity(entity);
        Ogre::UserDefinedObject::unbind(entity);
        Ogre::SceneManager* scene = mManager->getSceneManager();
        Ogre::SceneNode* node = entity->getParentSceneNode();
        if (node)
        {
            node->detachObject(entity);
            if (node != mMeshSceneNode && node->numAttachedObjects() == 0 &&
                node->numChildren() == 0)
            {
                if (node->getParentSceneNode())
                    node->getParentSceneNode()->removeChild(node);
                scene->destroySceneNode(node);
            }
        }
        scene->destroyEntity(entity);
    }

    void MeshGameObject::destroyEntities(std::vector<Ogre::Entity*>& entities)
    {
        for (Ogre::Entity* entity : entities)
            destroyEntity(entity);
        entities.clear();
    }

    void MeshGameObject::destroy(bool destroyChildren, bool keepInPartition)
    {
        if (mShared)
            ClearEntities();
        destroyEntities(mEntities);
        destroyEntities(mOutgoingEntities);
        for (auto& list : mLogicEntities)
            destroyEntities(list);
        releaseOwnMeshes();
        removeEffects();
        Ogre::SceneManager* scene = mManager->getSceneManager();
        for (auto& strike : mStrikeNodes)
        {
            if (strike.second->getParentSceneNode())
                strike.second->getParentSceneNode()->removeChild(strike.second);
            scene->destroySceneNode(strike.second);
        }
        mStrikeNodes.clear();
        if (mMeshSceneNode)
        {
            if (mMeshSceneNode->getParentSceneNode())
                mMeshSceneNode->getParentSceneNode()->removeChild(mMeshSceneNode);
            scene->destroySceneNode(mMeshSceneNode);
            mMeshSceneNode = nullptr;
        }
        for (auto& list : mCollisionShapes)
            list.clear();
        mActiveCollisionType = MCT_NONE;
        mCollisionShapeList.clear();
        mUpdateRegistered = false;
        mAnimRegistered = false;
        CoreGameObject::destroy(destroyChildren, keepInPartition);
    }

    void MeshGameObject::select()
    {
        if (mMeshSceneNode)
            mMeshSceneNode->showBoundingBox(true);
    }

    void MeshGameObject::unselect()
    {
        if (mMeshSceneNode)
            mMeshSceneNode->showBoundingBox(false);
    }

    void MeshGameObject::showEditingBox()
    {
        for (Ogre::Entity* entity : mEntities)
            if (entity->getParentSceneNode())
                entity->getParentSceneNode()->showBoundingBox(true);
    }

    void MeshGameObject::hideEditingBox()
    {
        for (Ogre::Entity* entity : mEntities)
            if (entity->getParentSceneNode())
                entity->getParentSceneNode()->showBoundingBox(false);
    }

    void MeshGameObject::registerUpdate()
    {
        if (mUpdateRegistered)
            return;
        mManager->addUpdateListener(this);
        mUpdateRegistered = true;
    }

    void MeshGameObject::unregisterUpdate()
    {
        if (!mUpdateRegistered)
            return;
        mManager->removeUpdateListener(this, false);
        mUpdateRegistered = false;
    }

    void MeshGameObject::registerAnim()
    {
        mManager->addUpdateListenerAnim(this);
        mAnimRegistered = true;
    }

    void MeshGameObject::unregisterAnim()
    {
        mManager->removeUpdateListenerAnim(this);
        mAnimRegistered = false;
    }

    bool MeshGameObject::IsChangeLod(LevelOfDetail from, LevelOfDetail to)
    {
        if (from == LOD_BEYOND_HINT || to == LOD_BEYOND_HINT)
            return true;
        if (!mMeshMetadata)
            return false;
        return mMeshMetadata->getMeshNames(from) != mMeshMetadata->getMeshNames(to);
    }

    bool MeshGameObject::isMeshBad(const std::string& name) const
    {
        return std::find(mBadMeshes.begin(), mBadMeshes.end(), name) != mBadMeshes.end();
    }

    bool MeshGameObject::WaitforResourceLoading(const std::vector<std::string>& names)
    {
        bool waiting = false;
        Ogre::BackgroundLoader* loader = Ogre::BackgroundLoader::getSingletonPtr();
        for (const std::string& name : names)
        {
            if (name.empty() || isMeshBad(name))
                continue;
            Ogre::ResourcePtr mesh;
            try
            {
                mesh = Ogre::MeshManager::getSingleton()
                           .createOrRetrieve(name, kMeshGroup)
                           .first;
            }
            catch (const Ogre::Exception& e)
            {
                logMessage("mesh " + name + " can not be made: " + e.getDescription());
                mBadMeshes.push_back(name);
                continue;
            }
            if (mesh->isLoaded())
                continue;
            auto request = mRequests.find(name);
            if (request == mRequests.end() && loader && !mesh->isPrepared())
            {
                mRequests[name] = loader->prepare(mesh);
                waiting = true;
                continue;
            }
            if (request != mRequests.end() && request->second && !request->second->isFinished())
            {
                waiting = true;
                continue;
            }
            try
            {
                mesh->load();
            }
            catch (const Ogre::Exception& e)
            {
                logMessage("mesh " + name + " can not be loaded: " + e.getDescription());
                mBadMeshes.push_back(name);
            }
            mRequests.erase(name);
        }
        return waiting;
    }

    bool MeshGameObject::WaitforCollisionResourceLoading(const std::vector<std::string>&)
    {
        return false;
    }

    Ogre::Entity* MeshGameObject::createEntity(const std::string& meshName, size_t index,
                                               bool visible)
    {
        Ogre::SceneManager* scene = mManager->getSceneManager();
        const std::string entityName = mName + "_" + Ogre::StringConverter::toString(index) + "_" +
                                       Ogre::StringConverter::toString(++mEntityCounter);
        Ogre::Entity* entity = nullptr;
        try
        {
            entity = scene->createEntity(entityName, getShownMeshName(meshName), kMeshGroup);
        }
        catch (const Ogre::Exception&)
        {
            entity = nullptr;
        }
        if (!entity)
            OGRE_EXCEPT(Ogre::Exception::ERR_INTERNAL_ERROR, "Error: create entity failed",
                        "MeshGameObject: changeLODLoadResources");
        Ogre::UserDefinedObject::bind(entity, this);
        entity->setCastShadows(mCastShadows);
        entity->setVisible(visible);
        Ogre::RenderableState::setRenderableType(entity, IsInstanced() ? 1 : 2);
        return entity;
    }

    void MeshGameObject::changeLODLoadResources(bool immediate)
    {
        CoreGameObject::changeLODLoadResources(immediate);
        mAttachPending = false;
        if (!mMeshMetadata)
        {
            setCurrentState(STATE_RESOURCES_READY);
            return;
        }
        if (mLevelOfDetail == LOD_BEYOND_HINT)
        {
            for (Ogre::Entity* entity : mEntities)
                mOutgoingEntities.push_back(entity);
            mEntities.clear();
            mCurrentNames.clear();
            removeEffects();
            unregisterUpdate();
            setCurrentState(STATE_RESOURCES_READY);
            return;
        }

        const std::vector<std::string> names = mMeshMetadata->getMeshNames(mLevelOfDetail);
        std::vector<std::string> wanted = names;
        for (int k = 0; k < MeshMetadata::LOGIC_KIND_COUNT; ++k)
        {
            wanted.push_back(mMeshMetadata->getLogicMesh(MeshMetadata::LogicKind(k)));
            for (const auto& sub : mMeshMetadata->getSubMeshes())
                wanted.push_back(sub.logic[k]);
        }
        const bool waiting = WaitforResourceLoading(wanted);
        if (!immediate && (waiting || WaitforCollisionResourceLoading(wanted)))
        {
            setCurrentState(STATE_RESOURCES_LOADING);
            return;
        }
        if (immediate && waiting)
        {
            if (Ogre::BackgroundLoader* loader = Ogre::BackgroundLoader::getSingletonPtr())
                loader->waitForAll();
            WaitforResourceLoading(wanted);
        }

        if (names != mCurrentNames || mEntities.empty())
        {
            for (Ogre::Entity* entity : mEntities)
                mOutgoingEntities.push_back(entity);
            mEntities.clear();
            const auto& subs = mMeshMetadata->getSubMeshes();
            for (size_t i = 0; i < names.size(); ++i)
            {
                if (names[i].empty() || isMeshBad(names[i]))
                    continue;
                Ogre::Entity* entity = createEntity(names[i], i, mVisible);
                for (const auto& material : subs[i].materials)
                {
                    if (material.subIndex < 0 ||
                        size_t(material.subIndex) >= entity->getNumSubEntities())
                        continue;
                    Ogre::MaterialPtr m =
                        material.managed
                            ? MaterialDefinition::getManagedMaterial(material.materialName,
                                                                     mLevelOfDetail == LOD_LOW)
                            : Ogre::MaterialManager::getSingleton().getByName(material.materialName);
                    if (m)
                        entity->getSubEntity(material.subIndex)->setMaterial(m);
                }
                if (Ogre::AnimationStateSet* states = entity->getAllAnimationStates())
                {
                    auto it = states->getAnimationStateIterator();
                    if (it.hasMoreElements())
                    {
                        Ogre::AnimationState* state = it.getNext();
                        state->setEnabled(true);
                        state->setLoop(true);
                        registerAnim();
                    }
                }
                mEntities.push_back(entity);
            }
            mCurrentNames = names;
            mAttachPending = !mEntities.empty();
        }

        if (mEffects.empty() && !mMeshMetadata->getEffects().empty())
            createEffects();
        else if (!mEffects.empty() && mMeshMetadata->getEffects().empty())
            removeEffects();

        createLogicEntities();
        if (mManager->getEditing())
            fillCollisionLists();
        setCurrentState(STATE_RESOURCES_READY);
    }

    void MeshGameObject::createEffects()
    {
        for (const auto& record : mMeshMetadata->getEffects())
        {
            FxEffect* effect = FxEffectManager::getSingleton().createEffect(
                record.effectName, 8, false, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY,
                nullptr);
            if (record.boneName.empty())
                effect->SetParent(mMeshSceneNode);
            else if (!record.boundToBone)
            {
                const MeshMetadata::StrikeItem* item =
                    mMeshMetadata->findStrikeItem(record.boneName);
                Ogre::SceneNode* strike = CreateStrikeNode(
                    mName + "_" + record.boneName,
                    item ? item->offsetPosition : Ogre::Vector3::ZERO,
                    item ? item->offsetOrientation : Ogre::Quaternion::IDENTITY);
                effect->SetParent(strike);
            }
            effect->SetWorldPos(record.offsetPosition);
            effect->SetWorldOrientation(record.offsetOrientation);
            mEffects.push_back(effect);
        }
        registerUpdate();
    }

    void MeshGameObject::removeEffects()
    {
        for (FxEffect* effect : mEffects)
            FxEffectManager::getSingleton().removeEffect(effect);
        mEffects.clear();
    }

    Ogre::SceneNode* MeshGameObject::CreateStrikeNode(const std::string& name,
                                                      const Ogre::Vector3& position,
                                                      const Ogre::Quaternion& orientation)
    {
        auto it = mStrikeNodes.find(name);
        if (it != mStrikeNodes.end())
            return it->second;
        if (!mMeshSceneNode)
            return nullptr;
        Ogre::SceneNode* node = mMeshSceneNode->createChildSceneNode(name, position, orientation);
        mStrikeNodes[name] = node;
        return node;
    }

    Ogre::SceneNode* MeshGameObject::getStrikeNode(const std::string& name) const
    {
        auto it = mStrikeNodes.find(name);
        return it == mStrikeNodes.end() ? nullptr : it->second;
    }

    void MeshGameObject::createLogicEntities()
    {
        if (!mMeshSceneNode)
            return;
        for (int k = 0; k < MeshMetadata::LOGIC_KIND_COUNT; ++k)
        {
            if (!mLogicEntities[k].empty())
                continue;
            std::vector<std::string> names;
            names.push_back(mMeshMetadata->getLogicMesh(MeshMetadata::LogicKind(k)));
            for (const auto& sub : mMeshMetadata->getSubMeshes())
                names.push_back(sub.logic[k]);
            for (size_t i = 0; i < names.size(); ++i)
            {
                if (names[i].empty() || isMeshBad(names[i]))
                    continue;
                Ogre::Entity* entity = createEntity(names[i], 100 * (k + 1) + i, false);
                Ogre::SceneNode* node = mMeshSceneNode->createChildSceneNode();
                Ogre::RenderableState::setStaticCulling(node, true);
                Ogre::RenderableState::setOccluder(node, true);
                node->attachObject(entity);
                mLogicEntities[k].push_back(entity);
            }
        }
    }

    void MeshGameObject::fillCollisionLists()
    {
        CollisionGameSystem* collision = mManager->getCollisionGameSystem();
        if (!collision || !mSceneNode)
            return;
        const Ogre::Vector3 scale = mSceneNode->getScale();
        for (int type = MCT_RENDER; type <= MCT_HEIGHT_FRAGMENT; ++type)
        {
            std::vector<CollisionShapePtr>& list = mCollisionShapes[type - 1];
            if (!list.empty())
                continue;
            std::vector<std::string> names;
            if (type == MCT_RENDER)
                names = mMeshMetadata->getMeshNames(LOD_HIGH);
            else
            {
                const int k = type - MCT_LOGIC_HIGH;
                names.push_back(mMeshMetadata->getLogicMesh(MeshMetadata::LogicKind(k)));
                for (const auto& sub : mMeshMetadata->getSubMeshes())
                    names.push_back(sub.logic[k]);
            }
            for (const std::string& name : names)
            {
                if (name.empty())
                    continue;
                CollisionShapePtr shape = collision->createCollisionShape(name, scale);
                if (shape)
                    list.push_back(shape);
            }
            if (type == MCT_RENDER && !list.empty())
            {
                setCollisionShapeList(list);
                mActiveCollisionType = MCT_RENDER;
            }
        }
    }

    bool MeshGameObject::isHaveCollisionShape(int type) const
    {
        return type >= MCT_RENDER && type <= MCT_HEIGHT_FRAGMENT &&
               !mCollisionShapes[type - 1].empty();
    }

    bool MeshGameObject::changeActiveCollisionType(int type)
    {
        if (!isHaveCollisionShape(type))
            return false;
        setCollisionShapeList(mCollisionShapes[type - 1]);
        mActiveCollisionType = type;
        return true;
    }

    const std::vector<CollisionShapePtr>& MeshGameObject::getCollisionShapes(int type) const
    {
        static const std::vector<CollisionShapePtr> none;
        if (type < MCT_RENDER || type > MCT_HEIGHT_FRAGMENT)
            return none;
        return mCollisionShapes[type - 1];
    }

    void MeshGameObject::changeLODFinalize(bool)
    {
        // A finalise that follows a load which changed nothing (the same
        // meshes again) leaves a running fade alone instead of restarting it.
        const bool changed = mAttachPending || !mOutgoingEntities.empty();
        if ((mAttachPending || mLevelOfDetail == LOD_BEYOND_HINT) && mMeshSceneNode)
        {
            const float scale = viewRangeScale(getSizeHint());
            for (size_t i = 0; i < mEntities.size(); ++i)
            {
                Ogre::Entity* entity = mEntities[i];
                if (!entity->isAttached())
                {
                    Ogre::SceneNode* node = mMeshSceneNode->createChildSceneNode(
                        mName + entity->getName() + "_ENTITY_" + Ogre::StringConverter::toString(i));
                    node->attachObject(entity);
                }
                Ogre::RenderableState::SetViewRangeScale(entity, scale);
                for (size_t s = 0; s < entity->getNumSubEntities(); ++s)
                    Ogre::RenderableState::SetFarDistLevel(entity->getSubEntity(s), 2);
            }
            mAttachPending = false;
        }
        if (!changed)
        {
            if (mFadeState == FADE_NONE)
                setCurrentState(STATE_SETTLED);
            else
                setCurrentState(STATE_FADING);
            return;
        }
        const bool fade = mMeshMetadata && mMeshMetadata->getFade();
        const bool cross = mMeshMetadata && mMeshMetadata->getFadeBetweenLODs();
        int state = FADE_NONE;
        if (mOutgoingEntities.empty() && !mEntities.empty())
        {
            if (fade)
                state = FADE_IN;
        }
        else if (!mOutgoingEntities.empty() && !mEntities.empty())
        {
            if (cross)
                state = FADE_CROSS;
            else
                destroyEntities(mOutgoingEntities);
        }
        else if (!mOutgoingEntities.empty())
        {
            if (fade)
                state = FADE_OUT;
            else
            {
                destroyEntities(mOutgoingEntities);
                unregisterAnim();
            }
        }
        if (state == FADE_NONE)
        {
            setCurrentState(STATE_SETTLED);
            return;
        }
        startFade(state);
    }

    void MeshGameObject::startFade(int state)
    {
        // A fade that replaces a running one starts from the beginning.
        mFadeState = state;
        mFadeTimer = 0.0f;
        registerUpdate();
        setCurrentState(STATE_FADING);
        if (state == FADE_IN || state == FADE_CROSS)
            applyOpacity(mEntities, 0.0f);
        if (state == FADE_OUT || state == FADE_CROSS)
            applyOpacity(mOutgoingEntities, 1.0f);
    }

    void MeshGameObject::applyOpacity(const std::vector<Ogre::Entity*>& entities, float opacity)
    {
        for (Ogre::Entity* entity : entities)
            for (size_t s = 0; s < entity->getNumSubEntities(); ++s)
            {
                Ogre::SubEntity* sub = entity->getSubEntity(s);
                if (Ogre::RenderableState::hasSpecificState(sub) ||
                    !Ogre::RenderableState::hasAlphaRejection(sub))
                    Ogre::RenderableState::CreateSpecificState(sub, opacity);
            }
    }

    void MeshGameObject::clearStates(const std::vector<Ogre::Entity*>& entities)
    {
        for (Ogre::Entity* entity : entities)
            Ogre::RenderableState::releaseEntity(entity);
    }

    void MeshGameObject::update(float elapsed)
    {
        CoreGameObject::update(elapsed);
        if (IsInstanced() || mFadeState == FADE_NONE)
            return;
        mFadeTimer += elapsed;
        const float t = mFadeTimer / FADE_DURATION;
        if (t < 1.0f)
        {
            if (mFadeState == FADE_IN || mFadeState == FADE_CROSS)
                applyOpacity(mEntities, incomingOpacity(t));
            if (mFadeState == FADE_OUT || mFadeState == FADE_CROSS)
                applyOpacity(mOutgoingEntities, outgoingOpacity(t));
            return;
        }
        endFade();
    }

    void MeshGameObject::endFade()
    {
        if (mFadeState == FADE_OUT || mFadeState == FADE_CROSS)
            destroyEntities(mOutgoingEntities);
        if (mFadeState == FADE_OUT)
            unregisterAnim();
        if (mFadeState == FADE_IN || mFadeState == FADE_CROSS)
            clearStates(mEntities);
        mFadeState = FADE_NONE;
        setCurrentState(STATE_SETTLED);
        // Effects keep their own registration while they exist.
        if (mEffects.empty())
            unregisterUpdate();
    }

    void MeshGameObject::updateAnim(float elapsed)
    {
        for (Ogre::Entity* entity : mEntities)
            if (Ogre::AnimationStateSet* states = entity->getAllAnimationStates())
            {
                auto it = states->getAnimationStateIterator();
                if (it.hasMoreElements())
                    it.getNext()->addTime(elapsed);
            }
    }

    bool MeshGameObject::rayAgainst(int type, const Ogre::Ray& ray, CollisionInfo& info)
    {
        CollisionGameSystem* collision = mManager->getCollisionGameSystem();
        if (!collision || !mSceneNode)
            return false;
        Ogre::Matrix4 transform;
        transform.makeTransform(mSceneNode->_getDerivedPosition(), Ogre::Vector3::UNIT_SCALE,
                                mSceneNode->_getDerivedOrientation());
        for (const CollisionShapePtr& shape : mCollisionShapes[type - 1])
        {
            if (!shape || shape->GetLoadingState() != Ogre::Resource::LOADSTATE_LOADED)
                continue;
            if (collision->collideRay(shape, transform, ray, info))
            {
                info.object = this;
                return true;
            }
        }
        return false;
    }

    bool MeshGameObject::collidewithheighplane(const Ogre::Ray& ray, CollisionInfo& info)
    {
        return rayAgainst(MCT_LOGIC_HIGH, ray, info);
    }

    bool MeshGameObject::collidewithundergroundheighplane(const Ogre::Ray& ray, CollisionInfo& info)
    {
        return rayAgainst(MCT_LOGIC_UNDERGROUND_HIGH, ray, info);
    }

    bool MeshGameObject::getIsExistLogicObj()
    {
        return mMeshMetadata && mMeshMetadata->getIsExistLogicObj();
    }

    Ogre::Vector3 MeshGameObject::GetLocalMeshCenter() const
    {
        Ogre::Vector3 sum = Ogre::Vector3::ZERO;
        size_t count = 0;
        for (Ogre::Entity* entity : mEntities)
            addPositions(entity->getMesh(), sum, count);
        return count ? sum / Ogre::Real(count) : Ogre::Vector3::ZERO;
    }

    Ogre::Vector3 MeshGameObject::GetGeometryCenterInWorldSpace() const
    {
        const Ogre::Vector3 local = GetLocalMeshCenter();
        return mSceneNode ? mSceneNode->_getFullTransform() * local : local;
    }

    void MeshGameObject::GetMaterials(std::list<Ogre::MaterialPtr>& materials) const
    {
        materials.clear();
        for (Ogre::Entity* entity : mEntities)
            for (size_t s = 0; s < entity->getNumSubEntities(); ++s)
                materials.push_back(entity->getSubEntity(s)->getMaterial());
    }

    void MeshGameObject::SetMaterials(const std::list<Ogre::MaterialPtr>& materials)
    {
        auto it = materials.begin();
        for (Ogre::Entity* entity : mEntities)
            for (size_t s = 0; s < entity->getNumSubEntities() && it != materials.end(); ++s, ++it)
                if (*it)
                    entity->getSubEntity(s)->setMaterial(*it);
    }

    void MeshGameObject::setVisible(bool visible)
    {
        mVisible = visible;
        for (Ogre::Entity* entity : mEntities)
            entity->setVisible(visible);
    }

    void MeshGameObject::setVisibilityFlags(Ogre::uint32 flags)
    {
        for (Ogre::Entity* entity : mEntities)
            entity->setVisibilityFlags(flags);
    }

    Ogre::uint32 MeshGameObject::getVisibilityFlags() const
    {
        return mEntities.empty() ? 0 : mEntities.front()->getVisibilityFlags();
    }

    void MeshGameObject::SetEntities(const std::vector<Ogre::Entity*>& entities)
    {
        mEntities = entities;
        mShared = true;
        for (Ogre::Entity* entity : mEntities)
        {
            Ogre::UserDefinedObject::bind(entity, this);
            entity->setCastShadows(false);
            entity->setVisible(true);
            if (!entity->isAttached() && mMeshSceneNode)
                mMeshSceneNode->attachObject(entity);
        }
    }

    void MeshGameObject::ClearEntities()
    {
        bool detached = false;
        for (Ogre::Entity* entity : mEntities)
        {
            Ogre::UserDefinedObject::unbind(entity);
            entity->setCastShadows(false);
            entity->setVisible(false);
            if (entity->getParentSceneNode())
            {
                entity->getParentSceneNode()->detachObject(entity);
                detached = true;
            }
        }
        if (detached || mShared)
        {
            mEntities.clear();
            mOutgoingEntities.clear();
        }
        mShared = false;
    }
}
