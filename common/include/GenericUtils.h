#ifndef __WrenGenericUtils_H__
#define __WrenGenericUtils_H__

#include "WrenCommonPrerequisites.h"

namespace Wren
{
    /** File-name helpers. */
    class WREN_COMMON_EXPORT GenericUtils
    {
    public:
        /** A copy of name made safe as a file name: white space trimmed at
            both ends, and every \ / ? " * < > | removed (the colon is kept). */
        static std::string cleanFileName(const std::string& name);
        /** Looks the lower-cased name up in the resource groups "PLSM2", then
            "General", then every other group (see
            Ogre::ResourceGroupManagerEx). On success replaces name by the
            resource's full name and returns true; otherwise leaves name as it
            was. */
        static bool findFilePath(std::string& name);
        /** The same look-up, telling the group that holds the file and the
            file's name there in its own case (what opening it takes) besides
            its full name. */
        static bool findFile(const std::string& name, std::string& group, std::string& fileName,
                             std::string& fullName);
    };
}

#endif
