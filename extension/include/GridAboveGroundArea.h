#ifndef __WrenGridAboveGroundArea_H__
#define __WrenGridAboveGroundArea_H__

#include "WrenExtensionPrerequisites.h"

#include "CollisionGameSystem.h"
#include "CoreAboveGroundArea.h"
#include "MeshLoadRequests.h"

#include <unordered_map>


namespace Ogre
{
    class Entity;
    class FxShaderInstancing;
    class MeshBoundingBoxObject;
    class Node;
}

namespace Wren
{
    /** One cell of the grid of above-ground areas: it draws the static
        instanced objects inside it as instanced batches of the scene's
        shader-instancing facility, one batch per mesh of a template and per
        block of BLOCK_SIZE objects of that template.

        Building, spread over frames once the area's partition (the one of
        the area's ID) is loaded: load hands every template with a single
        object in the area back to its partition as an ordinary object and
        converts the first template group; each update converts one more
        group (batches named "Above_" + mesh + "_" + ID + "_" + number,
        the number being the block, counted on after the blocks of any
        template converted before that uses the same mesh; one bounding
        object per instance named "Above_" + object + "_" + mesh + "_" + ID +
        "_" + index; meshes requested in the background), then waits for
        meshes and collision shapes, then fills one batch per update from a
        single entity of the template's mesh wearing the template's
        materials, which become batch materials (MaterialBatchTemplates; a
        material without template is logged and takes the default template
        of its texture count). A group is converted only when every one of its objects'
        partitions has a node, so a retry never adds an instance twice. A
        mesh or collision shape that can not be loaded is logged and left
        out; the area is built without it.

        The objects stay their partitions': the area holds them, draws them
        and forgets them at unload, and never deletes one. An object that
        goes while the area is built leaves a hidden instance behind and
        takes its bounding objects with it; while it is building, the next
        update starts the build again without it. See-through
        objects get collision shapes of their template's meshes, and their
        node hangs under their partition's node (its stored, partition-
        relative transform untouched), so their own collision tests work
        though a batch draws them.

        See-through: SeeThroughObject pulls one object of a built area out
        of its batches (its instance moves 1000 units down) and shows it with
        the template's single entities as an ordinary object; SeeBackObject
        puts it back. One object is pulled out at a time.

        What the area needs of the objects it batches is gathered in five
        protected operations (mesh names, collision mesh names, dressing a
        template's entity, showing and releasing shared entities), answered
        for mesh objects.
    */
    class WREN_EXTENSION_EXPORT GridAboveGroundArea : public CoreAboveGroundArea
    {
    public:
        /** Objects of one template per batch. */
        static const size_t BLOCK_SIZE = 60;
        /** How far down a pulled-out object's instance goes. */
        static const float SEE_THROUGH_DROP;

        typedef std::map<std::string, std::vector<Ogre::MeshBoundingBoxObject*>> InstanceBoundsMap;
        /** Single entities by metadata ID and mesh name. */
        typedef std::map<std::pair<std::string, std::string>, Ogre::Entity*> SingleEntityMap;

        GridAboveGroundArea(const std::string& id, const Ogre::Vector3& centre,
                            CoreAboveGroundManager* manager, int cellX, int cellZ);
        ~GridAboveGroundArea() override;

        void destroy() override;
        /** One build step (see the class comment); true when built. */
        bool update(float elapsed) override;
        /** True at once without objects; false while the area's partition is
            not loaded; else hands single objects back, converts the first
            group and answers true. */
        bool load() override;
        /** Puts a pulled-out object back, forgets the objects and requests,
            destroys batches, bounding objects, single entities and nodes. */
        bool unload() override;
        /** Forgets obj, which goes: see the class comment. */
        void removeObject(CoreGameObject* obj) override;
        /** A box "Box1m.mesh" with "InvisibleMat" on a child node ID +
            "_bounds" of the area's node, once the area has a node. */
        void createBoundsVisualization() override;
        void destroyBoundsVisualization() override;
        /** Inside, for every position. */
        virtual AreaPositionResult isPositionInPartition(const Ogre::Vector3& position);

        /** Pulls obj out of its batches (see the class comment); nothing
            happens when it is pulled out already, when the area is not built
            or does not hold it. Another pulled-out object goes back first. */
        virtual void SeeThroughObject(CoreGameObject* obj);
        /** Puts the object this area pulled out back into its batches. */
        virtual void SeeBackObject(CoreGameObject* obj);

        void insertSingleEntity(const std::string& metadataID, const std::string& meshName,
                                Ogre::Entity* entity);
        /** The single entity of that template and mesh, or null. */
        Ogre::Entity* getSingleEntity(const std::string& metadataID,
                                      const std::string& meshName) const;
        /** Moves obj's instance in every batch of its template by delta. */
        void TranslateObject(CoreGameObject* obj, const Ogre::Vector3& delta);
        /** Converts the template group under the build cursor; true once
            every group is converted. False, changing nothing, while one of
            the group's partitions has no node. */
        bool updateSingleObject();
        /** Requests the mesh in the background (group "General") and awaits it. */
        void LoadingMesh(const std::string& name);
        /** Whether an awaited mesh is still loading or an awaited shape is
            neither loaded nor bad. Meshes whose loading finished are loaded
            here; one that fails is logged and left out. */
        bool IsNeedWait();
        void WaitforResource(const std::string& meshName);
        void WaitforCollisionShape(const CollisionShapePtr& shape);
        void ClearRequestData();
        /** Gives every see-through object its collision shapes (see the class
            comment). */
        void FillCollisionShape();

        int getCellX() const { return mCellX; }
        int getCellZ() const { return mCellZ; }
        CoreGameObject* getSeeThroughObject() const { return mSeeThroughObject; }
        const InstanceBoundsMap& getInstanceBounds() const { return mInstanceBounds; }
        const SingleEntityMap& getSingleEntities() const { return mSingleEntities; }
        const BuildRequestMap& getBuildRequests() const { return mBuildRequests; }
        Ogre::SceneNode* getSceneNode() const { return mSceneNode; }
        Ogre::SceneNode* getBoundsNode() const { return mBoundsNode; }
        /** Block of an object at index in its template group, and its place
            in that block's batches. */
        static size_t blockOf(size_t index) { return index / BLOCK_SIZE; }
        static size_t indexInBlock(size_t index) { return index % BLOCK_SIZE; }

    protected:
        /** Mesh names of obj's template, each once, in submesh order. */
        virtual std::vector<std::string> getTemplateMeshNames(CoreGameObject* obj) const;
        /** Meshes whose collision shapes a see-through object of obj's
            template collides with: the one its ordinary objects collide by
            (its obstacle mesh), else its render meshes. */
        virtual std::vector<std::string> getTemplateCollisionMeshNames(CoreGameObject* obj) const;
        /** Gives entity, the area's entity of meshName for obj's template,
            the materials the template puts on that mesh. */
        virtual void dressTemplateEntity(CoreGameObject* obj, const std::string& meshName,
                                         Ogre::Entity* entity) const;
        /** Makes obj show entities the area owns. */
        virtual void showSharedEntities(CoreGameObject* obj,
                                        const std::vector<Ogre::Entity*>& entities);
        /** Makes obj let go of the entities it was given. */
        virtual void releaseSharedEntities(CoreGameObject* obj);

    private:
        struct Placement
        {
            Ogre::Vector3 position;
            Ogre::Quaternion orientation;
            Ogre::Vector3 scale;
        };

        CorePartition* partitionOf(CoreGameObject* obj) const;
        /** obj's world placement through its partition's node; false when
            the partition has no node. */
        bool placementOf(CoreGameObject* obj, Placement& out) const;
        /** obj's index in its template group when the group was converted;
            false when it is not held or not converted. */
        bool indexOf(CoreGameObject* obj, size_t& index) const;
        /** Puts a pulled-out object back, drops what was built, hands the
            templates of one object back to their partitions and converts
            the first group. Never while a partition destroys its objects. */
        void startBuild();
        /** Hides obj's instances and destroys its bounding objects. */
        void hideInstances(CoreGameObject* obj, size_t index);
        /** The name of the batch drawing block of the template's mesh: the
            template's first batch of the mesh counts from where the templates
            converted before it, which share the mesh, left off (from 0 when
            none does). */
        std::string batchName(const std::string& metadataID, const std::string& meshName,
                              size_t block) const;
        /** The batch drawing block of mesh, made on first use. */
        Ogre::FxShaderInstancing* batchFor(const std::string& meshName, size_t block,
                                           CoreGameObject* obj);
        /** Fills the batch of the first build request and forgets it. */
        void fillFirstRequest();
        /** Turns every material of entity into its batch material. */
        void prepareBatchMaterials(Ogre::Entity* entity);
        /** Drops a batch that can not be filled, with its bounding objects. */
        void dropBatch(const std::string& batchName);
        /** Drops every batch, bounding object and request. */
        void dropBuild();
        void ensureSceneNode();

        int mCellX;
        int mCellZ;
        Ogre::Entity* mBoundsEntity = nullptr;
        Ogre::SceneNode* mBoundsNode = nullptr;
        InstanceBoundsMap mInstanceBounds;
        CoreGameObject* mSeeThroughObject = nullptr;
        /** Where the pulled-out object's node hung before. */
        Ogre::Node* mSeeThroughParent = nullptr;
        SingleEntityMap mSingleEntities;
        /** Each converted object's index in its template group, which
            names its block and its place in the block's batches. */
        std::unordered_map<CoreGameObject*, size_t> mInstanceSlots;
        /** Number of the first batch of each converted template's mesh, and
            of the next free one of each mesh. */
        std::map<std::pair<std::string, std::string>, size_t> mFirstBatch;
        std::map<std::string, size_t> mNextBatch;
        /** A converted object went while building: the next update starts
            the build again. */
        bool mRestartBuild = false;
        MeshLoadRequests mMeshLoads;
        std::vector<std::string> mAwaitedResources;
        std::vector<CollisionShapePtr> mAwaitedShapes;
    };
}

#endif
