// CorePartition: loads and unloads, whole or spread over streaming steps.
#include "CorePartition.h"

#include "CompleteObjectDataInfo.h"
#include "CoreGameObject.h"
#include "CoreGameObjectManager.h"
#include "CorePartitionManager.h"
#include "PartitionLoadSource.h"

#include <OgreLogManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

namespace Wren
{
    struct CorePartition::Streaming
    {
        bool loading = true;

        // Loading: the entries are started in order, then the started
        // objects are finished in order (as a whole load does).
        std::unique_ptr<PartitionLoadSource> source;
        size_t nextStart = 0;
        std::vector<CoreGameObject*> started;
        /** The entry each started object came from. */
        std::vector<size_t> startedFrom;
        size_t nextFinish = 0;

        // Unloading: the objects taken out, destroyed in order.
        std::vector<CoreGameObject*> leaving;
        size_t nextLeaving = 0;
    };

    namespace
    {
        /** Pieces of work while the deadline allows, one at least. */
        class Pacer
        {
        public:
            explicit Pacer(const StepDeadline& deadline) : mDeadline(deadline) {}
            bool more()
            {
                const bool go = mFirst || !mDeadline.passed();
                mFirst = false;
                return go;
            }

        private:
            const StepDeadline& mDeadline;
            bool mFirst = true;
        };
    }

    CorePartition::CorePartition(const std::string& id, const Ogre::Vector3& worldPosition,
                                 CorePartitionManager* manager)
        : mManager(manager), mID(id), mWorldPosition(worldPosition)
    {
    }

    CorePartition::~CorePartition()
    {
        // What a load started and never finished belongs to nobody else (it
        // has no node yet); unload or destroy takes care of the rest.
        if (mStreaming && mStreaming->loading)
            for (size_t k = mStreaming->nextFinish; k < mStreaming->started.size(); ++k)
                delete mStreaming->started[k];
        delete mState;
    }

    bool CorePartition::unload(bool)
    {
        beginUnload(false, StepDeadline());
        advanceUnload(StepDeadline());
        return true;
    }

    bool CorePartition::unloadBinary(bool)
    {
        beginUnload(true, StepDeadline());
        advanceUnload(StepDeadline());
        return true;
    }

    bool CorePartition::loadStep(const std::string& worldName, const StepDeadline& deadline)
    {
        if (!mStreaming || !mStreaming->loading)
        {
            if (mLoaded && !mStreaming)
                return true;
            finishStreaming();
            std::unique_ptr<PartitionLoadSource> source(new PartitionLoadSource());
            openStored(worldName, mUseBinaryFiles, *source);
            beginLoad(std::move(source));
        }
        return advanceLoad(deadline);
    }

    bool CorePartition::unloadStep(const StepDeadline& deadline)
    {
        beginUnload(false, deadline);
        return advanceUnload(deadline);
    }

    void CorePartition::finishStreaming()
    {
        if (!mStreaming)
            return;
        if (mStreaming->loading)
            advanceLoad(StepDeadline());
        else
            advanceUnload(StepDeadline());
    }

    void CorePartition::beginLoad(std::unique_ptr<PartitionLoadSource> source)
    {
        finishStreaming();
        createSceneNode();
        mKeptElements.reset();
        mKeptRecords.clear();
        if (source->hasShowBounds)
            mShowBounds = source->showBounds;
        mStreaming.reset(new Streaming());
        mStreaming->source = std::move(source);
    }

    bool CorePartition::advanceLoad(const StepDeadline& deadline)
    {
        Streaming& job = *mStreaming;
        PartitionLoadSource& source = *job.source;
        const size_t entries = source.size();

        auto start = [&](size_t i) {
            if (!source.binary)
            {
                DataElementPtr& e = source.elements[i];
                if (CoreGameObject* obj = startObject(e->getAttributeString("Type", ""),
                                                      e->getAttributeString("Name", ""), &e, nullptr))
                {
                    job.started.push_back(obj);
                    job.startedFrom.push_back(i);
                }
                else
                    keepElement(e);
                return;
            }
            Ogre::IBinaryDataElement* e = source.records[i];
            if (e->getSize() == 0)
                return;
            CompleteObjectDataInfo record;
            if (!record.fromBytes(e->getBuf(), e->getSize()))
            {
                Ogre::LogManager::getSingleton().logMessage(
                    "CorePartition::loadBinary: partition " + mID + ": a record of " +
                    std::to_string(e->getSize()) + " bytes is not an object; left out");
                return;
            }
            if (CoreGameObject* obj = startObject(record.getType(), record.getName(), nullptr, &record))
            {
                job.started.push_back(obj);
                job.startedFrom.push_back(i);
            }
            else
                mKeptRecords.push_back(record);
        };
        auto keep = [&](size_t i) {
            if (!source.binary)
            {
                keepElement(source.elements[i]);
                return;
            }
            CompleteObjectDataInfo record;
            record.fromBytes(source.records[i]->getBuf(), source.records[i]->getSize());
            mKeptRecords.push_back(record);
        };

        // Loading changes nothing that is stored: what its own pieces mark
        // is undone (a change made between steps stays marked).
        const bool dirty = mObjectDirty;
        Pacer pacer(deadline);
        while (job.nextStart < entries && pacer.more())
            start(job.nextStart++);
        while (job.nextStart == entries && job.nextFinish < job.started.size() && pacer.more())
        {
            const size_t k = job.nextFinish++;
            if (!finishObject(job.started[k]))
                keep(job.startedFrom[k]);
        }
        mObjectDirty = dirty;
        if (job.nextStart < entries || job.nextFinish < job.started.size())
            return false;

        mStreaming.reset();
        mLoaded = true;
        checkBounds();
        return true;
    }

    void CorePartition::beginUnload(bool keepState, const StepDeadline& deadline)
    {
        if (mStreaming && !mStreaming->loading)
            return;
        std::vector<CoreGameObject*> unfinished;
        if (mStreaming)
        {
            // A partial load: what it started and did not finish goes too;
            // a captured state it read stays for the next load.
            Streaming& job = *mStreaming;
            unfinished.assign(job.started.begin() + std::ptrdiff_t(job.nextFinish),
                              job.started.end());
            mStreaming.reset();
            keepState = true;
        }
        if (!keepState)
        {
            if (mLoaded && mObjectDirty)
            {
                // Unsaved edits (an undo among them) stay with the partition,
                // to be loaded and saved later.
                setState(getState());
            }
            else
            {
                delete mState;
                mState = nullptr;
            }
        }
        mLoaded = false;
        mResourceLoading.resetLoadState();
        destroyBoundsVisualization();

        // The list is taken whole and the objects' nodes are let go of at
        // once, so that each object leaving finds nothing to search for:
        // neither in the list nor among the partition node's children (a
        // partition of n objects unloads in n steps, not n squared).
        std::vector<CoreGameObject*> leaving;
        leaving.swap(mObjects);
        mObjectNames.clear();
        leaving.insert(leaving.end(), unfinished.begin(), unfinished.end());
        if (mSceneNode)
            mSceneNode->removeAllChildren();
        mKeptElements.reset();
        mKeptRecords.clear();
        if (deadline.isLimited())
        {
            // Destroyed over the next steps: nothing may reach them meanwhile.
            CoreGameObjectManager* objects = mManager->getGameObjectManager();
            for (CoreGameObject* obj : leaving)
            {
                mManager->removeObjectFromChangeLODQueue(obj);
                if (objects)
                    objects->handleObjectDestroyed(obj);
            }
        }
        mStreaming.reset(new Streaming());
        mStreaming->loading = false;
        mStreaming->leaving.swap(leaving);
    }

    bool CorePartition::advanceUnload(const StepDeadline& deadline)
    {
        Streaming& job = *mStreaming;
        Pacer pacer(deadline);
        while (job.nextLeaving < job.leaving.size() && pacer.more())
        {
            CoreGameObject* obj = job.leaving[job.nextLeaving++];
            obj->destroy(false, false);
            delete obj;
        }
        if (job.nextLeaving < job.leaving.size())
            return false;
        mStreaming.reset();
        if (mSceneNode)
        {
            mManager->getGameObjectManager()->getSceneManager()->destroySceneNode(mSceneNode);
            mSceneNode = nullptr;
        }
        return true;
    }
}
