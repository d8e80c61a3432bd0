#include "GenericUtils.h"

#include "StringUtilEx.h"

#include "OgreResourceGroupManagerEx.h"

#include <OgreStringConverter.h>

namespace Wren
{
    std::string GenericUtils::cleanFileName(const std::string& name)
    {
        std::string clean = name;
        Ogre::StringUtil::trim(clean);
        for (const char* bad : {"\\", "/", "?", "\"", "*", "<", ">", "|"})
            StringUtilEx::replace(clean, bad, "");
        return clean;
    }

    bool GenericUtils::findFilePath(std::string& name)
    {
        std::string lower = name;
        Ogre::StringUtil::toLowerCase(lower);
        for (const char* group : {"PLSM2", "General"})
        {
            std::string full = Ogre::ResourceGroupManagerEx::getResoucesFullName(lower, group);
            if (full != lower)
            {
                name = full;
                return true;
            }
        }
        return false;
    }
}
