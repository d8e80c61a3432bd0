#ifndef __WrenMeshEntities_H__
#define __WrenMeshEntities_H__

#include "WrenExtensionPrerequisites.h"

#include <OgreMaterial.h>

#include <list>
#include <string>
#include <vector>

namespace Ogre
{
    class Entity;
    class SceneManager;
    class SceneNode;
}

namespace Wren
{
    /** The entities one mesh object shows: the current ones, of its level of
        detail, and the outgoing ones of the level before, which fade out.

        Ownership is explicit and whole: either the object owns every entity
        held here (OWNED: made through the scene manager by create, destroyed
        by destroy), or the current entities are borrowed from an
        above-ground area (BORROWED: taken by borrow, let go by giveBack) and
        stay the area's: nothing here ever destroys them, and while they are
        held there are no outgoing entities. Borrowing first destroys what
        the object owned.

        Owned entities are named after the object, the submesh index and a
        running number, so two objects showing one mesh never clash, and
        carry the object as their user object.

        The object's display settings (visible, cast shadows, visibility
        flags, wireframe, materials given by the editor) are kept here: a
        change reaches every entity shown, outgoing ones included, and every
        owned entity shown later takes them too, so they survive fades and
        level changes. Wireframe and fades go through Ogre::RenderableState,
        which never changes a material that other objects share.
    */
    class WREN_EXTENSION_EXPORT MeshEntities
    {
    public:
        enum Ownership
        {
            OWNED,
            BORROWED
        };

        /** Entities for object, made in the scene of manager. */
        MeshEntities(CoreGameObject* object, CoreGameObjectManager* manager);
        MeshEntities(const MeshEntities&) = delete;
        MeshEntities& operator=(const MeshEntities&) = delete;

        Ownership getOwnership() const { return mOwnership; }
        bool isBorrowed() const { return mOwnership == BORROWED; }
        const std::vector<Ogre::Entity*>& getCurrent() const { return mCurrent; }
        const std::vector<Ogre::Entity*>& getOutgoing() const { return mOutgoing; }

        /** Makes an owned entity of the mesh for submesh index, with the
            object as user object, the cast-shadows flag given, visible or
            not, and renderable type 1 when instanced (2 otherwise). It joins
            no list: the caller adds it (addCurrent) or keeps it.
            Raises "Error: create entity failed" when the scene can not make
            it. */
        Ogre::Entity* create(const std::string& meshName, size_t index, bool visible,
                             bool castShadows, bool instanced);
        /** Destroys an owned entity: its states, its user-object binding,
            its place on its node (the node stays). */
        void destroy(Ogre::Entity* entity);
        /** destroy for each entity of the list, which is emptied. */
        void destroy(std::vector<Ogre::Entity*>& entities);

        /** Shows an owned entity as a current one, with the display
            settings. */
        void addCurrent(Ogre::Entity* entity);
        /** Gives the current entities the editor's materials again, after
            new ones were added. */
        void applyMaterials();
        /** The current entities become outgoing ones. */
        void retire();
        /** Destroys the outgoing entities. */
        void destroyOutgoing();
        /** Destroys every owned entity, or gives the borrowed ones back. */
        void clear();

        /** Makes the area's entities the current ones (after destroying the
            owned ones): each gets the object as user object, no shadows, is
            made visible and hangs under meshNode when it hangs nowhere. */
        void borrow(const std::vector<Ogre::Entity*>& entities, Ogre::SceneNode* meshNode);
        /** Lets the borrowed entities go: no user object, no shadows, hidden,
            detached from their nodes. Owned entities stay as they are. */
        void giveBack();

        void setVisible(bool visible);
        bool getVisible() const { return mVisible; }
        void setCastShadows(bool cast);
        bool getCastShadows() const { return mCastShadows; }
        void setVisibilityFlags(Ogre::uint32 flags);
        /** The flags set, else those of the first current entity; 0 without
            entities. */
        Ogre::uint32 getVisibilityFlags() const;
        void setWireframe(bool on);
        bool getWireframe() const { return mWireframe; }
        /** The materials of every sub-entity of every current entity, entity
            by entity (their own, not the clones a fade shows). */
        void getMaterials(std::list<Ogre::MaterialPtr>& out) const;
        /** Gives the current sub-entities, in the same order, the materials
            until the list is used up (a null one leaves its sub-entity
            alone). */
        void setMaterials(const std::list<Ogre::MaterialPtr>& materials);

    private:
        Ogre::SceneManager* getScene() const;
        /** Calls apply for every entity shown, current and outgoing. */
        template <typename F> void forShown(F apply);

        CoreGameObject* mObject;
        CoreGameObjectManager* mManager;
        Ownership mOwnership = OWNED;
        std::vector<Ogre::Entity*> mCurrent;
        std::vector<Ogre::Entity*> mOutgoing;
        unsigned long mCounter = 0;
        bool mVisible = true;
        bool mCastShadows = true;
        bool mFlagsSet = false;
        Ogre::uint32 mVisibilityFlags = 0;
        bool mWireframe = false;
        std::list<Ogre::MaterialPtr> mMaterials;
    };
}

#endif
