#ifndef __WrenImpostorHandler_H__
#define __WrenImpostorHandler_H__

#include "WrenImpostorPrerequisites.h"

#include <memory>

namespace Ogre
{
    class SceneNode;
}

namespace Wren
{
    /** The handle through which one scene node takes part in the impostors
        of its world: made by the host (which owns the node) and given to
        ImpostorGameSystem::addImpostorHandler.

        The handle owns its Ogre::UniqueImpostorHandler; copies share it, and
        it goes with the last copy, so any copy may be destroyed in any
        order. The impostor manager never deletes it. Destroying the last
        copy while still registered unregisters it and shows the node.
    */
    class WREN_IMPOSTOR_EXPORT ImpostorHandler
    {
    public:
        /** The four values mean what they mean to Ogre::UniqueImpostorHandler:
            pixel size up to which the impostor is shown, smallest and
            largest impostor texture (powers of two, the largest at most half
            the world's impostor texture, 512), and the cosine of the view
            turn that draws the picture again. */
        ImpostorHandler(Ogre::SceneNode* node, float screenSizeThreshold, unsigned int minTextureSize,
                        unsigned int maxTextureSize, float redrawCosine);
        virtual ~ImpostorHandler();

        Ogre::UniqueImpostorHandler* getUniqueImpostorHandler() const { return mHandler.get(); }

    private:
        std::shared_ptr<Ogre::UniqueImpostorHandler> mHandler;
    };
}

#endif
