#include "SceneManagerWrapper.h"

#include "TestEngine.h"

#include <OgreEntity.h>
#include <OgreMeshManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <gtest/gtest.h>

using namespace Wren;

namespace
{
    class SceneQueryTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            mScene = Wren::Test::TestEngine::instance().getSceneManager();
            if (!Ogre::MeshManager::getSingleton().resourceExists("QueryPlane", "General"))
                Ogre::MeshManager::getSingleton().createPlane(
                    "QueryPlane", "General", Ogre::Plane(Ogre::Vector3::UNIT_Y, 0), 10, 10, 1, 1, true,
                    1, 1, 1, Ogre::Vector3::UNIT_Z);
        }
        void TearDown() override { Wren::Test::TestEngine::instance().clearScene(); }

        /** A 10 x 10 plane entity at height y. */
        Ogre::Entity* placePlane(const std::string& name, float y)
        {
            Ogre::Entity* entity = mScene->createEntity(name, "QueryPlane");
            Ogre::SceneNode* node = mScene->getRootSceneNode()->createChildSceneNode(
                Ogre::Vector3(0, y, 0));
            node->attachObject(entity);
            node->_update(true, false);
            return entity;
        }

        static std::vector<Ogre::MovableObject*> movables(const Ogre::RaySceneQueryResult& result)
        {
            std::vector<Ogre::MovableObject*> out;
            for (const Ogre::RaySceneQueryResultEntry& entry : result)
                if (entry.movable)
                    out.push_back(entry.movable);
            return out;
        }

        const Ogre::Ray mDown{Ogre::Vector3(0, 100, 0), Ogre::Vector3::NEGATIVE_UNIT_Y};
        Ogre::SceneManager* mScene = nullptr;
    };
}

TEST_F(SceneQueryTest, EntityQuerySortedByDistanceFindsTheNearestFirst)
{
    Ogre::Entity* low = placePlane("low", 0);
    Ogre::Entity* high = placePlane("high", 20);
    SceneManagerWrapper wrapper(mScene);
    EXPECT_EQ(wrapper.getSceneManager(), mScene);
    std::vector<Ogre::MovableObject*> hits =
        movables(wrapper.executeRaySceneQuery(mDown, true, false, true));
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0], high);
    EXPECT_EQ(hits[1], low);
    EXPECT_EQ(wrapper.getRayQuery()->getQueryMask(), Ogre::SceneManager::ENTITY_TYPE_MASK);
    EXPECT_EQ(wrapper.getRayQuery()->getQueryTypeMask(), Ogre::SceneManager::ENTITY_TYPE_MASK);
}

TEST_F(SceneQueryTest, QueryWantingNothingUsesMaskZeroAndFindsNothing)
{
    placePlane("plane", 0);
    SceneManagerWrapper wrapper(mScene);
    EXPECT_TRUE(wrapper.executeRaySceneQuery(mDown, false, false, false).empty());
    EXPECT_EQ(wrapper.getRayQuery()->getQueryMask(), 0u);
    EXPECT_EQ(wrapper.getRayQuery()->getQueryTypeMask(), 0u);
}

TEST_F(SceneQueryTest, ChangedEntityFlagIsBothQueryMaskAndTypeMask)
{
    placePlane("plane", 0);
    SceneManagerWrapper wrapper(mScene);
    wrapper.setEntitiesQueryFlag(0x10);
    // Entities have the type flag ENTITY_TYPE_MASK, which 0x10 excludes.
    EXPECT_TRUE(wrapper.executeRaySceneQuery(mDown, true, false, false).empty());
    EXPECT_EQ(wrapper.getRayQuery()->getQueryMask(), 0x10u);
    EXPECT_EQ(wrapper.getRayQuery()->getQueryTypeMask(), 0x10u);
}

TEST_F(SceneQueryTest, WorldGeometryMaskJoinsTheEntityMask)
{
    placePlane("plane", 0);
    SceneManagerWrapper wrapper(mScene);
    wrapper.setWorldGeometryQueryFlag(0x100);
    // A generic scene has no world fragments; the query still answers.
    EXPECT_EQ(movables(wrapper.executeRaySceneQuery(mDown, true, true, false)).size(), 1u);
    EXPECT_EQ(wrapper.getRayQuery()->getQueryMask(),
              Ogre::SceneManager::ENTITY_TYPE_MASK | 0x100u);
    EXPECT_EQ(movables(wrapper.executeRaySceneQueryNoWorldGeometry(mDown, true, true, false))
                  .size(),
              1u);
    EXPECT_EQ(wrapper.getRayQuery()->getWorldFragmentType(), Ogre::SceneQuery::WFT_NONE);
}

TEST_F(SceneQueryTest, RayBesideTheEntityMissesIt)
{
    placePlane("plane", 0);
    SceneManagerWrapper wrapper(mScene);
    const Ogre::Ray beside(Ogre::Vector3(50, 100, 0), Ogre::Vector3::NEGATIVE_UNIT_Y);
    EXPECT_TRUE(wrapper.executeRaySceneQuery(beside, true, false, true).empty());
}

TEST(SceneManagerWrapperConstruction, NullSceneManagerIsRefused)
{
    EXPECT_THROW(SceneManagerWrapper wrapper(nullptr), Ogre::InvalidParametersException);
}
