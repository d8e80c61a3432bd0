#ifndef __WrenUniqueImpostorSetPool_H__
#define __WrenUniqueImpostorSetPool_H__

#include "PoolSet.h"
#include "UniqueImpostorSet.h"

namespace Ogre
{
    /** The impostor textures of one ImpostorManager. Starts empty with
        auto-extend on; every set it makes is initialised from the creation
        parameters given to setCreationParameters, which must come first. A
        set that fails to be made (the engine raised) is cleaned up and the
        exception passes on. */
    class WREN_IMPOSTOR_EXPORT UniqueImpostorSetPool : public PoolSet<UniqueImpostorSet>
    {
    public:
        UniqueImpostorSetPool();
        ~UniqueImpostorSetPool() override;

        void setCreationParameters(SceneManager* sceneManager, const String& name,
                                   const String& group, ImpostorManager* owner,
                                   unsigned int billboardPoolSize, unsigned int textureSize);

    protected:
        UniqueImpostorSet* allocateNewElement() override;
        void destroyElement(UniqueImpostorSet* element) override;

    private:
        SceneManager* mSceneManager = nullptr;
        String mName;
        String mGroup;
        ImpostorManager* mOwner = nullptr;
        unsigned int mBillboardPoolSize = 0;
        unsigned int mTextureSize = 0;
    };
}

#endif
