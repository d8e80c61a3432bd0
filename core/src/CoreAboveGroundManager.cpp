#include "CoreAboveGroundManager.h"

#include "CoreAboveGroundArea.h"
#include "CoreGameObject.h"
#include "CoreGameObjectManager.h"
#include "CorePartitionManager.h"

#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>

namespace Wren
{
    namespace
    {
        const std::string gShowAllBoundsListedId = "CoreAboveManager_ShowAllBounds";
        const std::string gShowAllBoundsId = "CoreAboveGroundManager_ShowAllBounds";

        bool eraseFrom(CoreAboveGroundManager::AreaList& list, CoreAboveGroundArea* area)
        {
            auto it = std::find(list.begin(), list.end(), area);
            if (it == list.end())
                return false;
            list.erase(it);
            return true;
        }
    }

    CoreAboveGroundManager::CoreAboveGroundManager(GameObjectManager* owner,
                                                   PartitionManager* partitionManager)
        : mPartitionManager(partitionManager), mGameObjectManager(owner)
    {
    }

    CoreAboveGroundManager::~CoreAboveGroundManager() {}

    void CoreAboveGroundManager::enumerateProperties(std::vector<Property>& out)
    {
        AboveGroundManager::enumerateProperties(out);
        Property showAll;
        showAll.initBool(gShowAllBoundsListedId, "Show Bounds", mShowAllBounds);
        out.push_back(showAll);
    }

    void CoreAboveGroundManager::setProperty(const std::string& id, const PropertyData& value)
    {
        AboveGroundManager::setProperty(id, value);
        if (id == gShowAllBoundsId || id == gShowAllBoundsListedId)
            mShowAllBounds = value.boolVal;
    }

    void CoreAboveGroundManager::destroy()
    {
        if (mSceneNode)
        {
            if (Ogre::Node* parent = mSceneNode->getParent())
                parent->removeChild(mSceneNode);
            if (CoreGameObjectManager* objects = getGameObjectManager())
                if (Ogre::SceneManager* scene = objects->getSceneManager())
                    scene->destroySceneNode(mSceneNode);
            mSceneNode = nullptr;
        }
        AreaList areas;
        areas.swap(mAreas);
        mPendingAreas.clear();
        mBuildingAreas.clear();
        mBuiltAreas.clear();
        mHolders.clear();
        mRestartPending = false;
        for (CoreAboveGroundArea* area : areas)
        {
            area->destroy();
            delete area;
        }
    }

    bool CoreAboveGroundManager::initStart(const std::string&, DataElementPtr&) { return true; }

    bool CoreAboveGroundManager::initFinish()
    {
        mInitialised = true;
        return true;
    }

    void CoreAboveGroundManager::update(float elapsed)
    {
        if (mBuildingAreas.empty() && mRestartPending)
            mRestartPending = startPendingArea();
        if (mBuildingAreas.empty())
            return;
        CoreAboveGroundArea* area = mBuildingAreas.front();
        if (area->update(elapsed))
        {
            area->SetAreaState(AreaBuilt);
            mBuiltAreas.push_back(area);
            mBuildingAreas.pop_front();
        }
    }

    void CoreAboveGroundManager::enumerateAreas(std::vector<CoreAboveGroundArea*>& out)
    {
        out.assign(mPendingAreas.begin(), mPendingAreas.end());
    }

    CoreAboveGroundArea* CoreAboveGroundManager::getArea(const Ogre::Vector3&, bool)
    {
        return nullptr;
    }

    CoreAboveGroundArea* CoreAboveGroundManager::getArea(const std::string&) { return nullptr; }

    CorePartitionManager* CoreAboveGroundManager::getPartitionManager() const
    {
        return dynamic_cast<CorePartitionManager*>(mPartitionManager);
    }

    void CoreAboveGroundManager::enumerateObjects(std::vector<AboveGroundStaticGeometryInfo*>&) {}

    CoreGameObject* CoreAboveGroundManager::getObjectByName(const std::string&) { return nullptr; }

    CoreAboveGroundArea* CoreAboveGroundManager::createArea(const std::string&) { return nullptr; }

    bool CoreAboveGroundManager::destroyArea(CoreAboveGroundArea*) { return true; }

    void CoreAboveGroundManager::handleObjectDestroyed(AboveGroundStaticGeometryInfo*) {}

    void CoreAboveGroundManager::handleObjectDestroyed(CoreGameObject* obj) { letGo(obj); }

    void CoreAboveGroundManager::letGo(CoreGameObject* obj)
    {
        auto held = mHolders.find(obj);
        if (held == mHolders.end())
            return;
        CoreAboveGroundArea* area = held->second;
        mHolders.erase(held);
        area->removeObject(obj);
    }

    CoreGameObjectManager* CoreAboveGroundManager::getGameObjectManager() const
    {
        return dynamic_cast<CoreGameObjectManager*>(mGameObjectManager);
    }

    CoreAboveGroundArea* CoreAboveGroundManager::__FindAreaByPos(Ogre::Vector3&) { return nullptr; }

    void CoreAboveGroundManager::load()
    {
        if (!mSceneNode)
        {
            CoreGameObjectManager* objects = getGameObjectManager();
            Ogre::SceneManager* scene = objects ? objects->getSceneManager() : nullptr;
            if (scene)
                mSceneNode = scene->getRootSceneNode()->createChildSceneNode(
                    "AboveGroundManager", Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
        }
        startPendingArea();
    }

    bool CoreAboveGroundManager::startPendingArea()
    {
        for (AreaList::iterator it = mPendingAreas.begin(); it != mPendingAreas.end(); ++it)
        {
            CoreAboveGroundArea* area = *it;
            if (area->load())
            {
                mBuildingAreas.push_back(area);
                area->SetAreaState(AreaBuilding);
                mPendingAreas.erase(it);
                return true;
            }
        }
        return false;
    }

    void CoreAboveGroundManager::removeLoaded(CoreAboveGroundArea* area)
    {
        if (eraseFrom(mBuiltAreas, area) || eraseFrom(mBuildingAreas, area) ||
            eraseFrom(mPendingAreas, area))
            area->SetAreaState(AreaIdle);
    }

    void CoreAboveGroundManager::SeeThroughObject(CoreGameObject*) {}

    void CoreAboveGroundManager::SeeBackObject(CoreGameObject*) {}

    void CoreAboveGroundManager::addStaticObject(CoreGameObject* obj, Ogre::Matrix4& transform)
    {
        if (!obj)
            return;
        letGo(obj);
        Ogre::Vector3 position = transform * obj->getPosition();
        CoreAboveGroundArea* area = __FindAreaByPos(position);
        if (!area)
            return;
        area->addObject(obj, transform);
        mHolders[obj] = area;
        if (area->GetAreaState() == AreaPending)
            return;
        // A building or built area starts again: no list may hold it twice.
        if (eraseFrom(mBuildingAreas, area) || eraseFrom(mBuiltAreas, area))
            mRestartPending = true;
        mPendingAreas.push_back(area);
        area->SetAreaState(AreaPending);
    }

    void CoreAboveGroundManager::addStaticObject(CoreGameObject*, Ogre::Vector3&,
                                                 Ogre::Quaternion&)
    {
    }

    void CoreAboveGroundManager::enumerateNearbyObjects(const Ogre::AxisAlignedBox&,
                                                        std::vector<CoreGameObject*>&)
    {
    }

    void CoreAboveGroundManager::addArea(CoreAboveGroundArea* area)
    {
        if (area)
            mAreas.push_back(area);
    }
}
