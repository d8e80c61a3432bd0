#ifndef __WrenWorldsFolder_H__
#define __WrenWorldsFolder_H__

#include "WrenCorePrerequisites.h"

#include <utility>

namespace Wren
{
    /** Where worlds are saved: the worlds folder named in the engine's
        resource configuration file.

        The configuration file ("resources.cfg" in the working directory
        unless the host names another) is read as the engine reads it:
        "[section]" lines, "#" and "@" comment lines, and settings split at
        the first tab, ":" or "=" with white space trimmed. Walking the
        settings in file order, the first value that holds a folder named
        "worlds" (case ignored) gives the worlds folder: the value up to and
        including that folder name, in the value's own case. A relative
        value is taken relative to the folder that holds the configuration
        file (see resolve). A value that
        merely contains "worlds" inside a longer folder name counts only when
        no setting names such a folder. A world w then lives in
        <worlds>/w/: its world file w.World and its folder "Partitions".
    */
    class WREN_CORE_EXPORT WorldsFolder
    {
    public:
        typedef std::vector<std::pair<std::string, std::string>> Settings;

        /** The configuration file that find() reads; "resources.cfg" until a
            host sets another. */
        static const std::string& getConfigPath();
        static void setConfigPath(const std::string& path);

        /** The worlds folder of the configuration file; empty when the file
            is missing or names no worlds folder. */
        static std::string find();

        /** A path of the configuration file as it names a folder: an
            absolute one as it stands, a relative one joined to the folder
            that holds the file (and so unchanged for a file in the working
            directory). */
        static std::string resolve(const std::string& value);

        /** The settings of a configuration text, in file order. */
        static Settings parse(const std::string& text);
        /** The worlds folder named by the settings (rule of the class
            comment); empty when none does. */
        static std::string fromSettings(const Settings& settings);
    };
}

#endif
