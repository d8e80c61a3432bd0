#include "GridAboveGroundArea.h"

#include "CoreAboveGroundManager.h"
#include "CoreGameObject.h"
#include "CoreGameObjectManager.h"
#include "CoreMetadata.h"
#include "CorePartition.h"
#include "CorePartitionManager.h"
#include "FxShaderInstancingManager.h"
#include "MaterialBatchTemplates.h"
#include "MeshBoundingBoxObject.h"
#include "MeshGameObject.h"
#include "MeshMetadata.h"
#include "OgreUserDefinedObject.h"

#include <OgreEntity.h>
#include <OgreLogManager.h>
#include <OgrePass.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSubEntity.h>
#include <OgreTechnique.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace Wren
{
    const float GridAboveGroundArea::SEE_THROUGH_DROP = 1000.0f;

    namespace
    {
        const char* const MeshGroup = "General";

        void logMessage(const std::string& text)
        {
            if (Ogre::LogManager* log = Ogre::LogManager::getSingletonPtr())
                log->logMessage(text);
        }

        /** How far a batch of an object of that size hint is drawn. */
        float renderingDistance(const CoreGameObject& obj)
        {
            switch (obj.getSizeHint())
            {
            case SIZE_VERY_LARGE: return 800.0f;
            case SIZE_LARGE: return 600.0f;
            case SIZE_MEDIUM: return 400.0f;
            case SIZE_SMALL: return 300.0f;
            default: return std::sqrt(obj.getCustomHintDistanceSquared());
            }
        }

        bool endsWith(const std::string& text, const std::string& suffix)
        {
            return text.size() >= suffix.size() &&
                   text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
        }
    }

    GridAboveGroundArea::GridAboveGroundArea(const std::string& id, const Ogre::Vector3& centre,
                                             CoreAboveGroundManager* manager, int cellX, int cellZ)
        : CoreAboveGroundArea(id, centre, manager), mCellX(cellX), mCellZ(cellZ),
          mMeshLoads("GridAboveGroundArea")
    {
    }

    GridAboveGroundArea::~GridAboveGroundArea() {}

    void GridAboveGroundArea::destroy()
    {
        CoreAboveGroundArea::destroy();
        unload();
    }

    CorePartition* GridAboveGroundArea::partitionOf(CoreGameObject* obj) const
    {
        CorePartitionManager* partitions = mManager ? mManager->getPartitionManager() : nullptr;
        return partitions ? partitions->getPartition(obj->getPartitionID()) : nullptr;
    }

    bool GridAboveGroundArea::placementOf(CoreGameObject* obj, Placement& out) const
    {
        CorePartition* partition = partitionOf(obj);
        Ogre::SceneNode* node = partition ? partition->getSceneNode() : nullptr;
        if (!node)
            return false;
        out.position = node->_getFullTransform() * obj->getPosition();
        out.orientation = node->_getDerivedOrientation() * obj->getOrientation();
        out.scale = obj->getScale();
        return true;
    }

    bool GridAboveGroundArea::indexOf(CoreGameObject* obj, size_t& index) const
    {
        auto slot = mInstanceSlots.find(obj);
        if (slot == mInstanceSlots.end())
            return false;
        index = slot->second;
        return true;
    }

    bool GridAboveGroundArea::load()
    {
        if (mObjectsByMetadata.empty())
            return true;
        CorePartitionManager* partitions = mManager->getPartitionManager();
        CorePartition* partition = partitions ? partitions->getPartition(mID) : nullptr;
        if (!partition || !partition->getLoaded())
            return false;
        startBuild();
        return true;
    }

    void GridAboveGroundArea::startBuild()
    {
        // An area that took more objects, or lost one, while building or
        // built starts again.
        if (mSeeThroughObject)
            SeeBackObject(mSeeThroughObject);
        dropBuild();
        mRestartBuild = false;
        for (auto group = mObjectsByMetadata.begin(); group != mObjectsByMetadata.end();)
        {
            if (group->second.size() != 1)
            {
                ++group;
                continue;
            }
            // Made ordinary where it stands in its partition's list, which
            // already holds it: the partition is left as it was stored.
            CoreGameObject* obj = group->second.front();
            obj->SetInstanced(false);
            if (CorePartition* own = partitionOf(obj))
            {
                if (!obj->getParent() && own->getSceneNode())
                    obj->addToParentSceneNode(own->getSceneNode());
                obj->checkLevelOfDetail();
            }
            group = mObjectsByMetadata.erase(group);
        }
        mBuildCursor = mObjectsByMetadata.begin();
        updateSingleObject();
    }

    void GridAboveGroundArea::removeObject(CoreGameObject* obj)
    {
        if (!obj)
            return;
        if (obj == mSeeThroughObject)
            SeeBackObject(obj);
        auto slot = mInstanceSlots.find(obj);
        const bool converted = slot != mInstanceSlots.end();
        if (converted)
        {
            hideInstances(obj, slot->second);
            mInstanceSlots.erase(slot);
        }
        CoreAboveGroundArea::removeObject(obj);
        // Not now: obj may be going with its partition, whose objects the
        // build would touch.
        if (converted && mState == AreaBuilding)
            mRestartBuild = true;
    }

    void GridAboveGroundArea::hideInstances(CoreGameObject* obj, size_t index)
    {
        Ogre::SceneManager* scene = getSceneManager();
        for (const std::string& mesh : getTemplateMeshNames(obj))
        {
            const std::string name = batchName(obj->getMetadataID(), mesh, blockOf(index));
            auto batch = mInstancings.find(name);
            if (batch != mInstancings.end() && batch->second)
                batch->second->setInstanceVisible(indexInBlock(index), false);
            auto bounds = mInstanceBounds.find(name);
            if (bounds == mInstanceBounds.end() || indexInBlock(index) >= bounds->second.size())
                continue;
            Ogre::MeshBoundingBoxObject*& box = bounds->second[indexInBlock(index)];
            if (box && scene)
                scene->destroyMovableObject(box);
            box = nullptr;
        }
    }

    void GridAboveGroundArea::ensureSceneNode()
    {
        if (mSceneNode)
            return;
        Ogre::SceneManager* scene = getSceneManager();
        Ogre::SceneNode* parent = mManager->getSceneNode();
        if (!parent && scene)
            parent = scene->getRootSceneNode();
        if (parent)
            mSceneNode = parent->createChildSceneNode("AboveGroundArea_" + mID);
    }

    std::string GridAboveGroundArea::batchName(const std::string& metadataID,
                                               const std::string& meshName, size_t block) const
    {
        auto base = mFirstBatch.find(std::make_pair(metadataID, meshName));
        const size_t first = base == mFirstBatch.end() ? 0 : base->second;
        return __CreateShaderInstantNameByMatName(meshName, int(first + block));
    }

    Ogre::FxShaderInstancing* GridAboveGroundArea::batchFor(const std::string& meshName,
                                                            size_t block, CoreGameObject* obj)
    {
        const std::string name = batchName(obj->getMetadataID(), meshName, block);
        auto found = mInstancings.find(name);
        if (found != mInstancings.end())
            return found->second;
        Ogre::FxShaderInstancing* batch =
            Ogre::FxShaderInstancingManager::get(getSceneManager()).CreateShaderInstancing(name);
        if (batch)
            batch->setRenderingDistance(renderingDistance(*obj));
        mInstancings[name] = batch;
        return batch;
    }

    bool GridAboveGroundArea::updateSingleObject()
    {
        if (mBuildCursor == mObjectsByMetadata.end())
            return true;
        const ObjectGroup& group = mBuildCursor->second;
        std::vector<Placement> placements(group.size());
        size_t k = 0;
        for (CoreGameObject* obj : group)
            if (!placementOf(obj, placements[k++]))
                return false;

        Ogre::SceneManager* scene = getSceneManager();
        CollisionGameSystem* collision = mManager->getGameObjectManager()
                                             ? mManager->getGameObjectManager()->getCollisionGameSystem()
                                             : nullptr;
        const std::vector<std::string> meshes = getTemplateMeshNames(group.front());
        if (scene && !meshes.empty())
            ensureSceneNode();
        // Templates sharing a mesh number its batches one after the other.
        for (const std::string& mesh : meshes)
        {
            size_t& next = mNextBatch[mesh];
            mFirstBatch[std::make_pair(mBuildCursor->first, mesh)] = next;
            next += blockOf(group.size() - 1) + 1;
        }
        size_t index = 0;
        for (CoreGameObject* obj : group)
        {
            const Placement& placement = placements[index];
            for (const std::string& mesh : meshes)
            {
                Ogre::FxShaderInstancing* batch = scene ? batchFor(mesh, blockOf(index), obj) : nullptr;
                if (!batch)
                    continue;
                AboveGroundShaderInstancingInfo& request = mBuildRequests[batch->getName() + mesh];
                if (request.meshName.empty())
                {
                    request.meshName = mesh;
                    request.batchName = batch->getName();
                    request.metadataID = mBuildCursor->first;
                    request.visibilityDistance = batch->getRenderingDistance();
                    LoadingMesh(mesh);
                }
                request.positions.push_back(placement.position);
                request.orientations.push_back(placement.orientation);
                request.scales.push_back(placement.scale);

                char name[512];
                std::snprintf(name, sizeof(name), "Above_%s_%s_%s_%d", obj->getName().c_str(),
                              mesh.c_str(), mID.c_str(), int(index));
                Ogre::MeshBoundingBoxObject* bounds = nullptr;
                if (scene->hasMovableObject(name, Ogre::MeshBoundingBoxObject::FACTORY_TYPE_NAME))
                    logMessage("GridAboveGroundArea: area " + mID + " has a bounding object " + name +
                               " already; the instance can not be picked");
                else
                {
                    bounds = static_cast<Ogre::MeshBoundingBoxObject*>(scene->createMovableObject(
                        name, Ogre::MeshBoundingBoxObject::FACTORY_TYPE_NAME));
                    Ogre::UserDefinedObject::bind(bounds, obj);
                    mSceneNode->attachObject(bounds);
                }
                // Kept beside the request's lists, a null one included.
                mInstanceBounds[batch->getName()].push_back(bounds);
            }
            if (obj->IsSeeThrough() && collision)
                for (const std::string& mesh : getTemplateCollisionMeshNames(obj))
                {
                    LoadingMesh(mesh);
                    if (CollisionShapePtr shape = collision->createCollisionShape(mesh, placement.scale))
                        WaitforCollisionShape(shape);
                }
            mInstanceSlots[obj] = index;
            ++index;
        }
        ++mBuildCursor;
        return mBuildCursor == mObjectsByMetadata.end();
    }

    bool GridAboveGroundArea::update(float)
    {
        if (mRestartBuild)
        {
            startBuild();
            return false;
        }
        if (!updateSingleObject() || IsNeedWait())
            return false;
        if (!mBuildRequests.empty())
            fillFirstRequest();
        if (!mBuildRequests.empty())
            return false;
        FillCollisionShape();
        ClearRequestData();
        mVisible = true;
        return true;
    }

    void GridAboveGroundArea::fillFirstRequest()
    {
        const AboveGroundShaderInstancingInfo request = mBuildRequests.begin()->second;
        const std::string key = mBuildRequests.begin()->first;
        mBuildRequests.erase(mBuildRequests.begin());
        Ogre::SceneManager* scene = getSceneManager();
        Ogre::Entity* entity = getSingleEntity(request.metadataID, request.meshName);
        std::string missing = "it can not be loaded";
        if (!entity && !mMeshLoads.isBad(request.meshName))
        {
            try
            {
                entity = scene->createEntity(key, request.meshName, MeshGroup);
                auto group = mObjectsByMetadata.find(request.metadataID);
                if (group != mObjectsByMetadata.end() && !group->second.empty())
                    dressTemplateEntity(group->second.front(), request.meshName, entity);
                prepareBatchMaterials(entity);
                insertSingleEntity(request.metadataID, request.meshName, entity);
            }
            catch (const Ogre::Exception& e)
            {
                missing = e.getDescription();
                entity = nullptr;
            }
        }
        if (!entity)
        {
            logMessage("GridAboveGroundArea: area " + mID + " builds without the mesh " +
                       request.meshName + ": " + missing);
            dropBatch(request.batchName);
            return;
        }

        const std::vector<Ogre::MeshBoundingBoxObject*>& bounds = mInstanceBounds[request.batchName];
        for (size_t k = 0; k < bounds.size() && k < request.positions.size(); ++k)
        {
            if (!bounds[k])
                continue;
            Ogre::Matrix4 world;
            world.makeTransform(request.positions[k], request.scales[k], request.orientations[k]);
            bounds[k]->SetBoundingBoxSelf(entity->getBoundingBox());
            bounds[k]->SetWorldMatrix(world);
        }
        Ogre::FxShaderInstancing* batch = mInstancings[request.batchName];
        Ogre::FxShaderInstancingManager::get(scene).FillShaderInstancing(
            batch, entity, request.positions, request.orientations, request.scales);
        batch->setVisible(true);
    }

    void GridAboveGroundArea::dropBatch(const std::string& batchName)
    {
        Ogre::SceneManager* scene = getSceneManager();
        for (Ogre::MeshBoundingBoxObject* bounds : mInstanceBounds[batchName])
            if (bounds)
                scene->destroyMovableObject(bounds);
        mInstanceBounds.erase(batchName);
        Ogre::FxShaderInstancingManager::get(scene).DestroyShaderInstancing(batchName);
        mInstancings.erase(batchName);
    }

    void GridAboveGroundArea::dropBuild()
    {
        if (getSceneManager())
            while (!mInstancings.empty())
                dropBatch(mInstancings.begin()->first);
        mInstancings.clear();
        mInstanceBounds.clear();
        mInstanceSlots.clear();
        mFirstBatch.clear();
        mNextBatch.clear();
        mBuildRequests.clear();
        ClearRequestData();
    }

    void GridAboveGroundArea::prepareBatchMaterials(Ogre::Entity* entity)
    {
        for (size_t i = 0; i < entity->getNumSubEntities(); ++i)
        {
            Ogre::SubEntity* sub = entity->getSubEntity(i);
            const Ogre::MaterialPtr& material = sub->getMaterial();
            if (!material || material->getNumTechniques() == 0 ||
                material->getTechnique(0)->getNumPasses() == 0 ||
                !Ogre::MaterialBatchTemplates::getBatchTemplateName(*material).empty())
                continue;
            std::string templateName = Ogre::MaterialBatchTemplates::getTemplateName(*material);
            if (templateName.empty())
            {
                char text[512];
                std::snprintf(text, sizeof(text), "GridAboveGroundArea::load :material %s has no tempalte.",
                              material->getName().c_str());
                logMessage(text);
                templateName = Ogre::MaterialBatchTemplates::defaultTemplateName(
                    material->getTechnique(0)->getPass(0)->getNumTextureUnitStates());
            }
            if (templateName.empty() || endsWith(templateName, Ogre::MaterialBatchTemplates::BATCH_SUFFIX))
                continue;
            Ogre::MaterialPtr batch = Ogre::MaterialBatchTemplates::getBatchMaterial(
                material, templateName + Ogre::MaterialBatchTemplates::BATCH_SUFFIX);
            if (batch)
                sub->setMaterial(batch);
        }
    }

    void GridAboveGroundArea::LoadingMesh(const std::string& name)
    {
        if (name.empty() || mMeshLoads.isBad(name))
            return;
        WaitforResource(name);
        mMeshLoads.wait({name});
    }

    void GridAboveGroundArea::WaitforResource(const std::string& meshName)
    {
        if (std::find(mAwaitedResources.begin(), mAwaitedResources.end(), meshName) ==
            mAwaitedResources.end())
            mAwaitedResources.push_back(meshName);
    }

    void GridAboveGroundArea::WaitforCollisionShape(const CollisionShapePtr& shape)
    {
        if (shape && std::find(mAwaitedShapes.begin(), mAwaitedShapes.end(), shape) ==
                         mAwaitedShapes.end())
            mAwaitedShapes.push_back(shape);
    }

    bool GridAboveGroundArea::IsNeedWait()
    {
        if (mMeshLoads.wait(mAwaitedResources))
            return true;
        for (const CollisionShapePtr& shape : mAwaitedShapes)
            if (shape->GetLoadingState() != Ogre::Resource::LOADSTATE_LOADED &&
                !shape->isBadResource())
                return true;
        return false;
    }

    void GridAboveGroundArea::ClearRequestData()
    {
        mAwaitedResources.clear();
        mAwaitedShapes.clear();
    }

    void GridAboveGroundArea::FillCollisionShape()
    {
        CoreGameObjectManager* objects = mManager->getGameObjectManager();
        CollisionGameSystem* collision = objects ? objects->getCollisionGameSystem() : nullptr;
        if (!collision)
            return;
        for (auto& group : mObjectsByMetadata)
            for (CoreGameObject* obj : group.second)
            {
                CorePartition* partition = partitionOf(obj);
                if (!obj->IsSeeThrough() || !partition || !partition->getSceneNode())
                    continue;
                std::vector<CollisionShapePtr> shapes;
                for (const std::string& mesh : getTemplateCollisionMeshNames(obj))
                    if (CollisionShapePtr shape = collision->createCollisionShape(mesh, obj->getScale()))
                        shapes.push_back(shape);
                if (shapes.empty())
                    continue;
                obj->setCollisionShapeList(shapes);
                // Under its partition's node the object's node keeps its stored
                // transform and is placed where its instance is drawn.
                obj->addToParentSceneNode(partition->getSceneNode());
            }
    }

    void GridAboveGroundArea::insertSingleEntity(const std::string& metadataID,
                                                 const std::string& meshName, Ogre::Entity* entity)
    {
        mSingleEntities[std::make_pair(metadataID, meshName)] = entity;
    }

    Ogre::Entity* GridAboveGroundArea::getSingleEntity(const std::string& metadataID,
                                                       const std::string& meshName) const
    {
        auto it = mSingleEntities.find(std::make_pair(metadataID, meshName));
        return it == mSingleEntities.end() ? nullptr : it->second;
    }

    void GridAboveGroundArea::TranslateObject(CoreGameObject* obj, const Ogre::Vector3& delta)
    {
        size_t index = 0;
        if (!obj || !indexOf(obj, index))
            return;
        for (const std::string& mesh : getTemplateMeshNames(obj))
        {
            auto batch = mInstancings.find(batchName(obj->getMetadataID(), mesh, blockOf(index)));
            if (batch != mInstancings.end() && batch->second)
                batch->second->translateInstance(indexInBlock(index), delta);
        }
    }

    void GridAboveGroundArea::SeeThroughObject(CoreGameObject* obj)
    {
        size_t index = 0;
        if (!obj || obj->IsMoved() || mState != AreaBuilt || !indexOf(obj, index))
            return;
        if (mSeeThroughObject)
            SeeBackObject(mSeeThroughObject);
        TranslateObject(obj, Ogre::Vector3(0, -SEE_THROUGH_DROP, 0));
        obj->SetMoved(true);
        mSeeThroughObject = obj;
        mSeeThroughParent = obj->getSceneNode() ? obj->getSceneNode()->getParent() : nullptr;
        if (CorePartition* partition = partitionOf(obj))
        {
            obj->addToParentSceneNode(partition->getSceneNode());
            partition->removeObjectFromChangeLODQueue(obj);
        }
        std::vector<Ogre::Entity*> entities;
        for (const std::string& mesh : getTemplateMeshNames(obj))
            if (Ogre::Entity* entity = getSingleEntity(obj->getMetadataID(), mesh))
                entities.push_back(entity);
        if (!entities.empty())
            showSharedEntities(obj, entities);
    }

    void GridAboveGroundArea::SeeBackObject(CoreGameObject* obj)
    {
        if (!obj || obj != mSeeThroughObject || !obj->IsMoved())
            return;
        TranslateObject(obj, Ogre::Vector3(0, SEE_THROUGH_DROP, 0));
        obj->SetMoved(false);
        releaseSharedEntities(obj);
        if (Ogre::SceneNode* node = obj->getSceneNode())
        {
            if (mSeeThroughParent)
                obj->addToParentSceneNode(static_cast<Ogre::SceneNode*>(mSeeThroughParent));
            else if (node->getParent())
                node->getParent()->removeChild(node);
        }
        mSeeThroughObject = nullptr;
        mSeeThroughParent = nullptr;
    }

    bool GridAboveGroundArea::unload()
    {
        if (mSeeThroughObject)
            SeeBackObject(mSeeThroughObject);
        mSeeThroughObject = nullptr;
        mObjectsByMetadata.clear();
        dropBuild();
        mRestartBuild = false;
        if (Ogre::SceneManager* scene = getSceneManager())
            for (auto& entry : mSingleEntities)
                scene->destroyEntity(entry.second);
        mSingleEntities.clear();
        destroyBoundsVisualization();
        return CoreAboveGroundArea::unload();
    }

    void GridAboveGroundArea::createBoundsVisualization()
    {
        Ogre::SceneManager* scene = getSceneManager();
        if (!scene || !mSceneNode || mBoundsNode || mBoundsEntity)
            return;
        try
        {
            mBoundsEntity = scene->createEntity(mID + "_bounds", "Box1m.mesh", MeshGroup);
        }
        catch (const Ogre::Exception& e)
        {
            logMessage("GridAboveGroundArea: area " + mID + " shows no bounds: " + e.getDescription());
            return;
        }
        mBoundsEntity->setMaterialName("InvisibleMat");
        mBoundsEntity->setCastShadows(false);
        mBoundsNode = mSceneNode->createChildSceneNode(mID + "_bounds", Ogre::Vector3::ZERO,
                                                       Ogre::Quaternion::IDENTITY);
        mBoundsNode->attachObject(mBoundsEntity);
    }

    void GridAboveGroundArea::destroyBoundsVisualization()
    {
        Ogre::SceneManager* scene = getSceneManager();
        if (!scene)
            return;
        if (mBoundsEntity)
            scene->destroyEntity(mBoundsEntity);
        if (mBoundsNode)
            scene->destroySceneNode(mBoundsNode);
        mBoundsEntity = nullptr;
        mBoundsNode = nullptr;
    }

    CoreAboveGroundArea::AreaPositionResult GridAboveGroundArea::isPositionInPartition(
        const Ogre::Vector3&)
    {
        return AREA_POSITION_INSIDE;
    }

    std::vector<std::string> GridAboveGroundArea::getTemplateMeshNames(CoreGameObject* obj) const
    {
        std::vector<std::string> names;
        const MeshMetadata* meta = dynamic_cast<const MeshMetadata*>(obj->getMetadata());
        if (!meta)
            return names;
        for (const std::string& name : meta->getMeshNames(LOD_HIGH))
            if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
                names.push_back(name);
        return names;
    }

    std::vector<std::string> GridAboveGroundArea::getTemplateCollisionMeshNames(
        CoreGameObject* obj) const
    {
        const CoreMetadata* meta = obj->getMetadata();
        if (meta && !meta->getCollisionShapeName().empty())
            return {meta->getCollisionShapeName()};
        return getTemplateMeshNames(obj);
    }

    void GridAboveGroundArea::dressTemplateEntity(CoreGameObject* obj, const std::string& meshName,
                                                  Ogre::Entity* entity) const
    {
        const MeshMetadata* meta = dynamic_cast<const MeshMetadata*>(obj->getMetadata());
        if (!meta)
            return;
        const std::vector<std::string> meshes = meta->getMeshNames(LOD_HIGH);
        for (size_t i = 0; i < meshes.size(); ++i)
            if (meshes[i] == meshName)
                meta->applyMaterials(i, entity, false);
    }

    void GridAboveGroundArea::showSharedEntities(CoreGameObject* obj,
                                                 const std::vector<Ogre::Entity*>& entities)
    {
        if (MeshGameObject* mesh = dynamic_cast<MeshGameObject*>(obj))
            mesh->SetEntities(entities);
    }

    void GridAboveGroundArea::releaseSharedEntities(CoreGameObject* obj)
    {
        if (MeshGameObject* mesh = dynamic_cast<MeshGameObject*>(obj))
            mesh->ClearEntities();
    }
}
