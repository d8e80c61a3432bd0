#ifndef __WrenMeshLogicMeshes_H__
#define __WrenMeshLogicMeshes_H__

#include "WrenExtensionPrerequisites.h"

#include "CollisionGameSystem.h"
#include "MeshMetadata.h"

#include <string>
#include <vector>

namespace Ogre
{
    class Entity;
    class Matrix4;
    class Ray;
    class SceneManager;
    class SceneNode;
}

namespace Wren
{
    class MeshEntities;
    class MeshLoadRequests;

    /** The invisible logic meshes of one mesh object and the collision
        lists built from its meshes.

        Logic entities: per logic kind, one for the object-wide mesh name
        (when set) and one per non-empty per-submesh name, each invisible on
        its own unnamed child node of the mesh node (static culling and
        occluder set); made once, while the kind's list is empty.

        Collision lists (the editor's), by MeshGameObject::MeshCollisionType:
        list 1 from the high-level mesh names
        of the submeshes, lists 2 to 6 from the logic meshes of their kind
        (object-wide first), each asked of the collision system at the
        object's scale while it is empty. One list at a time is the active
        one, the object's collision list.
    */
    class WREN_EXTENSION_EXPORT MeshLogicMeshes
    {
    public:
        static const int LIST_COUNT = 6;

        /** The mesh names of a logic kind: the object-wide one, then one per
            submesh (empty ones included). */
        static std::vector<std::string> names(const MeshMetadata& metadata,
                                              MeshMetadata::LogicKind kind);
        /** Appends the logic mesh names of every kind that are set. */
        static void appendNames(const MeshMetadata& metadata, std::vector<std::string>& out);
        /** The names of collision list type (1 ... 6). */
        static std::vector<std::string> collisionNames(const MeshMetadata& metadata, int type);

        const std::vector<Ogre::Entity*>& getEntities(MeshMetadata::LogicKind kind) const
        {
            return mEntities[kind];
        }
        void createEntities(const MeshMetadata& metadata, MeshEntities& maker,
                            const MeshLoadRequests& requests, Ogre::SceneNode* meshNode,
                            bool instanced);
        /** Destroys the logic entities and the nodes made for them. */
        void destroyEntities(MeshEntities& maker, Ogre::SceneManager* scene);

        /** Fills every empty list; true when the render list was filled now
            (it then becomes the active one). */
        bool fillCollisionLists(const MeshMetadata& metadata, CollisionGameSystem* collision,
                                const Ogre::Vector3& scale);
        bool hasShapes(int type) const;
        /** The list of that type; an empty one for anything else. */
        const std::vector<CollisionShapePtr>& getShapes(int type) const;
        int getActiveType() const { return mActiveType; }
        void setActiveType(int type) { mActiveType = type; }
        /** The first loaded shape of list type that the ray hits, placed by
            transform, fills info. */
        bool rayTest(int type, const CollisionGameSystem& collision, const Ogre::Matrix4& transform,
                     const Ogre::Ray& ray, CollisionInfo& info) const;
        /** Forgets every shape. */
        void clearCollisionLists();

    private:
        std::vector<Ogre::Entity*> mEntities[MeshMetadata::LOGIC_KIND_COUNT];
        std::vector<CollisionShapePtr> mShapes[LIST_COUNT];
        int mActiveType = 0;
    };
}

#endif
