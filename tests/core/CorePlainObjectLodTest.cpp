#include "CoreGameObjectTestWorld.h"

#include <gtest/gtest.h>

using namespace Wren;
using namespace Wren::Test;

namespace
{
    /** Makes the real plain object for the type "CoreGameObject". */
    class PlainFactory : public GameObjectFactory
    {
    public:
        bool supportsObjectType(const std::string& type) const override
        {
            return type == "CoreGameObject";
        }
        GameObject* createGameObject(const std::string&, const std::string& name,
                                     GameObjectManager* manager) const override
        {
            return new CoreGameObject(dynamic_cast<CoreGameObjectManager*>(manager), name);
        }
        Metadata* createMetadata(const std::string&, const std::string& name,
                                 GameObjectManager* manager) const override
        {
            return new CoreMetadata(name, dynamic_cast<CoreGameObjectManager*>(manager));
        }
    };
}

TEST(CorePlainObjectLod, PlainObjectSettlesSoTheChangesQueuedBehindItHappen)
{
    CoreTestWorld world;
    world.objectFactories->addGameObjectFactory(new PlainFactory);
    world.writeMetadata("plain.meta", "plain", "<CoreData/>", "CoreGameObject");
    world.writeMetadata("later.meta", "later");
    world.writeWorld("w", "");
    ASSERT_TRUE(world.start("w"));
    world.partitions->SetLoadingSinglebjectPerFrame(true);

    CoreGameObject* plain = world.manager->createCoreGameObject("plain.meta", Ogre::Vector3::ZERO);
    StandInObject* later = world.create("later.meta");
    ASSERT_NE(nullptr, plain);
    ASSERT_NE(nullptr, later);
    EXPECT_EQ("CoreGameObject", plain->getObjectType());
    plain->setLevelOfDetail(LOD_HIGH, false);
    later->setLevelOfDetail(LOD_HIGH, false);
    for (int frame = 0; frame < 20; ++frame)
        world.manager->update(0.1f);

    EXPECT_EQ(STATE_SETTLED, plain->getCurrentState());
    EXPECT_EQ(1, later->loads) << "the plain object held the one change a step allows";

    // And again for the next change of the plain object.
    plain->setLevelOfDetail(LOD_BEYOND_HINT, false);
    later->setLevelOfDetail(LOD_BEYOND_HINT, false);
    for (int frame = 0; frame < 20; ++frame)
        world.manager->update(0.1f);
    EXPECT_EQ(LOD_BEYOND_HINT, plain->getLevelOfDetail());
    EXPECT_EQ(STATE_SETTLED, plain->getCurrentState());
    EXPECT_EQ(2, later->loads);
}
