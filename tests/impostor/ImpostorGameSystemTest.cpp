#include "CoreGameObjectManager.h"
#include "GameSystemManager.h"
#include "ImpostorGameSystem.h"
#include "ImpostorGameSystemFactory.h"
#include "ImpostorHandler.h"
#include "SceneManagerWrapper.h"
#include "TestEngine.h"
#include "UniqueImpostorHandler.h"

#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <gtest/gtest.h>

#include <memory>

using namespace Wren;
using Wren::Test::LogCapture;
using Wren::Test::TestEngine;

namespace
{
    /** An object manager that has a world name and a scene without starting
        a world. */
    class SceneOnlyManager : public CoreGameObjectManager
    {
    public:
        explicit SceneOnlyManager(SceneManagerWrapper* wrapper)
            : CoreGameObjectManager(nullptr, nullptr, nullptr, false)
        {
            mSceneManagerWrapper = wrapper;
            mWorldName = "Headless";
        }
        ~SceneOnlyManager() override { destroy(); }
    };
}

TEST(ImpostorGameSystemFactoryTypes, MakesTheSystemForItsExactTypeNameOnly)
{
    ImpostorGameSystemFactory factory;
    EXPECT_TRUE(factory.supportsGameSystemType("ImpostorGameSystem"));
    EXPECT_FALSE(factory.supportsGameSystemType("impostorgamesystem"));
    EXPECT_FALSE(factory.supportsGameSystemType(""));
    EXPECT_EQ(factory.createGameSystem("impostorgamesystem"), nullptr);
    EXPECT_EQ(factory.createGameSystem("CollisionGameSystem"), nullptr);

    std::unique_ptr<GameSystem> system(factory.createGameSystem("ImpostorGameSystem"));
    EXPECT_NE(dynamic_cast<ImpostorGameSystem*>(system.get()), nullptr);
}

TEST(ImpostorGameSystemFactoryTypes, RegistryMakesTheSystemThroughTheFactory)
{
    GameSystemManager registry;
    ASSERT_TRUE(registry.addGameSystemFactory(new ImpostorGameSystemFactory));
    std::unique_ptr<GameSystem> system(registry.createGameSystem("ImpostorGameSystem"));
    EXPECT_NE(dynamic_cast<GameObjectManagerGameSystem*>(system.get()), nullptr);
    EXPECT_EQ(registry.createGameSystem("Impostor"), nullptr);
}

TEST(ImpostorGameSystemBeforeLoad, EverythingIsANoOpAndSaveWritesNothing)
{
    ImpostorGameSystem system;
    Ogre::SceneNode* node = TestEngine::instance().getSceneManager()->getRootSceneNode()->createChildSceneNode();
    ImpostorHandler handler(node, 256, 32, 512, 0.98f);
    system.addImpostorHandler(&handler);
    system.addImpostorHandler(nullptr);
    system.update(0.016f);
    system.releaseImpostorHandler(&handler);
    EXPECT_EQ(handler.getUniqueImpostorHandler()->getManager(), nullptr);
    EXPECT_TRUE(system.save(DataElementPtr()));
    EXPECT_EQ(system.getImpostorManager(), nullptr);
    TestEngine::instance().clearScene();
}

TEST(ImpostorGameSystemBeforeLoad, LoadWithoutAnObjectManagerIsRefused)
{
    LogCapture log;
    ImpostorGameSystem system;
    EXPECT_FALSE(system.load(DataElementPtr()));
    EXPECT_EQ(system.getImpostorManager(), nullptr);
    EXPECT_TRUE(log.contains("load needs init with a CoreGameObjectManager first"));
}

TEST(ImpostorGameSystemWithoutRenderSystem, LoadIsRefusedInsteadOfCrashingAndTheSystemStaysInert)
{
    SceneManagerWrapper wrapper(TestEngine::instance().getSceneManager());
    SceneOnlyManager manager(&wrapper);
    ImpostorGameSystem system;
    system.init(&manager);
    LogCapture log;
    EXPECT_FALSE(system.load(DataElementPtr()));
    EXPECT_EQ(system.getImpostorManager(), nullptr);
    EXPECT_TRUE(log.contains("'Headless_ImpostorGameSystem': there is no render system"));
    EXPECT_TRUE(log.contains("could not start; no impostors"));
    system.update(0.016f);
    TestEngine::instance().clearScene();
}
