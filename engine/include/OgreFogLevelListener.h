#ifndef __WrenOgreFogLevelListener_H__
#define __WrenOgreFogLevelListener_H__

#include "WrenEnginePrerequisites.h"

#include <vector>

namespace Ogre
{
    /** Told when the fog level of the rendered scene changes. The fog level
        scales view distances: 1 is clear sight, smaller values mean thicker
        fog. Stock OGRE reports no fog level; the host (or a test) reports it
        through FogLevelNotifier. */
    class WREN_ENGINE_EXPORT FogLevelListner
    {
    public:
        virtual ~FogLevelListner();
        /** The fog level is now fogLevel. */
        virtual void _notifyFogLevelChanged(float fogLevel) = 0;
    };

    /** The process-wide registry of fog-level listeners. Listeners register
        themselves and must unregister before they are destroyed; a listener
        added while a notification runs is told from the next one on, one
        removed during it is not told any more. Frame thread only. */
    class WREN_ENGINE_EXPORT FogLevelNotifier
    {
    public:
        /** Adds listener (null and repeated additions are ignored). */
        static void addListener(FogLevelListner* listener);
        /** Removes listener; unknown listeners are ignored. */
        static void removeListener(FogLevelListner* listener);
        /** Whether listener is registered. */
        static bool hasListener(const FogLevelListner* listener);
        /** Stores fogLevel and tells every registered listener, in the order
            they registered. */
        static void notifyFogLevelChanged(float fogLevel);
        /** The level last reported (1 before any report). */
        static float getFogLevel();

    private:
        static std::vector<FogLevelListner*>& listeners();
        static float sFogLevel;
    };
}

#endif
