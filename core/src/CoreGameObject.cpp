#include "CoreGameObject.h"

#include "CompleteObjectDataInfo.h"
#include "CoreGameObjectManager.h"
#include "CoreMetadata.h"
#include "CorePartition.h"
#include "CorePartitionManager.h"
#include "DataElement.h"

#include <OgreException.h>
#include <OgreLogManager.h>
#include <OgreMatrix3.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>

namespace Wren
{
    namespace
    {
        const std::string gObjectType = "CoreGameObject";
        const std::string gPositionId = "CoreGameObject_Position";
        const std::string gOrientationId = "CoreGameObject_Orientation";
        const std::string gEmpty;

        void logMessage(const std::string& text)
        {
            Ogre::LogManager::getSingleton().logMessage(text);
        }

        Ogre::Matrix4 toMatrix4(const Ogre::Affine3& affine)
        {
            Ogre::Matrix4 m = Ogre::Matrix4::IDENTITY;
            for (size_t row = 0; row < 3; ++row)
                for (size_t col = 0; col < 4; ++col)
                    m[row][col] = affine[row][col];
            return m;
        }

        bool isLoaded(const CollisionShapePtr& shape)
        {
            return shape && shape->GetLoadingState() == Ogre::Resource::LOADSTATE_LOADED;
        }
    }

    CoreGameObject::CoreGameObject(CoreGameObjectManager* manager, const std::string& name)
        : mName(name), mManager(manager)
    {
    }

    CoreGameObject::~CoreGameObject()
    {
        // Children that a load started and loadFinish never took in belong
        // to nobody else.
        for (CoreGameObject* child : mPendingChildren)
            delete child;
    }

    const std::string& CoreGameObject::getObjectType() const { return gObjectType; }

    bool CoreGameObject::checkObjectType(const std::string& type) const
    {
        return getObjectType() == type;
    }

    const std::string& CoreGameObject::getName() const { return mName; }

    const std::string& CoreGameObject::getPartitionID() const
    {
        return mPartition ? mPartition->getID() : gEmpty;
    }

    const std::string& CoreGameObject::getDisplayName() const { return getName(); }

    const Ogre::Vector3& CoreGameObject::getWorldPosition() const
    {
        return mSceneNode ? mSceneNode->_getDerivedPosition() : mPosition;
    }

    const Ogre::Quaternion& CoreGameObject::getWorldOrientation() const
    {
        return mSceneNode ? mSceneNode->_getDerivedOrientation() : mOrientation;
    }

    bool CoreGameObject::clearVertexLight() { return false; }

    bool CoreGameObject::computerVertexLight(const Ogre::Light*, VertexColorLightModel)
    {
        return false;
    }

    bool CoreGameObject::changeToWireframe() { return false; }

    bool CoreGameObject::BrushVertexColor(const Ogre::Vector3&, const float&,
                                          const Ogre::ColourValue&, BrushVertexColorMethod)
    {
        return false;
    }

    void CoreGameObject::saveMesh() {}

    void CoreGameObject::enumerateProperties(std::vector<Property>& out)
    {
        GameObject::enumerateProperties(out);

        Property position;
        position.initVector(gPositionId, "Position", getWorldPosition());
        out.push_back(position);

        Ogre::Matrix3 rotation;
        getWorldOrientation().ToRotationMatrix(rotation);
        Ogre::Radian x, y, z;
        rotation.ToEulerAnglesXYZ(x, y, z);
        Property orientation;
        orientation.initVector(gOrientationId, "Orientation",
                               Ogre::Vector3(x.valueDegrees(), y.valueDegrees(), z.valueDegrees()));
        out.push_back(orientation);

        out.insert(out.end(), mDynamicProperties.begin(), mDynamicProperties.end());
    }

    void CoreGameObject::setProperty(const std::string& id, const PropertyData& value)
    {
        GameObject::setProperty(id, value);
        if (id == gPositionId)
        {
            setPosition(value.vectorVal, true, true);
        }
        else if (id == gOrientationId)
        {
            Ogre::Matrix3 rotation;
            rotation.FromEulerAnglesXYZ(Ogre::Degree(value.vectorVal.x),
                                        Ogre::Degree(value.vectorVal.y),
                                        Ogre::Degree(value.vectorVal.z));
            setOrientation(Ogre::Quaternion(rotation), true, true);
        }
        else if (Property* property = getDynamicProperty(id))
        {
            property->data = value;
            notifyStoredChange();
        }
    }

    void CoreGameObject::notifyStoredChange()
    {
        if (mPartition)
            mPartition->notifyObjectDirty();
    }

    void CoreGameObject::placeInWorld(const Ogre::Vector3& position,
                                      const Ogre::Quaternion& orientation,
                                      const Ogre::Vector3& scale)
    {
        if (!mSceneNode)
            return;
        if (Ogre::Node* parent = mSceneNode->getParent())
        {
            mSceneNode->setPosition(parent->convertWorldToLocalPosition(position));
            mSceneNode->setOrientation(parent->convertWorldToLocalOrientation(orientation));
            mSceneNode->setScale(scale / parent->_getDerivedScale());
        }
        else
        {
            mSceneNode->setPosition(position);
            mSceneNode->setOrientation(orientation);
            mSceneNode->setScale(scale);
        }
        mSceneNode->needUpdate();
        mSceneNode->_update(true, false);
        notifyStoredChange();
    }

    void CoreGameObject::startMoving() {}

    void CoreGameObject::finishMoving() {}

    void CoreGameObject::setPosition(const Ogre::Vector3& position, bool worldSpace,
                                     bool checkPartition)
    {
        if (!mSceneNode)
        {
            mPosition = position;
            return;
        }
        if (worldSpace)
            translate(position - mSceneNode->_getDerivedPosition(), false);
        else
            mSceneNode->setPosition(position);
        mSceneNode->needUpdate();
        mSceneNode->_update(true, false);
        notifyStoredChange();
        if (checkPartition)
            checkCurrentPartition();
    }

    void CoreGameObject::setOrientation(const Ogre::Quaternion& orientation, bool worldSpace,
                                        bool)
    {
        if (!mSceneNode)
        {
            mOrientation = orientation;
            return;
        }
        if (worldSpace)
        {
            const Ogre::Vector3 from =
                mSceneNode->_getDerivedOrientation() * Ogre::Vector3::UNIT_Z;
            const Ogre::Vector3 to = orientation * Ogre::Vector3::UNIT_Z;
            mSceneNode->rotate(from.getRotationTo(to, Ogre::Vector3::ZERO), Ogre::Node::TS_WORLD);
        }
        else
        {
            mSceneNode->setOrientation(orientation);
        }
        notifyStoredChange();
    }

    void CoreGameObject::translate(const Ogre::Vector3& delta, bool checkPartition)
    {
        if (!mSceneNode)
        {
            mPosition += delta;
            return;
        }
        mSceneNode->translate(delta, Ogre::Node::TS_WORLD);
        mSceneNode->needUpdate();
        notifyStoredChange();
        if (checkPartition)
            checkCurrentPartition();
    }

    const Ogre::Vector3& CoreGameObject::getPosition() const
    {
        return mSceneNode ? mSceneNode->getPosition() : mPosition;
    }

    const Ogre::Quaternion& CoreGameObject::getOrientation() const
    {
        return mSceneNode ? mSceneNode->getOrientation() : mOrientation;
    }

    const Ogre::Vector3& CoreGameObject::getScale() const
    {
        return mSceneNode ? mSceneNode->getScale() : mScale;
    }

    Ogre::Vector3 CoreGameObject::getWorldDirection() const
    {
        return getWorldOrientation() * Ogre::Vector3::NEGATIVE_UNIT_Z;
    }

    Ogre::AxisAlignedBox CoreGameObject::getWorldAABB() const { return Ogre::AxisAlignedBox(); }

    void CoreGameObject::rotate(const Ogre::Quaternion& rotation)
    {
        if (!mSceneNode)
            return;
        mSceneNode->rotate(rotation, Ogre::Node::TS_LOCAL);
        notifyStoredChange();
    }

    void CoreGameObject::rotate(const Ogre::Vector3& axis, const Ogre::Radian& angle)
    {
        if (!mSceneNode)
            return;
        mSceneNode->rotate(axis, angle, Ogre::Node::TS_LOCAL);
        notifyStoredChange();
    }

    void CoreGameObject::scale(const Ogre::Vector3& factor)
    {
        if (!mSceneNode)
            return;
        mSceneNode->scale(factor);
        notifyStoredChange();
    }

    bool CoreGameObject::isSelfOrAncestor(const CoreGameObject* candidate) const
    {
        for (const CoreGameObject* o = this; o; o = o->mParent)
            if (o == candidate)
                return true;
        return false;
    }

    void CoreGameObject::addChild(CoreGameObject* child)
    {
        if (!child || isSelfOrAncestor(child))
        {
            logMessage("CoreGameObject::addChild: " + (child ? child->getName() : "a null object") +
                       " can not become a child of " + mName);
            return;
        }
        if (child->mParent == this &&
            std::find(mChildren.begin(), mChildren.end(), child) != mChildren.end())
            return;
        if (child->mParent)
            child->mParent->removeChild(child);

        mChildren.push_back(child);
        child->setParent(this);
        notifyStoredChange();
        if (mSceneNode)
            child->addToParentSceneNode(mSceneNode);
        if (mPartition)
        {
            if (child->mPartition != mPartition)
            {
                if (child->mPartition)
                    child->mPartition->removeObject(child);
                child->setPartition(mPartition);
                mPartition->addObject(child);
            }
            child->moveDescendantsTo(mPartition);
        }
    }

    void CoreGameObject::removeChild(CoreGameObject* child)
    {
        if (!child)
            return;
        std::vector<CoreGameObject*>::iterator it =
            std::find(mChildren.begin(), mChildren.end(), child);
        if (it != mChildren.end())
        {
            mChildren.erase(it);
            notifyStoredChange();
        }
        // A child that is no longer listed has no parent either.
        if (child->mParent == this)
            child->mParent = nullptr;
        if (mSceneNode)
            child->removeFromParentSceneNode(mSceneNode);
    }

    void CoreGameObject::startSimulation() {}

    void CoreGameObject::endSimulation() {}

    bool CoreGameObject::isWithinSaveBound(const Ogre::Vector3& localPosition, float bound)
    {
        return localPosition.x >= -bound && localPosition.x <= bound &&
               localPosition.z >= -bound && localPosition.z <= bound;
    }

    bool CoreGameObject::isRefusedForPosition(bool log) const
    {
        return mSaveFlag && shouldSaveSelf() && !checkSaveRule(log);
    }

    bool CoreGameObject::checkSaveRule(bool log) const
    {
        if (!mSaveFlag || !shouldSaveSelf())
            return false;
        // A top-level object lies within its partition's extent; a child
        // within the fixed bound of its parent.
        const bool within = (mPartition && !mParent)
                                ? mPartition->holdsObjectAt(getPosition())
                                : isWithinSaveBound(getPosition(), CorePartition::DEFAULT_OBJECT_BOUND);
        if (!within)
        {
            if (log)
                Ogre::LogManager::getSingleton().logMessage(
                    "CoreGameObject::save() Wrong:" + getMetadataID() +
                        "'s position invalid, so the object won't be saved",
                    Ogre::LML_NORMAL);
            return false;
        }
        return true;
    }

    bool CoreGameObject::save(DataElementPtr& element)
    {
        if (!checkSaveRule(true))
            return false;
        if (!element || element->getIsEmpty())
        {
            logMessage("CoreGameObject::save: no element to write " + mName + " into");
            return false;
        }

        element->setAttributeString("Type", getObjectType());
        element->setAttributeString("Name", getName());

        DataElementPtr core = element->createChild("CoreData");
        const Ogre::Vector3& position = getPosition();
        const Ogre::Quaternion& orientation = getOrientation();
        const Ogre::Vector3& scale = getScale();
        core->setAttributeFloat("PosX", position.x);
        core->setAttributeFloat("PosY", position.y);
        core->setAttributeFloat("PosZ", position.z);
        core->setAttributeFloat("OrientX", orientation.x);
        core->setAttributeFloat("OrientY", orientation.y);
        core->setAttributeFloat("OrientZ", orientation.z);
        core->setAttributeFloat("OrientW", orientation.w);
        core->setAttributeFloat("ScaleX", scale.x);
        core->setAttributeFloat("ScaleY", scale.y);
        core->setAttributeFloat("ScaleZ", scale.z);
        core->setAttributeString("MetaID", getMetadataID());
        DataElementPtr properties = core->createChild("DynamicProperties");
        for (Property& property : mDynamicProperties)
        {
            DataElementPtr e = properties->createChild("Property");
            property.save(e);
        }
        core->setAttributeString("PartitionID", getPartitionID());

        DataElementPtr children = element->createChild("Children");
        for (CoreGameObject* child : mChildren)
        {
            // A child that will refuse is not given an element, so no empty
            // "Object" is left behind; its own save logs why.
            if (!shouldSaveChild(child))
                continue;
            if (!child->checkSaveRule(false))
            {
                child->checkSaveRule(true);
                continue;
            }
            DataElementPtr e = children->createChild("Object");
            child->save(e);
        }
        return true;
    }

    bool CoreGameObject::textsFitBinaryRecord() const
    {
        return CompleteObjectDataInfo::fits(getObjectType(), CompleteObjectDataInfo::TypeSize) &&
               CompleteObjectDataInfo::fits(getName(), CompleteObjectDataInfo::NameSize) &&
               CompleteObjectDataInfo::fits(getMetadataID(), CompleteObjectDataInfo::MetaIdSize) &&
               CompleteObjectDataInfo::fits(getPartitionID(),
                                            CompleteObjectDataInfo::PartitionIdSize);
    }

    void CoreGameObject::listRefusedDescendants(std::vector<std::string>& names) const
    {
        for (const CoreGameObject* child : mChildren)
        {
            if (!shouldSaveChild(child))
                continue;
            if (child->isRefusedForPosition(false))
                names.push_back(child->getName());
            else
                child->listRefusedDescendants(names);
        }
    }

    bool CoreGameObject::saveBinary(CompleteObjectDataInfo& record)
    {
        if (!checkSaveRule(true))
            return false;
        if (!textsFitBinaryRecord())
        {
            logMessage("CoreGameObject::saveBinary: the type, name, metadata ID or partition ID of " +
                       mName + " is too long for the binary record; the object is not written");
            return false;
        }
        record.setType(getObjectType());
        record.setName(getName());
        record.setPosition(getPosition());
        record.setOrientation(getOrientation());
        record.setScale(getScale());
        record.setMetaId(getMetadataID());
        record.setPartitionId(getPartitionID());
        return true;
    }

    bool CoreGameObject::fitsBinaryRecord() const
    {
        // Children the object never writes (a placeholder, a compound's
        // content) are nothing the record loses.
        const bool storesChildren =
            std::any_of(mChildren.begin(), mChildren.end(),
                        [this](const CoreGameObject* child) { return shouldSaveChild(child); });
        return !storesChildren && mDynamicProperties.empty() && textsFitBinaryRecord();
    }

    bool CoreGameObject::loadBinaryStart(CompleteObjectDataInfo& record,
                                         std::vector<CoreGameObject*>&, bool)
    {
        mMetadataID = record.getMetaId();
        mMetadata = nullptr;
        if (mMetadataID.empty())
            logMessage("CoreGameObject::loadBinaryStart: " + mName + " names no metadata");
        else if (!(mMetadata = mManager->getMetadata(mMetadataID)))
            logMessage("CoreGameObject::loadBinaryStart: no metadata can be made from " +
                       mMetadataID + " for " + mName);
        mPosition = record.getPosition();
        mOrientation = record.getOrientation();
        mScale = record.getScale();
        copyMetadataFlags();
        mPartitionID = record.getPartitionId();
        return true;
    }

    bool CoreGameObject::loadStart(DataElementPtr& element, std::vector<CoreGameObject*>& created,
                                   bool rename)
    {
        if (!element || element->getIsEmpty())
        {
            logMessage("CoreGameObject::loadStart: no element to read " + mName + " from");
            return false;
        }
        DataElementPtr core = element->getFirstChild("CoreData");
        DataElementPtr children = element->getFirstChild("Children");

        if (!children->getIsEmpty())
        {
            for (DataElementPtr e = children->getFirstChild("Object"); !e->getIsEmpty();
                 e = e->getNextSibling("Object"))
            {
                const std::string type = e->getAttributeString("Type", "");
                std::string name = e->getAttributeString("Name", "");
                if (rename)
                    name = mManager->getUniqueName(name, true) + "_" +
                           CoreGameObjectManager::getTimeStamp();
                CoreGameObject* child = mManager->createCoreGameObjectFromFactory(type, name);
                if (!child)
                {
                    logMessage("CoreGameObject::loadStart: child " + name + " of " + mName +
                               " has the type '" + type + "' that no factory makes; skipped");
                    continue;
                }
                // What the child started before failing goes with it.
                const size_t before = created.size();
                bool started = false;
                try
                {
                    started = child->loadStart(e, created, rename);
                }
                catch (...)
                {
                    created.resize(before);
                    delete child;
                    throw;
                }
                if (!started)
                {
                    created.resize(before);
                    delete child;
                    return false;
                }
                mPendingChildren.push_back(child);
                created.push_back(child);
            }
        }

        if (core->getIsEmpty())
        {
            logMessage("CoreGameObject::loadStart: " + mName + " has no \"CoreData\"");
            return true;
        }

        mMetadataID = core->getAttributeString("MetaID", "");
        mMetadata = nullptr;
        if (mMetadataID.empty())
            logMessage("CoreGameObject::loadStart: " + mName + " names no metadata");
        else if (!(mMetadata = mManager->getMetadata(mMetadataID)))
            logMessage("CoreGameObject::loadStart: no metadata can be made from " + mMetadataID +
                       " for " + mName);

        mPosition = Ogre::Vector3(core->getAttributeFloat("PosX", 0.0f),
                                  core->getAttributeFloat("PosY", 0.0f),
                                  core->getAttributeFloat("PosZ", 0.0f));
        mOrientation = Ogre::Quaternion(
            core->getAttributeFloat("OrientW", 0.0f), core->getAttributeFloat("OrientX", 0.0f),
            core->getAttributeFloat("OrientY", 0.0f), core->getAttributeFloat("OrientZ", 0.0f));
        mScale = Ogre::Vector3(core->getAttributeFloat("ScaleX", 0.0f),
                               core->getAttributeFloat("ScaleY", 0.0f),
                               core->getAttributeFloat("ScaleZ", 0.0f));

        DataElementPtr properties = core->getFirstChild("DynamicProperties");
        if (!properties->getIsEmpty())
        {
            for (DataElementPtr e = properties->getFirstChild("Property"); !e->getIsEmpty();
                 e = e->getNextSibling("Property"))
            {
                Property property;
                property.load(e);
                mDynamicProperties.push_back(property);
            }
        }

        copyMetadataFlags();
        mPartitionID = core->getAttributeString("PartitionID", "");
        return true;
    }

    bool CoreGameObject::loadFinish()
    {
        // A partition that is not loaded (or loading) has no node to hang
        // the object under: its objects would stand at partition-relative
        // coordinates under the scene's root.
        bool found = true;
        CorePartitionManager* partitions = mManager->getPartitionManager();
        CorePartition* partition = partitions ? partitions->getPartition(mPartitionID) : nullptr;
        Ogre::SceneNode* partitionNode = partition ? partition->getSceneNode() : nullptr;
        // Made right where addObject hangs a shown object, so that it does
        // not move there node by node.
        createSceneNode(partitionNode && !IsInstanced()
                            ? partitionNode
                            : mManager->getSceneManager()->getRootSceneNode());
        mSceneNode->setPosition(mPosition);
        mSceneNode->setOrientation(mOrientation);
        mSceneNode->setScale(mScale);

        if (partitionNode)
        {
            mPartition = partition;
            mPartitionID.clear();
            partition->addObject(this);
        }
        else
        {
            logMessage("CoreGameObject::loadFinish: the partition '" + mPartitionID + "' of " +
                       mName + (partition ? " is not loaded" : " does not exist"));
            mPartitionID.clear();
            found = false;
        }

        std::vector<CoreGameObject*> pending;
        pending.swap(mPendingChildren);
        for (CoreGameObject* child : pending)
        {
            try
            {
                child->loadFinish();
                addChild(child);
            }
            catch (const Ogre::Exception& e)
            {
                // The child goes; its siblings still load.
                logMessage("CoreGameObject::loadFinish: child " + child->getName() + " of " +
                           mName + " left out: " + e.getDescription());
                removeChild(child);
                child->destroy(true, false);
                delete child;
            }
        }
        return found;
    }

    bool CoreGameObject::initStart(CoreMetadata* metadata, bool)
    {
        if (!metadata)
        {
            logMessage("CoreGameObject::initStart: " + mName + " was given no metadata");
            return false;
        }
        mMetadata = metadata;
        mMetadataID = metadata->getID();
        const std::vector<Property>& defaults = metadata->getDynamicProperties();
        mDynamicProperties.insert(mDynamicProperties.end(), defaults.begin(), defaults.end());
        copyMetadataFlags();
        return true;
    }

    bool CoreGameObject::initFinish(const Ogre::Vector3& worldPosition)
    {
        initSceneNode();
        setPosition(worldPosition, true, true);
        return true;
    }

    void CoreGameObject::destroy(bool destroyChildren, bool keepInPartition)
    {
        if (destroyChildren)
        {
            std::vector<CoreGameObject*> children;
            children.swap(mChildren);
            for (CoreGameObject* child : children)
            {
                child->destroy(true, false);
                delete child;
            }
        }
        if (mSceneNode)
        {
            if (Ogre::Node* parent = mSceneNode->getParent())
                parent->removeChild(mSceneNode);
            if (!destroyChildren)
                mSceneNode->removeAllChildren();
            mManager->getSceneManager()->destroySceneNode(mSceneNode);
            mSceneNode = nullptr;
        }
        if (mPartition && !keepInPartition)
            mPartition->handleObjectDestroyed(this);
        // Also when the partition is kept or absent: a queued change must not
        // outlive the object.
        if (CorePartitionManager* partitions = mManager->getPartitionManager())
            partitions->removeObjectFromChangeLODQueue(this);
        mQueuedForLODChange = false;
        mManager->removeUpdateListener(this, true);
        mManager->removeUpdateListenerAnim(this);
        mManager->handleObjectDestroyed(this);
    }

    void CoreGameObject::select()
    {
        if (mSceneNode)
            mSceneNode->showBoundingBox(true);
    }

    void CoreGameObject::unselect()
    {
        if (mSceneNode)
            mSceneNode->showBoundingBox(false);
    }

    void CoreGameObject::showEditingBox() {}

    void CoreGameObject::hideEditingBox() {}

    void CoreGameObject::update(float)
    {
        if (mLodChangePending && mCurrentState == STATE_SETTLED)
        {
            setLevelOfDetail(mPendingLevelOfDetail, false);
            mLodChangePending = false;
            mManager->removeUpdateListener(this, false);
        }
    }

    void CoreGameObject::updateAnim(float) {}

    bool CoreGameObject::collidewithheighplane(const Ogre::Ray&, CollisionInfo&) { return true; }

    bool CoreGameObject::collidewithundergroundheighplane(const Ogre::Ray&, CollisionInfo&)
    {
        return true;
    }

    bool CoreGameObject::getIsExistLogicObj() { return false; }

    CoreGameObject* CoreGameObject::getSelection()
    {
        std::vector<const CoreGameObject*> seen(1, this);
        CoreGameObject* current = this;
        while (CoreGameObject* next = current->mAlternativeSelection)
        {
            if (std::find(seen.begin(), seen.end(), next) != seen.end())
                return next;
            seen.push_back(next);
            current = next;
        }
        return current;
    }

    void CoreGameObject::attachObject(Ogre::MovableObject* movable)
    {
        if (mSceneNode && movable)
            mSceneNode->attachObject(movable);
    }

    void CoreGameObject::detachObject(Ogre::MovableObject* movable)
    {
        if (mSceneNode && movable)
            mSceneNode->detachObject(movable);
    }

    void CoreGameObject::MetaFileChange(const std::string& metaID)
    {
        if (mMetadata && metaID == mMetadata->getID())
            refresh();
    }

    void CoreGameObject::refresh() {}

    CoreGameObject::LevelOfDetail CoreGameObject::checkLevelOfDetail()
    {
        if (!IsInstanced() && mPartition)
        {
            const LevelOfDetail level = mPartition->checkLevelOfDetail(this);
            if (level != mLevelOfDetail)
            {
                setLevelOfDetail(level, false);
                return level;
            }
        }
        return mLevelOfDetail;
    }

    void CoreGameObject::setLevelOfDetail(LevelOfDetail level, bool immediate)
    {
        if (level == mLevelOfDetail)
            return;
        if (!IsChangeLod(level, mLevelOfDetail))
        {
            mLevelOfDetail = level;
            return;
        }
        if (mCurrentState != STATE_NOTHING_LOADED && mCurrentState != STATE_SETTLED)
        {
            mPendingLevelOfDetail = level;
            if (!mLodChangePending)
                mManager->addUpdateListener(this);
            mLodChangePending = true;
            return;
        }
        if (mQueuedForLODChange)
            return;
        mLevelOfDetail = level;

        CorePartitionManager* partitions = mManager->getPartitionManager();
        if (immediate || (!mPartition && !partitions))
        {
            changeLODLoadResources(true);
            changeLODFinalize(true);
            return;
        }
        mQueuedForLODChange = true;
        if (mPartition)
            mPartition->addObjectToChangeLODQueue(this);
        else
            partitions->addObjectToChangeLODQueue(this);
    }

    void CoreGameObject::changeLODLoadResources(bool)
    {
        if (!mCollisionShape && mMetadata && mMetadata->getCollidable() &&
            !mMetadata->getCollisionShapeName().empty())
        {
            if (CollisionGameSystem* collision = mManager->getCollisionGameSystem())
                mCollisionShape = collision->createCollisionShape(
                    mMetadata->getCollisionShapeName(),
                    mSceneNode ? mSceneNode->getScale() : mScale);
        }
        mQueuedForLODChange = false;
        // A plain object has nothing more to load; types with resources set
        // their own state after this.
        setCurrentState(STATE_RESOURCES_READY);
    }

    void CoreGameObject::changeLODFinalize(bool) { setCurrentState(STATE_SETTLED); }

    void CoreGameObject::addToParentSceneNode(Ogre::SceneNode* node)
    {
        if (!mSceneNode || !node || mSceneNode->getParent() == node)
            return;
        if (Ogre::Node* parent = mSceneNode->getParent())
            parent->removeChild(mSceneNode);
        node->addChild(mSceneNode);
        mSceneNode->needUpdate();
    }

    void CoreGameObject::removeFromParentSceneNode(Ogre::SceneNode* node)
    {
        if (!mSceneNode || !node || mSceneNode->getParent() != node)
            return;
        node->removeChild(mSceneNode);
        mSceneNode->needUpdate();
    }

    void CoreGameObject::setBindMeshVisible(bool) {}

    Ogre::Vector3 CoreGameObject::GetGeometryCenterInWorldSpace() const
    {
        return Ogre::Vector3::ZERO;
    }

    void CoreGameObject::GetMaterials(std::list<Ogre::MaterialPtr>&) const {}

    void CoreGameObject::SetMaterials(const std::list<Ogre::MaterialPtr>&) {}

    void CoreGameObject::setVisible(bool) {}

    bool CoreGameObject::collide(const CollisionShapePtr& shape, const Ogre::Matrix4& transform,
                                 std::vector<CollisionInfo>& infos) const
    {
        if (!isLoaded(shape))
            return false;
        return collide(std::vector<CollisionShapePtr>(1, shape), transform, infos);
    }

    bool CoreGameObject::collide(const std::vector<CollisionShapePtr>& shapes,
                                 const Ogre::Matrix4& transform,
                                 std::vector<CollisionInfo>& infos) const
    {
        if (mManager->getSimulating() && !mCollidable)
            return false;
        CollisionGameSystem* collision = mManager->getCollisionGameSystem();
        if (!collision || !mSceneNode)
            return false;
        const Ogre::Matrix4 own = toMatrix4(mSceneNode->_getFullTransform());
        bool hit = false;
        for (const CollisionShapePtr& mine : getCollisionShapeList())
        {
            if (!isLoaded(mine))
                continue;
            for (const CollisionShapePtr& theirs : shapes)
                if (isLoaded(theirs) && collision->collideShapes(mine, own, theirs, transform, infos))
                    hit = true;
        }
        return hit;
    }

    bool CoreGameObject::collide(const CoreGameObject& other,
                                 std::vector<CollisionInfo>& infos) const
    {
        if (mManager->getSimulating() && (!mCollidable || !other.mCollidable))
            return false;
        if (!other.mSceneNode)
            return false;
        return collide(other.getCollisionShapeList(), toMatrix4(other.mSceneNode->_getFullTransform()),
                       infos);
    }

    bool CoreGameObject::collide(const Ogre::Ray& ray, CollisionInfo& info) const
    {
        if (mManager->getSimulating() && !mCollidable)
            return false;
        CollisionGameSystem* collision = mManager->getCollisionGameSystem();
        if (!collision || !mSceneNode)
            return false;
        Ogre::Matrix4 transform;
        transform.makeTransform(mSceneNode->_getDerivedPosition(), Ogre::Vector3::UNIT_SCALE,
                                mSceneNode->_getDerivedOrientation());
        bool hit = false;
        for (const CollisionShapePtr& mine : getCollisionShapeList())
        {
            if (isLoaded(mine) && collision->collideRay(mine, transform, ray, info))
            {
                info.object = const_cast<CoreGameObject*>(this);
                hit = true;
            }
        }
        return hit;
    }

    void CoreGameObject::initSceneNode()
    {
        createSceneNode(mManager->getSceneManager()->getRootSceneNode());
    }

    void CoreGameObject::createSceneNode(Ogre::SceneNode* parent)
    {
        if (mSceneNode)
            return;
        mSceneNode = parent->createChildSceneNode(getName() + mPartitionID, Ogre::Vector3::ZERO,
                                                  Ogre::Quaternion::IDENTITY);
    }

    const std::string& CoreGameObject::getMetadataID() const
    {
        return mMetadata ? mMetadata->getID() : mMetadataID;
    }

    bool CoreGameObject::IsInstanced() const
    {
        return mInstanced && mManager->IsEnabledInstanced();
    }

    Property* CoreGameObject::getDynamicProperty(const std::string& id)
    {
        for (Property& property : mDynamicProperties)
            if (property.id == id)
                return &property;
        return nullptr;
    }

    void CoreGameObject::SetDeltaHeight(float h)
    {
        if (mDeltaHeightSet)
            return;
        mDeltaHeight = h;
        mDeltaHeightSet = true;
    }

    void CoreGameObject::DeltaHeightEnable(bool) { mDeltaHeightSet = false; }

    int CoreGameObject::getSizeHint() const
    {
        return mMetadata ? mMetadata->getSizeHint() : SIZE_MEDIUM;
    }

    float CoreGameObject::getCustomHintDistanceSquared() const
    {
        return mMetadata ? mMetadata->getCustomHintDistanceSquared() : 1.0f;
    }

    float CoreGameObject::getCustomLodSwitchDiatanceSquared() const
    {
        return mMetadata ? mMetadata->getCustomLodSwitchDistanceSquared() : 1.0f;
    }

    const std::vector<CollisionShapePtr>& CoreGameObject::getCollisionShapeList() const
    {
        return mCollisionShapeList;
    }

    bool CoreGameObject::shouldSaveChild(const CoreGameObject*) const { return true; }

    bool CoreGameObject::shouldSaveSelf() const { return true; }

    bool CoreGameObject::IsChangeLod(LevelOfDetail from, LevelOfDetail to)
    {
        return from == LOD_BEYOND_HINT || to == LOD_BEYOND_HINT;
    }

    void CoreGameObject::checkCurrentPartition()
    {
        if (mParent || !mSceneNode)
            return;
        CorePartitionManager* partitions = mManager->getPartitionManager();
        if (!partitions)
            return;
        const Ogre::Vector3 world = mSceneNode->_getDerivedPosition();
        CorePartition* target = partitions->getPartition(world, true);
        if (target != mPartition)
        {
            if (!target || !target->getLoaded())
                return;
            CoreGameObject* holder = target->getObjectByName(mName);
            if (holder && holder != this)
            {
                logMessage("CoreGameObject: " + mName + " stays in its partition: partition " +
                           target->getID() + " already holds an object of that name");
                return;
            }
            if (Ogre::SceneNode* parent = mSceneNode->getParentSceneNode())
                removeFromParentSceneNode(parent);
            if (mPartition)
                mPartition->removeObject(this);
            mPartition = target;
            target->addObject(this);
            // Keep the world position whatever node the object now hangs under.
            Ogre::Node* parent = mSceneNode->getParent();
            mSceneNode->setPosition(parent ? parent->convertWorldToLocalPosition(world) : world);
            mSceneNode->needUpdate();
        }
        if (mPartition)
            moveDescendantsTo(mPartition);
    }

    void CoreGameObject::moveDescendantsTo(CorePartition* partition)
    {
        for (CoreGameObject* child : mChildren)
        {
            if (child->mPartition != partition)
            {
                CoreGameObject* holder = partition->getObjectByName(child->mName);
                if (holder && holder != child)
                {
                    logMessage("CoreGameObject: child " + child->mName +
                               " stays in its partition: partition " + partition->getID() +
                               " already holds an object of that name");
                    continue;
                }
                if (child->mPartition)
                    child->mPartition->removeObject(child);
                child->setPartition(partition);
                partition->addObject(child);
            }
            child->moveDescendantsTo(partition);
        }
    }

    void CoreGameObject::copyMetadataFlags()
    {
        if (!mMetadata)
            return;
        mCollidable = mMetadata->getCollidable();
        mSeeThrough = mMetadata->getSeeThrough();
        mHideInMiniMap = mMetadata->getHideInMiniMap();
        mInstanced = mMetadata->getInstanced();
    }
}
