#include "ViewerImpostors.h"

#include "CoreGameObject.h"
#include "CoreGameObjectManager.h"
#include "CorePartition.h"
#include "ImpostorGameSystem.h"
#include "ImpostorHandler.h"

#include <OgreLogManager.h>

namespace Wren
{
    const float ViewerImpostors::ScreenSizeThreshold = 48.0f;

    ViewerImpostors::ViewerImpostors(CoreGameObjectManager* manager) : mManager(manager) {}

    ViewerImpostors::~ViewerImpostors()
    {
        if (mSystem)
            for (auto& partition : mHandlers)
                for (auto& handler : partition.second)
                    mSystem->releaseImpostorHandler(handler.get());
        mHandlers.clear();
        mSystem.reset();
    }

    bool ViewerImpostors::start()
    {
        mSystem.reset(new ImpostorGameSystem());
        mSystem->init(mManager);
        if (!mSystem->load(DataElementPtr()))
        {
            Ogre::LogManager::getSingleton().logMessage(
                "ViewerImpostors: the impostor system does not start; meshes are drawn as they are");
            mSystem.reset();
            return false;
        }
        return true;
    }

    void ViewerImpostors::onPartitionLoaded(const CorePartition* partition)
    {
        if (!mSystem)
            return;
        auto& handlers = mHandlers[partition->getID()];
        for (const CoreGameObject* object : partition->getObjects())
            if (Ogre::SceneNode* node = object->getSceneNode())
            {
                handlers.emplace_back(new ImpostorHandler(node, ScreenSizeThreshold, 16, 256, 0.98f));
                mSystem->addImpostorHandler(handlers.back().get());
            }
    }

    void ViewerImpostors::onPartitionUnloaded(const std::string& partitionId)
    {
        auto it = mHandlers.find(partitionId);
        if (it == mHandlers.end())
            return;
        for (auto& handler : it->second)
            mSystem->releaseImpostorHandler(handler.get());
        mHandlers.erase(it);
    }

    void ViewerImpostors::update(float elapsed)
    {
        if (mSystem)
            mSystem->update(elapsed);
    }

    size_t ViewerImpostors::getHandlerCount() const
    {
        size_t count = 0;
        for (const auto& partition : mHandlers)
            count += partition.second.size();
        return count;
    }
}
