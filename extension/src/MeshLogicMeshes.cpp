#include "MeshLogicMeshes.h"

#include "MeshEntities.h"
#include "MeshGameObject.h"
#include "MeshLoadRequests.h"
#include "OgreRenderableState.h"

#include <OgreEntity.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

namespace Wren
{
    namespace
    {
        const int kRender = MeshGameObject::MCT_RENDER;
        const int kLast = MeshGameObject::MCT_HEIGHT_FRAGMENT;
    }

    std::vector<std::string> MeshLogicMeshes::names(const MeshMetadata& metadata,
                                                    MeshMetadata::LogicKind kind)
    {
        std::vector<std::string> names{metadata.getLogicMesh(kind)};
        for (const auto& sub : metadata.getSubMeshes())
            names.push_back(sub.logic[kind]);
        return names;
    }

    void MeshLogicMeshes::appendNames(const MeshMetadata& metadata, std::vector<std::string>& out)
    {
        for (int k = 0; k < MeshMetadata::LOGIC_KIND_COUNT; ++k)
        {
            if (!metadata.getLogicMesh(MeshMetadata::LogicKind(k)).empty())
                out.push_back(metadata.getLogicMesh(MeshMetadata::LogicKind(k)));
            for (const auto& sub : metadata.getSubMeshes())
                if (!sub.logic[k].empty())
                    out.push_back(sub.logic[k]);
        }
    }

    std::vector<std::string> MeshLogicMeshes::collisionNames(const MeshMetadata& metadata, int type)
    {
        if (type == kRender)
            return metadata.getMeshNames(LOD_HIGH);
        return names(metadata, MeshMetadata::LogicKind(type - MeshGameObject::MCT_LOGIC_HIGH));
    }

    void MeshLogicMeshes::createEntities(const MeshMetadata& metadata, MeshEntities& maker,
                                         const MeshLoadRequests& requests,
                                         Ogre::SceneNode* meshNode, bool instanced)
    {
        if (!meshNode)
            return;
        for (int k = 0; k < MeshMetadata::LOGIC_KIND_COUNT; ++k)
        {
            if (!mEntities[k].empty())
                continue;
            const std::vector<std::string> list = names(metadata, MeshMetadata::LogicKind(k));
            for (size_t i = 0; i < list.size(); ++i)
            {
                if (list[i].empty() || requests.isBad(list[i]))
                    continue;
                Ogre::Entity* entity = maker.create(list[i], 100 * (k + 1) + i, false, false, instanced);
                Ogre::SceneNode* node = meshNode->createChildSceneNode();
                Ogre::RenderableState::setStaticCulling(node, true);
                Ogre::RenderableState::setOccluder(node, true);
                node->attachObject(entity);
                mEntities[k].push_back(entity);
            }
        }
    }

    void MeshLogicMeshes::destroyEntities(MeshEntities& maker, Ogre::SceneManager* scene)
    {
        for (auto& list : mEntities)
        {
            for (Ogre::Entity* entity : list)
            {
                Ogre::SceneNode* node = entity->getParentSceneNode();
                maker.destroy(entity);
                if (!node)
                    continue;
                if (Ogre::SceneNode* parent = node->getParentSceneNode())
                    parent->removeChild(node);
                scene->destroySceneNode(node);
            }
            list.clear();
        }
    }

    bool MeshLogicMeshes::fillCollisionLists(const MeshMetadata& metadata,
                                             CollisionGameSystem* collision,
                                             const Ogre::Vector3& scale)
    {
        bool renderFilled = false;
        for (int type = kRender; type <= kLast; ++type)
        {
            std::vector<CollisionShapePtr>& list = mShapes[type - 1];
            if (!list.empty())
                continue;
            for (const std::string& name : collisionNames(metadata, type))
            {
                if (name.empty())
                    continue;
                if (CollisionShapePtr shape = collision->createCollisionShape(name, scale))
                    list.push_back(shape);
            }
            if (type == kRender && !list.empty())
            {
                mActiveType = kRender;
                renderFilled = true;
            }
        }
        return renderFilled;
    }

    bool MeshLogicMeshes::hasShapes(int type) const
    {
        return type >= kRender && type <= kLast && !mShapes[type - 1].empty();
    }

    const std::vector<CollisionShapePtr>& MeshLogicMeshes::getShapes(int type) const
    {
        static const std::vector<CollisionShapePtr> none;
        if (type < kRender || type > kLast)
            return none;
        return mShapes[type - 1];
    }

    bool MeshLogicMeshes::rayTest(int type, const CollisionGameSystem& collision,
                                  const Ogre::Matrix4& transform, const Ogre::Ray& ray,
                                  CollisionInfo& info) const
    {
        for (const CollisionShapePtr& shape : getShapes(type))
            if (shape && shape->GetLoadingState() == Ogre::Resource::LOADSTATE_LOADED &&
                collision.collideRay(shape, transform, ray, info))
                return true;
        return false;
    }

    void MeshLogicMeshes::clearCollisionLists()
    {
        for (auto& list : mShapes)
            list.clear();
        mActiveType = MeshGameObject::MCT_NONE;
    }
}
