#include "OgreFogLevelListener.h"

#include <algorithm>

namespace Ogre
{
    float FogLevelNotifier::sFogLevel = 1.0f;

    FogLevelListner::~FogLevelListner() { FogLevelNotifier::removeListener(this); }

    std::vector<FogLevelListner*>& FogLevelNotifier::listeners()
    {
        static std::vector<FogLevelListner*> registered;
        return registered;
    }

    void FogLevelNotifier::addListener(FogLevelListner* listener)
    {
        if (listener && !hasListener(listener))
            listeners().push_back(listener);
    }

    void FogLevelNotifier::removeListener(FogLevelListner* listener)
    {
        std::vector<FogLevelListner*>& all = listeners();
        all.erase(std::remove(all.begin(), all.end(), listener), all.end());
    }

    bool FogLevelNotifier::hasListener(const FogLevelListner* listener)
    {
        const std::vector<FogLevelListner*>& all = listeners();
        return std::find(all.begin(), all.end(), listener) != all.end();
    }

    void FogLevelNotifier::notifyFogLevelChanged(float fogLevel)
    {
        sFogLevel = fogLevel;
        // A listener may register or unregister others while it is told.
        const std::vector<FogLevelListner*> snapshot = listeners();
        for (FogLevelListner* listener : snapshot)
            if (hasListener(listener))
                listener->_notifyFogLevelChanged(fogLevel);
    }

    float FogLevelNotifier::getFogLevel() { return sFogLevel; }
}
