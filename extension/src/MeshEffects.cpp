#include "MeshEffects.h"

#include "FxEffectManager.h"
#include "MeshMetadata.h"

#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

namespace Wren
{
    void MeshEffects::create(const MeshMetadata& metadata, const std::string& objectName,
                             Ogre::SceneNode* meshNode)
    {
        for (const auto& record : metadata.getEffects())
        {
            FxEffect* effect = FxEffectManager::getSingleton().createEffect(
                record.effectName, 8, false, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY,
                nullptr);
            if (record.boneName.empty())
                effect->SetParent(meshNode);
            else if (!record.boundToBone)
            {
                const MeshMetadata::StrikeItem* item = metadata.findStrikeItem(record.boneName);
                effect->SetParent(createStrikeNode(
                    meshNode, objectName + "_" + record.boneName,
                    item ? item->offsetPosition : Ogre::Vector3::ZERO,
                    item ? item->offsetOrientation : Ogre::Quaternion::IDENTITY));
            }
            effect->SetWorldPos(record.offsetPosition);
            effect->SetWorldOrientation(record.offsetOrientation);
            mEffects.push_back(effect);
        }
    }

    void MeshEffects::remove()
    {
        for (FxEffect* effect : mEffects)
            FxEffectManager::getSingleton().removeEffect(effect);
        mEffects.clear();
    }

    Ogre::SceneNode* MeshEffects::createStrikeNode(Ogre::SceneNode* meshNode, const std::string& name,
                                                   const Ogre::Vector3& position,
                                                   const Ogre::Quaternion& orientation)
    {
        auto it = mStrikeNodes.find(name);
        if (it != mStrikeNodes.end())
            return it->second;
        if (!meshNode)
            return nullptr;
        Ogre::SceneNode* node = meshNode->createChildSceneNode(name, position, orientation);
        mStrikeNodes[name] = node;
        return node;
    }

    Ogre::SceneNode* MeshEffects::getStrikeNode(const std::string& name) const
    {
        auto it = mStrikeNodes.find(name);
        return it == mStrikeNodes.end() ? nullptr : it->second;
    }

    void MeshEffects::destroyStrikeNodes(Ogre::SceneManager* scene)
    {
        for (auto& strike : mStrikeNodes)
        {
            if (strike.second->getParentSceneNode())
                strike.second->getParentSceneNode()->removeChild(strike.second);
            scene->destroySceneNode(strike.second);
        }
        mStrikeNodes.clear();
    }
}
