#include "MeshCollisionShape.h"

#include <OgreHardwareBufferManager.h>
#include <OgreLogManager.h>
#include <OgreMeshManager.h>
#include <OgreStringConverter.h>
#include <OgreSubMesh.h>

namespace Wren
{
    namespace
    {
        /** Positions of one vertex data block, as floats already scaled. */
        bool readPositions(const Ogre::VertexData& vertices, const Ogre::Vector3& scale,
                           std::vector<Ogre::Vector3>& out)
        {
            const Ogre::VertexElement* element =
                vertices.vertexDeclaration->findElementBySemantic(Ogre::VES_POSITION);
            if (!element || (element->getType() != Ogre::VET_FLOAT3 &&
                             element->getType() != Ogre::VET_FLOAT4))
                return false;
            if (!vertices.vertexBufferBinding->isBufferBound(element->getSource()))
                return false;
            Ogre::HardwareVertexBufferSharedPtr buffer =
                vertices.vertexBufferBinding->getBuffer(element->getSource());
            if (!buffer || vertices.vertexStart + vertices.vertexCount > buffer->getNumVertices())
                return false;
            const size_t stride = buffer->getVertexSize();
            out.reserve(vertices.vertexCount);
            Ogre::HardwareBufferLockGuard lock(buffer, vertices.vertexStart * stride,
                                               vertices.vertexCount * stride,
                                               Ogre::HardwareBuffer::HBL_READ_ONLY);
            const unsigned char* base = static_cast<const unsigned char*>(lock.pData);
            for (size_t i = 0; i < vertices.vertexCount; ++i)
            {
                const float* position =
                    reinterpret_cast<const float*>(base + i * stride + element->getOffset());
                out.push_back(Ogre::Vector3(position[0], position[1], position[2]) * scale);
            }
            return true;
        }

        /** Indices of one index data block, or 0 .. vertexCount-1 without one. */
        void readIndices(const Ogre::IndexData* indices, size_t vertexCount,
                         std::vector<uint32_t>& out)
        {
            if (!indices || indices->indexCount == 0 || !indices->indexBuffer)
            {
                for (size_t i = 0; i < vertexCount; ++i)
                    out.push_back(static_cast<uint32_t>(i));
                return;
            }
            const Ogre::HardwareIndexBufferSharedPtr& buffer = indices->indexBuffer;
            if (indices->indexStart + indices->indexCount > buffer->getNumIndexes())
                return;
            const size_t size = buffer->getIndexSize();
            Ogre::HardwareBufferLockGuard lock(buffer, indices->indexStart * size,
                                               indices->indexCount * size,
                                               Ogre::HardwareBuffer::HBL_READ_ONLY);
            out.reserve(indices->indexCount);
            if (buffer->getType() == Ogre::HardwareIndexBuffer::IT_32BIT)
            {
                const uint32_t* data = static_cast<const uint32_t*>(lock.pData);
                out.insert(out.end(), data, data + indices->indexCount);
            }
            else
            {
                const uint16_t* data = static_cast<const uint16_t*>(lock.pData);
                out.insert(out.end(), data, data + indices->indexCount);
            }
        }
    }

    MeshCollisionShape::MeshCollisionShape(const std::string& meshName, const std::string& group,
                                           const Ogre::Vector3& scale)
        : mMeshName(meshName), mGroup(group), mScale(scale), mByName(true)
    {
    }

    MeshCollisionShape::MeshCollisionShape(const Ogre::MeshPtr& mesh, const Ogre::Vector3& scale)
        : mMeshName(mesh ? mesh->getName() : std::string()), mMesh(mesh), mScale(scale),
          mByName(false)
    {
    }

    MeshCollisionShape::~MeshCollisionShape() {}

    size_t MeshCollisionShape::readTriangles(const Ogre::Mesh& mesh, const Ogre::Vector3& scale,
                                             std::vector<Ogre::Vector3>& out)
    {
        size_t skipped = 0;
        std::vector<Ogre::Vector3> shared;
        const bool haveShared = mesh.sharedVertexData && readPositions(*mesh.sharedVertexData,
                                                                       scale, shared);
        for (unsigned short s = 0; s < mesh.getNumSubMeshes(); ++s)
        {
            const Ogre::SubMesh* sub = mesh.getSubMesh(s);
            const Ogre::RenderOperation::OperationType type = sub->operationType;
            if (type != Ogre::RenderOperation::OT_TRIANGLE_LIST &&
                type != Ogre::RenderOperation::OT_TRIANGLE_STRIP &&
                type != Ogre::RenderOperation::OT_TRIANGLE_FAN)
                continue;
            std::vector<Ogre::Vector3> own;
            const std::vector<Ogre::Vector3>* positions = &shared;
            if (sub->useSharedVertices)
            {
                if (!haveShared)
                    continue;
            }
            else
            {
                if (!sub->vertexData || !readPositions(*sub->vertexData, scale, own))
                    continue;
                positions = &own;
            }
            std::vector<uint32_t> indices;
            readIndices(sub->indexData, positions->size(), indices);

            const size_t count = indices.size();
            const size_t triangles = type == Ogre::RenderOperation::OT_TRIANGLE_LIST
                                         ? count / 3
                                         : (count >= 3 ? count - 2 : 0);
            for (size_t t = 0; t < triangles; ++t)
            {
                uint32_t i0, i1, i2;
                if (type == Ogre::RenderOperation::OT_TRIANGLE_LIST)
                {
                    i0 = indices[3 * t];
                    i1 = indices[3 * t + 1];
                    i2 = indices[3 * t + 2];
                }
                else if (type == Ogre::RenderOperation::OT_TRIANGLE_STRIP)
                {
                    i0 = indices[t];
                    i1 = indices[t + 1];
                    i2 = indices[t + 2];
                }
                else
                {
                    i0 = indices[0];
                    i1 = indices[t + 1];
                    i2 = indices[t + 2];
                }
                if (i0 >= positions->size() || i1 >= positions->size() || i2 >= positions->size())
                {
                    ++skipped;
                    continue;
                }
                out.push_back((*positions)[i0]);
                out.push_back((*positions)[i1]);
                out.push_back((*positions)[i2]);
            }
        }
        return skipped;
    }

    bool MeshCollisionShape::loadImpl()
    {
        Ogre::LogManager& log = Ogre::LogManager::getSingleton();
        if (!mMesh)
        {
            if (mMeshName.empty())
                return false;
            try
            {
                mMesh = Ogre::MeshManager::getSingleton().load(mMeshName, mGroup);
            }
            catch (const Ogre::Exception& e)
            {
                log.logMessage("MeshCollisionShape: the collision mesh " + mMeshName +
                               " cannot be loaded: " + e.getDescription());
                mMesh.reset();
                return false;
            }
        }
        else if (!mMesh->isLoaded())
        {
            try
            {
                mMesh->load();
            }
            catch (const Ogre::Exception& e)
            {
                log.logMessage("MeshCollisionShape: the collision mesh " + mMeshName +
                               " cannot be loaded: " + e.getDescription());
                return false;
            }
        }

        mTriangles.clear();
        const size_t skipped = readTriangles(*mMesh, mScale, mTriangles);
        // A shape made by name keeps no hold on its mesh; it has its copy.
        if (mByName)
            mMesh.reset();
        if (skipped)
            log.logMessage("MeshCollisionShape: " + Ogre::StringConverter::toString(skipped) +
                           " triangles of the collision mesh " + mMeshName +
                           " point past its vertices and were skipped");
        if (mTriangles.empty())
        {
            log.logMessage("MeshCollisionShape: the collision mesh " + mMeshName +
                           " has no triangles");
            return false;
        }
        mBounds.setNull();
        for (const Ogre::Vector3& corner : mTriangles)
            mBounds.merge(corner);
        return true;
    }

    void MeshCollisionShape::unloadImpl()
    {
        std::vector<Ogre::Vector3>().swap(mTriangles);
        mBounds.setNull();
    }
}
