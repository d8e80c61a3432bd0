// CoreGameObjectManager: the listings of an editor's object browser.
#include "CoreGameObjectManager.h"

#include "DataElement.h"
#include "GameObjectFactory.h"
#include "GameObjectFactoryManager.h"
#include "SelectorDataFile.h"

#include <OgreLogManager.h>
#include <OgreStringConverter.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>

namespace Wren
{
    namespace
    {
        std::string lowered(const std::string& text)
        {
            std::string out = text;
            Ogre::StringUtil::toLowerCase(out);
            return out;
        }

        /** "YYYYMMDDhhmmss" of the last modification of path, in UTC. */
        std::string timeKey(const std::string& path)
        {
            struct stat info;
            if (::stat(path.c_str(), &info) != 0)
                return std::string(14, '0');
            std::tm utc = {};
            gmtime_r(&info.st_mtime, &utc);
            char key[32];
            std::snprintf(key, sizeof key, "%04d%02d%02d%02d%02d%02d", utc.tm_year + 1900,
                          utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
            return key;
        }
    }

    void CoreGameObjectManager::enumerateCategoryInfos(const std::string& dir,
                                                       std::vector<CategoryInfo>& out) const
    {
        const std::string folder = dir.empty() ? mObjectsFolder : dir;
        std::error_code ec;
        for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
             it.increment(ec))
        {
            const std::string name = it->path().filename().string();
            if (name == "." || name == ".." || name == ".svn" || name == "CVS")
                continue;
            out.push_back(CategoryInfo{folder + "/" + name, name});
        }
    }

    bool CoreGameObjectManager::lessByNmae(const CategoryInfo& a, const CategoryInfo& b)
    {
        return lowered(a.name) < lowered(b.name);
    }

    bool CoreGameObjectManager::greaterByNmae(const CategoryInfo& a, const CategoryInfo& b)
    {
        return lowered(b.name) < lowered(a.name);
    }

    void CoreGameObjectManager::enumerateCategoryInfosByNameOrder(const std::string& dir,
                                                                  std::vector<CategoryInfo>& out,
                                                                  bool ascending) const
    {
        std::vector<CategoryInfo> entries;
        enumerateCategoryInfos(dir, entries);
        std::stable_sort(entries.begin(), entries.end(), ascending ? lessByNmae : greaterByNmae);
        out.insert(out.end(), entries.begin(), entries.end());
    }

    void CoreGameObjectManager::enumerateCategoryInfosByTimeOrder(
        const std::string& dir, std::multimap<std::string, CategoryInfo>& out) const
    {
        std::vector<CategoryInfo> entries;
        enumerateCategoryInfos(dir, entries);
        for (const CategoryInfo& entry : entries)
            out.emplace(timeKey(entry.fullPath), entry);
    }

    void CoreGameObjectManager::enumerateObjectInfos(const std::string& dir,
                                                     std::vector<GameObjectInfo>& out) const
    {
        GameObjectFactoryManager* factories = GameObjectFactoryManager::getSingletonPtr();
        std::vector<CategoryInfo> entries;
        enumerateCategoryInfos(dir, entries);
        for (const CategoryInfo& entry : entries)
        {
            std::error_code ec;
            if (entry.name.find(".meta") == std::string::npos ||
                !std::filesystem::is_regular_file(entry.fullPath, ec))
                continue;
            SelectorDataFile file;
            DataElementPtr root;
            if (file.load(entry.fullPath))
                root = file.getRootElement();
            if (!root || root->getIsEmpty())
            {
                Ogre::LogManager::getSingleton().logMessage(
                    "CoreGameObjectManager::enumerateObjectInfos: " + entry.fullPath +
                    " can not be read; skipped");
                continue;
            }
            const std::string type = root->getAttributeString("ObjectType", "");
            GameObjectFactory* factory = factories ? factories->getGameObjectFactory(type) : nullptr;
            if (factory && factory->isSupported(type, this))
                out.push_back(GameObjectInfo{entry.name, root->getAttributeString("Name", "")});
        }
    }
}
