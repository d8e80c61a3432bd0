#include "SoundGameObject.h"

#include "ChimeExecutor.h"
#include "SoundMetadata.h"

namespace Wren
{
    SoundGameObject::SoundGameObject(CoreGameObjectManager* manager, const std::string& name)
        : PlaceHolderGameObject(manager, name, PLACEHOLDER_META_ID)
    {
    }

    SoundGameObject::~SoundGameObject() {}

    const std::string& SoundGameObject::getObjectType() const
    {
        static const std::string type = "SoundGameObject";
        return type;
    }

    bool SoundGameObject::checkObjectType(const std::string& type) const
    {
        return type == SoundGameObject::getObjectType() ||
               PlaceHolderGameObject::checkObjectType(type);
    }

    void SoundGameObject::takeMetadata()
    {
        mSoundMetadata = dynamic_cast<SoundMetadata*>(getMetadata());
        buildExecutor();
    }

    ChimeExecutor* SoundGameObject::getExecutor() const
    {
        IGroupExecutor::ExecutorItem item;
        return mGroup.GetItem(0, item) ? static_cast<ChimeExecutor*>(item.executor.get())
                                       : nullptr;
    }

    void SoundGameObject::buildExecutor()
    {
        if (mGroup.getSize() > 0 || !mSoundMetadata)
            return;
        const SoundMetadata::Values& v = mSoundMetadata->getValues();
        ChimeExecutor* executor = new ChimeExecutor;
        executor->InitSoundName(v.soundFileName, -1.0f, false, false, false);
        mGroup.AddChild(executor, v.loop ? v.intervalTime : 0.0f, -1.0f, false);
    }

    void SoundGameObject::play()
    {
        ChimeExecutor* executor = getExecutor();
        if (mGroup.IsPlay() || !executor)
            return;
        executor->AttachSceneNode(getSceneNode());
        const SoundMetadata::Values& v = mSoundMetadata->getValues();
        mGroup.Play(v.loop);
        if (v.loop)
            mGroup.SetCurrentTime(v.intervalTime);
        if (mGroup.IsPlay())
            registerUpdate();
    }

    void SoundGameObject::stop()
    {
        if (mGroup.IsPlay())
            mGroup.Stop();
        if (ChimeExecutor* executor = getExecutor())
            executor->DetachSceneNode();
        unregisterUpdate();
    }

    void SoundGameObject::destroy(bool destroyChildren, bool keepInPartition)
    {
        stop();
        PlaceHolderGameObject::destroy(destroyChildren, keepInPartition);
    }

    void SoundGameObject::changeLODLoadResources(bool immediate)
    {
        PlaceHolderGameObject::changeLODLoadResources(immediate);
        if (getLevelOfDetail() == LOD_BEYOND_HINT)
            stop();
        else
            play();
    }

    void SoundGameObject::update(float elapsed)
    {
        mGroup.Breathe(elapsed);
        // A one-shot sound ends in the Breathe that passes its end.
        if (!mGroup.IsPlay())
            unregisterUpdate();
        PlaceHolderGameObject::update(elapsed);
    }

    void SoundGameObject::refresh()
    {
        stop();
        mGroup.ClearAll();
        buildExecutor();
        if (getLevelOfDetail() != LOD_BEYOND_HINT)
            play();
    }
}
