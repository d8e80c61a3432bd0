#include "BinaryDataFormat.h"
#include "BinaryFileResource.h"
#include "BinaryFileResourceManager.h"
#include "OgreBackgroundLoader.h"
#include "TestEngine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <future>
#include <memory>

using Ogre::BinaryDataElement;
using Ogre::BinaryFileResource;
using Ogre::BinaryFileResourceManager;
using Ogre::BinaryFileResourcePtr;
using Ogre::BackgroundLoader;
using Wren::Test::LogCapture;
using Wren::Test::TestEngine;

namespace
{
    class BinaryFiles : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            TestEngine::instance();
            mManager.reset(new BinaryFileResourceManager());
        }

        void TearDown() override
        {
            mManager.reset();
            mLoader.reset();
        }

        /** Saves a small "Objects" tree under that name in the PLSM2 folder. */
        std::string saveSample(const std::string& name, int children)
        {
            BinaryFileResource file;
            BinaryDataElement* root = file.createRootElement("Objects");
            *static_cast<unsigned char*>(root->allocBuf(1)) = 1;
            for (int i = 0; i < children; ++i)
                std::memset(root->createDefaultChild("Object")->allocBuf(276), i + 1, 276);
            const std::string path = TestEngine::instance().getPlsm2Folder() + "/" + name;
            EXPECT_TRUE(file.save(path));
            TestEngine::instance().rescanResources();
            return path;
        }

        void writeRaw(const std::string& name, const std::string& bytes)
        {
            TestEngine::writeFile(TestEngine::instance().getPlsm2Folder(), name, bytes);
            TestEngine::instance().rescanResources();
        }

        BinaryFileResourcePtr loadAtOnce(const std::string& name)
        {
            return Ogre::static_pointer_cast<BinaryFileResource>(
                mManager->load(name, "PLSM2", false, nullptr, nullptr, false));
        }

        BinaryFileResourcePtr loadInBackground(const std::string& name)
        {
            return Ogre::static_pointer_cast<BinaryFileResource>(
                mManager->load(name, "PLSM2", false, nullptr, nullptr, true));
        }

        /** Holds the loader thread until the returned promise is set. */
        std::shared_ptr<std::promise<void>> blockLoader()
        {
            auto gate = std::make_shared<std::promise<void>>();
            std::shared_future<void> open = gate->get_future().share();
            mLoader->submit([open] { open.wait(); });
            return gate;
        }

        static int countChildren(BinaryDataElement* root)
        {
            int n = 0;
            for (Ogre::IBinaryDataElement* e = root->getFirstChildElement("Object"); e;
                 e = e->getNextChildElement("Object"))
                ++n;
            return n;
        }

        std::unique_ptr<BinaryFileResourceManager> mManager;
        std::unique_ptr<BackgroundLoader> mLoader;
    };
}

TEST_F(BinaryFiles, SavedFileLoadsByNameFromItsResourceGroup)
{
    saveSample("Sample_Partition1.objbinary", 3);
    BinaryFileResourcePtr file = loadAtOnce("Sample_Partition1.objbinary");
    ASSERT_TRUE(file->isLoaded());
    EXPECT_FALSE(file->isBadResource());
    BinaryDataElement* root = file->getRootElement();
    ASSERT_TRUE(root);
    EXPECT_EQ("Objects", root->getName());
    EXPECT_EQ(1, *static_cast<unsigned char*>(root->getBuf()));
    EXPECT_EQ(3, countChildren(root));
    EXPECT_EQ(3, static_cast<unsigned char*>(root->getChild(2)->getBuf())[275]);

    file->unload();
    EXPECT_EQ(nullptr, file->getRootElement());
}

TEST_F(BinaryFiles, FailedSaveLeavesThePreviousFileAsItWas)
{
    const std::string path = saveSample("Keep.objbinary", 2);
    const std::string before = TestEngine::readFile(path);

    BinaryFileResource tooDeep;
    BinaryDataElement* e = tooDeep.createRootElement("d");
    for (size_t i = 0; i < Ogre::BinaryDataFormat::MaxDepth; ++i)
        e = e->createDefaultChild("d");
    LogCapture log;
    EXPECT_FALSE(tooDeep.save(path));
    EXPECT_TRUE(log.contains("can not save"));
    EXPECT_EQ(before, TestEngine::readFile(path));

    BinaryFileResource fine;
    fine.createRootElement("Objects");
    EXPECT_FALSE(fine.save(TestEngine::instance().getPlsm2Folder() + "/no/such/folder/x.objbinary"));
}

TEST_F(BinaryFiles, MissingFileThrowsAndIsMarkedBad)
{
    LogCapture log;
    BinaryFileResourcePtr file = mManager->createOrRetrieveBinaryFile("Absent.objbinary", "PLSM2");
    EXPECT_THROW(file->load(), Ogre::Exception);
    EXPECT_FALSE(file->isLoaded());
    EXPECT_TRUE(file->isBadResource());
    EXPECT_TRUE(log.contains("Absent.objbinary"));
}

TEST_F(BinaryFiles, MalformedFileThrowsLogsWhyAndLoadsOnceRepaired)
{
    writeRaw("Broken.objbinary", "WBIN\x01\x00\x00\x00\x01\x00\x00\x00\x07\x00Obj");
    LogCapture log;
    EXPECT_THROW(loadAtOnce("Broken.objbinary"), Ogre::Exception);
    BinaryFileResourcePtr file = mManager->getBinaryFileByName("Broken.objbinary", "PLSM2");
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->isBadResource());
    EXPECT_FALSE(file->isLoaded());
    EXPECT_TRUE(log.contains("can not read Broken.objbinary"));

    saveSample("Broken.objbinary", 1);
    file->load();
    EXPECT_TRUE(file->isLoaded());
    EXPECT_FALSE(file->isBadResource());
    EXPECT_TRUE(file->getLastError().empty());
}

TEST_F(BinaryFiles, LoadFromFileReplacesTheTreeOnlyWhenTheFileIsGood)
{
    const std::string path = saveSample("Direct.objbinary", 2);
    BinaryFileResource file;
    file.createRootElement("Before");
    EXPECT_FALSE(file.loadFromFile(path + ".missing"));
    EXPECT_FALSE(file.loadFromMemory("WBIN", 4));
    EXPECT_EQ("Before", file.getRootElement()->getName());
    ASSERT_TRUE(file.loadFromFile(path));
    EXPECT_EQ(2, countChildren(file.getRootElement()));
}

TEST_F(BinaryFiles, BackgroundLoadRunsOnTheLoaderThreadWhileTheFramePolls)
{
    mLoader.reset(new BackgroundLoader());
    saveSample("Bg.objbinary", 4);
    auto gate = blockLoader();

    BinaryFileResourcePtr file = loadInBackground("Bg.objbinary");
    EXPECT_FALSE(file->isLoaded());
    EXPECT_FALSE(file->isBadResource());
    EXPECT_EQ(nullptr, file->getRootElement());
    EXPECT_EQ(2u, mLoader->getPendingCount());
    // Asking again while it runs queues nothing more.
    loadInBackground("Bg.objbinary");
    EXPECT_EQ(2u, mLoader->getPendingCount());

    gate->set_value();
    mLoader->waitForAll();
    // The frame thread's poll completes the load.
    EXPECT_FALSE(file->isBadResource());
    EXPECT_TRUE(file->isLoaded());
    ASSERT_TRUE(file->getRootElement());
    EXPECT_EQ(4, countChildren(file->getRootElement()));
}

TEST_F(BinaryFiles, MalformedFileInTheBackgroundIsBadAndLoggedOnceOnTheFrameThread)
{
    mLoader.reset(new BackgroundLoader());
    writeRaw("BgBroken.objbinary", "not a binary file");
    LogCapture log;
    BinaryFileResourcePtr file = loadInBackground("BgBroken.objbinary");
    mLoader->waitForAll();
    EXPECT_FALSE(file->isLoaded());
    EXPECT_TRUE(file->isBadResource());
    EXPECT_TRUE(file->isBadResource());
    int lines = 0;
    for (const std::string& line : log.lines())
        if (line.find("BgBroken.objbinary") != std::string::npos)
            ++lines;
    EXPECT_EQ(1, lines);
    EXPECT_NE(std::string::npos, file->getLastError().find("WBIN"));
}

TEST_F(BinaryFiles, MissingFileInTheBackgroundIsBadAtOnce)
{
    mLoader.reset(new BackgroundLoader());
    BinaryFileResourcePtr file = loadInBackground("Nowhere.objbinary");
    EXPECT_TRUE(file->isBadResource());
    EXPECT_FALSE(file->isLoaded());
    EXPECT_EQ(0u, mLoader->getPendingCount());
}

TEST_F(BinaryFiles, LoadOnTheFrameThreadWaitsForARunningBackgroundLoad)
{
    mLoader.reset(new BackgroundLoader());
    saveSample("Race.objbinary", 2);
    auto gate = blockLoader();
    BinaryFileResourcePtr file = loadInBackground("Race.objbinary");
    std::thread opener([gate] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        gate->set_value();
    });
    file->load();
    opener.join();
    EXPECT_TRUE(file->isLoaded());
    ASSERT_TRUE(file->getRootElement());
    EXPECT_EQ(2, countChildren(file->getRootElement()));
}

TEST_F(BinaryFiles, DestroyingAFileWaitsForItsBackgroundLoad)
{
    mLoader.reset(new BackgroundLoader());
    saveSample("Dropped.objbinary", 2);
    auto gate = blockLoader();
    BinaryFileResourcePtr file = loadInBackground("Dropped.objbinary");
    std::thread opener([gate] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        gate->set_value();
    });
    mManager->remove(file);
    file.reset();
    opener.join();
    mLoader->waitForAll();
    EXPECT_EQ(0u, mLoader->getPendingCount());
}

TEST_F(BinaryFiles, WithoutALoaderThreadABackgroundRequestLoadsAtOnce)
{
    saveSample("Sync.objbinary", 1);
    BinaryFileResourcePtr file = loadInBackground("Sync.objbinary");
    EXPECT_TRUE(file->isLoaded());
    EXPECT_EQ(1, countChildren(file->getRootElement()));
}
