#ifndef __WrenMeshCollisionShape_H__
#define __WrenMeshCollisionShape_H__

#include "WrenHostPrerequisites.h"

#include "CollisionGameSystem.h"

#include <OgreMesh.h>

namespace Wren
{
    /** A collision shape holding the triangles of a mesh, scaled, in the
        mesh's own space.

        Made either from a mesh name, whose mesh is loaded through
        Ogre::MeshManager when the shape loads, or from a mesh the caller
        holds. Loading reads the triangles from the vertex and index buffers
        of every submesh (triangle lists, strips and fans; shared or own
        vertex data; 16- or 32-bit indices or none). Positions must be
        three or four floats. Triangles whose indices point past the vertex
        data are skipped and reported in the log.

        Loading needs the frame thread (it loads the mesh and locks its
        buffers), so a background request loads at once. A mesh that cannot
        be found or has no triangles leaves the shape bad (isBadResource).
    */
    class WREN_HOST_EXPORT MeshCollisionShape : public CollisionShape
    {
    public:
        /** A shape of the named mesh, searched in group, at scale. */
        MeshCollisionShape(const std::string& meshName, const std::string& group,
                           const Ogre::Vector3& scale);
        /** A shape of a mesh the caller holds, at scale. */
        MeshCollisionShape(const Ogre::MeshPtr& mesh, const Ogre::Vector3& scale);
        ~MeshCollisionShape() override;

        const std::string& getMeshName() const { return mMeshName; }
        const Ogre::Vector3& getScale() const { return mScale; }

        /** Corners of the triangles, three per triangle; empty until loaded. */
        const std::vector<Ogre::Vector3>& getTriangles() const { return mTriangles; }
        size_t getTriangleCount() const { return mTriangles.size() / 3; }
        /** Bounds of the triangles; null until loaded. */
        const Ogre::AxisAlignedBox& getBounds() const { return mBounds; }

        /** Appends the triangles of mesh, each corner multiplied by scale, to
            out (three corners per triangle). Returns the number of triangles
            skipped because their indices point past the vertex data. */
        static size_t readTriangles(const Ogre::Mesh& mesh, const Ogre::Vector3& scale,
                                    std::vector<Ogre::Vector3>& out);

    protected:
        bool canLoadInBackground() const override { return false; }
        bool loadImpl() override;
        void unloadImpl() override;

    private:
        std::string mMeshName;
        std::string mGroup;
        Ogre::MeshPtr mMesh;
        Ogre::Vector3 mScale;
        std::vector<Ogre::Vector3> mTriangles;
        Ogre::AxisAlignedBox mBounds;
        bool mByName;
    };
}

#endif
