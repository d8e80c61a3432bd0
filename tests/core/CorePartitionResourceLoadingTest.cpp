#include "BinaryFileResourceManager.h"
#include "CompleteObjectDataInfo.h"
#include "CorePartitionResourceLoading.h"
#include "DataFileResourceManager.h"
#include "OgreBackgroundLoader.h"
#include "TestEngine.h"

#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <vector>

using Ogre::BinaryDataElement;
using Ogre::BinaryFileResource;
using Wren::CompleteObjectDataInfo;
using Wren::CorePartitionResourceLoading;
using Wren::Test::LogCapture;
using Wren::Test::TestEngine;

namespace
{
    const char* const gMeta = "<Metadata><CoreMetadata/></Metadata>";

    class PartitionPrefetch : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            TestEngine::instance();
            mDataFiles.reset(new Wren::DataFileResourceManager());
            mBinaryFiles.reset(new Ogre::BinaryFileResourceManager());
            for (const char* meta : {"rock.meta", "tree.meta"})
                TestEngine::writeFile(TestEngine::instance().getGeneralFolder(), meta, gMeta);
            TestEngine::instance().rescanResources();
        }

        void TearDown() override
        {
            // Handles go before the managers that made them.
            mPrefetch.resetLoadState();
            mLoader.reset();
            mBinaryFiles.reset();
            mDataFiles.reset();
        }

        /** A binary objects file with one record per metadata id; a record
            size other than 276 makes a damaged record. */
        void writeBinary(const std::string& name, const std::vector<std::string>& metaIds,
                         size_t recordSize = CompleteObjectDataInfo::Size)
        {
            BinaryFileResource file;
            BinaryDataElement* root = file.createRootElement("Objects");
            root->allocBuf(1);
            int n = 0;
            for (const std::string& id : metaIds)
            {
                CompleteObjectDataInfo record;
                record.setType("MeshGameObject");
                record.setName("obj_" + std::to_string(++n));
                record.setMetaId(id);
                unsigned char bytes[CompleteObjectDataInfo::Size];
                record.toBytes(bytes);
                void* buf = root->createDefaultChild("Object")->allocBuf(recordSize);
                std::memcpy(buf, bytes, std::min(recordSize, sizeof(bytes)));
            }
            ASSERT_TRUE(file.save(TestEngine::instance().getPlsm2Folder() + "/" + name));
            TestEngine::instance().rescanResources();
        }

        /** Data-file resources open their file from "PLSM2" whatever group
            they were asked in, so the objects file is put there. */
        void writeXml(const std::string& name, const std::string& objects)
        {
            TestEngine::writeFile(TestEngine::instance().getPlsm2Folder(), name,
                                  "<Objects><CorePartitionData/>" + objects + "</Objects>");
            TestEngine::instance().rescanResources();
        }

        /** Requested from "General" and no longer loading. */
        bool metadataLoaded(const std::string& id)
        {
            Wren::DataFileResourcePtr meta = mDataFiles->getDataFileByName(id, "General");
            return meta && meta->isLoaded();
        }

        /** Polls until true, at most a number of times; returns the polls made. */
        template <typename Poll> int pollsUntilTrue(Poll poll, int limit = 1000)
        {
            for (int i = 1; i <= limit; ++i)
            {
                if (poll())
                    return i;
                if (mLoader)
                    mLoader->waitForAll();
            }
            return -1;
        }

        std::unique_ptr<Wren::DataFileResourceManager> mDataFiles;
        std::unique_ptr<Ogre::BinaryFileResourceManager> mBinaryFiles;
        std::unique_ptr<Ogre::BackgroundLoader> mLoader;
        CorePartitionResourceLoading mPrefetch;
    };
}

TEST_F(PartitionPrefetch, PollWithNothingStartedAnswersTrueAtOnce)
{
    EXPECT_TRUE(mPrefetch.isLoaded());
    EXPECT_TRUE(mPrefetch.isBinaryLoaded());
}

TEST_F(PartitionPrefetch, BinaryFileThenEveryRecordsMetadataTakesTwoPolls)
{
    writeBinary("W_Partition1.objbinary", {"rock.meta", "tree.meta", "rock.meta"});
    mPrefetch.loadBinary("W_Partition1.objbinary");
    EXPECT_FALSE(mPrefetch.isBinaryLoaded());
    EXPECT_TRUE(mPrefetch.isMetadataStage());
    // Duplicates are not merged: one request per record.
    EXPECT_EQ(3u, mPrefetch.getPendingMetadataCount());
    EXPECT_TRUE(mPrefetch.isBinaryLoaded());
    EXPECT_FALSE(mPrefetch.isMetadataStage());
    EXPECT_TRUE(metadataLoaded("rock.meta"));
    EXPECT_TRUE(metadataLoaded("tree.meta"));
    EXPECT_TRUE(mBinaryFiles->getBinaryFileByName("W_Partition1.objbinary", "PLSM2")->isLoaded());
}

TEST_F(PartitionPrefetch, OnTheLoaderThreadTheFileIsAwaitedBeforeItsMetadataIsRequested)
{
    mLoader.reset(new Ogre::BackgroundLoader());
    writeBinary("W_Partition2.objbinary", {"rock.meta", "tree.meta"});
    std::promise<void> gate;
    std::shared_future<void> open = gate.get_future().share();
    mLoader->submit([open] { open.wait(); });

    mPrefetch.loadBinary("W_Partition2.objbinary");
    mPrefetch.loadBinary("W_Partition2.objbinary");
    EXPECT_EQ(2u, mLoader->getPendingCount()) << "the second start must request nothing";
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(mPrefetch.isBinaryLoaded());
    EXPECT_FALSE(mPrefetch.isMetadataStage());
    EXPECT_FALSE(metadataLoaded("rock.meta"));

    gate.set_value();
    mLoader->waitForAll();
    EXPECT_FALSE(mPrefetch.isBinaryLoaded());
    EXPECT_EQ(2u, mPrefetch.getPendingMetadataCount());
    mLoader->waitForAll();
    EXPECT_TRUE(mPrefetch.isBinaryLoaded());
    EXPECT_TRUE(metadataLoaded("rock.meta"));
    EXPECT_TRUE(metadataLoaded("tree.meta"));
}

TEST_F(PartitionPrefetch, ResetInTheMetadataStageMakesTheNextPollAnswerTrue)
{
    writeBinary("W_Partition3.objbinary", {"rock.meta"});
    mPrefetch.loadBinary("W_Partition3.objbinary");
    EXPECT_FALSE(mPrefetch.isBinaryLoaded());
    ASSERT_TRUE(mPrefetch.isMetadataStage());
    mPrefetch.resetLoadState();
    EXPECT_FALSE(mPrefetch.isMetadataStage());
    EXPECT_EQ(0u, mPrefetch.getPendingMetadataCount());
    EXPECT_TRUE(mPrefetch.isBinaryLoaded());
    // A new cycle can start afterwards.
    mPrefetch.loadBinary("W_Partition3.objbinary");
    EXPECT_EQ(2, pollsUntilTrue([this] { return mPrefetch.isBinaryLoaded(); }));
}

TEST_F(PartitionPrefetch, BadBinaryFileSkipsTheMetadataStage)
{
    mLoader.reset(new Ogre::BackgroundLoader());
    TestEngine::writeFile(TestEngine::instance().getPlsm2Folder(), "W_Partition4.objbinary", "junk");
    TestEngine::instance().rescanResources();
    LogCapture log;
    mPrefetch.loadBinary("W_Partition4.objbinary");
    mLoader->waitForAll();
    EXPECT_EQ(2, pollsUntilTrue([this] { return mPrefetch.isBinaryLoaded(); }));
    EXPECT_EQ(0u, mPrefetch.getPendingMetadataCount());
    EXPECT_TRUE(log.contains("W_Partition4.objbinary"));

    mPrefetch.loadBinary("W_Partition_missing.objbinary");
    EXPECT_EQ(2, pollsUntilTrue([this] { return mPrefetch.isBinaryLoaded(); }));
}

TEST_F(PartitionPrefetch, DamagedRecordsAndEmptyIdsRequestNothing)
{
    writeBinary("W_Partition5.objbinary", {"rock.meta", "tree.meta"}, 275);
    LogCapture log;
    mPrefetch.loadBinary("W_Partition5.objbinary");
    EXPECT_FALSE(mPrefetch.isBinaryLoaded());
    EXPECT_EQ(0u, mPrefetch.getPendingMetadataCount());
    EXPECT_TRUE(log.contains("is not 276 bytes"));
    EXPECT_TRUE(mPrefetch.isBinaryLoaded());

    writeBinary("W_Partition6.objbinary", {"", "tree.meta"});
    mPrefetch.loadBinary("W_Partition6.objbinary");
    EXPECT_FALSE(mPrefetch.isBinaryLoaded());
    EXPECT_EQ(1u, mPrefetch.getPendingMetadataCount());
}

TEST_F(PartitionPrefetch, XmlObjectsRequestMetadataOnlyWithTypeAndCoreData)
{
    writeXml("W_Partition7.objects",
             "<Object Type=\"MeshGameObject\" Name=\"a\"><CoreData MetaID=\"rock.meta\"/></Object>"
             "<Object Name=\"noType\"><CoreData MetaID=\"tree.meta\"/></Object>"
             "<Object Type=\"MeshGameObject\" Name=\"noCore\"/>"
             "<Object Type=\"MeshGameObject\" Name=\"b\"><CoreData MetaID=\"rock.meta\"/></Object>");
    mPrefetch.load("W_Partition7.objects");
    EXPECT_FALSE(mPrefetch.isLoaded());
    EXPECT_EQ(2u, mPrefetch.getPendingMetadataCount());
    EXPECT_TRUE(mPrefetch.isLoaded());
    EXPECT_TRUE(metadataLoaded("rock.meta"));
    EXPECT_FALSE(metadataLoaded("tree.meta"));
}

TEST_F(PartitionPrefetch, XmlObjectsFileAndItsMetadataAreParsedOnTheLoaderThread)
{
    mLoader.reset(new Ogre::BackgroundLoader());
    writeXml("W_Partition11.objects",
             "<Object Type=\"MeshGameObject\" Name=\"a\"><CoreData MetaID=\"rock.meta\"/></Object>");
    std::promise<void> gate;
    std::shared_future<void> open = gate.get_future().share();
    mLoader->submit([open] { open.wait(); });

    mPrefetch.load("W_Partition11.objects");
    Wren::DataFileResourcePtr objects = mDataFiles->getDataFileByName("W_Partition11.objects", "General");
    ASSERT_TRUE(objects);
    EXPECT_FALSE(objects->isLoaded()) << "parsed on the frame thread";
    EXPECT_FALSE(mPrefetch.isLoaded());

    gate.set_value();
    mLoader->waitForAll();
    EXPECT_FALSE(mPrefetch.isLoaded());
    ASSERT_EQ(1u, mPrefetch.getPendingMetadataCount());
    mLoader->waitForAll();
    EXPECT_TRUE(mPrefetch.isLoaded());
    EXPECT_TRUE(metadataLoaded("rock.meta"));
    ASSERT_TRUE(objects->getDataFile());
}

TEST_F(PartitionPrefetch, MissingXmlObjectsFileDoesNotStallThePrefetch)
{
    LogCapture log;
    mPrefetch.load("W_Partition_none.objects");
    EXPECT_EQ(2, pollsUntilTrue([this] { return mPrefetch.isLoaded(); }));
    EXPECT_TRUE(log.contains("W_Partition_none.objects"));
}

TEST_F(PartitionPrefetch, MissingMetadataFileDoesNotStallThePrefetch)
{
    writeXml("W_Partition8.objects",
             "<Object Type=\"MeshGameObject\" Name=\"a\"><CoreData MetaID=\"gone.meta\"/></Object>");
    mPrefetch.load("W_Partition8.objects");
    EXPECT_EQ(2, pollsUntilTrue([this] { return mPrefetch.isLoaded(); }));

    writeBinary("W_Partition9.objbinary", {"gone.meta", "rock.meta"});
    mPrefetch.loadBinary("W_Partition9.objbinary");
    EXPECT_EQ(2, pollsUntilTrue([this] { return mPrefetch.isBinaryLoaded(); }));
}

TEST_F(PartitionPrefetch, CopiesShareTheirHandlesButPollOnTheirOwn)
{
    writeBinary("W_Partition10.objbinary", {"rock.meta"});
    mPrefetch.loadBinary("W_Partition10.objbinary");
    CorePartitionResourceLoading copy = mPrefetch;
    EXPECT_EQ(2, pollsUntilTrue([&copy] { return copy.isBinaryLoaded(); }));
    EXPECT_EQ(2, pollsUntilTrue([this] { return mPrefetch.isBinaryLoaded(); }));
}
