#ifndef __OgreResourceGroupManagerEx_H__
#define __OgreResourceGroupManagerEx_H__

#include "WrenEnginePrerequisites.h"

#include <OgreString.h>

namespace Ogre
{
    /** Look-ups on the resource groups that stock OGRE's
        ResourceGroupManager lacks. */
    class WREN_ENGINE_EXPORT ResourceGroupManagerEx
    {
    public:
        /** Full name (archive folder, a slash, the file's own name in its own
            case) of the file of a group whose lower-cased name, with or
            without its folder inside the archive, equals name. Returns name
            unchanged when the group does not exist or holds no such file. */
        static String getResoucesFullName(const String& name, const String& group);
    };
}

#endif
