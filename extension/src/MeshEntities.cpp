#include "MeshEntities.h"

#include "CoreGameObject.h"
#include "CoreGameObjectManager.h"
#include "OgreRenderableState.h"
#include "OgreUserDefinedObject.h"

#include <OgreEntity.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

namespace Wren
{
    namespace
    {
        const char* const kMeshGroup = "General";
    }

    MeshEntities::MeshEntities(CoreGameObject* object, CoreGameObjectManager* manager)
        : mObject(object), mManager(manager)
    {
    }

    Ogre::SceneManager* MeshEntities::getScene() const { return mManager->getSceneManager(); }

    Ogre::Entity* MeshEntities::create(const std::string& meshName, size_t index, bool visible,
                                       bool castShadows, bool instanced)
    {
        const std::string entityName =
            mObject->getName() + "_" + std::to_string(index) + "_" + std::to_string(++mCounter);
        Ogre::Entity* entity = nullptr;
        try
        {
            entity = getScene()->createEntity(entityName, meshName, kMeshGroup);
        }
        catch (const Ogre::Exception&)
        {
            entity = nullptr;
        }
        if (!entity)
            OGRE_EXCEPT(Ogre::Exception::ERR_INTERNAL_ERROR, "Error: create entity failed",
                        "MeshGameObject: changeLODLoadResources");
        Ogre::UserDefinedObject::bind(entity, mObject);
        entity->setCastShadows(castShadows);
        entity->setVisible(visible);
        Ogre::RenderableState::setRenderableType(entity, instanced ? 1 : 2);
        return entity;
    }

    void MeshEntities::destroy(Ogre::Entity* entity)
    {
        if (!entity)
            return;
        Ogre::RenderableState::releaseEntity(entity);
        Ogre::UserDefinedObject::unbind(entity);
        if (Ogre::SceneNode* node = entity->getParentSceneNode())
            node->detachObject(entity);
        getScene()->destroyEntity(entity);
    }

    void MeshEntities::destroy(std::vector<Ogre::Entity*>& entities)
    {
        for (Ogre::Entity* entity : entities)
            destroy(entity);
        entities.clear();
    }

    template <typename F> void MeshEntities::forShown(F apply)
    {
        for (Ogre::Entity* entity : mCurrent)
            apply(entity);
        for (Ogre::Entity* entity : mOutgoing)
            apply(entity);
    }

    void MeshEntities::addCurrent(Ogre::Entity* entity)
    {
        entity->setVisible(mVisible);
        entity->setCastShadows(mCastShadows);
        if (mFlagsSet)
            entity->setVisibilityFlags(mVisibilityFlags);
        if (mWireframe)
            for (size_t s = 0; s < entity->getNumSubEntities(); ++s)
                Ogre::RenderableState::setWireframe(entity->getSubEntity(s), true);
        mCurrent.push_back(entity);
    }

    void MeshEntities::applyMaterials()
    {
        auto it = mMaterials.begin();
        for (Ogre::Entity* entity : mCurrent)
            for (size_t s = 0; s < entity->getNumSubEntities() && it != mMaterials.end(); ++s, ++it)
                Ogre::RenderableState::setMaterial(entity->getSubEntity(s), *it);
    }

    void MeshEntities::setVisible(bool visible)
    {
        mVisible = visible;
        forShown([visible](Ogre::Entity* entity) { entity->setVisible(visible); });
    }

    void MeshEntities::setCastShadows(bool cast)
    {
        mCastShadows = cast;
        forShown([cast](Ogre::Entity* entity) { entity->setCastShadows(cast); });
    }

    void MeshEntities::setVisibilityFlags(Ogre::uint32 flags)
    {
        mFlagsSet = true;
        mVisibilityFlags = flags;
        forShown([flags](Ogre::Entity* entity) { entity->setVisibilityFlags(flags); });
    }

    Ogre::uint32 MeshEntities::getVisibilityFlags() const
    {
        if (mFlagsSet)
            return mVisibilityFlags;
        return mCurrent.empty() ? 0 : mCurrent.front()->getVisibilityFlags();
    }

    void MeshEntities::setWireframe(bool on)
    {
        mWireframe = on;
        forShown([on](Ogre::Entity* entity) {
            for (size_t s = 0; s < entity->getNumSubEntities(); ++s)
                Ogre::RenderableState::setWireframe(entity->getSubEntity(s), on);
        });
    }

    void MeshEntities::getMaterials(std::list<Ogre::MaterialPtr>& out) const
    {
        out.clear();
        for (Ogre::Entity* entity : mCurrent)
            for (size_t s = 0; s < entity->getNumSubEntities(); ++s)
                out.push_back(Ogre::RenderableState::getMaterial(entity->getSubEntity(s)));
    }

    void MeshEntities::setMaterials(const std::list<Ogre::MaterialPtr>& materials)
    {
        mMaterials = materials;
        applyMaterials();
    }

    void MeshEntities::retire()
    {
        mOutgoing.insert(mOutgoing.end(), mCurrent.begin(), mCurrent.end());
        mCurrent.clear();
    }

    void MeshEntities::destroyOutgoing() { destroy(mOutgoing); }

    void MeshEntities::clear()
    {
        if (isBorrowed())
            giveBack();
        destroy(mCurrent);
        destroy(mOutgoing);
    }

    void MeshEntities::borrow(const std::vector<Ogre::Entity*>& entities, Ogre::SceneNode* meshNode)
    {
        clear();
        mOwnership = BORROWED;
        mCurrent = entities;
        for (Ogre::Entity* entity : mCurrent)
        {
            Ogre::UserDefinedObject::bind(entity, mObject);
            entity->setCastShadows(false);
            entity->setVisible(true);
            if (!entity->isAttached() && meshNode)
                meshNode->attachObject(entity);
        }
    }

    void MeshEntities::giveBack()
    {
        if (!isBorrowed())
            return;
        for (Ogre::Entity* entity : mCurrent)
        {
            Ogre::RenderableState::releaseEntity(entity);
            Ogre::UserDefinedObject::unbind(entity);
            entity->setCastShadows(false);
            entity->setVisible(false);
            if (Ogre::SceneNode* node = entity->getParentSceneNode())
                node->detachObject(entity);
        }
        mCurrent.clear();
        mOutgoing.clear();
        mOwnership = OWNED;
    }
}
