#include "ImpostorHandler.h"

#include "UniqueImpostorHandler.h"

#include <OgreSceneNode.h>

namespace Wren
{
    ImpostorHandler::ImpostorHandler(Ogre::SceneNode* node, float screenSizeThreshold,
                                     unsigned int minTextureSize, unsigned int maxTextureSize,
                                     float redrawCosine)
        : mHandler(std::make_shared<Ogre::UniqueImpostorHandler>(node, screenSizeThreshold, minTextureSize,
                                                                 maxTextureSize, redrawCosine))
    {
        mHandler->setDeletedByManager(false);
    }

    ImpostorHandler::~ImpostorHandler() {}
}
