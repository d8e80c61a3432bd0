#include "UniqueImpostorSetPool.h"

#include <OgreLogManager.h>

#include <memory>

namespace Ogre
{
    UniqueImpostorSetPool::UniqueImpostorSetPool() : PoolSet<UniqueImpostorSet>(true) {}

    UniqueImpostorSetPool::~UniqueImpostorSetPool() { clear(); }

    void UniqueImpostorSetPool::setCreationParameters(SceneManager* sceneManager, const String& name,
                                                      const String& group, ImpostorManager* owner,
                                                      unsigned int billboardPoolSize,
                                                      unsigned int textureSize)
    {
        mSceneManager = sceneManager;
        mName = name;
        mGroup = group;
        mOwner = owner;
        mBillboardPoolSize = billboardPoolSize;
        mTextureSize = textureSize;
    }

    UniqueImpostorSet* UniqueImpostorSetPool::allocateNewElement()
    {
        if (!mSceneManager)
        {
            LogManager::getSingleton().logMessage(
                "UniqueImpostorSetPool: no impostor set can be made before the creation parameters are set",
                LML_CRITICAL);
            return nullptr;
        }
        std::unique_ptr<UniqueImpostorSet> set(new UniqueImpostorSet());
        set->init(mSceneManager, mName, mGroup, mOwner, mBillboardPoolSize, mTextureSize);
        return set.release();
    }

    void UniqueImpostorSetPool::destroyElement(UniqueImpostorSet* element) { delete element; }
}
