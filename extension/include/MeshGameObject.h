#ifndef __WrenMeshGameObject_H__
#define __WrenMeshGameObject_H__

#include "WrenExtensionPrerequisites.h"

#include "CoreGameObject.h"
#include "MeshMetadata.h"
#include "OgreBackgroundLoader.h"

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace Ogre
{
    class Entity;
}

class FxEffect;

namespace Wren
{
    /** A placed object that shows one or more meshes (a building, a rock, a
        tree), made from a MeshMetadata.

        Entities are made lazily when the partition manager changes the
        object's level of detail: changeLODLoadResources waits for the meshes
        of the new level (prepared on the background loader when there is
        one), makes one entity per submesh and the invisible logic entities,
        and changeLODFinalize attaches them and starts a fade. Entities are
        named after the object, the submesh index and a running number, so
        two objects showing one mesh never clash. A mesh that can not be
        loaded is logged and left out; the rest of the object still shows.

        Fades last FADE_DURATION seconds: an incoming entity's opacity runs
        from 0 to 1; an outgoing one stays opaque for the first half and
        ends at 0.5, when it is destroyed. Every faded sub-entity has its own
        blending state (Ogre::RenderableState), cleared when the fade ends.

        Object element (after CoreGameObject's part): a child
        @code <MeshData IsStatic="true" CastShadows="false"/> @endcode
        read with default false when present and ignored when missing. The
        binary record keeps the same two flags.

        Vertex colours (editor): lighting, the brush and clearing work on
        a copy of each current mesh that belongs to the object, made on the
        first edit with a colour element added when the mesh has none
        (white), so other objects showing the mesh keep it as it is. The
        copies are shown from then on, across level changes too, and go
        with the object. Positions and normals are taken to the world
        through the mesh node's current transform. saveMesh writes the
        shown meshes to the files of the meshes they were copied from.

        Collision lists (MeshCollisionType): 1 render meshes (high level), 2
        logic high, 3 logic underground high, 4 obstacle, 5 fly obstacle, 6
        height fragments; filled in editing mode on the first level change
        that shows the object; list 1 becomes the active collision list.
    */
    class WREN_EXTENSION_EXPORT MeshGameObject : public CoreGameObject
    {
    public:
        enum MeshCollisionType
        {
            MCT_NONE = 0,
            MCT_RENDER = 1,
            MCT_LOGIC_HIGH = 2,
            MCT_LOGIC_UNDERGROUND_HIGH = 3,
            MCT_LOGIC_OBSTACLE = 4,
            MCT_LOGIC_FLY_OBSTACLE = 5,
            MCT_HEIGHT_FRAGMENT = 6
        };
        enum FadeState
        {
            FADE_OUT = 0,
            FADE_IN = 1,
            FADE_CROSS = 2,
            FADE_NONE = 3
        };

        static float FADE_DURATION;

        MeshGameObject(CoreGameObjectManager* manager, const std::string& name);
        ~MeshGameObject() override;

        const std::string& getObjectType() const override;
        bool checkObjectType(const std::string& type) const override;

        /** Sets every vertex colour of the current meshes to black (alpha 1).
            False when there is nothing to edit. */
        bool clearVertexLight() override;
        /** Adds the light of a point (VCLM_POINT) or directional
            (VCLM_DIRECTIONAL) light to the vertex colours of the current
            meshes, each channel at most 1, and switches pass 0 of their
            materials to vertex-colour tracking. False for a null light,
            another model or nothing to edit. */
        bool computerVertexLight(const Ogre::Light* light, VertexColorLightModel model) override;
        /** Toggles the current entities between solid and wireframe. */
        bool changeToWireframe() override;
        /** Replaces, adds to or multiplies the colour of every vertex whose
            world position lies strictly within radius of centre. */
        bool BrushVertexColor(const Ogre::Vector3& centre, const float& radius,
                              const Ogre::ColourValue& colour,
                              BrushVertexColorMethod method) override;
        /** Writes every current entity's mesh, edited colours included, back
            to the file it was read from through Wren::AtomicFile, so a
            failed write keeps the old file. Meshes not read from a writable
            folder are skipped (logged). */
        void saveMesh() override;
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
        void select() override;
        void unselect() override;
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

        /** Makes entities owned by the caller the current ones. */
        void SetEntities(const std::vector<Ogre::Entity*>& entities);
        /** Lets go of shared entities without destroying them. */
        void ClearEntities();

        const std::vector<Ogre::Entity*>& getEntityList() const { return mEntities; }
        const std::vector<Ogre::Entity*>& getOutgoingEntityList() const { return mOutgoingEntities; }
        const std::vector<Ogre::Entity*>& getLogicEntityList(MeshMetadata::LogicKind kind) const
        {
            return mLogicEntities[kind];
        }
        Ogre::SceneNode* GetMeshSceneNode() const { return mMeshSceneNode; }
        MeshMetadata* getMeshMetadata() const { return mMeshMetadata; }
        bool getIsStatic() const { return mIsStatic; }
        void setIsStatic(bool isStatic) { mIsStatic = isStatic; }
        bool getCastShadows() const { return mCastShadows; }
        void setCastShadows(bool cast);
        bool getVisible() const { return mVisible; }
        int getFadeState() const { return mFadeState; }
        float getFadeTimer() const { return mFadeTimer; }
        const std::vector<FxEffect*>& getEffects() const { return mEffects; }
        /** The strike node of that name, or null. */
        Ogre::SceneNode* getStrikeNode(const std::string& name) const;

        bool isHaveCollisionShape(int type) const;
        int getActiveCollisionType() const { return mActiveCollisionType; }
        /** Makes that list the collision list; false (nothing changed) when
            it is empty or not a list. */
        bool changeActiveCollisionType(int type);
        const std::vector<CollisionShapePtr>& getCollisionShapes(int type) const;

        /** Mean of the vertex positions of the current entities' meshes, in
            mesh space; zero without vertices. */
        Ogre::Vector3 GetLocalMeshCenter() const;
        void SetupPoralMaterial() {}

        /** Fade arithmetic at t = elapsed / FADE_DURATION. */
        static float incomingOpacity(float t) { return t; }
        static float outgoingOpacity(float t) { return t < 0.5f ? 1.0f : 1.5f - t; }
        /** View-range scale of a size hint. */
        static float viewRangeScale(int sizeHint);

        /** Light a vertex of that normal receives: directional from a light
            travelling along direction (unit), point from the light at
            lightPosition with its attenuation. Faces turned away get none. */
        static Ogre::ColourValue directionalLightColour(const Ogre::Vector3& normal,
                                                        const Ogre::Vector3& direction,
                                                        const Ogre::ColourValue& diffuse);
        static Ogre::ColourValue pointLightColour(const Ogre::Vector3& normal,
                                                  const Ogre::Vector3& vertex,
                                                  const Ogre::Vector3& lightPosition,
                                                  const Ogre::ColourValue& diffuse, float range,
                                                  float constant, float linear, float quadratic);
        /** Colour c plus light, each channel at most 1, alpha kept. */
        static Ogre::ColourValue addClamped(const Ogre::ColourValue& c, const Ogre::ColourValue& light);
        /** A brushed vertex colour: replaced, added (clamped) or multiplied. */
        static Ogre::ColourValue brushColour(const Ogre::ColourValue& vertex,
                                             const Ogre::ColourValue& brush, int method);

        /** One vertex as the editor operations read it. */
        struct VertexRecord
        {
            Ogre::Vector3 position;
            Ogre::Vector3 normal;
            Ogre::uint32 colour;
        };

        /** The mesh the object's entities of that mesh name show: its own
            copy once its vertex colours were edited, else the name itself. */
        const std::string& getShownMeshName(const std::string& meshName) const;

    protected:
        bool IsChangeLod(LevelOfDetail from, LevelOfDetail to) override;

        /** Requests the meshes once; true while any is neither loaded nor bad. */
        bool WaitforResourceLoading(const std::vector<std::string>& names);
        bool WaitforCollisionResourceLoading(const std::vector<std::string>& names);
        Ogre::SceneNode* CreateStrikeNode(const std::string& name, const Ogre::Vector3& position,
                                          const Ogre::Quaternion& orientation);

    private:
        void createMeshSceneNode();
        Ogre::Entity* createEntity(const std::string& meshName, size_t index, bool visible);
        void destroyEntity(Ogre::Entity* entity);
        void destroyEntities(std::vector<Ogre::Entity*>& entities);
        void createEffects();
        void removeEffects();
        void createLogicEntities();
        void fillCollisionLists();
        void startFade(int state);
        void applyOpacity(const std::vector<Ogre::Entity*>& entities, float opacity);
        void clearStates(const std::vector<Ogre::Entity*>& entities);
        void endFade();
        void registerUpdate();
        void unregisterUpdate();
        void registerAnim();
        void unregisterAnim();
        bool rayAgainst(int type, const Ogre::Ray& ray, CollisionInfo& info);
        bool isMeshBad(const std::string& name) const;
        /** Gives the object its own copy, with a colour element, of every
            current mesh; false (logged) when that can not be done. */
        bool makeMeshesEditable();
        /** The distinct current meshes, each with the entity showing it. */
        std::vector<std::pair<Ogre::MeshPtr, Ogre::Entity*>> currentMeshes() const;
        void useVertexColourMaterials();
        /** Reads the vertices of every current mesh, edits each and writes
            the colours back; false (logged) when a mesh can not be read. */
        bool editVertexColours(const std::function<void(VertexRecord&)>& edit);
        void releaseOwnMeshes();

        MeshMetadata* mMeshMetadata = nullptr;
        std::vector<Ogre::Entity*> mEntities;
        std::vector<Ogre::Entity*> mOutgoingEntities;
        std::vector<Ogre::Entity*> mLogicEntities[MeshMetadata::LOGIC_KIND_COUNT];
        std::vector<CollisionShapePtr> mCollisionShapes[6];
        int mActiveCollisionType = MCT_NONE;
        std::vector<FxEffect*> mEffects;
        std::map<std::string, Ogre::SceneNode*> mStrikeNodes;
        Ogre::SceneNode* mMeshSceneNode = nullptr;
        /** Names shown by mEntities, one per submesh (empty names included). */
        std::vector<std::string> mCurrentNames;
        std::map<std::string, Ogre::BackgroundLoader::TaskPtr> mRequests;
        std::vector<std::string> mBadMeshes;
        /** Mesh name to the name of the object's own copy with edited colours. */
        std::map<std::string, std::string> mOwnMeshes;
        bool mShared = false;
        bool mAttachPending = false;
        bool mIsStatic = true;
        bool mCastShadows = true;
        bool mVisible = true;
        bool mWireframe = false;
        bool mUpdateRegistered = false;
        bool mAnimRegistered = false;
        int mFadeState = FADE_NONE;
        float mFadeTimer = 0.0f;
        unsigned long mEntityCounter = 0;
    };
}

#endif
