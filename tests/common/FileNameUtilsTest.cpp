#include "GenericUtils.h"
#include "StringUtilEx.h"
#include "TestEngine.h"

#include <gtest/gtest.h>

using namespace Wren;
using Wren::Test::TestEngine;

TEST(StringReplace, ReplacementTextIsNeverSearchedAgain)
{
    std::string text = "aXa";
    StringUtilEx::replace(text, "a", "aa");
    EXPECT_EQ(text, "aaXaa");

    std::string same = "abc";
    StringUtilEx::replace(same, "", "zz");
    EXPECT_EQ(same, "abc");

    std::string shrink = "a--b----c";
    StringUtilEx::replace(shrink, "--", "-");
    EXPECT_EQ(shrink, "a-b--c");
}

TEST(CleanFileName, TrimsAndDropsForbiddenCharacters)
{
    EXPECT_EQ(GenericUtils::cleanFileName("  Tr<e>e?s "), "Trees");
    EXPECT_EQ(GenericUtils::cleanFileName("C:\\maps\\a|b"), "C:mapsab");
    EXPECT_EQ(GenericUtils::cleanFileName("\t/x*\"y\"\r"), "xy");
}

TEST(FindFilePath, FindsByLowerCaseNameInEitherGroup)
{
    TestEngine& engine = TestEngine::instance();
    TestEngine::writeFile(engine.getPlsm2Folder(), "Island.World", "<World/>");
    TestEngine::writeFile(engine.getGeneralFolder(), "Tree.meta", "<Meta/>");
    engine.rescanResources();

    std::string world = "ISLAND.world";
    EXPECT_TRUE(GenericUtils::findFilePath(world));
    EXPECT_EQ(world, engine.getPlsm2Folder() + "/Island.World");

    std::string meta = "tree.meta";
    EXPECT_TRUE(GenericUtils::findFilePath(meta));
    EXPECT_EQ(meta, engine.getGeneralFolder() + "/Tree.meta");

    std::string missing = "Nowhere.Meta";
    EXPECT_FALSE(GenericUtils::findFilePath(missing));
    EXPECT_EQ(missing, "Nowhere.Meta");
}
