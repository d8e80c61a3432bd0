#include "OgreResourceGroupManagerEx.h"
#include "TestEngine.h"

#include <OgreArchiveManager.h>
#include <OgreFileSystem.h>
#include <OgreResourceGroupManager.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>

using Ogre::ResourceGroupManagerEx;
using Wren::Test::TestEngine;

namespace
{
    /** A folder archive that counts how often it is listed. */
    class CountingArchive : public Ogre::Archive
    {
    public:
        CountingArchive(const Ogre::String& name, int& listings)
            : Archive(name, "CountingFileSystem"),
              mFolder(Ogre::FileSystemArchiveFactory().createInstance(name, true)),
              mListings(listings)
        {
        }
        bool isCaseSensitive() const override { return true; }
        void load() override { mFolder->load(); }
        void unload() override { mFolder->unload(); }
        Ogre::DataStreamPtr open(const Ogre::String& file, bool readOnly) const override
        {
            return mFolder->open(file, readOnly);
        }
        Ogre::StringVectorPtr list(bool recursive, bool dirs) const override
        {
            ++mListings;
            return mFolder->list(recursive, dirs);
        }
        Ogre::FileInfoListPtr listFileInfo(bool recursive, bool dirs) const override
        {
            ++mListings;
            return mFolder->listFileInfo(recursive, dirs);
        }
        Ogre::StringVectorPtr find(const Ogre::String& pattern, bool recursive,
                                   bool dirs) const override
        {
            ++mListings;
            return mFolder->find(pattern, recursive, dirs);
        }
        Ogre::FileInfoListPtr findFileInfo(const Ogre::String& pattern, bool recursive,
                                           bool dirs) const override
        {
            ++mListings;
            return mFolder->findFileInfo(pattern, recursive, dirs);
        }
        bool exists(const Ogre::String& file) const override { return mFolder->exists(file); }
        time_t getModifiedTime(const Ogre::String& file) const override
        {
            return mFolder->getModifiedTime(file);
        }

    private:
        std::unique_ptr<Ogre::Archive> mFolder;
        int& mListings;
    };

    class CountingFactory : public Ogre::ArchiveFactory
    {
    public:
        const Ogre::String& getType() const override
        {
            static const Ogre::String type = "CountingFileSystem";
            return type;
        }
        using ArchiveFactory::createInstance;
        Ogre::Archive* createInstance(const Ogre::String& name, bool) override
        {
            return new CountingArchive(name, listings);
        }
        void destroyInstance(Ogre::Archive* archive) override { delete archive; }
        int listings = 0;
    };

    /** Dates the folder back, as a folder that nobody wrote to lately. */
    void age(const std::string& folder, int minutes)
    {
        std::filesystem::last_write_time(
            folder, std::filesystem::file_time_type::clock::now() - std::chrono::minutes(minutes));
    }
}

TEST(ResourceLookup, NamesAreFoundWithoutRegardToCaseWithoutListingTheFolderForEachLookUp)
{
    TestEngine& engine = TestEngine::instance();
    static CountingFactory factory;
    Ogre::ArchiveManager::getSingleton().addArchiveFactory(&factory);
    const std::string folder = engine.makeTempFolder("lookup");
    TestEngine::writeFile(folder, "Big.Meta", "<Meta/>");
    age(folder, 60);
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    groups.createResourceGroup("Counted");
    groups.addResourceLocation(folder, "CountingFileSystem", "Counted");
    factory.listings = 0;

    for (int i = 0; i < 100; ++i)
    {
        EXPECT_EQ(folder + "/Big.Meta", ResourceGroupManagerEx::getResoucesFullName("big.meta", "Counted"));
        EXPECT_EQ("gone.meta", ResourceGroupManagerEx::getResoucesFullName("gone.meta", "Counted"));
    }
    EXPECT_EQ(1, factory.listings);

    // A file written since is found once the folder's time moved.
    TestEngine::writeFile(folder, "Late.Meta", "<Meta/>");
    age(folder, 50);
    Ogre::String fileName, fullName;
    EXPECT_TRUE(ResourceGroupManagerEx::findResource("late.meta", "Counted", fileName, fullName));
    EXPECT_EQ("Late.Meta", fileName);
    EXPECT_EQ(2, factory.listings);
    groups.destroyResourceGroup("Counted");

    // A folder written just now (a world generated a moment ago) is listed
    // once too, however many look-ups hit or miss.
    const std::string fresh = engine.makeTempFolder("lookup-fresh");
    TestEngine::writeFile(fresh, "New.Meta", "<Meta/>");
    groups.createResourceGroup("CountedFresh");
    groups.addResourceLocation(fresh, "CountingFileSystem", "CountedFresh");
    factory.listings = 0;
    for (int i = 0; i < 100; ++i)
    {
        EXPECT_TRUE(ResourceGroupManagerEx::findResource("new.meta", "CountedFresh", fileName, fullName));
        EXPECT_FALSE(ResourceGroupManagerEx::findResource("other.meta", "CountedFresh", fileName, fullName));
    }
    EXPECT_EQ(1, factory.listings);
    groups.destroyResourceGroup("CountedFresh");
}
