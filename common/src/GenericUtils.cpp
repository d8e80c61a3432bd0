#include "GenericUtils.h"

#include "StringUtilEx.h"

#include "OgreResourceGroupManagerEx.h"

#include <OgreResourceGroupManager.h>
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
        std::string group, fileName, fullName;
        if (!findFile(name, group, fileName, fullName))
            return false;
        name = fullName;
        return true;
    }

    bool GenericUtils::findFile(const std::string& name, std::string& group, std::string& fileName,
                                std::string& fullName)
    {
        Ogre::ResourceGroupManager* groups = Ogre::ResourceGroupManager::getSingletonPtr();
        if (!groups)
            return false;
        Ogre::StringVector order = {"PLSM2", "General"};
        for (const std::string& other : groups->getResourceGroups())
            if (other != order[0] && other != order[1])
                order.push_back(other);
        for (const std::string& candidate : order)
            if (Ogre::ResourceGroupManagerEx::findResource(name, candidate, fileName, fullName))
            {
                group = candidate;
                return true;
            }
        return false;
    }
}
