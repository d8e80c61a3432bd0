#ifndef __WrenImpostorManager_H__
#define __WrenImpostorManager_H__

#include "UniqueImpostorSetPool.h"

#include <OgreRenderQueue.h>
#include <OgreRenderQueueListener.h>

#include <list>
#include <set>

namespace Ogre
{
    /** Owns the impostor machinery of one world: the impostor textures
        (sets) and the handlers registered with it, and drives them once per
        frame.

        init registers the impostor render queue with the scene manager as a
        special case (captures render only that queue; normal rendering
        leaves it out), reserves quad-tree nodes in the process-wide pool and
        two sets of textureSize x textureSize texels. The objects of nodes
        shown as impostors wait in HIDDEN_RENDER_QUEUE, which a listener of
        the scene manager skips in every rendering while the manager lives.

        update(camera), each frame: fog off while it runs; every handler
        decides and draws; sets left empty go back to the pool, as long as
        one set stays in use; every set whose billboards changed gets bounds
        that fit them. Nothing happens before init or without a camera.

        Ownership: handlers still registered when the manager goes are
        deleted by it, unless they were marked with
        UniqueImpostorHandler::setDeletedByManager(false); those are let go
        (node shown, region and billboard given back) and stay their owner's.
        The node pool is cleared when the last manager of the process goes.
        The scene manager must outlive the manager: its end removes the
        sets' scene objects and the impostor queue's special case.
    */
    class WREN_IMPOSTOR_EXPORT ImpostorManager
    {
    public:
        typedef std::list<UniqueImpostorSet*> SetList;
        typedef std::set<UniqueImpostorHandler*> HandlerSet;

        static const unsigned int BILLBOARD_POOL_SIZE = 500;
        /** The queue of hidden objects: the last one OGRE has. */
        static const uint8 HIDDEN_RENDER_QUEUE = RENDER_QUEUE_MAX;

        ImpostorManager();
        ~ImpostorManager();

        ImpostorManager(const ImpostorManager&) = delete;
        ImpostorManager& operator=(const ImpostorManager&) = delete;

        /** Refused (logged, false) when called twice, without a scene
            manager, without a render system, or with a texture size that is
            not a power of two of at least 2. The engine's exceptions from making the first sets pass
            on; the manager then stays uninitialised. */
        bool init(SceneManager* sceneManager, const String& name, const String& group,
                  int nodeReserve, unsigned int textureSize, uint8 renderQueueId);
        bool isInitialised() const { return mSceneManager != nullptr; }

        /** Registers a handler (null refused); a handler registered with
            another manager leaves it first. */
        void addHandler(UniqueImpostorHandler* handler);
        /** Forgets a handler after letting it go (its node shown, region
            and billboard given back). The handler is not deleted. */
        void removeHandler(UniqueImpostorHandler* handler);

        void update(Camera* camera);

        /** A region of size texels for the handler: first fit over the sets
            in use, else in a set newly taken from the pool. A handler that
            lands in another set than before leaves its old set. Null (and a
            logged error) for sizes that are not powers of two below the
            texture size. */
        QuadTreeTextureSpace* allocate(unsigned int size, UniqueImpostorHandler* handler);

        SceneManager* getSceneManager() const { return mSceneManager; }
        const String& getName() const { return mName; }
        const String& getResourceGroup() const { return mGroup; }
        unsigned int getTextureSize() const { return mTextureSize; }
        uint8 getRenderQueueId() const { return mRenderQueueId; }
        uint8 getHiddenRenderQueueId() const { return HIDDEN_RENDER_QUEUE; }
        /** Impostors shown now: billboards in the sets in use. */
        size_t getImpostorCount() const;
        const SetList& getSetsInUse() const { return mSetsInUse; }
        const HandlerSet& getHandlers() const { return mHandlers; }
        const UniqueImpostorSetPool& getSetPool() const { return mSetPool; }

    private:
        /** Skips the hidden queue wherever the scene is drawn. */
        struct HiddenQueueSkipper : public RenderQueueListener
        {
            void renderQueueStarted(uint8 queueGroupId, const String&, bool& skip) override
            {
                if (queueGroupId == HIDDEN_RENDER_QUEUE)
                    skip = true;
            }
        };

        UniqueImpostorSetPool mSetPool;
        HiddenQueueSkipper mSkipper;
        SetList mSetsInUse;
        HandlerSet mHandlers;
        SceneManager* mSceneManager = nullptr;
        String mName;
        String mGroup;
        int mNodeReserve = 0;
        unsigned int mTextureSize = 0;
        uint8 mRenderQueueId = 0;
    };
}

#endif
