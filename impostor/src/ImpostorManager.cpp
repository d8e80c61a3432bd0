#include "ImpostorManager.h"

#include "QuadTreeTextureSpacePool.h"
#include "UniqueImpostorHandler.h"

#include <OgreCamera.h>
#include <OgreLogManager.h>
#include <OgreBillboardSet.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreStringConverter.h>

namespace Ogre
{
    namespace
    {
        int gManagerCount = 0;

        void logError(const String& message)
        {
            LogManager::getSingleton().logMessage("ImpostorManager: " + message, LML_CRITICAL);
        }

        /** Fog of a scene manager, kept while the impostors draw without it. */
        struct SavedFog
        {
            explicit SavedFog(SceneManager* sceneManager)
                : mSceneManager(sceneManager),
                  mMode(sceneManager->getFogMode()),
                  mColour(sceneManager->getFogColour()),
                  mDensity(sceneManager->getFogDensity()),
                  mStart(sceneManager->getFogStart()),
                  mEnd(sceneManager->getFogEnd())
            {
                sceneManager->setFog(FOG_NONE, ColourValue::White, 0.001f, 0, 1);
            }
            ~SavedFog() { mSceneManager->setFog(mMode, mColour, mDensity, mStart, mEnd); }

            SceneManager* mSceneManager;
            FogMode mMode;
            ColourValue mColour;
            Real mDensity;
            Real mStart;
            Real mEnd;
        };
    }

    ImpostorManager::ImpostorManager() { ++gManagerCount; }

    ImpostorManager::~ImpostorManager()
    {
        HandlerSet handlers;
        handlers.swap(mHandlers);
        for (UniqueImpostorHandler* handler : handlers)
        {
            handler->_leaveManager();
            if (handler->isDeletedByManager())
                delete handler;
        }
        mSetPool.clear();
        mSetsInUse.clear();
        if (mSceneManager)
        {
            mSceneManager->removeSpecialCaseRenderQueue(mRenderQueueId);
            mSceneManager->removeRenderQueueListener(&mSkipper);
        }
        if (--gManagerCount == 0)
            QuadTreeTextureSpacePool::getSingleton().clear();
    }

    bool ImpostorManager::init(SceneManager* sceneManager, const String& name, const String& group,
                               int nodeReserve, unsigned int textureSize, uint8 renderQueueId)
    {
        if (mSceneManager)
        {
            logError("'" + mName + "' is initialised already; '" + name + "' refused");
            return false;
        }
        if (!sceneManager)
        {
            logError("'" + name + "' needs a scene manager");
            return false;
        }
        if (textureSize < 2 || (textureSize & (textureSize - 1)) != 0)
        {
            logError("'" + name + "': the texture size " + StringConverter::toString(textureSize) +
                     " is not a power of two of at least 2");
            return false;
        }

        // Render textures need a render system; without one the engine
        // would crash rather than raise.
        Root* root = Root::getSingletonPtr();
        if (!root || !root->getRenderSystem())
        {
            logError("'" + name + "': there is no render system to make impostor textures with");
            return false;
        }

        QuadTreeTextureSpacePool& nodes = QuadTreeTextureSpacePool::getSingleton();
        nodes.reserve(nodeReserve);
        nodes.setAutoExtend(true);

        mName = name;
        mGroup = group;
        mNodeReserve = nodeReserve;
        mTextureSize = textureSize;
        mRenderQueueId = renderQueueId;
        mSetPool.setCreationParameters(sceneManager, name, group, this, BILLBOARD_POOL_SIZE, textureSize);
        mSetPool.reserve(2);
        mSetPool.setAutoExtend(true);
        mSetPool.setGrowthFactor(1.0f);

        sceneManager->addSpecialCaseRenderQueue(renderQueueId);
        sceneManager->addRenderQueueListener(&mSkipper);
        mSceneManager = sceneManager;
        return true;
    }

    void ImpostorManager::addHandler(UniqueImpostorHandler* handler)
    {
        if (!handler)
            return;
        if (mHandlers.count(handler))
            return;
        if (ImpostorManager* other = handler->getManager())
            other->removeHandler(handler);
        mHandlers.insert(handler);
        handler->_notifyManager(this);
    }

    void ImpostorManager::removeHandler(UniqueImpostorHandler* handler)
    {
        if (mHandlers.erase(handler) == 0)
            return;
        handler->_leaveManager();
    }

    void ImpostorManager::update(Camera* camera)
    {
        if (!mSceneManager || !camera)
            return;
        SavedFog fog(mSceneManager);

        for (UniqueImpostorSet* set : mSetsInUse)
            set->setDirty(false);

        for (UniqueImpostorHandler* handler : mHandlers)
            handler->update(camera);

        // One set always stays, so that a single impostor coming and going
        // does not make and drop textures every frame.
        for (SetList::iterator it = mSetsInUse.begin(); it != mSetsInUse.end();)
        {
            UniqueImpostorSet* set = *it;
            if (mSetsInUse.size() >= 2 && set->getRoot().isCompletelyEmpty())
            {
                mSetPool.release(set);
                it = mSetsInUse.erase(it);
                continue;
            }
            if (set->isDirty())
                set->updateBounds();
            ++it;
        }
    }

    size_t ImpostorManager::getImpostorCount() const
    {
        size_t count = 0;
        for (const UniqueImpostorSet* set : mSetsInUse)
            count += size_t(set->getBillboardSet()->getNumBillboards());
        return count;
    }

    QuadTreeTextureSpace* ImpostorManager::allocate(unsigned int size, UniqueImpostorHandler* handler)
    {
        if (!mSceneManager || !handler)
            return nullptr;
        if (!QuadTreeTextureSpace::isValidRegionSize(size, mTextureSize))
        {
            logError("'" + mName + "': no region of " + StringConverter::toString(size) +
                     " texels fits a texture of " + StringConverter::toString(mTextureSize));
            return nullptr;
        }

        for (UniqueImpostorSet* set : mSetsInUse)
        {
            if (QuadTreeTextureSpace* region = set->getRoot().allocate(size))
            {
                handler->_moveToSet(set);
                return region;
            }
        }

        UniqueImpostorSet* set = mSetPool.getFree();
        if (!set)
            return nullptr;
        mSetsInUse.push_back(set);
        QuadTreeTextureSpace* region = set->getRoot().allocate(size);
        if (!region)
        {
            mSetsInUse.pop_back();
            mSetPool.release(set);
            return nullptr;
        }
        handler->_moveToSet(set);
        return region;
    }
}
