#include "WorldsFolder.h"

#include <OgreStringConverter.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace Wren
{
    namespace
    {
        std::string gConfigPath = "resources.cfg";

        const char* const gSeparators = "\t:=";

        bool isPathSeparator(char c) { return c == '/' || c == '\\'; }

        /** End (one past) of the first occurrence of "worlds" in lower that
            is a whole folder name, or npos. */
        std::string::size_type wholeFolderEnd(const std::string& lower)
        {
            const std::string word = "worlds";
            for (std::string::size_type at = lower.find(word); at != std::string::npos;
                 at = lower.find(word, at + 1))
            {
                const std::string::size_type end = at + word.size();
                const bool startsFolder = at == 0 || isPathSeparator(lower[at - 1]);
                const bool endsFolder = end == lower.size() || isPathSeparator(lower[end]);
                if (startsFolder && endsFolder)
                    return end;
            }
            return std::string::npos;
        }
    }

    const std::string& WorldsFolder::getConfigPath() { return gConfigPath; }

    void WorldsFolder::setConfigPath(const std::string& path) { gConfigPath = path; }

    std::string WorldsFolder::find()
    {
        std::ifstream in(gConfigPath, std::ios::binary);
        if (!in)
            return std::string();
        std::stringstream text;
        text << in.rdbuf();
        Settings settings = parse(text.str());
        for (auto& setting : settings)
            setting.second = resolve(setting.second);
        return fromSettings(settings);
    }

    std::string WorldsFolder::resolve(const std::string& value)
    {
        const std::filesystem::path folder = std::filesystem::path(gConfigPath).parent_path();
        if (value.empty() || std::filesystem::path(value).is_absolute() || folder.empty())
            return value;
        std::string joined = (folder / value).lexically_normal().string();
        while (joined.size() > 1 && joined.back() == '/')
            joined.pop_back();
        return joined;
    }

    WorldsFolder::Settings WorldsFolder::parse(const std::string& text)
    {
        Settings settings;
        std::istringstream lines(text);
        std::string line;
        while (std::getline(lines, line))
        {
            Ogre::StringUtil::trim(line);
            if (line.empty() || line[0] == '#' || line[0] == '@' || line[0] == '[')
                continue;
            const std::string::size_type split = line.find_first_of(gSeparators);
            if (split == std::string::npos)
                continue;
            std::string key = line.substr(0, split);
            const std::string::size_type valueStart = line.find_first_not_of(gSeparators, split);
            std::string value =
                valueStart == std::string::npos ? std::string() : line.substr(valueStart);
            Ogre::StringUtil::trim(key);
            Ogre::StringUtil::trim(value);
            settings.emplace_back(key, value);
        }
        return settings;
    }

    std::string WorldsFolder::fromSettings(const Settings& settings)
    {
        for (const auto& setting : settings)
        {
            std::string lower = setting.second;
            Ogre::StringUtil::toLowerCase(lower);
            const std::string::size_type end = wholeFolderEnd(lower);
            if (end != std::string::npos)
                return setting.second.substr(0, end);
        }
        for (const auto& setting : settings)
        {
            std::string lower = setting.second;
            Ogre::StringUtil::toLowerCase(lower);
            const std::string::size_type at = lower.find("worlds");
            if (at != std::string::npos)
                return setting.second.substr(0, at + 6);
        }
        return std::string();
    }
}
