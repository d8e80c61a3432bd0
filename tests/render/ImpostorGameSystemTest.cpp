#include "ImpostorScene.h"

#include "CoreGameObjectManager.h"
#include "DataFileResourceManager.h"
#include "GameObjectFactoryManager.h"
#include "GameSystemManager.h"
#include "ImpostorGameSystem.h"
#include "ImpostorGameSystemFactory.h"
#include "ImpostorHandler.h"
#include "NullCollisionSystem.h"
#include "SceneManagerWrapper.h"

using namespace Wren;
using Ogre::ColourValue;
using Ogre::Vector3;

namespace
{
    const ColourValue kRed(1, 0, 0, 1);

    /** An object manager with a world name, a scene and its player camera,
        without a world file. */
    class SceneOnlyManager : public CoreGameObjectManager
    {
    public:
        SceneOnlyManager(SceneManagerWrapper* wrapper, Ogre::Camera* camera)
            : CoreGameObjectManager(nullptr, nullptr, nullptr, false)
        {
            mSceneManagerWrapper = wrapper;
            mPlayerCamera = camera;
            mWorldName = "Valley";
        }
        ~SceneOnlyManager() override { destroy(); }
    };

    /** The scene of the impostor tests with an impostor game system loaded
        for the world "Valley". */
    class ImpostorSystem : public Wren::Test::ImpostorScene
    {
    protected:
        void SetUp() override
        {
            ImpostorScene::SetUp();
            mWrapper.reset(new SceneManagerWrapper(mScene));
            mObjects.reset(new SceneOnlyManager(mWrapper.get(), mCamera));
            mSystem.reset(new ImpostorGameSystem());
            mSystem->init(mObjects.get());
            ASSERT_TRUE(mSystem->load(DataElementPtr()));
        }

        void TearDown() override
        {
            mSystem.reset();
            mObjects.reset();
            mWrapper.reset();
            ImpostorScene::TearDown();
        }

        std::unique_ptr<SceneManagerWrapper> mWrapper;
        std::unique_ptr<SceneOnlyManager> mObjects;
        std::unique_ptr<ImpostorGameSystem> mSystem;
    };

    typedef Wren::Test::ImpostorScene ImpostorWorld;
}

TEST_F(ImpostorSystem, LoadBuildsTheImpostorMachineryOfTheWorld)
{
    Ogre::ImpostorManager* impostors = mSystem->getImpostorManager();
    ASSERT_NE(impostors, nullptr);
    EXPECT_EQ(impostors->getName(), "Valley_ImpostorGameSystem");
    EXPECT_EQ(impostors->getSceneManager(), mScene);
    EXPECT_EQ(impostors->getResourceGroup(), Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
    EXPECT_EQ(impostors->getTextureSize(), 1024u);
    EXPECT_EQ(impostors->getRenderQueueId(), 4);
    EXPECT_EQ(impostors->getSetPool().getCount(), 2);
    EXPECT_EQ(mSystem->getCamera(), mCamera);
    EXPECT_EQ(mSystem->getGameObjectManager(), mObjects.get());
}

TEST_F(ImpostorSystem, UpdateDrivesRegisteredHandlersWithThePlayerCamera)
{
    Ogre::SceneNode* node = makeBoxAhead(150, 10, kRed, kRed);
    ImpostorHandler handler(node, 64, 64, 512, 0.99f);
    mSystem->addImpostorHandler(&handler);
    mSystem->update(0.016f);
    EXPECT_TRUE(hidden(node));
    EXPECT_NE(handler.getUniqueImpostorHandler()->getBillboard(), nullptr);

    mSystem->releaseImpostorHandler(&handler);
    EXPECT_TRUE(shown(node));
    EXPECT_EQ(handler.getUniqueImpostorHandler()->getBillboard(), nullptr);
    mSystem->update(0.016f);
    EXPECT_TRUE(shown(node));
}

TEST_F(ImpostorSystem, ReleasingAHandlerNeverAddedChangesNothing)
{
    Ogre::SceneNode* added = makeBox("Added", Vector3(-40, 0, -150), 10, kRed, kRed);
    Ogre::SceneNode* stranger = makeBox("Stranger", Vector3(40, 0, -150), 10, kRed, kRed);
    ImpostorHandler addedHandler(added, 64, 64, 512, 0.99f);
    ImpostorHandler strangerHandler(stranger, 64, 64, 512, 0.99f);
    mSystem->addImpostorHandler(&addedHandler);
    mSystem->releaseImpostorHandler(&strangerHandler);
    EXPECT_EQ(mSystem->getImpostorManager()->getHandlers().size(), 1u);
    placeCamera(Vector3::ZERO, Vector3(0, 0, -150));
    mSystem->update(0.016f);
    EXPECT_TRUE(hidden(added));
    EXPECT_TRUE(shown(stranger));
}

TEST_F(ImpostorSystem, LoadingAgainRebuildsFromScratchAndKeepsTheHandlers)
{
    Ogre::SceneNode* node = makeBoxAhead(150, 10, kRed, kRed);
    ImpostorHandler handler(node, 64, 64, 512, 0.99f);
    mSystem->addImpostorHandler(&handler);
    mSystem->update(0.016f);
    ASSERT_TRUE(hidden(node));

    EXPECT_TRUE(mSystem->save(DataElementPtr()));
    ASSERT_TRUE(mSystem->load(DataElementPtr()));
    Ogre::ImpostorManager* rebuilt = mSystem->getImpostorManager();
    EXPECT_TRUE(shown(node)) << "the old machinery let the node go";
    EXPECT_TRUE(rebuilt->getSetsInUse().empty());
    EXPECT_EQ(handler.getUniqueImpostorHandler()->getManager(), rebuilt);

    mSystem->update(0.016f);
    EXPECT_TRUE(hidden(node));
    EXPECT_EQ(rebuilt->getSetsInUse().size(), 1u);
}

TEST_F(ImpostorSystem, SystemGoingLeavesTheHandlersToTheirOwners)
{
    Ogre::SceneNode* node = makeBoxAhead(150, 10, kRed, kRed);
    auto* handler = new ImpostorHandler(node, 64, 64, 512, 0.99f);
    mSystem->addImpostorHandler(handler);
    mSystem->update(0.016f);
    ASSERT_TRUE(hidden(node));

    mSystem.reset();
    EXPECT_TRUE(shown(node));
    EXPECT_EQ(handler->getUniqueImpostorHandler()->getManager(), nullptr);
    delete handler;
}

TEST_F(ImpostorSystem, HandlerCopiesShareOneInnerHandlerThatGoesWithTheLast)
{
    Ogre::SceneNode* node = makeBox("Box", Vector3(0, 0, -150), 10, kRed, kRed);
    auto* original = new ImpostorHandler(node, 64, 64, 512, 0.99f);
    ImpostorHandler copy(*original);
    EXPECT_EQ(copy.getUniqueImpostorHandler(), original->getUniqueImpostorHandler());
    mSystem->addImpostorHandler(original);
    delete original;

    placeCamera(Vector3::ZERO, Vector3(0, 0, -150));
    mSystem->update(0.016f);
    EXPECT_NE(copy.getUniqueImpostorHandler()->getBillboard(), nullptr);
}

TEST_F(ImpostorSystem, HandlerDestroyedWithoutReleaseLeavesTheSystem)
{
    Ogre::SceneNode* node = makeBoxAhead(150, 10, kRed, kRed);
    {
        ImpostorHandler handler(node, 64, 64, 512, 0.99f);
        mSystem->addImpostorHandler(&handler);
        mSystem->update(0.016f);
        ASSERT_TRUE(hidden(node));
    }
    EXPECT_TRUE(mSystem->getImpostorManager()->getHandlers().empty());
    EXPECT_TRUE(shown(node));
    mSystem->update(0.016f);
}

TEST_F(ImpostorWorld, WorldFileNamingTheSystemGetsOneThroughTheRegisteredFactory)
{
    Wren::Test::TestEngine& engine = Wren::Test::TestEngine::instance();
    DataFileResourceManager dataFiles;
    GameObjectFactoryManager objectFactories;
    GameSystemManager systems;
    systems.addGameSystemFactory(new Wren::Test::NullCollisionSystemFactory);
    systems.addGameSystemFactory(new ImpostorGameSystemFactory);
    Wren::Test::TestEngine::writeFile(engine.getPlsm2Folder(), "Valley.World",
                                      "<World><GameObjectManagerData><GameSystems>"
                                      "<GameSystem Name=\"ImpostorGameSystem\"/>"
                                      "</GameSystems></GameObjectManagerData></World>");
    engine.rescanResources();

    SceneManagerWrapper wrapper(mScene);
    CoreGameObjectManager objects(nullptr, nullptr, nullptr, false);
    ASSERT_TRUE(objects.initStart("Valley", &wrapper, nullptr, nullptr));
    auto* system = dynamic_cast<ImpostorGameSystem*>(
        objects.getGameObjectManagerGameSystemByType("ImpostorGameSystem"));
    ASSERT_NE(system, nullptr);
    ASSERT_NE(system->getImpostorManager(), nullptr);
    EXPECT_EQ(system->getImpostorManager()->getName(), "Valley_ImpostorGameSystem");
    EXPECT_EQ(system->getCamera(), mCamera);

    Ogre::SceneNode* node = makeBoxAhead(150, 10, kRed, kRed);
    ImpostorHandler handler(node, 64, 64, 512, 0.99f);
    system->addImpostorHandler(&handler);
    system->update(0.016f);
    EXPECT_TRUE(hidden(node));
    system->releaseImpostorHandler(&handler);
    objects.destroy();
}
