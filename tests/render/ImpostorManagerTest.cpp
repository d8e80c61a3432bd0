#include "ImpostorScene.h"

#include "QuadTreeTextureSpace.h"
#include "UniqueImpostorSet.h"

#include <OgreBillboard.h>
#include <OgreBillboardSet.h>

using Wren::Test::ImpostorScene;
using Ogre::ColourValue;
using Ogre::Vector3;

namespace
{
    const ColourValue kRed(1, 0, 0, 1);

    typedef ImpostorScene ImpostorManagement;

    /** A handler that reports its end. */
    class WatchedHandler : public Ogre::UniqueImpostorHandler
    {
    public:
        WatchedHandler(Ogre::SceneNode* node, bool* destroyed)
            : Ogre::UniqueImpostorHandler(node, 256, 32, 512, 0.99f), mDestroyed(destroyed)
        {
        }
        ~WatchedHandler() override { *mDestroyed = true; }

    private:
        bool* mDestroyed;
    };
}

TEST_F(ImpostorManagement, FullSetBringsASecondAndAnEmptiedOneGoesBackButOneStays)
{
    // Beyond 3200 units every box wants a 512 region: four fit a texture.
    std::vector<Ogre::UniqueImpostorHandler*> handlers;
    for (int i = 0; i < 5; ++i)
        handlers.push_back(addHandler(
            makeBox("Box" + std::to_string(i), Vector3(-400.0f + 200 * i, 0, -4000), 10, kRed, kRed), 256, 32, 512));
    placeCamera(Vector3::ZERO, Vector3(0, 0, -4000));
    mManager->update(mCamera);

    ASSERT_EQ(mManager->getSetsInUse().size(), 2u);
    Ogre::UniqueImpostorSet* first = mManager->getSetsInUse().front();
    Ogre::UniqueImpostorSet* second = mManager->getSetsInUse().back();
    EXPECT_EQ(first->getBillboardSet()->getNumBillboards(), 4);
    EXPECT_EQ(second->getBillboardSet()->getNumBillboards(), 1);
    EXPECT_NE(first->getTexture()->getName(), second->getTexture()->getName());

    for (Ogre::UniqueImpostorHandler* handler : handlers)
        if (handler->getSet() == second)
            mManager->removeHandler(handler);
    mManager->update(mCamera);
    ASSERT_EQ(mManager->getSetsInUse().size(), 1u);
    EXPECT_EQ(mManager->getSetsInUse().front(), first);
    EXPECT_EQ(mManager->getSetPool().getFreeCount(), 1u);

    for (Ogre::UniqueImpostorHandler* handler : handlers)
        mManager->removeHandler(handler);
    mManager->update(mCamera);
    EXPECT_EQ(mManager->getSetsInUse().size(), 1u) << "the last set stays in use";
    EXPECT_TRUE(first->getRoot().isCompletelyEmpty());
    EXPECT_EQ(first->getBillboardSet()->getNumBillboards(), 0);
    for (Ogre::UniqueImpostorHandler* handler : handlers)
        delete handler;
}

TEST_F(ImpostorManagement, HandlerDestroyedWhileShownGivesBackItsRegionAndItsNode)
{
    Ogre::UniqueImpostorHandler* handler = showBoxAhead(150, 10, kRed, kRed);
    Ogre::SceneNode* node = handler->getNode();
    Ogre::UniqueImpostorSet* set = handler->getSet();
    ASSERT_NE(set, nullptr);

    delete handler;
    EXPECT_TRUE(shown(node));
    EXPECT_TRUE(mManager->getHandlers().empty());
    EXPECT_TRUE(set->getRoot().isCompletelyEmpty());
    EXPECT_EQ(set->getBillboardSet()->getNumBillboards(), 0);
    mManager->update(mCamera);
}

TEST_F(ImpostorManagement, RemovedHandlerShowsItsNodeAndCanComeBack)
{
    Ogre::UniqueImpostorHandler* handler = showBoxAhead(150, 10, kRed, kRed);
    Ogre::SceneNode* node = handler->getNode();
    ASSERT_TRUE(hidden(node));

    mManager->removeHandler(handler);
    EXPECT_TRUE(shown(node));
    EXPECT_EQ(handler->getManager(), nullptr);
    EXPECT_EQ(handler->getRegion(), nullptr);
    mManager->removeHandler(handler);

    mManager->addHandler(handler);
    mManager->update(mCamera);
    EXPECT_TRUE(hidden(node));
    EXPECT_NE(handler->getBillboard(), nullptr);
}

TEST_F(ImpostorManagement, ManagerGoingDeletesItsHandlersAndLetsTheOthersGo)
{
    bool ownedDestroyed = false;
    bool keptDestroyed = false;
    Ogre::SceneNode* ownedNode = makeBox("Owned", Vector3(-40, 0, -150), 10, kRed, kRed);
    Ogre::SceneNode* keptNode = makeBox("Kept", Vector3(40, 0, -150), 10, kRed, kRed);
    mManager->addHandler(new WatchedHandler(ownedNode, &ownedDestroyed));
    auto* kept = new WatchedHandler(keptNode, &keptDestroyed);
    kept->setDeletedByManager(false);
    mManager->addHandler(kept);
    placeCamera(Vector3::ZERO, Vector3(0, 0, -150));
    mManager->update(mCamera);
    ASSERT_TRUE(hidden(keptNode));

    mManager.reset();
    EXPECT_TRUE(ownedDestroyed);
    EXPECT_FALSE(keptDestroyed);
    EXPECT_TRUE(shown(ownedNode));
    EXPECT_TRUE(shown(keptNode));
    EXPECT_EQ(kept->getManager(), nullptr);
    EXPECT_EQ(kept->getSet(), nullptr);
    delete kept;
    EXPECT_TRUE(keptDestroyed);
}

TEST_F(ImpostorManagement, SetBoundsCoverEveryBillboardWholeFarFromTheOrigin)
{
    Ogre::UniqueImpostorHandler* handler = addHandler(makeBox("Box", Vector3(5000, 0, -150), 10, kRed, kRed));
    placeCamera(Vector3(5000, 0, 0), Vector3(5000, 0, -150));
    mManager->update(mCamera);
    ASSERT_NE(handler->getBillboard(), nullptr);

    const Ogre::AxisAlignedBox& bounds = handler->getSet()->getBillboardSet()->getBoundingBox();
    const Vector3 half(handler->getBoundingRadius());
    EXPECT_TRUE(bounds.contains(Vector3(5000, 0, -150) + half));
    EXPECT_TRUE(bounds.contains(Vector3(5000, 0, -150) - half));
    EXPECT_FALSE(bounds.contains(Vector3::ZERO)) << "the bounds fit the billboards";
    EXPECT_TRUE(mCamera->isVisible(handler->getSet()->getSceneNode()->_getWorldAABB()));
}

TEST_F(ImpostorManagement, FogIsRestoredAfterTheUpdate)
{
    addHandler(makeBox("Box", Vector3(0, 0, -150), 10, kRed, kRed));
    mScene->setFog(Ogre::FOG_LINEAR, ColourValue(0.5f, 0.5f, 0.5f), 0.01f, 50, 500);
    placeCamera(Vector3::ZERO, Vector3(0, 0, -150));
    mManager->update(mCamera);
    EXPECT_EQ(mScene->getFogMode(), Ogre::FOG_LINEAR);
    EXPECT_EQ(mScene->getFogColour(), ColourValue(0.5f, 0.5f, 0.5f));
    EXPECT_FLOAT_EQ(mScene->getFogDensity(), 0.01f);
    EXPECT_FLOAT_EQ(mScene->getFogStart(), 50);
    EXPECT_FLOAT_EQ(mScene->getFogEnd(), 500);
    mScene->setFog(Ogre::FOG_NONE);
}

TEST_F(ImpostorManagement, InitIsRefusedTwiceAndForTexturesThatAreNotPowersOfTwo)
{
    EXPECT_FALSE(mManager->init(mScene, "Again", "General", 400, 1024, 4));
    EXPECT_EQ(mManager->getName(), "TestWorld_ImpostorGameSystem");

    Ogre::ImpostorManager other;
    EXPECT_FALSE(other.init(mScene, "Odd", "General", 400, 1000, 4));
    EXPECT_FALSE(other.init(nullptr, "NoScene", "General", 400, 1024, 4));
    EXPECT_FALSE(other.isInitialised());
    other.update(mCamera);
    EXPECT_EQ(other.allocate(256, nullptr), nullptr);
}

TEST_F(ImpostorManagement, ImpostorQueueIsSpecialOnlyWhileTheManagerLives)
{
    EXPECT_TRUE(mScene->isRenderQueueToBeProcessed(Ogre::RENDER_QUEUE_MAIN));
    EXPECT_FALSE(mScene->isRenderQueueToBeProcessed(4));
    mManager.reset();
    EXPECT_TRUE(mScene->isRenderQueueToBeProcessed(4));
}

TEST_F(ImpostorManagement, NodeDestroyedWhileShownAsImpostorGivesItsRegionBack)
{
    Ogre::UniqueImpostorHandler* handler = showBoxAhead(150, 10, kRed, kRed);
    Ogre::SceneNode* node = handler->getNode();
    Ogre::UniqueImpostorSet* set = handler->getSet();
    ASSERT_NE(set, nullptr);
    ASSERT_TRUE(hidden(node));

    mScene->destroySceneNode(node);
    EXPECT_EQ(handler->getNode(), nullptr);
    EXPECT_EQ(handler->getBillboard(), nullptr);
    EXPECT_TRUE(set->getRoot().isCompletelyEmpty());
    mManager->update(mCamera);
    delete handler;
}
