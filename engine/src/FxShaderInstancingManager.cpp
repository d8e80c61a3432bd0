#include "FxShaderInstancingManager.h"

#include "MaterialBatchTemplates.h"
#include "MeshBoundingBoxObject.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreHighLevelGpuProgramManager.h>
#include <OgreInstanceBatch.h>
#include <OgreInstanceManager.h>
#include <OgreInstancedEntity.h>
#include <OgreLogManager.h>
#include <OgreMesh.h>
#include <OgreRenderSystem.h>
#include <OgreRoot.h>
#include <OgreStringConverter.h>
#include <OgreSubEntity.h>
#include <OgreSubMesh.h>
#include <OgreViewport.h>

namespace Ogre
{
    namespace
    {
        typedef std::map<SceneManager*, FxShaderInstancingManager*> ManagerMap;

        ManagerMap& managers()
        {
            static ManagerMap map;
            return map;
        }

        void logMessage(const String& text)
        {
            if (LogManager* log = LogManager::getSingletonPtr())
                log->logMessage("FxShaderInstancingManager: " + text);
        }
    }

    FxShaderInstancing::FxShaderInstancing(const String& name, FxShaderInstancingManager* manager)
        : mName(name), mManager(manager)
    {
    }

    FxShaderInstancing::~FxShaderInstancing() { release(); }

    template <typename F> void FxShaderInstancing::forEachEngineBatch(F f) const
    {
        SceneManager* scene = mManager->getSceneManager();
        for (const String& name : mEngineManagers)
        {
            // The scene may have destroyed its instance managers (clearScene).
            if (!scene->hasInstanceManager(name))
                continue;
            InstanceManager* engine = scene->getInstanceManager(name);
            InstanceManager::InstanceBatchMapIterator materials = engine->getInstanceBatchMapIterator();
            while (materials.hasMoreElements())
            {
                InstanceManager::InstanceBatchIterator batches =
                    engine->getInstanceBatchIterator(materials.peekNextKey());
                while (batches.hasMoreElements())
                    f(batches.getNext());
                materials.moveNext();
            }
        }
    }

    size_t FxShaderInstancing::getDrawBatchCount() const
    {
        size_t count = 0;
        forEachEngineBatch([&count](InstanceBatch*) { ++count; });
        return count;
    }

    void FxShaderInstancing::setVisible(bool visible)
    {
        mVisible = visible;
        applyVisibility(nullptr);
    }

    void FxShaderInstancing::applyVisibility(const Vector3* camera)
    {
        bool shown = mVisible;
        if (shown && camera && mRenderingDistance > 0 && !mWorldBox.isNull())
            shown = mWorldBox.squaredDistance(*camera) <= mRenderingDistance * mRenderingDistance;
        if (shown == mShown)
            return;
        mShown = shown;
        forEachEngineBatch([shown](InstanceBatch* batch) { batch->setVisible(shown); });
    }

    bool FxShaderInstancing::translateInstance(size_t index, const Vector3& delta)
    {
        if (index >= mInstances.size())
            return false;
        Instance& instance = mInstances[index];
        instance.position += delta;
        updateWorldBox();
        SceneManager* scene = mManager->getSceneManager();
        for (size_t k = 0; k < mEngineManagers.size(); ++k)
            if (scene->hasInstanceManager(mEngineManagers[k]))
                mEngineInstances[k][index]->setPosition(instance.position);
        rewriteStaticBatches();
        updateEngineBounds();
        return true;
    }

    bool FxShaderInstancing::setInstanceVisible(size_t index, bool visible)
    {
        if (index >= mInstances.size())
            return false;
        mInstances[index].visible = visible;
        updateWorldBox();
        SceneManager* scene = mManager->getSceneManager();
        for (size_t k = 0; k < mEngineManagers.size(); ++k)
            if (scene->hasInstanceManager(mEngineManagers[k]))
                mEngineInstances[k][index]->setVisible(visible);
        rewriteStaticBatches();
        updateEngineBounds();
        return true;
    }

    void FxShaderInstancing::rewriteStaticBatches()
    {
        if (!mStatic)
            return;
        SceneManager* scene = mManager->getSceneManager();
        for (const String& name : mEngineManagers)
            if (scene->hasInstanceManager(name))
                scene->getInstanceManager(name)->setBatchesAsStaticAndUpdate(true);
    }

    void FxShaderInstancing::updateEngineBounds()
    {
        // The engine culls a batch by bounds it works out only for batches
        // it finds dirty while drawing, which static batches never are.
        forEachEngineBatch([](InstanceBatch* batch) { batch->_updateBounds(); });
    }

    void FxShaderInstancing::updateWorldBox()
    {
        mWorldBox.setNull();
        if (mMeshBounds.isNull())
            return;
        for (const Instance& instance : mInstances)
        {
            if (!instance.visible)
                continue;
            AxisAlignedBox box = mMeshBounds;
            Matrix4 world;
            world.makeTransform(instance.position, instance.scale, instance.orientation);
            box.transform(world);
            mWorldBox.merge(box);
        }
    }

    void FxShaderInstancing::release()
    {
        SceneManager* scene = mManager->getSceneManager();
        for (const String& name : mEngineManagers)
            if (scene->hasInstanceManager(name))
                scene->destroyInstanceManager(name);
        mEngineManagers.clear();
        mEngineInstances.clear();
        mShown = false;
        mStatic = false;
    }

    FxShaderInstancingManager& FxShaderInstancingManager::get(SceneManager* scene)
    {
        FxShaderInstancingManager*& manager = managers()[scene];
        if (!manager)
            manager = new FxShaderInstancingManager(scene);
        return *manager;
    }

    FxShaderInstancingManager::Technique FxShaderInstancingManager::detectTechnique()
    {
        Root* root = Root::getSingletonPtr();
        RenderSystem* renderSystem = root ? root->getRenderSystem() : nullptr;
        const RenderSystemCapabilities* caps =
            renderSystem ? renderSystem->getCapabilities() : nullptr;
        HighLevelGpuProgramManager* programs = HighLevelGpuProgramManager::getSingletonPtr();
        if (!caps || !programs || !programs->isLanguageSupported("glsl"))
            return TECHNIQUE_NONE;
        return caps->hasCapability(RSC_VERTEX_BUFFER_INSTANCE_DATA) ? TECHNIQUE_HARDWARE
                                                                     : TECHNIQUE_SHADER;
    }

    FxShaderInstancingManager::FxShaderInstancingManager(SceneManager* scene)
        : mScene(scene), mTechnique(detectTechnique())
    {
        mScene->addListener(this);
        MeshBoundingBoxObject::registerFactory();
        MaterialBatchTemplates::createDefaultTemplates();
    }

    FxShaderInstancingManager::~FxShaderInstancingManager()
    {
        mBatches.clear();
        managers().erase(mScene);
    }

    FxShaderInstancing* FxShaderInstancingManager::CreateShaderInstancing(const String& name)
    {
        std::unique_ptr<FxShaderInstancing>& slot = mBatches[name];
        if (slot)
        {
            logMessage("a batch named " + name + " exists already");
            return nullptr;
        }
        slot.reset(new FxShaderInstancing(name, this));
        return slot.get();
    }

    FxShaderInstancing* FxShaderInstancingManager::getShaderInstancing(const String& name) const
    {
        auto it = mBatches.find(name);
        return it == mBatches.end() ? nullptr : it->second.get();
    }

    bool FxShaderInstancingManager::FillShaderInstancing(FxShaderInstancing* batch, Entity* source,
                                                         const std::vector<Vector3>& positions,
                                                         const std::vector<Quaternion>& orientations,
                                                         const std::vector<Vector3>& scales)
    {
        if (!batch || !source || getShaderInstancing(batch->getName()) != batch ||
            positions.size() != orientations.size() || positions.size() != scales.size())
            return false;
        batch->release();
        batch->mMeshName = source->getMesh()->getName();
        batch->mMeshBounds = source->getMesh()->getBounds();
        batch->mInstances.clear();
        for (size_t i = 0; i < positions.size(); ++i)
            batch->mInstances.push_back({positions[i], orientations[i], scales[i]});
        batch->updateWorldBox();
        batch->mFilled = true;
        if (mTechnique == TECHNIQUE_NONE || batch->mInstances.empty())
            return true;
        try
        {
            draw(*batch, source);
        }
        catch (const Exception& e)
        {
            logMessage("batch " + batch->getName() + " of " + batch->getMeshName() +
                       " can not be drawn: " + e.getDescription());
            batch->release();
            return false;
        }
        // The engine's batches start visible.
        batch->mShown = true;
        batch->applyVisibility(nullptr);
        return true;
    }

    void FxShaderInstancingManager::draw(FxShaderInstancing& batch, Entity* source)
    {
        const MeshPtr& mesh = source->getMesh();
        const InstanceManager::InstancingTechnique technique =
            mTechnique == TECHNIQUE_HARDWARE ? InstanceManager::HWInstancingBasic
                                             : InstanceManager::ShaderBased;
        const size_t count = batch.mInstances.size();
        for (unsigned short i = 0; i < mesh->getNumSubMeshes(); ++i)
        {
            const SubMesh* sub = mesh->getSubMesh(i);
            const VertexData* vertices = sub->useSharedVertices ? mesh->sharedVertexData
                                                                : sub->vertexData;
            const unsigned short firstFree =
                vertices ? vertices->vertexDeclaration->getNextFreeTextureCoordinate() : 0;
            const MaterialPtr material = MaterialBatchTemplates::instancedMaterial(
                source->getSubEntity(i)->getMaterial(), mTechnique, firstFree);
            const String name = batch.getName() + "/" + StringConverter::toString(i);
            InstanceManager* engine = mScene->createInstanceManager(
                name, mesh->getName(), mesh->getGroup(), technique, count, 0, i);
            batch.mEngineManagers.push_back(name);
            batch.mEngineInstances.emplace_back();
            for (const FxShaderInstancing::Instance& instance : batch.mInstances)
            {
                InstancedEntity* copy = engine->createInstancedEntity(material->getName());
                if (!copy)
                    OGRE_EXCEPT(Exception::ERR_RENDERINGAPI_ERROR,
                                "the technique can not draw the material " + material->getName(),
                                "FxShaderInstancingManager::FillShaderInstancing");
                copy->setPosition(instance.position);
                copy->setOrientation(instance.orientation);
                copy->setScale(instance.scale);
                batch.mEngineInstances.back().push_back(copy);
            }
            if (mTechnique == TECHNIQUE_HARDWARE)
                engine->setBatchesAsStaticAndUpdate(true);
        }
        batch.mStatic = mTechnique == TECHNIQUE_HARDWARE;
        batch.updateEngineBounds();
    }

    void FxShaderInstancingManager::DestroyShaderInstancing(const String& name)
    {
        mBatches.erase(name);
    }

    size_t FxShaderInstancingManager::getBatchCount() const
    {
        size_t count = 0;
        for (const auto& entry : mBatches)
            count += entry.second->isFilled() ? 1 : 0;
        return count;
    }

    size_t FxShaderInstancingManager::getInstanceCount() const
    {
        size_t count = 0;
        for (const auto& entry : mBatches)
            if (entry.second->isFilled())
                for (const FxShaderInstancing::Instance& instance : entry.second->getInstances())
                    count += instance.visible ? 1 : 0;
        return count;
    }

    void FxShaderInstancingManager::preFindVisibleObjects(SceneManager*, SceneManager::IlluminationRenderStage,
                                                          Viewport* viewport)
    {
        Camera* camera = viewport ? viewport->getCamera() : nullptr;
        if (!camera)
            return;
        const Vector3 position = camera->getDerivedPosition();
        for (auto& entry : mBatches)
            entry.second->applyVisibility(&position);
    }

    void FxShaderInstancingManager::sceneManagerDestroyed(SceneManager*)
    {
        // The scene manager is going: its listener list is not touched any
        // more, so the manager takes itself away without leaving it.
        delete this;
    }
}
