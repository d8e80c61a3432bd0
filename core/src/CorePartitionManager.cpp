#include "CorePartitionManager.h"

#include "CoreAboveGroundArea.h"
#include "CoreAboveGroundManager.h"
#include "CoreGameObject.h"
#include "CoreGameObjectManager.h"
#include "CorePartition.h"
#include "DataElement.h"
#include "DataFile.h"
#include "FullSceneOperation.h"
#include "OperationManager.h"

#include <OgreCamera.h>
#include <OgreLogManager.h>

#include <algorithm>
#include <cmath>

namespace Wren
{
    namespace
    {
        const std::string gOverrideShowBoundsId = "PartitionManager_OverrideShowBounds";
        const std::string gShowAllBoundsId = "PartitionManager_ShowAllBounds";
        const std::string gLoadTimeBudgetId = "PartitionManager_LoadTimeBudget";
        const std::string gViewRangeScaleId = "PartitionManager_ViewRangeScale";
        const char* const gManagerElement = "CorePartitionManagerData";
        const char* const gLoadTimeBudgetAttribute = "LoadTimeBudget";
        const char* const gViewRangeScaleAttribute = "ViewRangeScale";

        /** Squared XZ distance below which a loaded partition counts as near. */
        const float gNearbyPartitionDistanceSquared = 300.0f * 300.0f;

        template <typename List, typename Item> bool contains(const List& list, const Item& item)
        {
            return std::find(list.begin(), list.end(), item) != list.end();
        }

        template <typename List, typename Item> void eraseFirst(List& list, const Item& item)
        {
            auto it = std::find(list.begin(), list.end(), item);
            if (it != list.end())
                list.erase(it);
        }
    }

    CorePartitionManager::CorePartitionManager(GameObjectManager* owner)
        : mGameObjectManager(dynamic_cast<CoreGameObjectManager*>(owner))
    {
        SetViewRangeScale(1.0f);
        updateLODDistanceInfo(mFogLevel);
        Ogre::FogLevelNotifier::addListener(this);
    }

    CorePartitionManager::~CorePartitionManager()
    {
        detachOperations();
        Ogre::FogLevelNotifier::removeListener(this);
    }

    void CorePartitionManager::detachOperations()
    {
        OperationManager* history = OperationManager::getSingletonPtr();
        if (!history)
            return;
        for (Operation* op : history->getOperations())
        {
            FullSceneOperation* full = dynamic_cast<FullSceneOperation*>(op);
            if (full && full->getPartitionManager() == this)
                full->detach();
        }
    }

    void CorePartitionManager::enumerateProperties(std::vector<Property>& out)
    {
        PartitionManager::enumerateProperties(out);
        Property override;
        override.initBool(gOverrideShowBoundsId, "Override Bounds", mOverrideShowBounds);
        out.push_back(override);
        Property showAll;
        showAll.initBool(gShowAllBoundsId, "Show Bounds", mShowAllBounds);
        out.push_back(showAll);
        Property budget;
        budget.initFloat(gLoadTimeBudgetId, "Load Time Budget (ms)", mLoadTimeBudget, 0.0f, 100.0f,
                         0.5f);
        out.push_back(budget);
    }

    void CorePartitionManager::setProperty(const std::string& id, const PropertyData& value)
    {
        PartitionManager::setProperty(id, value);
        if (id == gLoadTimeBudgetId)
        {
            setLoadTimeBudget(value.floatVal);
            return;
        }
        if (id == gViewRangeScaleId)
        {
            if (std::isfinite(value.floatVal) && value.floatVal > 0.0f)
                SetViewRangeScale(value.floatVal);
            return;
        }
        if (id == gOverrideShowBoundsId)
            mOverrideShowBounds = value.boolVal;
        else if (id == gShowAllBoundsId)
            mShowAllBounds = value.boolVal;
        else
            return;
        for (auto& entry : mPartitions)
            entry.second->checkBounds();
    }

    void CorePartitionManager::destroy()
    {
        // The snapshots of this world stay in the history, but can no
        // longer reach it.
        detachOperations();
        mLoadWaitList.clear();
        mUnloadWaitList.clear();
        mWaitingPartition = nullptr;
        mLoadWaitSteps = 0;
        // Each partition's destroy takes out what a streaming step left.
        mStreamingPartition = nullptr;
        PartitionMap partitions;
        partitions.swap(mPartitions);
        mLoadedPartitions.clear();
        mActivePartition = nullptr;
        for (auto& entry : partitions)
        {
            if (entry.second->getLoaded())
                unloadArea(entry.second);
            entry.second->destroy();
            delete entry.second;
        }
        mChangeLODQueue.clear();
        mChangeLODQueued.clear();
        mLodInFlight.clear();
    }

    bool CorePartitionManager::initStart(const std::string& worldName, DataElementPtr& element)
    {
        mWorldName = worldName;
        if (element && !element->getIsEmpty())
        {
            DataElementPtr data = element->getFirstChild(gManagerElement);
            if (!data->getIsEmpty())
            {
                setLoadTimeBudget(data->getAttributeFloat(gLoadTimeBudgetAttribute, mLoadTimeBudget));
                PropertyData scale;
                scale.floatVal = data->getAttributeFloat(gViewRangeScaleAttribute, 1.0f);
                setProperty(gViewRangeScaleId, scale);
            }
        }
        return true;
    }

    void CorePartitionManager::setLoadTimeBudget(float milliseconds)
    {
        mLoadTimeBudget = milliseconds > 0.0f && std::isfinite(milliseconds) ? milliseconds : 0.0f;
    }

    bool CorePartitionManager::initFinish()
    {
        mInitialised = true;
        return true;
    }

    bool CorePartitionManager::save(const std::string& worldName, DataFile* worldFile)
    {
        finishStreaming();
        // Written only when set, so that a world without a budget or a
        // view-range scale keeps the world file it always had.
        DataElementPtr root = worldFile ? worldFile->getRootElement() : DataElementPtr();
        if (root && !root->getIsEmpty() && (mLoadTimeBudget > 0.0f || mViewRangeScale != 1.0f))
        {
            DataElementPtr data = root->createChild(gManagerElement);
            if (mLoadTimeBudget > 0.0f)
                data->setAttributeFloat(gLoadTimeBudgetAttribute, mLoadTimeBudget);
            if (mViewRangeScale != 1.0f)
                data->setAttributeFloat(gViewRangeScaleAttribute, mViewRangeScale);
        }
        // The partitions compare worldName with the manager's: under a new
        // name every partition writes its file.
        mRefusedObjects.clear();
        bool saved = true;
        for (auto& entry : mPartitions)
        {
            CorePartition* p = entry.second;
            const bool dirty = p->isObjectDirty();
            const bool ok = mUseBinaryFiles ? p->saveBinary(worldName) : p->save(worldName);
            saved = ok && saved;
            if (!dirty && worldName == mWorldName)
                continue;
            for (const std::string& name : p->getRefusedObjects())
                mRefusedObjects.emplace_back(p->getID(), name);
        }
        mWorldName = worldName;
        if (!mRefusedObjects.empty())
            Ogre::LogManager::getSingleton().logMessage(
                "CorePartitionManager::save: " + std::to_string(mRefusedObjects.size()) +
                " objects of world " + worldName + " refused to be written and were not saved");
        return saved;
    }

    void CorePartitionManager::update(float elapsed)
    {
        if (mLoading)
            return;
        mAccumulatedTime += elapsed;
        if (mAccumulatedTime < mUpdateInterval)
            return;
        mAccumulatedTime = 0.0f;
        // The budget counts the whole step up to the partition work.
        const StepDeadline deadline(StepDeadline::Clock::now(), mLoadTimeBudget);

        const size_t budget = mLoadingSingleObjectPerFrame ? 1 : 5;
        while (mLodInFlight.size() < budget && !mChangeLODQueue.empty())
        {
            CoreGameObject* obj = popChangeLODQueue();
            obj->changeLODLoadResources(false);
            mLodInFlight.push_back(obj);
        }

        for (ObjectList::iterator it = mLodInFlight.begin(); it != mLodInFlight.end();)
        {
            CoreGameObject* obj = *it;
            switch (obj->getCurrentState())
            {
            case STATE_RESOURCES_LOADING:
                obj->changeLODLoadResources(false);
                ++it;
                break;
            case STATE_RESOURCES_READY:
                obj->changeLODFinalize(false);
                ++it;
                break;
            case STATE_SETTLED:
            case STATE_FADING:
                it = mLodInFlight.erase(it);
                break;
            default:
                ++it;
                break;
            }
        }

        followCamera();

        if (mStreamingPartition)
        {
            mUpdateInterval = 0.01f;
            continueStreaming(deadline);
        }
        else if (!mLoadWaitList.empty())
        {
            mUpdateInterval = 0.01f;
            CorePartition* q = mLoadWaitList.front();
            if (q != mWaitingPartition)
            {
                mWaitingPartition = q;
                mLoadWaitSteps = 0;
            }
            bool ready = true;
            try
            {
                q->threadLoadResource(mWorldName);
                ready = q->isResourceLoaded();
            }
            catch (const std::exception& e)
            {
                // The load itself reads what can be read.
                Ogre::LogManager::getSingleton().logMessage(
                    "CorePartitionManager: prefetching partition " + q->getID() +
                    " failed: " + e.what());
            }
            if (!ready && ++mLoadWaitSteps >= mLoadPatience)
            {
                Ogre::LogManager::getSingleton().logMessage(
                    "CorePartitionManager: the files of partition " + q->getID() +
                    " did not arrive from the loader thread in " +
                    std::to_string(mLoadWaitSteps) + " steps; loading it on the frame thread");
                ++mBackgroundLoadFallbacks;
                ready = true;
            }
            if (ready)
            {
                mWaitingPartition = nullptr;
                mLoadWaitSteps = 0;
                mLoadWaitList.pop_front();
                if (deadline.isLimited())
                    startStreaming(q, true, deadline);
                else
                    loadPartitionNow(q);
            }
        }
        else if (!mUnloadWaitList.empty())
        {
            mUpdateInterval = 0.01f;
            CorePartition* q = mUnloadWaitList.front();
            mUnloadWaitList.pop_front();
            if (q && deadline.isLimited())
                startStreaming(q, false, deadline);
            else if (q)
                unloadPartitionWithArea(q);
        }
        else
        {
            mUpdateInterval = 0.00001f;
        }

        // A partition's update may not unload partitions, but walk a copy so
        // that object hand-overs during it can not disturb the walk.
        const PartitionList loaded = mLoadedPartitions;
        for (CorePartition* p : loaded)
            p->update(elapsed);
    }

    void CorePartitionManager::followCamera()
    {
        Ogre::Camera* camera = mGameObjectManager ? mGameObjectManager->getPlayerCamera() : nullptr;
        if (!camera)
            return;
        const Ogre::Vector3 position = camera->getDerivedPosition();
        CorePartition* p = getPartition(position, true);
        if (!p || p == mActivePartition)
            return;
        std::vector<CorePartition*> connected;
        p->enumerateConnectedPartitions(connected);
        for (CorePartition* waiting : mLoadWaitList)
            if (!contains(connected, waiting))
                ++mLeftBeforeLoaded;
        mLoadWaitList.clear();
        mUnloadWaitList.clear();
        if (mActivePartition)
            mActivePartition->deactivate();
        mActivePartition = p;
        p->activate();
        std::vector<CorePartition*> held;
        p->enumerateHeldPartitions(position, held);
        for (CorePartition* loaded : mLoadedPartitions)
            if (!contains(held, loaded))
                UnLoadPartitionToWaitList(loaded);
        for (CorePartition* c : connected)
            if (!c->getLoaded())
                LoadPartitionToWaitList(c);
        if (mStreamingPartition && mStreamingIn)
        {
            if (contains(held, mStreamingPartition))
            {
                // Being brought in already: it goes on, first.
                eraseFirst(mLoadWaitList, mStreamingPartition);
            }
            else
            {
                // No longer kept: what was made of it is taken out.
                unloadArea(mStreamingPartition);
                mStreamingIn = false;
            }
        }
    }

    void CorePartitionManager::startStreaming(CorePartition* p, bool in,
                                              const StepDeadline& deadline)
    {
        mStreamingPartition = p;
        mStreamingIn = in;
        if (!in)
        {
            unloadArea(p);
            eraseFirst(mLoadedPartitions, p);
        }
        continueStreaming(deadline);
    }

    void CorePartitionManager::continueStreaming(const StepDeadline& deadline)
    {
        CorePartition* p = mStreamingPartition;
        if (!p)
            return;
        bool done = true;
        try
        {
            done = mStreamingIn ? p->loadStep(mWorldName, deadline) : p->unloadStep(deadline);
        }
        catch (const std::exception& e)
        {
            // The partition logs and skips failing objects; this is the last
            // guard of the frame. The next step goes on after the piece.
            Ogre::LogManager::getSingleton().logMessage(
                std::string("CorePartitionManager: ") + (mStreamingIn ? "loading" : "unloading") +
                " partition " + p->getID() + " failed: " + e.what());
            done = !p->isStreaming();
        }
        if (!done)
            return;
        mStreamingPartition = nullptr;
        if (!mStreamingIn)
            return;
        if (mAboveGroundManager)
            mAboveGroundManager->load();
        if (!contains(mLoadedPartitions, p))
            mLoadedPartitions.push_back(p);
    }

    void CorePartitionManager::finishStreaming() { continueStreaming(StepDeadline()); }

    void CorePartitionManager::forgetStreaming(CorePartition* p)
    {
        if (!p || p != mStreamingPartition)
            return;
        // Its area goes with what a load made; the partition's own unload
        // takes out the rest.
        unloadArea(p);
        mStreamingPartition = nullptr;
    }

    void CorePartitionManager::loadPartitionNow(CorePartition* p)
    {
        try
        {
            if (mUseBinaryFiles)
                p->loadBinary(mWorldName);
            else
                p->load(mWorldName);
        }
        catch (const std::exception& e)
        {
            // The partition logs and skips failing objects; this is the last
            // guard of the frame.
            Ogre::LogManager::getSingleton().logMessage("CorePartitionManager: loading partition " +
                                                        p->getID() + " failed: " + e.what());
        }
        if (mAboveGroundManager)
            mAboveGroundManager->load();
        if (!contains(mLoadedPartitions, p))
            mLoadedPartitions.push_back(p);
    }

    void CorePartitionManager::unloadArea(CorePartition* p)
    {
        if (!mAboveGroundManager)
            return;
        if (CoreAboveGroundArea* area = mAboveGroundManager->getArea(p->getID()))
        {
            mAboveGroundManager->removeLoaded(area);
            area->unload();
        }
    }

    void CorePartitionManager::unloadPartitionWithArea(CorePartition* p)
    {
        unloadArea(p);
        p->unload(false);
        eraseFirst(mLoadedPartitions, p);
    }

    CorePartition* CorePartitionManager::getPartition(const Ogre::Vector3& position,
                                                      bool nearestIfNone)
    {
        CorePartition* found = nullptr;
        CorePartition::PositionResult kept = CorePartition::POSITION_OUTSIDE;
        for (auto& entry : mPartitions)
        {
            const CorePartition::PositionResult answer =
                entry.second->isPositionInPartition(position);
            if (answer == CorePartition::POSITION_OUTSIDE)
                continue;
            if (!found || answer == CorePartition::POSITION_PREFERRED ||
                kept == CorePartition::POSITION_INSIDE)
            {
                found = entry.second;
                kept = answer;
            }
        }
        if (found || !nearestIfNone)
            return found;
        float best = 0.0f;
        for (auto& entry : mPartitions)
        {
            const float d = entry.second->getWorldPosition().squaredDistance(position);
            if (!found || d < best)
            {
                found = entry.second;
                best = d;
            }
        }
        return found;
    }

    CorePartition* CorePartitionManager::getPartition(const std::string& id)
    {
        PartitionMap::iterator it = mPartitions.find(id);
        return it == mPartitions.end() ? nullptr : it->second;
    }

    void CorePartitionManager::startSimulation()
    {
        for (auto& entry : mPartitions)
            entry.second->startSimulation();
    }

    void CorePartitionManager::endSimulation()
    {
        for (auto& entry : mPartitions)
            entry.second->endSimulation();
    }

    void CorePartitionManager::enumerateObjects(std::vector<CoreGameObject*>& out)
    {
        for (auto& entry : mPartitions)
            entry.second->enumerateObjects(out);
    }

    void CorePartitionManager::enumeratePartitions(std::vector<CorePartition*>& out)
    {
        for (auto& entry : mPartitions)
            out.push_back(entry.second);
    }

    void CorePartitionManager::enumerateObjectsByType(std::vector<CoreGameObject*>& out,
                                                      const std::string& type)
    {
        for (auto& entry : mPartitions)
            entry.second->enumerateObjectsByType(out, type);
    }

    void CorePartitionManager::enumetateObjectsByLogicInfo(std::vector<CoreGameObject*>& out)
    {
        for (CorePartition* p : mLoadedPartitions)
            p->enumetateObjectsByLogicInfo(out);
    }

    CoreGameObject* CorePartitionManager::getObjectByName(const std::string& name)
    {
        for (auto& entry : mPartitions)
            if (CoreGameObject* obj = entry.second->getObjectByName(name))
                return obj;
        return nullptr;
    }

    CorePartition* CorePartitionManager::createPartition(const std::string&) { return nullptr; }

    bool CorePartitionManager::destroyPartition(CorePartition* p)
    {
        if (!p)
            return false;
        PartitionMap::iterator it = mPartitions.find(p->getID());
        if (it == mPartitions.end() || it->second != p)
            return false;
        // Unloaded first, while every list still knows it; then no list may
        // keep a partition that is gone.
        forgetStreaming(p);
        if (p->getLoaded())
            unloadPartitionWithArea(p);
        p->destroy();
        mLoadedPartitions.remove(p);
        mLoadWaitList.remove(p);
        mUnloadWaitList.remove(p);
        if (mActivePartition == p)
            mActivePartition = nullptr;
        mPartitions.erase(it);
        delete p;
        return true;
    }

    void CorePartitionManager::addObjectToChangeLODQueue(CoreGameObject* obj)
    {
        if (obj && mChangeLODQueued.find(obj) == mChangeLODQueued.end())
            mChangeLODQueued.emplace(obj, mChangeLODQueue.insert(mChangeLODQueue.end(), obj));
    }

    void CorePartitionManager::removeObjectFromChangeLODQueue(CoreGameObject* obj)
    {
        auto queued = mChangeLODQueued.find(obj);
        if (queued != mChangeLODQueued.end())
        {
            mChangeLODQueue.erase(queued->second);
            mChangeLODQueued.erase(queued);
        }
        mLodInFlight.remove(obj);
    }

    CoreGameObject* CorePartitionManager::popChangeLODQueue()
    {
        if (mChangeLODQueue.empty())
            return nullptr;
        CoreGameObject* obj = mChangeLODQueue.front();
        mChangeLODQueue.pop_front();
        mChangeLODQueued.erase(obj);
        return obj;
    }

    void CorePartitionManager::handleObjectDestroyed(CoreGameObject* obj)
    {
        removeObjectFromChangeLODQueue(obj);
    }

    void CorePartitionManager::_notifyFogLevelChanged(float fogLevel)
    {
        mFogLevel = fogLevel;
        updateLODDistanceInfo(mFogLevel);
    }

    void CorePartitionManager::setUseBinaryFiles(bool binary)
    {
        mUseBinaryFiles = binary;
        for (auto& entry : mPartitions)
            entry.second->setUseBinaryFiles(binary);
    }

    void CorePartitionManager::notifyCorruptPartitionFile(CorePartition* p)
    {
        ++mCorruptPartitionFileCount;
        Ogre::LogManager::getSingleton().logMessage(
            "CorePartitionManager: the objects file of partition " + (p ? p->getID() : "?") +
            " of world " + mWorldName + " is damaged (" +
            std::to_string(mCorruptPartitionFileCount) + " so far)");
    }

    FullSceneOperation* CorePartitionManager::createOperation(const std::string&)
    {
        finishStreaming();
        FullSceneOperation* op = new FullSceneOperation(this);
        for (auto& entry : mPartitions)
        {
            CorePartition* p = entry.second;
            DataFile* doc = p->getState();
            if (!doc)
                continue;
            // An unloaded partition keeps its own document.
            if (!p->getLoaded())
                doc = FullSceneOperation::copyDocument(doc);
            if (doc)
                op->addPartitionState(entry.first, doc);
        }
        return op;
    }

    void CorePartitionManager::loadFromOperation(FullSceneOperation* op)
    {
        if (!op)
            return;
        finishStreaming();
        for (auto& entry : mPartitions)
        {
            CorePartition* p = entry.second;
            DataFile* doc = op->getPartitionState(entry.first);
            if (!doc)
                continue;
            if (!p->getLoaded())
            {
                DataFile* copy = FullSceneOperation::copyDocument(doc);
                if (!copy)
                    continue;
                p->setState(copy);
            }
            else
            {
                // Reloaded from the operation's document, which it keeps;
                // its static objects leave their area with it.
                unloadArea(p);
                p->unload(false);
                p->setState(nullptr);
                DataElementPtr root = doc->getRootElement();
                try
                {
                    p->load(root, false);
                }
                catch (const std::exception& e)
                {
                    Ogre::LogManager::getSingleton().logMessage(
                        "CorePartitionManager::loadFromOperation: partition " + p->getID() + ": " +
                        e.what());
                }
                if (mAboveGroundManager)
                    mAboveGroundManager->load();
            }
            p->notifyObjectDirty();
        }
    }

    void CorePartitionManager::SetViewRangeScale(float s)
    {
        mViewRangeScale = s;
        mScaledLodDistances = mLodDistances.scaled(s);
    }

    void CorePartitionManager::updateLODDistanceInfo(float fogLevel)
    {
        mFogLodDistances = mLodDistances.scaled(fogLevel);
    }

    void CorePartitionManager::enumerateNearbyObjects(const Ogre::AxisAlignedBox& box,
                                                      std::vector<CoreGameObject*>& out)
    {
        for (auto& entry : mPartitions)
            entry.second->enumerateNearbyObjects(box, out);
    }

    void CorePartitionManager::enumerateNearbyPartitionObjects(const Ogre::Vector3& position,
                                                               std::vector<CoreGameObject*>& out,
                                                               bool logicOnly)
    {
        for (CorePartition* p : mLoadedPartitions)
        {
            const Ogre::Vector3& origin = p->getWorldPosition();
            const float dx = origin.x - position.x;
            const float dz = origin.z - position.z;
            if (dx * dx + dz * dz >= gNearbyPartitionDistanceSquared)
                continue;
            if (logicOnly)
                p->enumetateObjectsByLogicInfo(out);
            else
                p->enumerateObjects(out);
        }
    }

    void CorePartitionManager::GetNearbyPartitionObjects(const Ogre::AxisAlignedBox& box,
                                                         std::vector<CoreGameObject*>& out)
    {
        if (box.isNull())
            return;
        const Ogre::Vector3 c = box.getCenter();
        const Ogre::Vector3 h = box.getHalfSize();
        CorePartition* p = getPartition(c, false);
        if (!p)
            return;
        std::vector<CorePartition*> candidates(1, p);
        const Ogre::Vector3 corners[4] = {Ogre::Vector3(c.x - h.x, 0, c.z - h.z),
                                          Ogre::Vector3(c.x - h.x, 0, c.z + h.z),
                                          Ogre::Vector3(c.x + h.x, 0, c.z + h.z),
                                          Ogre::Vector3(c.x + h.x, 0, c.z - h.z)};
        for (const Ogre::Vector3& corner : corners)
        {
            CorePartition* q = getPartition(corner, true);
            if (q && !contains(candidates, q))
                candidates.push_back(q);
        }
        for (CorePartition* q : candidates)
        {
            std::vector<CoreGameObject*> objects;
            q->enumerateObjects(objects);
            for (CoreGameObject* obj : objects)
            {
                const Ogre::Vector3& w = obj->getWorldPosition();
                if (c.x - h.x < w.x && w.x < c.x + h.x && c.z - h.z < w.z && w.z < c.z + h.z)
                    out.push_back(obj);
            }
        }
    }

    void CorePartitionManager::loadNextChangeLODObjects()
    {
        if (mChangeLODQueue.empty())
            return;
        CoreGameObject* obj = popChangeLODQueue();
        if (obj)
        {
            obj->changeLODLoadResources(true);
            if (obj->getCurrentState() == STATE_RESOURCES_READY)
                obj->changeLODFinalize(true);
        }
    }

    void CorePartitionManager::initLoadAllPartition()
    {
        finishStreaming();
        followCamera();
        PartitionList loads;
        loads.swap(mLoadWaitList);
        for (CorePartition* p : loads)
            if (p)
                loadPartitionNow(p);
        PartitionList unloads;
        unloads.swap(mUnloadWaitList);
        for (CorePartition* p : unloads)
            if (p)
                unloadPartitionWithArea(p);
    }

    void CorePartitionManager::immediateLoadAllPartition()
    {
        initLoadAllPartition();
        while (!mChangeLODQueue.empty())
            loadNextChangeLODObjects();
    }

    void CorePartitionManager::executeAllWaitList()
    {
        finishStreaming();
        PartitionList loads;
        loads.swap(mLoadWaitList);
        for (CorePartition* p : loads)
            if (p)
                loadPartitionNow(p);
        PartitionList unloads;
        unloads.swap(mUnloadWaitList);
        for (CorePartition* p : unloads)
            if (p)
                unloadPartitionWithArea(p);
    }

    void CorePartitionManager::addStaticObject(CoreGameObject* obj, Ogre::Matrix4& transform)
    {
        if (mAboveGroundManager)
            mAboveGroundManager->addStaticObject(obj, transform);
    }

    void CorePartitionManager::addStaticObject(CoreGameObject* obj, Ogre::Vector3& position,
                                               Ogre::Quaternion& orientation)
    {
        if (mAboveGroundManager)
            mAboveGroundManager->addStaticObject(obj, position, orientation);
    }

    void CorePartitionManager::addPartition(CorePartition* p)
    {
        if (!p)
            return;
        p->setUseBinaryFiles(mUseBinaryFiles);
        CorePartition*& slot = mPartitions[p->getID()];
        if (slot && slot != p)
        {
            // The replaced partition would otherwise be lost with its objects.
            CorePartition* old = slot;
            forgetStreaming(old);
            eraseFirst(mLoadedPartitions, old);
            mLoadWaitList.remove(old);
            mUnloadWaitList.remove(old);
            if (mActivePartition == old)
                mActivePartition = nullptr;
            if (old->getLoaded())
                unloadArea(old);
            old->destroy();
            delete old;
        }
        slot = p;
    }

    void CorePartitionManager::LoadPartitionToWaitList(CorePartition* p)
    {
        if (!contains(mLoadWaitList, p))
            mLoadWaitList.push_back(p);
        eraseFirst(mUnloadWaitList, p);
    }

    void CorePartitionManager::UnLoadPartitionToWaitList(CorePartition* p)
    {
        if (!contains(mUnloadWaitList, p))
            mUnloadWaitList.push_back(p);
        eraseFirst(mLoadWaitList, p);
    }
}
