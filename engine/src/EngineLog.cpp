#include "EngineLog.h"

#include <OgreLogManager.h>

namespace Wren
{
    void EngineLog::line(const std::string& line)
    {
        if (Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr())
            logs->logMessage(line);
    }
}
