#include "WorldsFolder.h"

#include <gtest/gtest.h>

using namespace Wren;

TEST(WorldsFolderConfiguration, SettingsAreReadInFileOrderAsTheEngineSplitsThem)
{
    const WorldsFolder::Settings settings = WorldsFolder::parse(
        "# resources\n@comment\n[Zeta]\nFileSystem = b/worlds/x\n\n[Alpha]\n"
        "Zip:\t a/Worlds/y \nno separator here\nEmpty=\n");
    ASSERT_EQ(settings.size(), 3u);
    EXPECT_EQ(settings[0], std::make_pair(std::string("FileSystem"), std::string("b/worlds/x")));
    EXPECT_EQ(settings[1], std::make_pair(std::string("Zip"), std::string("a/Worlds/y")));
    EXPECT_EQ(settings[2], std::make_pair(std::string("Empty"), std::string()));
    // The first in file order wins, not the first section by name.
    EXPECT_EQ(WorldsFolder::fromSettings(settings), "b/worlds");
}

TEST(WorldsFolderConfiguration, FolderNamedWorldsInAnyCaseBeatsAWordInsideALongerName)
{
    EXPECT_EQ(WorldsFolder::fromSettings({{"FileSystem", "../../media/worlds/common"}}),
              "../../media/worlds");
    EXPECT_EQ(WorldsFolder::fromSettings({{"FileSystem", "/data/Worlds"}}), "/data/Worlds");
    EXPECT_EQ(WorldsFolder::fromSettings(
                  {{"FileSystem", "/home/worldsmith/models"}, {"FileSystem", "/srv/worlds/a"}}),
              "/srv/worlds");
    // Without a folder of that name the first value holding the word counts.
    EXPECT_EQ(WorldsFolder::fromSettings({{"FileSystem", "/home/worldsmith/models"}}),
              "/home/worlds");
    EXPECT_EQ(WorldsFolder::fromSettings({{"FileSystem", "/media/models"}}), "");
    EXPECT_EQ(WorldsFolder::fromSettings({}), "");
}
