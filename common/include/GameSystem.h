#ifndef __WrenGameSystem_H__
#define __WrenGameSystem_H__

#include "WrenCommonPrerequisites.h"

namespace Wren
{
    /** A process-wide service that is found by name in GameSystemManager and
        updated once per frame. Made by a GameSystemFactory; owned by the
        registry while it is registered. */
    class WREN_COMMON_EXPORT GameSystem
    {
    public:
        virtual ~GameSystem();

        /** One frame of work; elapsedSeconds is the time since the last
            call. The base does nothing. */
        virtual void update(float elapsedSeconds);
    };
}

#endif
