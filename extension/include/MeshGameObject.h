#ifndef __WrenMeshGameObject_H__
#define __WrenMeshGameObject_H__

#include "WrenExtensionPrerequisites.h"

#include "CoreGameObject.h"
#include "MeshMetadata.h"
#include "MeshEffects.h"
#include "MeshEntities.h"
#include "MeshFade.h"
#include "MeshLoadRequests.h"
#include "MeshLogicMeshes.h"
#include "WrenImpostorPrerequisites.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Ogre
{
    class Entity;
}

class FxEffect;

namespace Wren
{
    class MeshVertexColourEditor;

    /** A placed object that shows one or more meshes (a building, a rock, a
        tree), made from a MeshMetadata.

        Its jobs are kept in pieces of their own: MeshEntities (the entities
        shown, owned or borrowed from an above-ground area), MeshLoadRequests
        (the meshes waited for), MeshFade (fades between levels),
        MeshEffects (effects and strike points), MeshLogicMeshes (logic
        entities and collision lists) and MeshVertexColourEditor (the
        editor's vertex colours). The object ties them to the level-of-detail
        life cycle:

        Entities are made lazily when the partition manager changes the
        object's level of detail: changeLODLoadResources waits for the meshes
        of the new level (prepared on the background loader when there is
        one), makes one entity per submesh and the invisible logic entities,
        and changeLODFinalize attaches them and starts a fade. A mesh that
        can not be loaded is logged and left out; the rest of the object
        still shows. Fades last FADE_DURATION seconds (see MeshFade).

        Nodes: the object's own entities hang on the object's node itself,
        so that a plain mesh object costs one scene node and its entities,
        as a node of OGRE's own scene loader does. The mesh node (a child of
        the object's node named object name + partition ID + "Mesh", with
        static culling and occluder set) is made only when something needs a
        node of its own under the object: entities borrowed from an
        above-ground area, effects and strike points, logic entities.
        Selection shows the object node's bounding box, which holds all of
        them.

        Object element (after CoreGameObject's part): a child
        @code <MeshData IsStatic="true" CastShadows="false"/> @endcode
        read with default false when present and ignored when missing. The
        binary record keeps the same two flags.

        Collision lists (MeshCollisionType) are filled in editing mode on the
        first level change that shows the object; list 1 becomes the active
        collision list. A level change waits for the collision shapes it
        asked for as it waits for its meshes.

        While the object shows entities borrowed from an above-ground area,
        level changes leave them alone (the area decides what is shown) and
        the vertex-colour operations refuse.
    */
    class WREN_EXTENSION_EXPORT MeshGameObject : public CoreGameObject
    {
    public:
        enum MeshCollisionType
        {
            MCT_NONE = 0,
            /** The render meshes (the high level's). */
            MCT_RENDER = 1,
            MCT_LOGIC_HIGH = 2,
            MCT_LOGIC_UNDERGROUND_HIGH = 3,
            MCT_LOGIC_OBSTACLE = 4,
            MCT_LOGIC_FLY_OBSTACLE = 5,
            MCT_HEIGHT_FRAGMENT = 6
        };

        static float FADE_DURATION;

        MeshGameObject(CoreGameObjectManager* manager, const std::string& name);
        ~MeshGameObject() override;

        const std::string& getObjectType() const override;
        bool checkObjectType(const std::string& type) const override;

        /** The vertex-colour operations of MeshVertexColourEditor on the
            current entities' meshes; false when the object shows borrowed
            entities (they stand for many objects) or nothing. */
        bool clearVertexLight() override;
        bool computerVertexLight(const Ogre::Light* light, VertexColorLightModel model) override;
        bool BrushVertexColor(const Ogre::Vector3& centre, const float& radius,
                              const Ogre::ColourValue& colour,
                              BrushVertexColorMethod method) override;
        void saveMesh() override;
        /** Toggles the object between solid and wireframe: its own state
            (Ogre::RenderableState), kept across level changes; shared
            materials are not touched. */
        bool changeToWireframe() override;
        Ogre::AxisAlignedBox getWorldAABB() const override;

        void enumerateProperties(std::vector<Property>& out) override;
        void setProperty(const std::string& id, const PropertyData& value) override;

        bool save(DataElementPtr& element) override;
        bool saveBinary(CompleteObjectDataInfo& record) override;
        /** The two mesh flags ride in the record, so they do not count as
            data the record loses. */
        bool fitsBinaryRecord() const override;
        bool loadBinaryStart(CompleteObjectDataInfo& record, std::vector<CoreGameObject*>& created,
                             bool rename) override;
        bool loadStart(DataElementPtr& element, std::vector<CoreGameObject*>& created,
                       bool rename) override;
        bool loadFinish() override;
        bool initStart(CoreMetadata* metadata, bool flag) override;
        bool initFinish(const Ogre::Vector3& worldPosition) override;
        void destroy(bool destroyChildren, bool keepInPartition) override;
        void showEditingBox() override;
        void hideEditingBox() override;
        /** Runs the fade (instanced objects do not fade). */
        void update(float elapsed) override;
        void updateAnim(float elapsed) override;
        bool collidewithheighplane(const Ogre::Ray& ray, CollisionInfo& info) override;
        bool collidewithundergroundheighplane(const Ogre::Ray& ray, CollisionInfo& info) override;
        bool getIsExistLogicObj() override;
        void changeLODLoadResources(bool immediate) override;
        void changeLODFinalize(bool immediate) override;
        Ogre::Vector3 GetGeometryCenterInWorldSpace() const override;
        void GetMaterials(std::list<Ogre::MaterialPtr>& materials) const override;
        void SetMaterials(const std::list<Ogre::MaterialPtr>& materials) override;
        void setVisible(bool visible) override;
        virtual void setVisibilityFlags(Ogre::uint32 flags);
        virtual Ogre::uint32 getVisibilityFlags() const;

        /** Shows entities of an above-ground area instead of its own: what
            the object owned is destroyed first; the area's entities stay the
            area's (see MeshEntities::borrow). */
        void SetEntities(const std::vector<Ogre::Entity*>& entities);
        /** Lets borrowed entities go without destroying them; owned ones
            stay. */
        void ClearEntities();

        const std::vector<Ogre::Entity*>& getEntityList() const { return mEntities.getCurrent(); }
        const std::vector<Ogre::Entity*>& getOutgoingEntityList() const
        {
            return mEntities.getOutgoing();
        }
        /** Whether the current entities are the object's own or borrowed. */
        MeshEntities::Ownership getEntityOwnership() const { return mEntities.getOwnership(); }
        const std::vector<Ogre::Entity*>& getLogicEntityList(MeshMetadata::LogicKind kind) const
        {
            return logic().getEntities(kind);
        }
        /** The mesh node (see the class comment); null until something
            needed it. */
        Ogre::SceneNode* GetMeshSceneNode() const { return mMeshSceneNode; }
        MeshMetadata* getMeshMetadata() const { return mMeshMetadata; }
        bool getIsStatic() const { return mIsStatic; }
        void setIsStatic(bool isStatic) { mIsStatic = isStatic; }
        bool getCastShadows() const { return mEntities.getCastShadows(); }
        void setCastShadows(bool cast);
        bool getVisible() const { return mEntities.getVisible(); }
        bool getWireframe() const { return mEntities.getWireframe(); }

        /** Takes handler, which the object owns from now on (one it held
            before is released and deleted), and adds it to the world's
            "ImpostorGameSystem" when there is one. destroy releases it from
            that system and deletes it. The handler is told whenever what the
            object shows changes, so that its bounds and picture follow. */
        void setImpostorHandler(ImpostorHandler* handler);
        ImpostorHandler* getImpostorHandler() const { return mImpostorHandler; }
        /** MeshFade::State of the fade running (FADE_NONE without one). */
        int getFadeState() const { return mFade.getState(); }
        float getFadeTimer() const { return mFade.getTimer(); }
        const std::vector<FxEffect*>& getEffects() const { return effects().getEffects(); }
        /** The strike node of that name, or null. */
        Ogre::SceneNode* getStrikeNode(const std::string& name) const
        {
            return effects().getStrikeNode(name);
        }

        bool isHaveCollisionShape(int type) const { return logic().hasShapes(type); }
        int getActiveCollisionType() const { return logic().getActiveType(); }
        /** Makes that list the collision list; false (nothing changed) when
            it is empty or not a list. */
        bool changeActiveCollisionType(int type);
        const std::vector<CollisionShapePtr>& getCollisionShapes(int type) const
        {
            return logic().getShapes(type);
        }

        /** Mean of the vertex positions of the current entities' meshes, in
            mesh space; zero without vertices. */
        Ogre::Vector3 GetLocalMeshCenter() const;
        void SetupPoralMaterial() {}

        /** View-range scale of a size hint. */
        static float viewRangeScale(int sizeHint);

    protected:
        bool IsChangeLod(LevelOfDetail from, LevelOfDetail to) override;

        /** Requests the meshes once; true while any is neither loaded nor bad. */
        bool WaitforResourceLoading(const std::vector<std::string>& names);
        /** True while a collision shape the object asked for (its
            template's, the editor's lists) is still loading; an unloaded one
            is asked to load, a bad one is not waited for. */
        bool WaitforCollisionResourceLoading(const std::vector<std::string>& names);
        Ogre::SceneNode* CreateStrikeNode(const std::string& name, const Ogre::Vector3& position,
                                          const Ogre::Quaternion& orientation);

    private:
        bool editVertexColours(const std::function<bool(MeshVertexColourEditor&)>& edit);
        /** What the object shows changed: its impostor is measured anew. */
        void shownChanged();
        ImpostorGameSystem* getImpostorSystem() const;
        void releaseImpostorHandler();
        void finishCollisionLoading();
        /** The mesh node, made when missing (null without the object's node). */
        Ogre::SceneNode* meshNode();
        /** Makes the current entities of the level's mesh names. */
        void createEntities(const std::vector<std::string>& names);
        void attachEntities();
        void startFade(int state);
        void endFade();
        /** Stops a running fade where it is, clearing the incoming fades. */
        void endFadeNow();
        void registerUpdate();
        void unregisterUpdate();
        void registerAnim();
        void unregisterAnim();
        bool rayAgainst(int type, const Ogre::Ray& ray, CollisionInfo& info);

        MeshMetadata* mMeshMetadata = nullptr;
        MeshEntities mEntities;
        MeshFade mFade;
        /** What only some objects need: meshes still waited for (or bad),
            effects and strike points, logic entities and collision lists.
            Made on first need, so that a plain object stays small. */
        struct Extras
        {
            MeshLoadRequests requests;
            MeshEffects effects;
            MeshLogicMeshes logic;
        };
        std::unique_ptr<Extras> mExtras;
        Extras& extras();
        const MeshLogicMeshes& logic() const;
        const MeshEffects& effects() const;
        bool isBadMesh(const std::string& name) const;
        Ogre::SceneNode* mMeshSceneNode = nullptr;
        /** Names shown by the current entities, one per submesh (empty names
            included). */
        std::vector<std::string> mCurrentNames;
        ImpostorHandler* mImpostorHandler = nullptr;
        bool mAttachPending = false;
        bool mIsStatic = true;
        bool mUpdateRegistered = false;
        bool mAnimRegistered = false;
    };
}

#endif
