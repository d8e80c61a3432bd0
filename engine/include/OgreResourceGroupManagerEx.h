#ifndef __OgreResourceGroupManagerEx_H__
#define __OgreResourceGroupManagerEx_H__

#include "WrenEnginePrerequisites.h"

#include <OgreString.h>

namespace Ogre
{
    /** Look-ups on the resource groups that stock OGRE's
        ResourceGroupManager lacks.

        A name is looked up in OGRE's own index of the group first; a name
        it does not hold as written is looked up, without regard to case, in
        an index of the group's files kept here. That index is made from one
        listing of the group's locations and made again only when the
        group's locations change or one of their folders (not its sub-
        folders) gains, loses or renames a file: a look-up lists nothing on
        disk, however many files the folders hold. (A file written within the
        file system's time resolution of the listing, without moving the
        folder's time again, is found by its exact name only until the
        folder changes next.) Frame thread only.
    */
    class WREN_ENGINE_EXPORT ResourceGroupManagerEx
    {
    public:
        /** Full name (archive folder, a slash, the file's own name in its own
            case) of the file of a group whose lower-cased name, with or
            without its folder inside the archive, equals name. Returns name
            unchanged when the group does not exist or holds no such file. */
        static String getResoucesFullName(const String& name, const String& group);

        /** The same look-up: on success fileName is the file's name in its
            archive, in its own case, as ResourceGroupManager::openResource
            takes it, and fullName as getResoucesFullName gives it. */
        static bool findResource(const String& name, const String& group, String& fileName,
                                 String& fullName);

        /** Makes the index of group now (when it is not up to date), so that
            the first look-up that needs it lists nothing. */
        static void prepareIndex(const String& group);
    };
}

#endif
