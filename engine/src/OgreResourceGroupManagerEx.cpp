#include "OgreResourceGroupManagerEx.h"

#include <OgreArchive.h>
#include <OgreResourceGroupManager.h>
#include <OgreStringConverter.h>

#include <filesystem>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

namespace Ogre
{
    namespace
    {
        struct Found
        {
            String fileName;
            String fullName;
        };

        /** The lower-cased names of the files of one group. */
        struct GroupIndex
        {
            /** Each location's archive name and the time its folder last
                changed. */
            std::vector<std::pair<String, std::filesystem::file_time_type>> signature;
            std::unordered_map<String, Found> byLowerName;
            bool made = false;
        };

        std::vector<std::pair<String, std::filesystem::file_time_type>> signatureOf(
            const ResourceGroupManager& groups, const String& group)
        {
            std::vector<std::pair<String, std::filesystem::file_time_type>> signature;
            for (const ResourceGroupManager::ResourceLocation& location :
                 groups.getResourceLocationList(group))
            {
                std::error_code ec;
                const String& name = location.archive->getName();
                signature.emplace_back(name, std::filesystem::last_write_time(name, ec));
            }
            return signature;
        }

        /** The index of group, made again when its folders changed since. */
        const GroupIndex& indexOf(const ResourceGroupManager& groups, const String& group)
        {
            static std::map<String, GroupIndex> indexes;
            GroupIndex& index = indexes[group];
            auto signature = signatureOf(groups, group);
            if (index.made && signature == index.signature)
                return index;
            index.made = true;
            index.signature = std::move(signature);
            index.byLowerName.clear();
            FileInfoListPtr files = groups.listResourceFileInfo(group);
            for (const FileInfo& file : *files)
            {
                const Found found{file.filename, file.archive->getName() + "/" + file.filename};
                for (String key : {file.filename, file.basename})
                {
                    StringUtil::toLowerCase(key);
                    // The first location that holds a name wins, as in OGRE.
                    index.byLowerName.emplace(key, found);
                }
            }
            return index;
        }
    }

    bool ResourceGroupManagerEx::findResource(const String& name, const String& group,
                                              String& fileName, String& fullName)
    {
        ResourceGroupManager* groups = ResourceGroupManager::getSingletonPtr();
        if (!groups || name.empty() || !groups->resourceGroupExists(group))
            return false;
        if (groups->resourceExists(group, name))
        {
            for (const ResourceGroupManager::ResourceLocation& location :
                 groups->getResourceLocationList(group))
                if (location.archive->exists(name))
                {
                    fileName = name;
                    fullName = location.archive->getName() + "/" + name;
                    return true;
                }
        }
        String lower = name;
        StringUtil::toLowerCase(lower);
        const GroupIndex* index = &indexOf(*groups, group);
        auto it = index->byLowerName.find(lower);
        if (it == index->byLowerName.end())
            return false;
        fileName = it->second.fileName;
        fullName = it->second.fullName;
        return true;
    }

    void ResourceGroupManagerEx::prepareIndex(const String& group)
    {
        ResourceGroupManager* groups = ResourceGroupManager::getSingletonPtr();
        if (groups && groups->resourceGroupExists(group))
            indexOf(*groups, group);
    }

    String ResourceGroupManagerEx::getResoucesFullName(const String& name, const String& group)
    {
        String fileName, fullName;
        return findResource(name, group, fileName, fullName) ? fullName : name;
    }
}
