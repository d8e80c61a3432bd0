#include "MeshGameObject.h"

#include "CompleteObjectDataInfo.h"
#include "CoreGameObjectManager.h"
#include "DataElement.h"
#include "ImpostorGameSystem.h"
#include "ImpostorHandler.h"
#include "MaterialDefinition.h"
#include "MeshVertexColourEditor.h"
#include "OgreRenderableState.h"
#include "UniqueImpostorHandler.h"

#include <OgreAnimationState.h>
#include <OgreEntity.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSubEntity.h>
#include <OgreTechnique.h>

namespace Wren
{
    float MeshGameObject::FADE_DURATION = 2.0f;

    namespace
    {
        /** Enables and loops the first animation of the entity; false when
            it has none. */
        bool startFirstAnimation(Ogre::Entity* entity)
        {
            Ogre::AnimationStateSet* states = entity->getAllAnimationStates();
            if (!states)
                return false;
            auto it = states->getAnimationStateIterator();
            if (!it.hasMoreElements())
                return false;
            Ogre::AnimationState* state = it.getNext();
            state->setEnabled(true);
            state->setLoop(true);
            return true;
        }
    }

    MeshGameObject::MeshGameObject(CoreGameObjectManager* manager, const std::string& name)
        : CoreGameObject(manager, name), mEntities(this, manager)
    {
    }

    MeshGameObject::~MeshGameObject() { delete mImpostorHandler; }

    MeshGameObject::Extras& MeshGameObject::extras()
    {
        if (!mExtras)
            mExtras.reset(new Extras());
        return *mExtras;
    }

    const MeshLogicMeshes& MeshGameObject::logic() const
    {
        static const MeshLogicMeshes none;
        return mExtras ? mExtras->logic : none;
    }

    const MeshEffects& MeshGameObject::effects() const
    {
        static const MeshEffects none;
        return mExtras ? mExtras->effects : none;
    }

    bool MeshGameObject::isBadMesh(const std::string& name) const
    {
        return mExtras && mExtras->requests.isBad(name);
    }

    const std::string& MeshGameObject::getObjectType() const
    {
        static const std::string type = "MeshGameObject";
        return type;
    }

    bool MeshGameObject::checkObjectType(const std::string& type) const
    {
        return type == getObjectType();
    }

    float MeshGameObject::viewRangeScale(int sizeHint)
    {
        switch (sizeHint)
        {
        case SIZE_VERY_LARGE: return 1.3f;
        case SIZE_LARGE: return 1.0f;
        case SIZE_MEDIUM: return 0.5f;
        case SIZE_SMALL: return 0.3f;
        default: return 1.0f;
        }
    }

    // Vertex colours ---------------------------------------------------------

    bool MeshGameObject::editVertexColours(
        const std::function<bool(MeshVertexColourEditor&)>& edit)
    {
        if (mEntities.isBorrowed())
        {
            // The entities belong to an above-ground area and stand for many objects.
            Ogre::LogManager::getSingleton().logMessage(
                "MeshGameObject: " + mName +
                " shows entities of its area; their vertex colours stay as they are");
            return false;
        }
        MeshVertexColourEditor editor(mEntities.getCurrent(), mSceneNode, mName);
        const bool edited = edit(editor);
        shownChanged();
        return edited;
    }

    bool MeshGameObject::clearVertexLight()
    {
        return editVertexColours([](MeshVertexColourEditor& editor) { return editor.clear(); });
    }

    bool MeshGameObject::computerVertexLight(const Ogre::Light* light, VertexColorLightModel model)
    {
        return editVertexColours(
            [&](MeshVertexColourEditor& editor) { return editor.light(light, model); });
    }

    bool MeshGameObject::BrushVertexColor(const Ogre::Vector3& centre, const float& radius,
                                          const Ogre::ColourValue& colour,
                                          BrushVertexColorMethod method)
    {
        return editVertexColours([&](MeshVertexColourEditor& editor) {
            return editor.brush(centre, radius, colour, method);
        });
    }

    void MeshGameObject::saveMesh()
    {
        if (!mEntities.isBorrowed())
            MeshVertexColourEditor(mEntities.getCurrent(), mSceneNode, mName).save();
    }

    Ogre::Vector3 MeshGameObject::GetLocalMeshCenter() const
    {
        return MeshVertexColourEditor(mEntities.getCurrent(), mSceneNode, mName).localCentre();
    }

    Ogre::Vector3 MeshGameObject::GetGeometryCenterInWorldSpace() const
    {
        const Ogre::Vector3 local = GetLocalMeshCenter();
        return mSceneNode ? mSceneNode->_getFullTransform() * local : local;
    }

    // What the entities show -------------------------------------------------

    bool MeshGameObject::changeToWireframe()
    {
        mEntities.setWireframe(!mEntities.getWireframe());
        shownChanged();
        return !mEntities.getCurrent().empty();
    }

    Ogre::AxisAlignedBox MeshGameObject::getWorldAABB() const
    {
        Ogre::AxisAlignedBox box;
        for (Ogre::Entity* entity : mEntities.getCurrent())
            box.merge(entity->getWorldBoundingBox(true));
        return box;
    }

    void MeshGameObject::GetMaterials(std::list<Ogre::MaterialPtr>& materials) const
    {
        mEntities.getMaterials(materials);
    }

    void MeshGameObject::SetMaterials(const std::list<Ogre::MaterialPtr>& materials)
    {
        mEntities.setMaterials(materials);
        shownChanged();
    }

    void MeshGameObject::setVisible(bool visible)
    {
        mEntities.setVisible(visible);
        shownChanged();
    }

    void MeshGameObject::setVisibilityFlags(Ogre::uint32 flags)
    {
        mEntities.setVisibilityFlags(flags);
    }

    Ogre::uint32 MeshGameObject::getVisibilityFlags() const
    {
        return mEntities.getVisibilityFlags();
    }

    void MeshGameObject::setCastShadows(bool cast) { mEntities.setCastShadows(cast); }

    void MeshGameObject::shownChanged()
    {
        if (mImpostorHandler)
            mImpostorHandler->getUniqueImpostorHandler()->invalidateBounds();
    }

    void MeshGameObject::setImpostorHandler(ImpostorHandler* handler)
    {
        if (handler == mImpostorHandler)
            return;
        releaseImpostorHandler();
        mImpostorHandler = handler;
        if (ImpostorGameSystem* system = getImpostorSystem())
            system->addImpostorHandler(handler);
    }

    ImpostorGameSystem* MeshGameObject::getImpostorSystem() const
    {
        return dynamic_cast<ImpostorGameSystem*>(
            mManager->getGameObjectManagerGameSystemByType(ImpostorGameSystem::TYPE_NAME));
    }

    void MeshGameObject::releaseImpostorHandler()
    {
        if (!mImpostorHandler)
            return;
        if (ImpostorGameSystem* system = getImpostorSystem())
            system->releaseImpostorHandler(mImpostorHandler);
        delete mImpostorHandler;
        mImpostorHandler = nullptr;
    }

    // Properties and stored forms --------------------------------------------

    void MeshGameObject::enumerateProperties(std::vector<Property>& out)
    {
        CoreGameObject::enumerateProperties(out);
        Property isStatic;
        isStatic.initBool("MeshGameObject_IsStatic", "Is static", mIsStatic);
        out.push_back(isStatic);
        Property cast;
        cast.initBool("MeshGameObject_CastShadows", "Cast shadows", getCastShadows());
        out.push_back(cast);
    }

    void MeshGameObject::setProperty(const std::string& id, const PropertyData& value)
    {
        if (id == "MeshGameObject_IsStatic" || id == "MeshGameObject_CastShadows")
        {
            if (id == "MeshGameObject_IsStatic")
                mIsStatic = value.boolVal;
            else
                setCastShadows(value.boolVal);
            // Both flags are stored with the object.
            notifyStoredChange();
        }
        else
            CoreGameObject::setProperty(id, value);
    }

    bool MeshGameObject::save(DataElementPtr& element)
    {
        if (!CoreGameObject::save(element))
            return false;
        DataElementPtr mesh = element->createChild("MeshData");
        mesh->setAttributeBool("IsStatic", mIsStatic);
        mesh->setAttributeBool("CastShadows", getCastShadows());
        return true;
    }

    bool MeshGameObject::saveBinary(CompleteObjectDataInfo& record)
    {
        if (!CoreGameObject::saveBinary(record))
            return false;
        record.isStatic = mIsStatic ? 1 : 0;
        record.castShadows = getCastShadows() ? 1 : 0;
        return true;
    }

    bool MeshGameObject::fitsBinaryRecord() const { return CoreGameObject::fitsBinaryRecord(); }

    bool MeshGameObject::loadBinaryStart(CompleteObjectDataInfo& record,
                                         std::vector<CoreGameObject*>& created, bool rename)
    {
        if (!CoreGameObject::loadBinaryStart(record, created, rename))
            return false;
        mMeshMetadata = dynamic_cast<MeshMetadata*>(mMetadata);
        mIsStatic = record.isStatic != 0;
        setCastShadows(record.castShadows != 0);
        return true;
    }

    bool MeshGameObject::loadStart(DataElementPtr& element, std::vector<CoreGameObject*>& created,
                                   bool rename)
    {
        if (!CoreGameObject::loadStart(element, created, rename))
            return false;
        mMeshMetadata = dynamic_cast<MeshMetadata*>(mMetadata);
        DataElementPtr mesh = element->getFirstChild("MeshData");
        if (!mesh->getIsEmpty())
        {
            mIsStatic = mesh->getAttributeBool("IsStatic", false);
            setCastShadows(mesh->getAttributeBool("CastShadows", false));
        }
        return true;
    }

    // Life cycle -------------------------------------------------------------

    bool MeshGameObject::loadFinish() { return CoreGameObject::loadFinish(); }

    bool MeshGameObject::initStart(CoreMetadata* metadata, bool flag)
    {
        if (!CoreGameObject::initStart(metadata, flag))
            return false;
        mMeshMetadata = dynamic_cast<MeshMetadata*>(metadata);
        if (mMeshMetadata)
        {
            mIsStatic = mMeshMetadata->getIsStatic();
            setCastShadows(mMeshMetadata->getCastShadows());
        }
        return true;
    }

    bool MeshGameObject::initFinish(const Ogre::Vector3& worldPosition)
    {
        return CoreGameObject::initFinish(worldPosition);
    }

    Ogre::SceneNode* MeshGameObject::meshNode()
    {
        if (mMeshSceneNode || !mSceneNode)
            return mMeshSceneNode;
        mMeshSceneNode = mSceneNode->createChildSceneNode(mName + getPartitionID() + "Mesh");
        Ogre::RenderableState::setStaticCulling(mMeshSceneNode, true);
        Ogre::RenderableState::setOccluder(mMeshSceneNode, true);
        return mMeshSceneNode;
    }

    void MeshGameObject::destroy(bool destroyChildren, bool keepInPartition)
    {
        releaseImpostorHandler();
        endFadeNow();
        mEntities.clear();
        Ogre::SceneManager* scene = mManager->getSceneManager();
        if (mExtras)
        {
            mExtras->logic.destroyEntities(mEntities, scene);
            mExtras->effects.remove();
            mExtras->effects.destroyStrikeNodes(scene);
            mExtras->logic.clearCollisionLists();
        }
        if (mMeshSceneNode)
        {
            if (mMeshSceneNode->getParentSceneNode())
                mMeshSceneNode->getParentSceneNode()->removeChild(mMeshSceneNode);
            scene->destroySceneNode(mMeshSceneNode);
            mMeshSceneNode = nullptr;
        }
        mCollisionShapeList.clear();
        mUpdateRegistered = false;
        mAnimRegistered = false;
        CoreGameObject::destroy(destroyChildren, keepInPartition);
    }

    void MeshGameObject::showEditingBox()
    {
        for (Ogre::Entity* entity : mEntities.getCurrent())
            if (entity->getParentSceneNode())
                entity->getParentSceneNode()->showBoundingBox(true);
    }

    void MeshGameObject::hideEditingBox()
    {
        for (Ogre::Entity* entity : mEntities.getCurrent())
            if (entity->getParentSceneNode())
                entity->getParentSceneNode()->showBoundingBox(false);
    }

    void MeshGameObject::registerUpdate()
    {
        if (mUpdateRegistered)
            return;
        mManager->addUpdateListener(this);
        mUpdateRegistered = true;
    }

    void MeshGameObject::unregisterUpdate()
    {
        if (!mUpdateRegistered)
            return;
        mManager->removeUpdateListener(this, false);
        mUpdateRegistered = false;
    }

    void MeshGameObject::registerAnim()
    {
        mManager->addUpdateListenerAnim(this);
        mAnimRegistered = true;
    }

    void MeshGameObject::unregisterAnim()
    {
        mManager->removeUpdateListenerAnim(this);
        mAnimRegistered = false;
    }

    // Level of detail --------------------------------------------------------

    bool MeshGameObject::IsChangeLod(LevelOfDetail from, LevelOfDetail to)
    {
        if (from == LOD_BEYOND_HINT || to == LOD_BEYOND_HINT)
            return true;
        if (!mMeshMetadata)
            return false;
        return mMeshMetadata->getMeshNames(from) != mMeshMetadata->getMeshNames(to);
    }

    bool MeshGameObject::WaitforResourceLoading(const std::vector<std::string>& names)
    {
        // Meshes that are all loaded leave nothing to remember.
        if (!mExtras && MeshLoadRequests::allLoaded(names))
            return false;
        return extras().requests.wait(names);
    }

    bool MeshGameObject::WaitforCollisionResourceLoading(const std::vector<std::string>&)
    {
        // The shapes asked for so far: the template's, and in the editor the
        // lists. One still loading on the loader thread keeps the object
        // waiting; an unloaded one is asked to load, a bad one is not waited for.
        bool waiting = false;
        auto wait = [&waiting](const CollisionShapePtr& shape) {
            if (!shape || shape->isBadResource())
                return;
            if (shape->GetLoadingState() == Ogre::Resource::LOADSTATE_UNLOADED)
                shape->load(true);
            waiting = waiting || shape->GetLoadingState() == Ogre::Resource::LOADSTATE_LOADING;
        };
        wait(mCollisionShape);
        for (int type = MCT_RENDER; type <= MCT_HEIGHT_FRAGMENT; ++type)
            for (const CollisionShapePtr& shape : logic().getShapes(type))
                wait(shape);
        return waiting;
    }

    void MeshGameObject::finishCollisionLoading()
    {
        auto finish = [](const CollisionShapePtr& shape) {
            if (shape && !shape->isBadResource())
                shape->escalatedload(false);
        };
        finish(mCollisionShape);
        for (int type = MCT_RENDER; type <= MCT_HEIGHT_FRAGMENT; ++type)
            for (const CollisionShapePtr& shape : logic().getShapes(type))
                finish(shape);
    }

    Ogre::SceneNode* MeshGameObject::CreateStrikeNode(const std::string& name,
                                                      const Ogre::Vector3& position,
                                                      const Ogre::Quaternion& orientation)
    {
        return extras().effects.createStrikeNode(meshNode(), name, position, orientation);
    }

    void MeshGameObject::createEntities(const std::vector<std::string>& names)
    {
        for (size_t i = 0; i < names.size(); ++i)
        {
            if (names[i].empty() || isBadMesh(names[i]))
                continue;
            Ogre::Entity* entity = mEntities.create(names[i], i, false, false, IsInstanced());
            mMeshMetadata->applyMaterials(i, entity, mLevelOfDetail == LOD_LOW);
            if (startFirstAnimation(entity))
                registerAnim();
            mEntities.addCurrent(entity);
        }
        mEntities.applyMaterials();
    }

    void MeshGameObject::changeLODLoadResources(bool immediate)
    {
        CoreGameObject::changeLODLoadResources(immediate);
        mAttachPending = false;
        // Borrowed entities are the area's to show or hide; the level only
        // counts once the object shows its own again.
        if (!mMeshMetadata || mEntities.isBorrowed())
        {
            setCurrentState(STATE_RESOURCES_READY);
            return;
        }
        if (mLevelOfDetail == LOD_BEYOND_HINT)
        {
            mEntities.retire();
            mCurrentNames.clear();
            if (mExtras)
                mExtras->effects.remove();
            unregisterUpdate();
            setCurrentState(STATE_RESOURCES_READY);
            return;
        }

        std::vector<std::string> names = mMeshMetadata->getMeshNames(mLevelOfDetail);
        const bool hasLogic = mMeshMetadata->getIsExistLogicObj();
        std::vector<std::string> withLogic;
        if (hasLogic)
        {
            withLogic = names;
            MeshLogicMeshes::appendNames(*mMeshMetadata, withLogic);
        }
        const std::vector<std::string>& wanted = hasLogic ? withLogic : names;
        const bool waiting = WaitforResourceLoading(wanted);
        if (!immediate && waiting)
        {
            setCurrentState(STATE_RESOURCES_LOADING);
            return;
        }
        if (immediate && waiting)
            extras().requests.finish(wanted);
        // The editor's collision shapes are asked for once the meshes are
        // here, and waited for like them.
        if (mManager->getEditing() && mSceneNode)
            if (CollisionGameSystem* collision = mManager->getCollisionGameSystem())
                if (extras().logic.fillCollisionLists(*mMeshMetadata, collision,
                                                      mSceneNode->getScale()))
                    setCollisionShapeList(logic().getShapes(MCT_RENDER));
        if (immediate)
            finishCollisionLoading();
        else if (WaitforCollisionResourceLoading(wanted))
        {
            setCurrentState(STATE_RESOURCES_LOADING);
            return;
        }

        if (names != mCurrentNames || mEntities.getCurrent().empty())
        {
            mEntities.retire();
            createEntities(names);
            mCurrentNames = std::move(names);
            mAttachPending = !mEntities.getCurrent().empty();
        }

        if (effects().empty() && !mMeshMetadata->getEffects().empty())
        {
            extras().effects.create(*mMeshMetadata, mName, meshNode());
            registerUpdate();
        }
        else if (!effects().empty() && mMeshMetadata->getEffects().empty())
            mExtras->effects.remove();

        if (hasLogic)
        {
            Extras& more = extras();
            more.logic.createEntities(*mMeshMetadata, mEntities, more.requests, meshNode(),
                                      IsInstanced());
        }
        setCurrentState(STATE_RESOURCES_READY);
    }

    void MeshGameObject::attachEntities()
    {
        const float scale = viewRangeScale(getSizeHint());
        const auto& current = mEntities.getCurrent();
        for (size_t i = 0; i < current.size(); ++i)
        {
            Ogre::Entity* entity = current[i];
            if (!entity->isAttached())
                mSceneNode->attachObject(entity);
            Ogre::RenderableState::SetViewRangeScale(entity, scale);
            for (size_t s = 0; s < entity->getNumSubEntities(); ++s)
                Ogre::RenderableState::SetFarDistLevel(entity->getSubEntity(s), 2);
        }
    }

    void MeshGameObject::changeLODFinalize(bool)
    {
        // A finalise that follows a load which changed nothing (the same
        // meshes again) leaves a running fade alone instead of restarting it.
        const bool changed = mAttachPending || !mEntities.getOutgoing().empty();
        if ((mAttachPending || mLevelOfDetail == LOD_BEYOND_HINT) && mSceneNode)
        {
            attachEntities();
            mAttachPending = false;
        }
        if (changed)
            shownChanged();
        if (!changed)
        {
            setCurrentState(mFade.isRunning() ? STATE_FADING : STATE_SETTLED);
            return;
        }
        const bool fade = mMeshMetadata && mMeshMetadata->getFade();
        const bool cross = mMeshMetadata && mMeshMetadata->getFadeBetweenLODs();
        const bool current = !mEntities.getCurrent().empty();
        const bool outgoing = !mEntities.getOutgoing().empty();
        int state = MeshFade::FADE_NONE;
        if (!outgoing && current)
        {
            if (fade)
                state = MeshFade::FADE_IN;
        }
        else if (outgoing && current)
        {
            if (cross)
                state = MeshFade::FADE_CROSS;
            else
                mEntities.destroyOutgoing();
        }
        else if (outgoing)
        {
            if (fade)
                state = MeshFade::FADE_OUT;
            else
            {
                mEntities.destroyOutgoing();
                unregisterAnim();
            }
        }
        if (state == MeshFade::FADE_NONE)
        {
            setCurrentState(STATE_SETTLED);
            return;
        }
        startFade(state);
    }

    void MeshGameObject::startFade(int state)
    {
        mFade.start(state, mEntities.getCurrent(), mEntities.getOutgoing());
        registerUpdate();
        setCurrentState(STATE_FADING);
    }

    void MeshGameObject::update(float elapsed)
    {
        CoreGameObject::update(elapsed);
        if (IsInstanced())
            return;
        if (mFade.step(elapsed, FADE_DURATION, mEntities.getCurrent(), mEntities.getOutgoing()))
            endFade();
    }

    void MeshGameObject::endFade()
    {
        if (mFade.fadesOutgoing())
        {
            mEntities.destroyOutgoing();
            shownChanged();
        }
        if (mFade.getState() == MeshFade::FADE_OUT)
            unregisterAnim();
        endFadeNow();
    }

    void MeshGameObject::endFadeNow()
    {
        if (!mFade.isRunning())
            return;
        mFade.end(mEntities.getCurrent());
        setCurrentState(STATE_SETTLED);
        // Effects keep their own registration while they exist.
        if (effects().empty())
            unregisterUpdate();
    }

    void MeshGameObject::updateAnim(float elapsed)
    {
        for (Ogre::Entity* entity : mEntities.getCurrent())
            if (Ogre::AnimationStateSet* states = entity->getAllAnimationStates())
            {
                auto it = states->getAnimationStateIterator();
                if (it.hasMoreElements())
                    it.getNext()->addTime(elapsed);
            }
    }

    // Collision --------------------------------------------------------------

    bool MeshGameObject::changeActiveCollisionType(int type)
    {
        if (!logic().hasShapes(type))
            return false;
        setCollisionShapeList(logic().getShapes(type));
        mExtras->logic.setActiveType(type);
        return true;
    }

    bool MeshGameObject::rayAgainst(int type, const Ogre::Ray& ray, CollisionInfo& info)
    {
        CollisionGameSystem* collision = mManager->getCollisionGameSystem();
        if (!collision || !mSceneNode)
            return false;
        Ogre::Matrix4 transform;
        transform.makeTransform(mSceneNode->_getDerivedPosition(), Ogre::Vector3::UNIT_SCALE,
                                mSceneNode->_getDerivedOrientation());
        if (!logic().rayTest(type, *collision, transform, ray, info))
            return false;
        info.object = this;
        return true;
    }

    bool MeshGameObject::collidewithheighplane(const Ogre::Ray& ray, CollisionInfo& info)
    {
        return rayAgainst(MCT_LOGIC_HIGH, ray, info);
    }

    bool MeshGameObject::collidewithundergroundheighplane(const Ogre::Ray& ray, CollisionInfo& info)
    {
        return rayAgainst(MCT_LOGIC_UNDERGROUND_HIGH, ray, info);
    }

    bool MeshGameObject::getIsExistLogicObj()
    {
        return mMeshMetadata && mMeshMetadata->getIsExistLogicObj();
    }

    // Shared entities --------------------------------------------------------

    void MeshGameObject::SetEntities(const std::vector<Ogre::Entity*>& entities)
    {
        endFadeNow();
        unregisterAnim();
        mEntities.borrow(entities, meshNode());
        mCurrentNames.clear();
        mAttachPending = false;
        shownChanged();
    }

    void MeshGameObject::ClearEntities()
    {
        mEntities.giveBack();
        shownChanged();
    }
}
