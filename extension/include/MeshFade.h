#ifndef __WrenMeshFade_H__
#define __WrenMeshFade_H__

#include "WrenExtensionPrerequisites.h"

#include <vector>

namespace Ogre
{
    class Entity;
}

namespace Wren
{
    /** The fade of one mesh object between levels of detail.

        A fade lasts duration seconds. At t = elapsed / duration an incoming
        entity's opacity is t; an outgoing one stays opaque for the first
        half and ends at 0.5. Every faded sub-entity whose material does not
        reject by alpha gets its own blending state (Ogre::RenderableState)
        with that opacity; the incoming entities' fades end with the fade. The fade holds no entities: the caller passes the
        ones it shows.
    */
    class WREN_EXTENSION_EXPORT MeshFade
    {
    public:
        enum State
        {
            FADE_OUT = 0,
            FADE_IN = 1,
            FADE_CROSS = 2,
            FADE_NONE = 3
        };

        static float incomingOpacity(float t) { return t; }
        static float outgoingOpacity(float t) { return t < 0.5f ? 1.0f : 1.5f - t; }

        int getState() const { return mState; }
        float getTimer() const { return mTimer; }
        bool isRunning() const { return mState != FADE_NONE; }
        bool fadesIncoming() const { return mState == FADE_IN || mState == FADE_CROSS; }
        bool fadesOutgoing() const { return mState == FADE_OUT || mState == FADE_CROSS; }

        /** Starts (or restarts) a fade: incoming entities at opacity 0,
            outgoing ones at 1. */
        void start(int state, const std::vector<Ogre::Entity*>& incoming,
                   const std::vector<Ogre::Entity*>& outgoing);
        /** Advances the fade by elapsed seconds; true when it has reached
            its end, which the caller then finishes (end). */
        bool step(float elapsed, float duration, const std::vector<Ogre::Entity*>& incoming,
                  const std::vector<Ogre::Entity*>& outgoing);
        /** Ends the fades of the incoming entities (other states they have
            stay) and stops the fade. */
        void end(const std::vector<Ogre::Entity*>& incoming);

        /** Gives every sub-entity of the entities that may blend the opacity. */
        static void applyOpacity(const std::vector<Ogre::Entity*>& entities, float opacity);

    private:
        int mState = FADE_NONE;
        float mTimer = 0.0f;
    };
}

#endif
