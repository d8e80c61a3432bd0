#include "DataElement.h"
#include "DataFile.h"
#include "DataFileResourceManager.h"
#include "GenericUtils.h"
#include "TestEngine.h"

#include <OgreResourceGroupManager.h>

#include <gtest/gtest.h>

using namespace Wren;
using Wren::Test::TestEngine;

namespace
{
    /** A resource manager for the test's lifetime. */
    class DataFileResources : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            mEngine = &TestEngine::instance();
            mManager = new DataFileResourceManager();
        }
        void TearDown() override { delete mManager; }

        DataFileResourcePtr load(const std::string& name, const std::string& group)
        {
            return Ogre::static_pointer_cast<DataFileResource>(mManager->load(name, group));
        }

        TestEngine* mEngine = nullptr;
        DataFileResourceManager* mManager = nullptr;
    };
}

TEST_F(DataFileResources, LoadFromEitherGroupByName)
{
    TestEngine::writeFile(mEngine->getPlsm2Folder(), "Res.World", "<World Version=\"2\"/>");
    TestEngine::writeFile(mEngine->getGeneralFolder(), "Rock.meta", "<Meta Type=\"Mesh\"/>");
    mEngine->rescanResources();

    DataFileResourcePtr world = load("Res.World", "PLSM2");
    ASSERT_TRUE(world->getDataFile());
    EXPECT_EQ(world->getDataFile()->getRootElement()->getAttributeInt("Version", 0), 2);

    DataFileResourcePtr meta = load("Rock.meta", "General");
    ASSERT_TRUE(meta->getDataFile());
    EXPECT_EQ(meta->getDataFile()->getRootElement()->getAttributeString("Type", ""), "Mesh");
    EXPECT_EQ(mManager->getDataFileByName("Rock.meta", "General"), meta);
}

TEST_F(DataFileResources, ANameFoundWithoutRegardToCaseIsOpenedAsFoundInWhicheverGroupHoldsIt)
{
    TestEngine::writeFile(mEngine->getGeneralFolder(), "Mixed.Meta", "<Meta Type=\"Tree\"/>");
    const std::string extra = mEngine->makeTempFolder("extra-group");
    TestEngine::writeFile(extra, "Elsewhere.meta", "<Meta Type=\"Lamp\"/>");
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    groups.createResourceGroup("Extra");
    groups.addResourceLocation(extra, "FileSystem", "Extra");
    mEngine->rescanResources();

    DataFileResourcePtr mixed = load("mixed.meta", "General");
    ASSERT_TRUE(mixed->getDataFile());
    EXPECT_EQ("Tree", mixed->getDataFile()->getRootElement()->getAttributeString("Type", ""));
    DataFileResourcePtr elsewhere = load("ELSEWHERE.META", "General");
    ASSERT_TRUE(elsewhere->getDataFile());
    EXPECT_EQ("Lamp", elsewhere->getDataFile()->getRootElement()->getAttributeString("Type", ""));
    std::string path = "elsewhere.meta";
    EXPECT_TRUE(GenericUtils::findFilePath(path));
    EXPECT_EQ(extra + "/Elsewhere.meta", path);
    mManager->remove(elsewhere);
    groups.destroyResourceGroup("Extra");
}

TEST_F(DataFileResources, MissingOrBrokenFileLeavesNoDataFileAndSaysWhy)
{
    TestEngine::writeFile(mEngine->getGeneralFolder(), "Broken.meta", "<Meta>");
    mEngine->rescanResources();
    Wren::Test::LogCapture log;

    DataFileResourcePtr missing = load("Nowhere.meta", "General");
    EXPECT_EQ(missing->getDataFile(), nullptr);
    EXPECT_TRUE(log.contains("Nowhere.meta"));

    DataFileResourcePtr broken = load("Broken.meta", "General");
    EXPECT_EQ(broken->getDataFile(), nullptr);
    EXPECT_TRUE(log.contains("Broken.meta"));
}

TEST_F(DataFileResources, FullPathIsReadWithoutAskingTheGroups)
{
    const std::string folder = mEngine->makeTempFolder("fullpath");
    const std::string path = TestEngine::writeFile(folder, "Elsewhere.xml", "<Doc A=\"1\"/>");

    DataFileResourcePtr res = mManager->createOrRetrieveDataFile("Unregistered", "General");
    res->setParameter("full_path", path);
    EXPECT_EQ(res->getFullPath(), path);
    EXPECT_EQ(res->getParameter("full_path"), path);
    res->load();
    ASSERT_TRUE(res->getDataFile());
    EXPECT_EQ(res->getDataFile()->getRootElement()->getAttributeInt("A", 0), 1);

    res->unload();
    EXPECT_EQ(res->getDataFile(), nullptr);
}
