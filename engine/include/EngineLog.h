#ifndef __WrenEngineLog_H__
#define __WrenEngineLog_H__

#include "WrenEnginePrerequisites.h"

#include <string>

namespace Wren
{
    /** Writing to the engine's log from library code, which never assumes
        that the host made a log manager. */
    class WREN_ENGINE_EXPORT EngineLog
    {
    public:
        /** Writes line to the default log at the normal level when an
            Ogre::LogManager exists; does nothing otherwise. Frame thread
            only, as OGRE's log is not locked here. */
        static void line(const std::string& line);
    };
}

#endif
