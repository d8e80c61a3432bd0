#include "ViewerImpostors.h"

#include "CoreGameObjectManager.h"
#include "CorePartition.h"
#include "ImpostorGameSystem.h"
#include "ImpostorHandler.h"
#include "ImpostorManager.h"
#include "MeshGameObject.h"

#include <OgreLogManager.h>

namespace Wren
{
    const float ViewerImpostors::ScreenSizeThreshold = 48.0f;

    ViewerImpostors::ViewerImpostors(CoreGameObjectManager* manager) : mManager(manager) {}

    bool ViewerImpostors::start()
    {
        const std::string type = ImpostorGameSystem::TYPE_NAME;
        mSystem = dynamic_cast<ImpostorGameSystem*>(mManager->getGameObjectManagerGameSystemByType(type));
        if (!mSystem)
        {
            mSystem = dynamic_cast<ImpostorGameSystem*>(mManager->createGameObjectManagerGameSystem(type));
            if (mSystem && !mSystem->load(DataElementPtr()))
                mSystem = nullptr;
        }
        if (!mSystem || !mSystem->getImpostorManager())
        {
            Ogre::LogManager::getSingleton().logMessage(
                "ViewerImpostors: the impostor system does not start; meshes are drawn as they are");
            mSystem = nullptr;
            return false;
        }
        return true;
    }

    void ViewerImpostors::onPartitionLoaded(const CorePartition* partition)
    {
        if (!mSystem)
            return;
        for (CoreGameObject* object : partition->getObjects())
            if (MeshGameObject* mesh = dynamic_cast<MeshGameObject*>(object))
                if (!mesh->getImpostorHandler() && mesh->getSceneNode())
                    mesh->setImpostorHandler(
                        new ImpostorHandler(mesh->getSceneNode(), ScreenSizeThreshold, 16, 256, 0.98f));
    }

    void ViewerImpostors::update(float elapsed)
    {
        if (mSystem)
            mSystem->update(elapsed);
    }

    size_t ViewerImpostors::getImpostorsDrawn() const
    {
        return mSystem ? mSystem->getImpostorManager()->getImpostorCount() : 0;
    }
}
