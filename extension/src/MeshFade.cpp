#include "MeshFade.h"

#include "OgreRenderableState.h"

#include <OgreEntity.h>
#include <OgreSubEntity.h>

namespace Wren
{
    void MeshFade::applyOpacity(const std::vector<Ogre::Entity*>& entities, float opacity)
    {
        for (Ogre::Entity* entity : entities)
            for (size_t s = 0; s < entity->getNumSubEntities(); ++s)
            {
                Ogre::SubEntity* sub = entity->getSubEntity(s);
                if (Ogre::RenderableState::hasSpecificState(sub) ||
                    !Ogre::RenderableState::hasAlphaRejection(sub))
                    Ogre::RenderableState::CreateSpecificState(sub, opacity);
            }
    }

    void MeshFade::start(int state, const std::vector<Ogre::Entity*>& incoming,
                         const std::vector<Ogre::Entity*>& outgoing)
    {
        // A fade that replaces a running one starts from the beginning.
        mState = state;
        mTimer = 0.0f;
        if (fadesIncoming())
            applyOpacity(incoming, 0.0f);
        if (fadesOutgoing())
            applyOpacity(outgoing, 1.0f);
    }

    bool MeshFade::step(float elapsed, float duration, const std::vector<Ogre::Entity*>& incoming,
                        const std::vector<Ogre::Entity*>& outgoing)
    {
        if (!isRunning())
            return false;
        mTimer += elapsed;
        const float t = mTimer / duration;
        if (t >= 1.0f)
            return true;
        if (fadesIncoming())
            applyOpacity(incoming, incomingOpacity(t));
        if (fadesOutgoing())
            applyOpacity(outgoing, outgoingOpacity(t));
        return false;
    }

    void MeshFade::end(const std::vector<Ogre::Entity*>& incoming)
    {
        if (fadesIncoming())
            for (Ogre::Entity* entity : incoming)
                for (size_t s = 0; s < entity->getNumSubEntities(); ++s)
                    Ogre::RenderableState::clearSpecificState(entity->getSubEntity(s));
        mState = FADE_NONE;
    }
}
