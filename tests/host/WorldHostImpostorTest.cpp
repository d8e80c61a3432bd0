#include "WorldHost.h"

#include "TestEngine.h"

#include "CoreGameObjectManager.h"
#include "ImpostorGameSystem.h"
#include "WorldsFolder.h"

#include <gtest/gtest.h>

using namespace Wren;
using Wren::Test::TestEngine;

TEST(WorldHostSystems, WorldFileNamingTheImpostorSystemGetsOne)
{
    TestEngine& engine = TestEngine::instance();
    const std::string base = engine.makeTempFolder("host-impostors");
    const std::string worlds = base + "/worlds";
    TestEngine::writeFile(worlds + "/valley", "valley.World",
                          "<World><GameObjectManagerData><GameSystems>"
                          "<GameSystem Name=\"ImpostorGameSystem\"/>"
                          "</GameSystems></GameObjectManagerData></World>");
    WorldHostSettings settings;
    settings.worldName = "valley";
    settings.resourcesConfig =
        TestEngine::writeFile(base, "resources.cfg", "[Worlds]\nFileSystem=" + worlds + "/common\n");
    settings.sceneManager = engine.getSceneManager();
    settings.backgroundLoading = false;
    {
        WorldHost host;
        ASSERT_TRUE(host.start(std::move(settings)));
        EXPECT_NE(nullptr, dynamic_cast<ImpostorGameSystem*>(
                               host.getManager()->getGameObjectManagerGameSystemByType(
                                   ImpostorGameSystem::TYPE_NAME)));
    }
    WorldsFolder::setConfigPath("resources.cfg");
    engine.clearScene();
}
