#include "OgreResourceGroupManagerEx.h"

#include <OgreArchive.h>
#include <OgreResourceGroupManager.h>
#include <OgreStringConverter.h>

namespace Ogre
{
    String ResourceGroupManagerEx::getResoucesFullName(const String& name, const String& group)
    {
        ResourceGroupManager* groups = ResourceGroupManager::getSingletonPtr();
        if (!groups || !groups->resourceGroupExists(group))
            return name;
        FileInfoListPtr files = groups->listResourceFileInfo(group);
        for (const FileInfo& file : *files)
        {
            String fileName = file.filename;
            String baseName = file.basename;
            StringUtil::toLowerCase(fileName);
            StringUtil::toLowerCase(baseName);
            if (fileName == name || baseName == name)
                return file.archive->getName() + "/" + file.filename;
        }
        return name;
    }
}
