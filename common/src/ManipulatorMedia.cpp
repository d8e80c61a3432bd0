#include "ManipulatorMedia.h"

#include <OgreHardwareBufferManager.h>
#include <OgreMaterialManager.h>
#include <OgreMath.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgrePass.h>
#include <OgreResourceGroupManager.h>
#include <OgreSubMesh.h>
#include <OgreTechnique.h>

#include <cmath>

namespace Wren
{
    const char* const ManipulatorMedia::ArrowLineMesh = "MoveArrowLineVisible.mesh";
    const char* const ManipulatorMedia::ArrowConeMesh = "MoveArrowConeVisible.mesh";
    const char* const ManipulatorMedia::ArrowCollisionMesh = "MoveArrowCollision.mesh";
    const char* const ManipulatorMedia::TwoAxisMesh = "MoveTwoAxisVisible.mesh";
    const char* const ManipulatorMedia::TwoAxisCollisionMesh = "MoveTwoAxisCollision.mesh";
    const char* const ManipulatorMedia::RingMesh = "RotationRingVisible.mesh";
    const char* const ManipulatorMedia::RingCollisionMesh = "RotationRingCollision.mesh";
    const char* const ManipulatorMedia::DragMesh = "DragVisible.mesh";
    const char* const ManipulatorMedia::DragCollisionMesh = "DragCollision.mesh";

    const char* const ManipulatorMedia::RedMaterial = "ManipulatorHandlesRedMat";
    const char* const ManipulatorMedia::GreenMaterial = "ManipulatorHandlesGreenMat";
    const char* const ManipulatorMedia::BlueMaterial = "ManipulatorHandlesBlueMat";
    const char* const ManipulatorMedia::YellowMaterial = "ManipulatorHandlesYellowMat";

    namespace
    {
        static_assert(sizeof(Ogre::Vector3) == 3 * sizeof(float),
                      "positions are written as packed float triples");

        struct Geometry
        {
            std::vector<Ogre::Vector3> positions;
            std::vector<Ogre::uint16> indices;

            void quad(size_t a, size_t b, size_t c, size_t d)
            {
                for (size_t i : {a, b, c, a, c, d})
                    indices.push_back(static_cast<Ogre::uint16>(i));
            }
        };

        Geometry box(const Ogre::Vector3& low, const Ogre::Vector3& high)
        {
            Geometry g;
            for (int i = 0; i < 8; ++i)
                g.positions.emplace_back(i & 1 ? high.x : low.x, i & 2 ? high.y : low.y,
                                         i & 4 ? high.z : low.z);
            g.quad(0, 2, 3, 1);
            g.quad(4, 5, 7, 6);
            g.quad(0, 1, 5, 4);
            g.quad(2, 6, 7, 3);
            g.quad(0, 4, 6, 2);
            g.quad(1, 3, 7, 5);
            return g;
        }

        Geometry cube(float half) { return box(Ogre::Vector3(-half), Ogre::Vector3(half)); }

        /** The surface swept by turning a profile of (radius, height) points
            about +Y in segments steps. */
        Geometry lathe(const std::vector<Ogre::Vector2>& profile, int segments)
        {
            Geometry g;
            for (const Ogre::Vector2& p : profile)
                for (int s = 0; s <= segments; ++s)
                {
                    const float angle = Ogre::Math::TWO_PI * s / segments;
                    g.positions.emplace_back(p.x * std::cos(angle), p.y, p.x * std::sin(angle));
                }
            const size_t row = segments + 1;
            for (size_t j = 0; j + 1 < profile.size(); ++j)
                for (int s = 0; s < segments; ++s)
                {
                    const size_t a = j * row + s;
                    g.quad(a, a + row, a + row + 1, a + 1);
                }
            return g;
        }

        /** A ring of the given radius about Y, its tube of radius tube. */
        Geometry ring(float radius, float tube, int segments, int sides)
        {
            std::vector<Ogre::Vector2> profile;
            for (int s = 0; s <= sides; ++s)
            {
                const float angle = Ogre::Math::TWO_PI * s / sides;
                profile.emplace_back(radius + tube * std::cos(angle), tube * std::sin(angle));
            }
            return lathe(profile, segments);
        }

        Geometry geometryOf(const std::string& name)
        {
            typedef ManipulatorMedia M;
            const float shaft = 0.008f, tip = 0.03f, shaftEnd = 0.8f;
            if (name == M::ArrowLineMesh)
                return lathe({{0, 0}, {shaft, 0}, {shaft, shaftEnd}, {0, shaftEnd}}, 12);
            if (name == M::ArrowConeMesh)
                return lathe({{0, shaftEnd}, {tip, shaftEnd}, {0, 1}}, 16);
            if (name == M::ArrowCollisionMesh)
                return box(Ogre::Vector3(-tip, 0, -tip), Ogre::Vector3(tip, 1, tip));
            if (name == M::TwoAxisMesh)
                return box(Ogre::Vector3(0.25f, 0.25f, -0.005f), Ogre::Vector3(0.45f, 0.45f, 0.005f));
            if (name == M::TwoAxisCollisionMesh)
                return box(Ogre::Vector3(0.2f, 0.2f, -0.02f), Ogre::Vector3(0.5f, 0.5f, 0.02f));
            if (name == M::RingMesh)
                return ring(1, 0.02f, 64, 6);
            if (name == M::RingCollisionMesh)
                return ring(1, 0.07f, 32, 8);
            if (name == M::DragMesh)
                return cube(0.08f);
            return cube(0.12f);
        }

        /** Builds a handle mesh from its name whenever the engine loads it. */
        class HandleMeshLoader : public Ogre::ManualResourceLoader
        {
        public:
            void loadResource(Ogre::Resource* resource) override
            {
                Ogre::Mesh& mesh = static_cast<Ogre::Mesh&>(*resource);
                const Geometry g = geometryOf(mesh.getName());
                Ogre::SubMesh* sub = mesh.createSubMesh();
                sub->useSharedVertices = false;
                sub->operationType = Ogre::RenderOperation::OT_TRIANGLE_LIST;
                sub->vertexData = new Ogre::VertexData();
                sub->vertexData->vertexDeclaration->addElement(0, 0, Ogre::VET_FLOAT3,
                                                               Ogre::VES_POSITION);
                // Shadow copies, so that collision systems can read the
                // triangles back from any render system.
                Ogre::HardwareBufferManager& buffers = Ogre::HardwareBufferManager::getSingleton();
                Ogre::HardwareVertexBufferSharedPtr vertices = buffers.createVertexBuffer(
                    sizeof(Ogre::Vector3), g.positions.size(),
                    Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY, true);
                vertices->writeData(0, vertices->getSizeInBytes(), g.positions.data(), true);
                sub->vertexData->vertexBufferBinding->setBinding(0, vertices);
                sub->vertexData->vertexCount = g.positions.size();

                sub->indexData->indexBuffer = buffers.createIndexBuffer(
                    Ogre::HardwareIndexBuffer::IT_16BIT, g.indices.size(),
                    Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY, true);
                sub->indexData->indexBuffer->writeData(
                    0, sub->indexData->indexBuffer->getSizeInBytes(), g.indices.data(), true);
                sub->indexData->indexCount = g.indices.size();
                sub->setMaterialName(ManipulatorMedia::BlueMaterial);

                Ogre::AxisAlignedBox bounds;
                Ogre::Real radius = 0;
                for (const Ogre::Vector3& p : g.positions)
                {
                    bounds.merge(p);
                    radius = std::max(radius, p.length());
                }
                mesh._setBounds(bounds, false);
                mesh._setBoundingSphereRadius(radius);
            }
        };

        HandleMeshLoader gMeshLoader;

        void declareMaterial(const char* name, const Ogre::ColourValue& colour)
        {
            Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
            if (materials.resourceExists(name))
                return;
            Ogre::Pass* pass =
                materials.create(name, Ogre::RGN_INTERNAL)->getTechnique(0)->getPass(0);
            // Lit by nothing but itself: the emissive colour is all that
            // shows, whatever the scene's lights.
            pass->setAmbient(Ogre::ColourValue::Black);
            pass->setDiffuse(Ogre::ColourValue::Black);
            pass->setSpecular(Ogre::ColourValue::Black);
            pass->setSelfIllumination(colour);
            pass->setFog(true, Ogre::FOG_NONE);
            pass->setDepthCheckEnabled(false);
            pass->setDepthWriteEnabled(false);
            pass->setCullingMode(Ogre::CULL_NONE);
        }
    }

    void ManipulatorMedia::declare()
    {
        declareMaterial(RedMaterial, Ogre::ColourValue::Red);
        declareMaterial(GreenMaterial, Ogre::ColourValue::Green);
        declareMaterial(BlueMaterial, Ogre::ColourValue::Blue);
        declareMaterial(YellowMaterial, Ogre::ColourValue(1, 1, 0));

        Ogre::MeshManager& meshes = Ogre::MeshManager::getSingleton();
        Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
        for (const char* name : {ArrowLineMesh, ArrowConeMesh, ArrowCollisionMesh, TwoAxisMesh,
                                 TwoAxisCollisionMesh, RingMesh, RingCollisionMesh, DragMesh,
                                 DragCollisionMesh})
        {
            if (!meshes.resourceExists(name) && !groups.resourceExistsInAnyGroup(name))
                meshes.createManual(name, Ogre::RGN_INTERNAL, &gMeshLoader);
        }
    }
}
