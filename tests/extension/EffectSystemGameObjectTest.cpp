#include "ObjectTypesTestWorld.h"

#include "EffectSystemGameObject.h"
#include "EffectSystemMetadata.h"
#include "FxEffectManager.h"
#include "XMLDataFile.h"

#include <gtest/gtest.h>

using namespace Wren;
using namespace Wren::Test;

namespace
{
    struct EffectWorld : ObjectTypesWorld
    {
        /** An effect object of the effect name at (5, 2, -3), shown. */
        EffectSystemGameObject* show(const std::string& effect)
        {
            writeTypeMeta("sparks.meta", "EffectSystemGameObject",
                          "<EffectData Effect=\"" + effect + "\"/>");
            moveCamera(5);
            if (!startStreamed())
                return nullptr;
            EffectSystemGameObject* made =
                make<EffectSystemGameObject>("sparks.meta", Ogre::Vector3(5, 2, -3));
            stepUntil([made] { return made->getEffect() != nullptr; });
            return made;
        }
    };
}

TEST(EffectSystemTemplate, NamesItsEffectAndLoadsWhatItSaves)
{
    TestEngine::instance();
    EffectSystemMetadata meta("e.meta", nullptr);
    meta.setType("EffectSystemGameObject");
    meta.setEffectName("Sparks");
    XMLDataFile file;
    DataElementPtr root = file.createRootElement("MetaData");
    ASSERT_TRUE(meta.save(root));
    EffectSystemMetadata again("e.meta", nullptr);
    ASSERT_TRUE(again.load(root));
    EXPECT_EQ(again.getEffectName(), "Sparks");
    EXPECT_EQ(again.getType(), "EffectSystemGameObject");
    root->removeFirstChild("EffectData");
    EXPECT_FALSE(again.load(root));
}

TEST(EffectSystemLevels, EffectHangsAtThePlaceholderInRangeAndIsRemovedOutOfRange)
{
    EffectWorld world;
    const size_t before = FxEffectManager::getSingleton().getEffectCount();
    // An empty name is still asked for; the library makes what it makes.
    EffectSystemGameObject* sparks = world.show("");
    ASSERT_NE(sparks, nullptr);
    FxEffect* effect = sparks->getEffect();
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->getName(), "");
    EXPECT_EQ(effect->getType(), 8);
    EXPECT_EQ(effect->getParent(), sparks->getHoldMeshNode());
    EXPECT_TRUE(effect->getWorldPosition().positionEquals(Ogre::Vector3(5, 2, -3)));
    EXPECT_EQ(sparks->getCurrentState(), STATE_SETTLED);
    // Registered, so that the manager finds it to show its placeholder.
    EXPECT_EQ(world.manager->getUpdateListenerCount(sparks), 1);
    world.manager->setAllHoldGameObjectMeshVisible(true);
    EXPECT_TRUE(sparks->getPlaceHolderMesh()->getVisible());

    world.moveCamera(100);
    ASSERT_TRUE(world.stepUntil([sparks] { return sparks->getEffect() == nullptr; }));
    EXPECT_EQ(FxEffectManager::getSingleton().getEffectCount(), before);
    EXPECT_EQ(world.manager->getUpdateListenerCount(sparks), 0);

    world.moveCamera(5);
    ASSERT_TRUE(world.stepUntil([sparks] { return sparks->getEffect() != nullptr; }));
    sparks->destroy(true, false);
    delete sparks;
    EXPECT_EQ(FxEffectManager::getSingleton().getEffectCount(), before);
}

TEST(EffectSystemLevels, EffectStaysInTheSceneWhereItIsWhileThePlaceholderIsHiddenForTheGame)
{
    EffectWorld world;
    EffectSystemGameObject* sparks = world.show("Sparks");
    ASSERT_NE(sparks, nullptr);
    FxEffect* effect = sparks->getEffect();
    ASSERT_NE(effect, nullptr);
    const Ogre::Vector3 place = effect->getWorldPosition();

    world.manager->startSimulation();
    ASSERT_FALSE(sparks->getHoldMeshNode()->isInSceneGraph());
    EXPECT_TRUE(effect->getSceneNode()->isInSceneGraph());
    EXPECT_TRUE(effect->getWorldPosition().positionEquals(place));
    world.manager->endSimulation();
    EXPECT_EQ(effect->getParent(), sparks->getHoldMeshNode());
    EXPECT_TRUE(effect->getWorldPosition().positionEquals(place));
}
