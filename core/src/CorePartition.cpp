#include "CorePartition.h"

#include "CoreGameObject.h"
#include "CoreGameObjectManager.h"
#include "CorePartitionManager.h"
#include "SelectorDataFile.h"
#include "WorldsFolder.h"

#include <OgreCamera.h>
#include <OgreException.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>

namespace Wren
{
    namespace
    {
        const std::string gPartitionType = "CorePartition";
        const std::string gShowBoundsId = "CorePartition_ShowBounds";
    }

    const float CorePartition::DEFAULT_OBJECT_BOUND = 64.0f;


    void CorePartition::enumerateProperties(std::vector<Property>& out)
    {
        Partition::enumerateProperties(out);
        Property showBounds;
        showBounds.initBool(gShowBoundsId, "Show bounds", mShowBounds);
        out.push_back(showBounds);
    }

    void CorePartition::setProperty(const std::string& id, const PropertyData& value)
    {
        Partition::setProperty(id, value);
        if (id == gShowBoundsId)
            setShowBounds(value.boolVal);
    }

    const std::string& CorePartition::getPartitionType() const { return gPartitionType; }

    void CorePartition::setShowBounds(bool) {}

    void CorePartition::destroy() { unload(true); }

    void CorePartition::addObject(CoreGameObject* obj, bool skipChecks)
    {
        if (!obj)
            return;
        if (obj->IsInstanced() && !skipChecks)
        {
            Ogre::Matrix4 transform = Ogre::Matrix4::IDENTITY;
            if (mSceneNode)
            {
                const Ogre::Affine3& world = mSceneNode->_getFullTransform();
                for (size_t row = 0; row < 3; ++row)
                    for (size_t col = 0; col < 4; ++col)
                        transform[row][col] = world[row][col];
            }
            mObjects.push_back(obj);
            mObjectNames.insert(obj->getName());
            notifyObjectDirty();
            mManager->addStaticObject(obj, transform);
            return;
        }
        if (!skipChecks && mObjectNames.count(obj->getName()) > 0)
            OGRE_EXCEPT(Ogre::Exception::ERR_DUPLICATE_ITEM,
                        "core object with the same name " + obj->getName(),
                        "CorePartition::addObject");
        mObjects.push_back(obj);
        mObjectNames.insert(obj->getName());
        notifyObjectDirty();
        if (!obj->getParent() && mSceneNode)
            obj->addToParentSceneNode(mSceneNode);
        obj->checkLevelOfDetail();
    }

    void CorePartition::addObject(CoreGameObject* obj) { addObject(obj, false); }

    void CorePartition::removeObject(CoreGameObject* obj)
    {
        std::vector<CoreGameObject*>::iterator it = std::find(mObjects.begin(), mObjects.end(), obj);
        if (it != mObjects.end())
        {
            auto named = mObjectNames.find(obj->getName());
            if (named != mObjectNames.end())
                mObjectNames.erase(named);
            mObjects.erase(it);
            notifyObjectDirty();
            return;
        }
        if (obj && !obj->getParent() && mSceneNode && obj->getSceneNode() &&
            obj->getSceneNode()->getParent() == mSceneNode)
            obj->removeFromParentSceneNode(mSceneNode);
    }

    void CorePartition::update(float elapsed)
    {
        mProximity = calculateProximity(elapsed);
        // An object's check may hand it to another partition: walk a copy.
        const std::vector<CoreGameObject*> objects = mObjects;
        for (CoreGameObject* obj : objects)
            obj->checkLevelOfDetail();
    }

    bool CorePartition::shouldSave(const CoreGameObject* obj) const
    {
        return const_cast<CoreGameObject*>(obj)->GetSaveFlag() && !obj->getParent();
    }

    void CorePartition::createSceneNode()
    {
        if (mSceneNode)
            return;
        Ogre::SceneManager* scene = mManager->getGameObjectManager()->getSceneManager();
        mSceneNode = scene->getRootSceneNode()->createChildSceneNode(mID, mWorldPosition,
                                                                     Ogre::Quaternion::IDENTITY);
    }

    void CorePartition::startSimulation()
    {
        for (CoreGameObject* obj : mObjects)
            obj->startSimulation();
    }

    void CorePartition::endSimulation()
    {
        for (CoreGameObject* obj : mObjects)
            obj->endSimulation();
    }

    void CorePartition::enumerateObjectsByType(std::vector<CoreGameObject*>& out,
                                               const std::string& type)
    {
        for (CoreGameObject* obj : mObjects)
            if (obj->checkObjectType(type))
                out.push_back(obj);
    }

    void CorePartition::enumetateObjectsByLogicInfo(std::vector<CoreGameObject*>& out)
    {
        for (CoreGameObject* obj : mObjects)
            if (obj->getIsExistLogicObj())
                out.push_back(obj);
    }

    CoreGameObject* CorePartition::getObjectByName(const std::string& name)
    {
        for (CoreGameObject* obj : mObjects)
            if (obj->getName() == name)
                return obj;
        return nullptr;
    }

    CorePartition::Proximity CorePartition::calculateProximity(float) const
    {
        return PROXIMITY_NEAR;
    }

    LevelOfDetail CorePartition::checkLevelOfDetail(CoreGameObject* obj)
    {
        const LevelOfDetail current = obj->getLevelOfDetail();
        Ogre::Camera* camera = mManager->getGameObjectManager()->getPlayerCamera();
        if (!camera)
            return current;
        float d2 = 0.0f;
        if (Ogre::SceneNode* node = obj->getSceneNode())
            d2 = camera->getDerivedPosition().squaredDistance(node->_getDerivedPosition());
        return getLODDistanceInfo().levelOfDetailFor(
            obj->getSizeHint(), d2, mManager->GetFogLevel(), obj->getCustomLodSwitchDiatanceSquared(),
            obj->getCustomHintDistanceSquared(), current);
    }

    CorePartition::PositionResult CorePartition::isPositionInPartition(const Ogre::Vector3&)
    {
        return POSITION_INSIDE;
    }

    void CorePartition::activate() {}

    void CorePartition::deactivate() {}

    void CorePartition::enumerateConnectedPartitions(std::vector<CorePartition*>&) {}

    void CorePartition::enumerateHeldPartitions(const Ogre::Vector3&,
                                                std::vector<CorePartition*>& out)
    {
        enumerateConnectedPartitions(out);
    }

    void CorePartition::addObjectToChangeLODQueue(CoreGameObject* obj)
    {
        mManager->addObjectToChangeLODQueue(obj);
    }

    void CorePartition::removeObjectFromChangeLODQueue(CoreGameObject* obj)
    {
        mManager->removeObjectFromChangeLODQueue(obj);
    }

    void CorePartition::handleObjectDestroyed(CoreGameObject* obj)
    {
        removeObjectFromChangeLODQueue(obj);
        removeObject(obj);
    }

    const LODDistanceInfo& CorePartition::getLODDistanceInfo() const
    {
        return mManager->getLODDistanceInfo();
    }

    void CorePartition::createBoundsVisualization() {}

    void CorePartition::destroyBoundsVisualization() {}

    std::string CorePartition::getObjectsFileName(const std::string& worldName) const
    {
        return worldName + "_Partition" + mID + ".objects";
    }

    std::string CorePartition::getObjectsFilePath(const std::string& worldName) const
    {
        return getObjectsFilePath(worldName, mUseBinaryFiles);
    }

    std::string CorePartition::getObjectsFilePath(const std::string& worldName, bool binary) const
    {
        const std::string worlds = WorldsFolder::find();
        if (worlds.empty())
            return std::string();
        return worlds + "/" + worldName + "/Partitions/" +
               (binary ? getObjectsBinaryFileName(worldName) : getObjectsFileName(worldName));
    }

    std::string CorePartition::getObjectsBinaryFileName(const std::string& worldName) const
    {
        return worldName + "_Partition" + mID + ".objbinary";
    }

    float CorePartition::getObjectBound() const { return DEFAULT_OBJECT_BOUND; }

    void CorePartition::enumerateObjects(std::vector<CoreGameObject*>& out)
    {
        for (CoreGameObject* obj : mObjects)
            if (obj->getSelection() == obj)
                out.push_back(obj);
    }

    void CorePartition::enumerateNearbyObjects(const Ogre::AxisAlignedBox&,
                                               std::vector<CoreGameObject*>& out)
    {
        out.insert(out.end(), mObjects.begin(), mObjects.end());
    }

    void CorePartition::threadLoadResource(const std::string& worldName)
    {
        if (mUseBinaryFiles)
            mResourceLoading.loadBinary(getObjectsBinaryFileName(worldName));
        else
            mResourceLoading.load(getObjectsFileName(worldName));
    }

    bool CorePartition::isResourceLoaded()
    {
        return mUseBinaryFiles ? mResourceLoading.isBinaryLoaded() : mResourceLoading.isLoaded();
    }

    void CorePartition::checkBounds()
    {
        const bool show =
            mManager->getOverrideShowBounds() ? mManager->getShowAllBounds() : mShowBounds;
        if (show)
            createBoundsVisualization();
        else
            destroyBoundsVisualization();
    }

    Ogre::AxisAlignedBox CorePartition::GetAABB() const
    {
        return mSceneNode ? mSceneNode->_getWorldAABB() : Ogre::AxisAlignedBox();
    }

    bool CorePartition::IsEnableConsultPos() const
    {
        return mManager->getGameObjectManager()->IsEnableConsultPos();
    }

    const Ogre::Vector3& CorePartition::GetConsultPos() const
    {
        return mManager->getGameObjectManager()->GetConsultPos();
    }
}
