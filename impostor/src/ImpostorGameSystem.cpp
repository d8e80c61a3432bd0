#include "ImpostorGameSystem.h"

#include "CoreGameObjectManager.h"
#include "ImpostorHandler.h"
#include "ImpostorManager.h"
#include "UniqueImpostorHandler.h"

#include <OgreException.h>
#include <OgreLogManager.h>
#include <OgreResourceGroupManager.h>

#include <vector>

namespace Wren
{
    namespace
    {
        const int kNodeReserve = 400;
        const unsigned int kTextureSize = 1024;
        const Ogre::uint8 kImpostorRenderQueue = 4;

        void logMessage(const std::string& message)
        {
            Ogre::LogManager::getSingleton().logMessage("ImpostorGameSystem: " + message);
        }
    }

    const char* const ImpostorGameSystem::TYPE_NAME = "ImpostorGameSystem";

    ImpostorGameSystem::ImpostorGameSystem() {}

    ImpostorGameSystem::~ImpostorGameSystem() { delete mImpostorManager; }

    void ImpostorGameSystem::init(GameObjectManager* manager) { mGameObjectManager = manager; }

    bool ImpostorGameSystem::save(DataElementPtr) { return true; }

    bool ImpostorGameSystem::load(DataElementPtr)
    {
        CoreGameObjectManager* manager = dynamic_cast<CoreGameObjectManager*>(mGameObjectManager);
        Ogre::SceneManager* scene = manager ? manager->getSceneManager() : nullptr;
        if (!scene)
        {
            logMessage(manager ? "the world has no scene manager; no impostors"
                               : "load needs init with a CoreGameObjectManager first; no impostors");
            return false;
        }

        // Handlers of an earlier load move over to the new machinery.
        std::vector<Ogre::UniqueImpostorHandler*> handlers;
        if (mImpostorManager)
        {
            for (Ogre::UniqueImpostorHandler* handler : mImpostorManager->getHandlers())
                if (!handler->isDeletedByManager())
                    handlers.push_back(handler);
            delete mImpostorManager;
            mImpostorManager = nullptr;
            mCamera = nullptr;
        }

        const std::string name = manager->getWorldName() + "_ImpostorGameSystem";
        Ogre::ImpostorManager* impostors = new Ogre::ImpostorManager();
        try
        {
            if (!impostors->init(scene, name, Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME,
                                 kNodeReserve, kTextureSize, kImpostorRenderQueue))
            {
                logMessage("the impostor manager '" + name + "' could not start; no impostors");
                delete impostors;
                return false;
            }
        }
        catch (const Ogre::Exception& e)
        {
            logMessage("the impostor textures of '" + name + "' can not be made; no impostors: " +
                       e.getDescription());
            delete impostors;
            return false;
        }

        mImpostorManager = impostors;
        mCamera = manager->getPlayerCamera();
        for (Ogre::UniqueImpostorHandler* handler : handlers)
            mImpostorManager->addHandler(handler);
        return true;
    }

    void ImpostorGameSystem::update(float)
    {
        if (mImpostorManager)
            mImpostorManager->update(mCamera);
    }

    void ImpostorGameSystem::addImpostorHandler(ImpostorHandler* handler)
    {
        if (mImpostorManager && handler)
            mImpostorManager->addHandler(handler->getUniqueImpostorHandler());
    }

    void ImpostorGameSystem::releaseImpostorHandler(ImpostorHandler* handler)
    {
        if (mImpostorManager && handler)
            mImpostorManager->removeHandler(handler->getUniqueImpostorHandler());
    }
}
