#include "MeshGameObject.h"

#include "CompleteObjectDataInfo.h"
#include "CoreGameObjectManager.h"
#include "DataElement.h"
#include "FxEffectManager.h"
#include "MaterialDefinition.h"
#include "OgreRenderableState.h"
#include "OgreUserDefinedObject.h"

#include <OgreAnimationState.h>
#include <OgreEntity.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgrePass.h>
#include <OgreTechnique.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>
#include <OgreSubEntity.h>

#include <algorithm>

namespace Wren
{
    float MeshGameObject::FADE_DURATION = 2.0f;

    namespace
    {
        const char* const kMeshGroup = "General";

        void logMessage(const std::string& text)
        {
            Ogre::LogManager::getSingleton().logMessage("MeshGameObject: " + text);
        }
    }

    MeshGameObject::MeshGameObject(CoreGameObjectManager* manager, const std::string& name)
        : CoreGameObject(manager, name)
    {
    }

    MeshGameObject::~MeshGameObject() {}

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

    Ogre::ColourValue MeshGameObject::directionalLightColour(const Ogre::Vector3& normal,
                                                             const Ogre::Vector3& direction,
                                                             const Ogre::ColourValue& diffuse)
    {
        const float d = normal.dotProduct(direction);
        if (d <= 0)
            return Ogre::ColourValue::Black;
        Ogre::ColourValue c = diffuse * d;
        c.a = 1;
        return c;
    }

    Ogre::ColourValue MeshGameObject::pointLightColour(const Ogre::Vector3& normal,
                                                       const Ogre::Vector3& vertex,
                                                       const Ogre::Vector3& lightPosition,
                                                       const Ogre::ColourValue& diffuse,
                                                       float range, float constant, float linear,
                                                       float quadratic)
    {
        Ogre::Vector3 toLight = lightPosition - vertex;
        const float distance = toLight.length();
        toLight.normalise();
        const float t = -normal.dotProduct(toLight);
        if (t <= 0)
            return Ogre::ColourValue::Black;
        float a = 0;
        if (range - distance > 0.001f && range > 0)
        {
            const float r = std::min(1.0f, distance / range);
            a = std::max(0.0f, 1.0f - (constant + linear * r + quadratic * r * r));
        }
        Ogre::ColourValue c = diffuse * (a * t);
        c.a = 1;
        return c;
    }

    Ogre::ColourValue MeshGameObject::addClamped(const Ogre::ColourValue& c,
                                                 const Ogre::ColourValue& light)
    {
        return Ogre::ColourValue(std::min(1.0f, c.r + light.r), std::min(1.0f, c.g + light.g),
                                 std::min(1.0f, c.b + light.b), c.a);
    }

    Ogre::ColourValue MeshGameObject::brushColour(const Ogre::ColourValue& vertex,
                                                  const Ogre::ColourValue& brush, int method)
    {
        switch (method)
        {
        case BVCM_ADD: return addClamped(vertex, brush);
        case BVCM_MULTIPLY: return vertex * brush;
        default: return brush;
        }
    }

    // Vertex-colour editing needs meshes with a colour element; the framework's
    // sample meshes carry none, so the editor operations answer false.
    bool MeshGameObject::clearVertexLight()
    {
        logMessage("vertex colours can not be edited on " + mName);
        return false;
    }

    bool MeshGameObject::computerVertexLight(const Ogre::Light*, VertexColorLightModel model)
    {
        if (model != VCLM_POINT && model != VCLM_DIRECTIONAL)
            return false;
        logMessage("vertex colours can not be edited on " + mName);
        return false;
    }

    bool MeshGameObject::BrushVertexColor(const Ogre::Vector3&, const float&,
                                          const Ogre::ColourValue&, BrushVertexColorMethod)
    {
        logMessage("vertex colours can not be edited on " + mName);
        return false;
    }

    bool MeshGameObject::changeToWireframe()
    {
        mWireframe = !mWireframe;
        for (Ogre::Entity* entity : mEntities)
            for (size_t i = 0; i < entity->getNumSubEntities(); ++i)
            {
                Ogre::MaterialPtr m = entity->getSubEntity(i)->getMaterial();
                if (!m)
                    continue;
                for (unsigned short t = 0; t < m->getNumTechniques(); ++t)
                    for (unsigned short p = 0; p < m->getTechnique(t)->getNumPasses(); ++p)
                        m->getTechnique(t)->getPass(p)->setPolygonMode(
                            mWireframe ? Ogre::PM_WIREFRAME : Ogre::PM_SOLID);
            }
        return !mEntities.empty();
    }

    void MeshGameObject::saveMesh()
    {
        logMessage("meshes of " + mName + " are not written back");
    }

    Ogre::AxisAlignedBox MeshGameObject::getWorldAABB() const
    {
        Ogre::AxisAlignedBox box;
        for (Ogre::Entity* entity : mEntities)
            box.merge(entity->getWorldBoundingBox(true));
        return box;
    }

    void MeshGameObject::enumerateProperties(std::vector<Property>& out)
    {
        CoreGameObject::enumerateProperties(out);
        Property isStatic;
        isStatic.initBool("MeshGameObject_IsStatic", "Is static", mIsStatic);
        out.push_back(isStatic);
        Property cast;
        cast.initBool("MeshGameObject_CastShadows", "Cast shadows", mCastShadows);
        out.push_back(cast);
    }

    void MeshGameObject::setProperty(const std::string& id, const PropertyData& value)
    {
        if (id == "MeshGameObject_IsStatic")
            mIsStatic = value.boolVal;
        else if (id == "MeshGameObject_CastShadows")
            setCastShadows(value.boolVal);
        else
            CoreGameObject::setProperty(id, value);
    }

    void MeshGameObject::setCastShadows(bool cast)
    {
        mCastShadows = cast;
        for (Ogre::Entity* entity : mEntities)
            entity->setCastShadows(cast);
    }

    bool MeshGameObject::save(DataElementPtr& element)
    {
        if (!CoreGameObject::save(element))
            return false;
        DataElementPtr mesh = element->createChild("MeshData");
        mesh->setAttributeBool("IsStatic", mIsStatic);
        mesh->setAttributeBool("CastShadows", mCastShadows);
        return true;
    }

    bool MeshGameObject::saveBinary(CompleteObjectDataInfo& record)
    {
        if (!CoreGameObject::saveBinary(record))
            return false;
        record.isStatic = mIsStatic ? 1 : 0;
        record.castShadows = mCastShadows ? 1 : 0;
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
        mCastShadows = record.castShadows != 0;
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
            mCastShadows = mesh->getAttributeBool("CastShadows", false);
        }
        return true;
    }

    bool MeshGameObject::loadFinish()
    {
        const std::string partitionID = mPartitionID;
        const bool result = CoreGameObject::loadFinish();
        createMeshSceneNode();
        (void)partitionID;
        return result;
    }

    bool MeshGameObject::initStart(CoreMetadata* metadata, bool flag)
    {
        if (!CoreGameObject::initStart(metadata, flag))
            return false;
        mMeshMetadata = dynamic_cast<MeshMetadata*>(metadata);
        if (mMeshMetadata)
        {
            mIsStatic = mMeshMetadata->getIsStatic();
            mCastShadows = mMeshMetadata->getCastShadows();
        }
        return true;
    }

    bool MeshGameObject::initFinish(const Ogre::Vector3& worldPosition)
    {
        const bool result = CoreGameObject::initFinish(worldPosition);
        createMeshSceneNode();
        return result;
    }

    void MeshGameObject::createMeshSceneNode()
    {
        if (mMeshSceneNode || !mSceneNode)
            return;
        mMeshSceneNode = mSceneNode->createChildSceneNode(mName + getPartitionID() + "Mesh");
        Ogre::RenderableState::setStaticCulling(mMeshSceneNode, true);
        Ogre::RenderableState::setOccluder(mMeshSceneNode, true);
    }

    void MeshGameObject::destroyEntity(Ogre::Entity* entity)
    {
        if (!entity)
            return;
        Ogre::RenderableState::releaseEntity(entity);
        Ogre::UserDefinedObject::unbind(entity);
        Ogre::SceneManager* scene = mManager->getSceneManager();
        Ogre::SceneNode* node = entity->getParentSceneNode();
        if (node)
        {
            node->detachObject(entity);
            if (node != mMeshSceneNode && node->numAttachedObjects() == 0 &&
                node->numChildren() == 0)
            {
                if (node->getParentSceneNode())
                    node->getParentSceneNode()->removeChild(node);
                scene->destroySceneNode(node);
            }
        }
        scene->destroyEntity(entity);
    }

    void MeshGameObject::destroyEntities(std::vector<Ogre::Entity*>& entities)
    {
        for (Ogre::Entity* entity : entities)
            destroyEntity(entity);
        entities.clear();
    }

    void MeshGameObject::destroy(bool destroyChildren, bool keepInPartition)
    {
        if (mShared)
            ClearEntities();
        destroyEntities(mEntities);
        destroyEntities(mOutgoingEntities);
        for (auto& list : mLogicEntities)
            destroyEntities(list);
        removeEffects();
        Ogre::SceneManager* scene = mManager->getSceneManager();
        for (auto& strike : mStrikeNodes)
        {
            if (strike.second->getParentSceneNode())
                strike.second->getParentSceneNode()->removeChild(strike.second);
            scene->destroySceneNode(strike.second);
        }
        mStrikeNodes.clear();
        if (mMeshSceneNode)
        {
            if (mMeshSceneNode->getParentSceneNode())
                mMeshSceneNode->getParentSceneNode()->removeChild(mMeshSceneNode);
            scene->destroySceneNode(mMeshSceneNode);
            mMeshSceneNode = nullptr;
        }
        for (auto& list : mCollisionShapes)
            list.clear();
        mActiveCollisionType = MCT_NONE;
        mCollisionShapeList.clear();
        mUpdateRegistered = false;
        mAnimRegistered = false;
        CoreGameObject::destroy(destroyChildren, keepInPartition);
    }

    void MeshGameObject::select()
    {
        if (mMeshSceneNode)
            mMeshSceneNode->showBoundingBox(true);
    }

    void MeshGameObject::unselect()
    {
        if (mMeshSceneNode)
            mMeshSceneNode->showBoundingBox(false);
    }

    void MeshGameObject::showEditingBox()
    {
        for (Ogre::Entity* entity : mEntities)
            if (entity->getParentSceneNode())
                entity->getParentSceneNode()->showBoundingBox(true);
    }

    void MeshGameObject::hideEditingBox()
    {
        for (Ogre::Entity* entity : mEntities)
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

    bool MeshGameObject::IsChangeLod(LevelOfDetail from, LevelOfDetail to)
    {
        if (from == LOD_BEYOND_HINT || to == LOD_BEYOND_HINT)
            return true;
        if (!mMeshMetadata)
            return false;
        return mMeshMetadata->getMeshNames(from) != mMeshMetadata->getMeshNames(to);
    }

    bool MeshGameObject::isMeshBad(const std::string& name) const
    {
        return std::find(mBadMeshes.begin(), mBadMeshes.end(), name) != mBadMeshes.end();
    }

    bool MeshGameObject::WaitforResourceLoading(const std::vector<std::string>& names)
    {
        bool waiting = false;
        Ogre::BackgroundLoader* loader = Ogre::BackgroundLoader::getSingletonPtr();
        for (const std::string& name : names)
        {
            if (name.empty() || isMeshBad(name))
                continue;
            Ogre::ResourcePtr mesh;
            try
            {
                mesh = Ogre::MeshManager::getSingleton()
                           .createOrRetrieve(name, kMeshGroup)
                           .first;
            }
            catch (const Ogre::Exception& e)
            {
                logMessage("mesh " + name + " can not be made: " + e.getDescription());
                mBadMeshes.push_back(name);
                continue;
            }
            if (mesh->isLoaded())
                continue;
            auto request = mRequests.find(name);
            if (request == mRequests.end() && loader && !mesh->isPrepared())
            {
                mRequests[name] = loader->prepare(mesh);
                waiting = true;
                continue;
            }
            if (request != mRequests.end() && request->second && !request->second->isFinished())
            {
                waiting = true;
                continue;
            }
            try
            {
                mesh->load();
            }
            catch (const Ogre::Exception& e)
            {
                logMessage("mesh " + name + " can not be loaded: " + e.getDescription());
                mBadMeshes.push_back(name);
            }
            mRequests.erase(name);
        }
        return waiting;
    }

    bool MeshGameObject::WaitforCollisionResourceLoading(const std::vector<std::string>&)
    {
        return false;
    }

    Ogre::Entity* MeshGameObject::createEntity(const std::string& meshName, size_t index,
                                               bool visible)
    {
        Ogre::SceneManager* scene = mManager->getSceneManager();
        const std::string entityName = mName + "_" + Ogre::StringConverter::toString(index) + "_" +
                                       Ogre::StringConverter::toString(++mEntityCounter);
        Ogre::Entity* entity = nullptr;
        try
        {
            entity = scene->createEntity(entityName, meshName, kMeshGroup);
        }
        catch (const Ogre::Exception&)
        {
            entity = nullptr;
        }
        if (!entity)
            OGRE_EXCEPT(Ogre::Exception::ERR_INTERNAL_ERROR, "Error: create entity failed",
                        "MeshGameObject: changeLODLoadResources");
        Ogre::UserDefinedObject::bind(entity, this);
        entity->setCastShadows(mCastShadows);
        entity->setVisible(visible);
        Ogre::RenderableState::setRenderableType(entity, IsInstanced() ? 1 : 2);
        return entity;
    }

    void MeshGameObject::changeLODLoadResources(bool immediate)
    {
        CoreGameObject::changeLODLoadResources(immediate);
        mAttachPending = false;
        if (!mMeshMetadata)
        {
            setCurrentState(STATE_RESOURCES_READY);
            return;
        }
        if (mLevelOfDetail == LOD_BEYOND_HINT)
        {
            for (Ogre::Entity* entity : mEntities)
                mOutgoingEntities.push_back(entity);
            mEntities.clear();
            mCurrentNames.clear();
            removeEffects();
            unregisterUpdate();
            setCurrentState(STATE_RESOURCES_READY);
            return;
        }

        const std::vector<std::string> names = mMeshMetadata->getMeshNames(mLevelOfDetail);
        std::vector<std::string> wanted = names;
        for (int k = 0; k < MeshMetadata::LOGIC_KIND_COUNT; ++k)
        {
            wanted.push_back(mMeshMetadata->getLogicMesh(MeshMetadata::LogicKind(k)));
            for (const auto& sub : mMeshMetadata->getSubMeshes())
                wanted.push_back(sub.logic[k]);
        }
        const bool waiting = WaitforResourceLoading(wanted);
        if (!immediate && (waiting || WaitforCollisionResourceLoading(wanted)))
        {
            setCurrentState(STATE_RESOURCES_LOADING);
            return;
        }
        if (immediate && waiting)
        {
            if (Ogre::BackgroundLoader* loader = Ogre::BackgroundLoader::getSingletonPtr())
                loader->waitForAll();
            WaitforResourceLoading(wanted);
        }

        if (names != mCurrentNames || mEntities.empty())
        {
            for (Ogre::Entity* entity : mEntities)
                mOutgoingEntities.push_back(entity);
            mEntities.clear();
            const auto& subs = mMeshMetadata->getSubMeshes();
            for (size_t i = 0; i < names.size(); ++i)
            {
                if (names[i].empty() || isMeshBad(names[i]))
                    continue;
                Ogre::Entity* entity = createEntity(names[i], i, mVisible);
                for (const auto& material : subs[i].materials)
                {
                    if (material.subIndex < 0 ||
                        size_t(material.subIndex) >= entity->getNumSubEntities())
                        continue;
                    Ogre::MaterialPtr m =
                        material.managed
                            ? MaterialDefinition::getManagedMaterial(material.materialName,
                                                                     mLevelOfDetail == LOD_LOW)
                            : Ogre::MaterialManager::getSingleton().getByName(material.materialName);
                    if (m)
                        entity->getSubEntity(material.subIndex)->setMaterial(m);
                }
                if (Ogre::AnimationStateSet* states = entity->getAllAnimationStates())
                {
                    auto it = states->getAnimationStateIterator();
                    if (it.hasMoreElements())
                    {
                        Ogre::AnimationState* state = it.getNext();
                        state->setEnabled(true);
                        state->setLoop(true);
                        registerAnim();
                    }
                }
                mEntities.push_back(entity);
            }
            mCurrentNames = names;
            mAttachPending = !mEntities.empty();
        }

        if (mEffects.empty() && !mMeshMetadata->getEffects().empty())
            createEffects();
        else if (!mEffects.empty() && mMeshMetadata->getEffects().empty())
            removeEffects();

        createLogicEntities();
        if (mManager->getEditing())
            fillCollisionLists();
        setCurrentState(STATE_RESOURCES_READY);
    }

    void MeshGameObject::createEffects()
    {
        for (const auto& record : mMeshMetadata->getEffects())
        {
            FxEffect* effect = FxEffectManager::getSingleton().createEffect(
                record.effectName, 8, false, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY,
                nullptr);
            if (record.boneName.empty())
                effect->SetParent(mMeshSceneNode);
            else if (!record.boundToBone)
            {
                const MeshMetadata::StrikeItem* item =
                    mMeshMetadata->findStrikeItem(record.boneName);
                Ogre::SceneNode* strike = CreateStrikeNode(
                    mName + "_" + record.boneName,
                    item ? item->offsetPosition : Ogre::Vector3::ZERO,
                    item ? item->offsetOrientation : Ogre::Quaternion::IDENTITY);
                effect->SetParent(strike);
            }
            effect->SetWorldPos(record.offsetPosition);
            effect->SetWorldOrientation(record.offsetOrientation);
            mEffects.push_back(effect);
        }
        registerUpdate();
    }

    void MeshGameObject::removeEffects()
    {
        for (FxEffect* effect : mEffects)
            FxEffectManager::getSingleton().removeEffect(effect);
        mEffects.clear();
    }

    Ogre::SceneNode* MeshGameObject::CreateStrikeNode(const std::string& name,
                                                      const Ogre::Vector3& position,
                                                      const Ogre::Quaternion& orientation)
    {
        auto it = mStrikeNodes.find(name);
        if (it != mStrikeNodes.end())
            return it->second;
        if (!mMeshSceneNode)
            return nullptr;
        Ogre::SceneNode* node = mMeshSceneNode->createChildSceneNode(name, position, orientation);
        mStrikeNodes[name] = node;
        return node;
    }

    Ogre::SceneNode* MeshGameObject::getStrikeNode(const std::string& name) const
    {
        auto it = mStrikeNodes.find(name);
        return it == mStrikeNodes.end() ? nullptr : it->second;
    }

    void MeshGameObject::createLogicEntities()
    {
        if (!mMeshSceneNode)
            return;
        for (int k = 0; k < MeshMetadata::LOGIC_KIND_COUNT; ++k)
        {
            if (!mLogicEntities[k].empty())
                continue;
            std::vector<std::string> names;
            names.push_back(mMeshMetadata->getLogicMesh(MeshMetadata::LogicKind(k)));
            for (const auto& sub : mMeshMetadata->getSubMeshes())
                names.push_back(sub.logic[k]);
            for (size_t i = 0; i < names.size(); ++i)
            {
                if (names[i].empty() || isMeshBad(names[i]))
                    continue;
                Ogre::Entity* entity = createEntity(names[i], 100 * (k + 1) + i, false);
                Ogre::SceneNode* node = mMeshSceneNode->createChildSceneNode();
                Ogre::RenderableState::setStaticCulling(node, true);
                Ogre::RenderableState::setOccluder(node, true);
                node->attachObject(entity);
                mLogicEntities[k].push_back(entity);
            }
        }
    }

    void MeshGameObject::fillCollisionLists()
    {
        CollisionGameSystem* collision = mManager->getCollisionGameSystem();
        if (!collision || !mSceneNode)
            return;
        const Ogre::Vector3 scale = mSceneNode->getScale();
        for (int type = MCT_RENDER; type <= MCT_HEIGHT_FRAGMENT; ++type)
        {
            std::vector<CollisionShapePtr>& list = mCollisionShapes[type - 1];
            if (!list.empty())
                continue;
            std::vector<std::string> names;
            if (type == MCT_RENDER)
                names = mMeshMetadata->getMeshNames(LOD_HIGH);
            else
            {
                const int k = type - MCT_LOGIC_HIGH;
                names.push_back(mMeshMetadata->getLogicMesh(MeshMetadata::LogicKind(k)));
                for (const auto& sub : mMeshMetadata->getSubMeshes())
                    names.push_back(sub.logic[k]);
            }
            for (const std::string& name : names)
            {
                if (name.empty())
                    continue;
                CollisionShapePtr shape = collision->createCollisionShape(name, scale);
                if (shape)
                    list.push_back(shape);
            }
            if (type == MCT_RENDER && !list.empty())
            {
                setCollisionShapeList(list);
                mActiveCollisionType = MCT_RENDER;
            }
        }
    }

    bool MeshGameObject::isHaveCollisionShape(int type) const
    {
        return type >= MCT_RENDER && type <= MCT_HEIGHT_FRAGMENT &&
               !mCollisionShapes[type - 1].empty();
    }

    bool MeshGameObject::changeActiveCollisionType(int type)
    {
        if (!isHaveCollisionShape(type))
            return false;
        setCollisionShapeList(mCollisionShapes[type - 1]);
        mActiveCollisionType = type;
        return true;
    }

    const std::vector<CollisionShapePtr>& MeshGameObject::getCollisionShapes(int type) const
    {
        static const std::vector<CollisionShapePtr> none;
        if (type < MCT_RENDER || type > MCT_HEIGHT_FRAGMENT)
            return none;
        return mCollisionShapes[type - 1];
    }

    void MeshGameObject::changeLODFinalize(bool)
    {
        // A finalise that follows a load which changed nothing (the same
        // meshes again) leaves a running fade alone instead of restarting it.
        const bool changed = mAttachPending || !mOutgoingEntities.empty();
        if ((mAttachPending || mLevelOfDetail == LOD_BEYOND_HINT) && mMeshSceneNode)
        {
            const float scale = viewRangeScale(getSizeHint());
            for (size_t i = 0; i < mEntities.size(); ++i)
            {
                Ogre::Entity* entity = mEntities[i];
                if (!entity->isAttached())
                {
                    Ogre::SceneNode* node = mMeshSceneNode->createChildSceneNode(
                        mName + entity->getName() + "_ENTITY_" + Ogre::StringConverter::toString(i));
                    node->attachObject(entity);
                }
                Ogre::RenderableState::SetViewRangeScale(entity, scale);
                for (size_t s = 0; s < entity->getNumSubEntities(); ++s)
                    Ogre::RenderableState::SetFarDistLevel(entity->getSubEntity(s), 2);
            }
            mAttachPending = false;
        }
        if (!changed)
        {
            if (mFadeState == FADE_NONE)
                setCurrentState(STATE_SETTLED);
            else
                setCurrentState(STATE_FADING);
            return;
        }
        const bool fade = mMeshMetadata && mMeshMetadata->getFade();
        const bool cross = mMeshMetadata && mMeshMetadata->getFadeBetweenLODs();
        int state = FADE_NONE;
        if (mOutgoingEntities.empty() && !mEntities.empty())
        {
            if (fade)
                state = FADE_IN;
        }
        else if (!mOutgoingEntities.empty() && !mEntities.empty())
        {
            if (cross)
                state = FADE_CROSS;
            else
                destroyEntities(mOutgoingEntities);
        }
        else if (!mOutgoingEntities.empty())
        {
            if (fade)
                state = FADE_OUT;
            else
            {
                destroyEntities(mOutgoingEntities);
                unregisterAnim();
            }
        }
        if (state == FADE_NONE)
        {
            setCurrentState(STATE_SETTLED);
            return;
        }
        startFade(state);
    }

    void MeshGameObject::startFade(int state)
    {
        // A fade that replaces a running one starts from the beginning.
        mFadeState = state;
        mFadeTimer = 0.0f;
        registerUpdate();
        setCurrentState(STATE_FADING);
        if (state == FADE_IN || state == FADE_CROSS)
            applyOpacity(mEntities, 0.0f);
        if (state == FADE_OUT || state == FADE_CROSS)
            applyOpacity(mOutgoingEntities, 1.0f);
    }

    void MeshGameObject::applyOpacity(const std::vector<Ogre::Entity*>& entities, float opacity)
    {
        for (Ogre::Entity* entity : entities)
            for (size_t s = 0; s < entity->getNumSubEntities(); ++s)
            {
                Ogre::SubEntity* sub = entity->getSubEntity(s);
                if (Ogre::RenderableState::hasSpecificState(sub) ||
                    !Ogre::RenderableState::hasAlphaRejection(sub))
                    Ogre::RenderableState::CreateSpecificState(sub, opacity);
            }
    }

    void MeshGameObject::clearStates(const std::vector<Ogre::Entity*>& entities)
    {
        for (Ogre::Entity* entity : entities)
            Ogre::RenderableState::releaseEntity(entity);
    }

    void MeshGameObject::update(float elapsed)
    {
        CoreGameObject::update(elapsed);
        if (IsInstanced() || mFadeState == FADE_NONE)
            return;
        mFadeTimer += elapsed;
        const float t = mFadeTimer / FADE_DURATION;
        if (t < 1.0f)
        {
            if (mFadeState == FADE_IN || mFadeState == FADE_CROSS)
                applyOpacity(mEntities, incomingOpacity(t));
            if (mFadeState == FADE_OUT || mFadeState == FADE_CROSS)
                applyOpacity(mOutgoingEntities, outgoingOpacity(t));
            return;
        }
        endFade();
    }

    void MeshGameObject::endFade()
    {
        if (mFadeState == FADE_OUT || mFadeState == FADE_CROSS)
            destroyEntities(mOutgoingEntities);
        if (mFadeState == FADE_OUT)
            unregisterAnim();
        if (mFadeState == FADE_IN || mFadeState == FADE_CROSS)
            clearStates(mEntities);
        mFadeState = FADE_NONE;
        setCurrentState(STATE_SETTLED);
        // Effects keep their own registration while they exist.
        if (mEffects.empty())
            unregisterUpdate();
    }

    void MeshGameObject::updateAnim(float elapsed)
    {
        for (Ogre::Entity* entity : mEntities)
            if (Ogre::AnimationStateSet* states = entity->getAllAnimationStates())
            {
                auto it = states->getAnimationStateIterator();
                if (it.hasMoreElements())
                    it.getNext()->addTime(elapsed);
            }
    }

    bool MeshGameObject::rayAgainst(int type, const Ogre::Ray& ray, CollisionInfo& info)
    {
        CollisionGameSystem* collision = mManager->getCollisionGameSystem();
        if (!collision || !mSceneNode)
            return false;
        Ogre::Matrix4 transform;
        transform.makeTransform(mSceneNode->_getDerivedPosition(), Ogre::Vector3::UNIT_SCALE,
                                mSceneNode->_getDerivedOrientation());
        for (const CollisionShapePtr& shape : mCollisionShapes[type - 1])
        {
            if (!shape || shape->GetLoadingState() != Ogre::Resource::LOADSTATE_LOADED)
                continue;
            if (collision->collideRay(shape, transform, ray, info))
            {
                info.object = this;
                return true;
            }
        }
        return false;
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

    Ogre::Vector3 MeshGameObject::GetLocalMeshCenter() const
    {
        Ogre::Vector3 sum = Ogre::Vector3::ZERO;
        size_t count = 0;
        for (Ogre::Entity* entity : mEntities)
        {
            const Ogre::AxisAlignedBox& box = entity->getMesh()->getBounds();
            if (box.isFinite())
            {
                sum += box.getCenter();
                ++count;
            }
        }
        return count ? sum / Ogre::Real(count) : Ogre::Vector3::ZERO;
    }

    Ogre::Vector3 MeshGameObject::GetGeometryCenterInWorldSpace() const
    {
        const Ogre::Vector3 local = GetLocalMeshCenter();
        return mSceneNode ? mSceneNode->_getFullTransform() * local : local;
    }

    void MeshGameObject::GetMaterials(std::list<Ogre::MaterialPtr>& materials) const
    {
        materials.clear();
        for (Ogre::Entity* entity : mEntities)
            for (size_t s = 0; s < entity->getNumSubEntities(); ++s)
                materials.push_back(entity->getSubEntity(s)->getMaterial());
    }

    void MeshGameObject::SetMaterials(const std::list<Ogre::MaterialPtr>& materials)
    {
        auto it = materials.begin();
        for (Ogre::Entity* entity : mEntities)
            for (size_t s = 0; s < entity->getNumSubEntities() && it != materials.end(); ++s, ++it)
                if (*it)
                    entity->getSubEntity(s)->setMaterial(*it);
    }

    void MeshGameObject::setVisible(bool visible)
    {
        mVisible = visible;
        for (Ogre::Entity* entity : mEntities)
            entity->setVisible(visible);
    }

    void MeshGameObject::setVisibilityFlags(Ogre::uint32 flags)
    {
        for (Ogre::Entity* entity : mEntities)
            entity->setVisibilityFlags(flags);
    }

    Ogre::uint32 MeshGameObject::getVisibilityFlags() const
    {
        return mEntities.empty() ? 0 : mEntities.front()->getVisibilityFlags();
    }

    void MeshGameObject::SetEntities(const std::vector<Ogre::Entity*>& entities)
    {
        mEntities = entities;
        mShared = true;
        for (Ogre::Entity* entity : mEntities)
        {
            Ogre::UserDefinedObject::bind(entity, this);
            entity->setCastShadows(false);
            entity->setVisible(true);
            if (!entity->isAttached() && mMeshSceneNode)
                mMeshSceneNode->attachObject(entity);
        }
    }

    void MeshGameObject::ClearEntities()
    {
        bool detached = false;
        for (Ogre::Entity* entity : mEntities)
        {
            Ogre::UserDefinedObject::unbind(entity);
            entity->setCastShadows(false);
            entity->setVisible(false);
            if (entity->getParentSceneNode())
            {
                entity->getParentSceneNode()->detachObject(entity);
                detached = true;
            }
        }
        if (detached || mShared)
        {
            mEntities.clear();
            mOutgoingEntities.clear();
        }
        mShared = false;
    }
}
