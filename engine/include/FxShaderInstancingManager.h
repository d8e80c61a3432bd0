#ifndef __WrenFxShaderInstancingManager_H__
#define __WrenFxShaderInstancingManager_H__

#include "WrenEnginePrerequisites.h"

#include <OgreAxisAlignedBox.h>
#include <OgreQuaternion.h>
#include <OgreSceneManager.h>
#include <OgreVector.h>

#include <map>
#include <memory>
#include <vector>

namespace Ogre
{
    class FxShaderInstancingManager;

    /** One instanced batch: copies of one mesh, each at a transform of its
        own, drawn together, shown and hidden together, and drawn only while
        the camera is within the batch's rendering distance of the box
        around its instances.

        The batch records what it holds whether or not it is drawn, so that
        code building batches can be checked without a render system.
        Batches are made, filled and destroyed through their manager.
    */
    class WREN_ENGINE_EXPORT FxShaderInstancing
    {
    public:
        /** The transform one instance of a batch is drawn at. */
        struct Instance
        {
            Vector3 position;
            Quaternion orientation;
            Vector3 scale;
            /** Hidden instances keep their place but are not drawn. */
            bool visible = true;
        };

        ~FxShaderInstancing();

        const String& getName() const { return mName; }
        /** The mesh of the last fill; empty before. */
        const String& getMeshName() const { return mMeshName; }
        const std::vector<Instance>& getInstances() const { return mInstances; }
        bool isFilled() const { return mFilled; }
        /** Whether the engine draws the batch: filled by a manager whose
            technique draws, and nothing failed. */
        bool isDrawn() const { return !mEngineManagers.empty(); }
        /** Engine batches (draw calls per pass) that draw it: one per submesh
            of its mesh, unless the technique takes fewer instances per draw;
            0 when it is not drawn. */
        size_t getDrawBatchCount() const;

        /** Hidden batches are not drawn. A new batch is hidden until its
            owner shows it. */
        void setVisible(bool visible);
        bool getVisible() const { return mVisible; }
        /** Farthest distance from the camera to the batch's box at which it
            is still drawn; 0 (the default) for no limit. */
        void setRenderingDistance(Real distance) { mRenderingDistance = distance; }
        Real getRenderingDistance() const { return mRenderingDistance; }
        /** World box of the mesh's bounds at every instance; null while empty. */
        const AxisAlignedBox& getWorldBoundingBox() const { return mWorldBox; }

        /** Moves instance index by delta in world space; a drawn batch draws
            it there from the next frame. False for an index it does not hold. */
        bool translateInstance(size_t index, const Vector3& delta);
        /** Shows or hides instance index (a drawn batch from the next
            frame); a hidden one is left out of the batch's box. False for an
            index it does not hold. */
        bool setInstanceVisible(size_t index, bool visible);

    private:
        friend class FxShaderInstancingManager;

        FxShaderInstancing(const String& name, FxShaderInstancingManager* manager);
        FxShaderInstancing(const FxShaderInstancing&) = delete;
        FxShaderInstancing& operator=(const FxShaderInstancing&) = delete;

        /** Destroys the engine's instance managers of the batch. */
        void release();
        void updateWorldBox();
        void updateEngineBounds();
        /** Static engine batches write their matrices only when told to. */
        void rewriteStaticBatches();
        /** Shows or hides the engine batches as the batch is shown and, with
            a camera position, as it lies within the rendering distance. */
        void applyVisibility(const Vector3* cameraPosition);
        /** Calls f on every engine batch that draws this batch. */
        template <typename F> void forEachEngineBatch(F f) const;

        String mName;
        FxShaderInstancingManager* mManager;
        String mMeshName;
        std::vector<Instance> mInstances;
        AxisAlignedBox mMeshBounds;
        AxisAlignedBox mWorldBox;
        bool mFilled = false;
        bool mVisible = false;
        /** Whether the engine batches are visible at present. */
        bool mShown = false;
        /** Whether the engine batches keep their matrices (hardware technique). */
        bool mStatic = false;
        Real mRenderingDistance = 0;
        /** Names of the engine instance managers, one per submesh. */
        std::vector<String> mEngineManagers;
        /** The engine's instances, per submesh, in instance order. */
        std::vector<std::vector<InstancedEntity*>> mEngineInstances;
    };

    /** The shader-instancing facility of one scene manager, on the engine's
        InstanceManager: batches of one mesh made by name, filled with
        per-instance transforms, shown, hidden, culled by distance and
        destroyed by name.

        Technique: hardware instancing with static batches (the world
        matrices go into a per-instance vertex stream, written once) where
        the render system offers instance data and GLSL; otherwise the
        shader-based technique (the matrices in a uniform array, up to 60
        instances per draw) where it offers GLSL vertex programs; otherwise
        none: batches are recorded but not drawn, which is also the case
        without a render system. Each submesh is drawn with its sub-entity's
        material in the instanced form of MaterialBatchTemplates::
        instancedMaterial, so any material can be drawn instanced.

        The manager is made on first use and lives as long as its scene
        manager; it destroys its batches when the scene manager goes. A
        mesh with shared vertices is split into per-submesh vertices by the
        engine when it is first drawn instanced. Main thread only.
    */
    class WREN_ENGINE_EXPORT FxShaderInstancingManager : public SceneManager::Listener
    {
    public:
        enum Technique
        {
            TECHNIQUE_NONE = 0,
            TECHNIQUE_HARDWARE = 1,
            TECHNIQUE_SHADER = 2
        };

        /** The facility of scene, made on the first call. */
        static FxShaderInstancingManager& get(SceneManager* scene);
        /** The best technique the current render system offers. */
        static Technique detectTechnique();

        SceneManager* getSceneManager() const { return mScene; }
        Technique getTechnique() const { return mTechnique; }
        /** Chooses the technique of batches filled from now on; a technique
            the render system does not offer draws nothing. */
        void setTechnique(Technique technique) { mTechnique = technique; }

        /** A new empty, hidden batch; null (logged) when the name is taken. */
        FxShaderInstancing* CreateShaderInstancing(const String& name);
        /** The batch of that name, or null. */
        FxShaderInstancing* getShaderInstancing(const String& name) const;
        /** Fills batch with copies of source's mesh, one per entry of the
            three lists, replacing what it held, and draws it with the
            materials of source's sub-entities when the technique draws.
            False when the lists differ in length, the batch is not this
            manager's, or drawing failed (logged; the batch stays recorded
            and undrawn). */
        bool FillShaderInstancing(FxShaderInstancing* batch, Entity* source,
                                  const std::vector<Vector3>& positions,
                                  const std::vector<Quaternion>& orientations,
                                  const std::vector<Vector3>& scales);
        /** Destroys the batch of that name, if any. */
        void DestroyShaderInstancing(const String& name);

        /** Filled batches, and the instances shown in them. */
        size_t getBatchCount() const;
        size_t getInstanceCount() const;

        void preFindVisibleObjects(SceneManager* source, SceneManager::IlluminationRenderStage irs,
                                   Viewport* viewport) override;
        void sceneManagerDestroyed(SceneManager* source) override;

    private:
        explicit FxShaderInstancingManager(SceneManager* scene);
        /** Destroys the batches; the manager goes only with its scene manager. */
        ~FxShaderInstancingManager() override;
        FxShaderInstancingManager(const FxShaderInstancingManager&) = delete;
        FxShaderInstancingManager& operator=(const FxShaderInstancingManager&) = delete;

        /** Builds the engine's instance managers of a filled batch. */
        void draw(FxShaderInstancing& batch, Entity* source);

        SceneManager* mScene;
        Technique mTechnique;
        std::map<String, std::unique_ptr<FxShaderInstancing>> mBatches;
    };
}

#endif
