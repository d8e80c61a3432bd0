#include "ObjectTypesTestWorld.h"

#include "ParticleSystemGameObject.h"
#include "ParticleSystemMetadata.h"
#include "XMLDataFile.h"

#include <OgreParticleSystem.h>
#include <OgreParticleSystemManager.h>

#include <gtest/gtest.h>

using namespace Wren;
using namespace Wren::Test;

namespace
{
    /** Engine particle templates "Test/High" and "Test/Low", made once. */
    void makeTemplates()
    {
        Ogre::ParticleSystemManager& systems = Ogre::ParticleSystemManager::getSingleton();
        for (const char* name : {"Test/High", "Test/Low"})
            if (!systems.getTemplate(name))
                systems.createTemplate(name, "General")->setParticleQuota(8);
    }

    /** Objects at the origin, brought to a level by the camera on the x
        axis: high detail at 0, low at 17, beyond the hint at 100. */
    struct ParticleWorld : ObjectTypesWorld
    {
        ParticleWorld() { makeTemplates(); }
        /** A new object of a new template with those templates, shown at
            its level for the camera. */
        ParticleSystemGameObject* show(const std::string& high, const std::string& low)
        {
            const std::string id = "smoke" + std::to_string(++templates) + ".meta";
            writeTypeMeta(id, "ParticleSystemGameObject",
                          "<ParticleSystemData HighLODParticleSystem=\"" + high +
                              "\" MediumLODParticleSystem=\"\" LowLODParticleSystem=\"" + low +
                              "\"/>");
            if (!manager->getPartitionManager() && !startStreamed())
                return nullptr;
            engine.rescanResources();
            ParticleSystemGameObject* made = make<ParticleSystemGameObject>(id);
            stepUntil([made] {
                return !made->getQueuedForLODChange() && made->getCurrentState() == STATE_SETTLED;
            });
            return made;
        }
        /** Moves the camera and streams until the object took the level. */
        bool bring(ParticleSystemGameObject* object, float cameraX, LevelOfDetail level)
        {
            moveCamera(cameraX);
            return stepUntil([object, level] {
                return object->getLevelOfDetail() == level && !object->getQueuedForLODChange() &&
                       object->getCurrentState() != STATE_RESOURCES_READY;
            });
        }
        size_t systemCount()
        {
            return engine.getSceneManager()->getMovableObjects("ParticleSystem").size();
        }
        int templates = 0;
    };
}

TEST(ParticleSystemTemplate, OlderSingleNameSetsEveryLevelAndTheThreeNamesAreSaved)
{
    TestEngine::instance();
    XMLDataFile old;
    old.load("<MetaData ObjectType=\"ParticleSystemGameObject\"><CoreData/><ParticleSystemData "
             "HighLODParticleSystem=\"A\" ParticleSystem=\"Fire\"/></MetaData>");
    DataElementPtr oldRoot = old.getRootElement();
    ParticleSystemMetadata meta("p.meta", nullptr);
    ASSERT_TRUE(meta.load(oldRoot));
    EXPECT_EQ(meta.getHighTemplate(), "Fire");
    EXPECT_EQ(meta.getMediumTemplate(), "Fire");
    EXPECT_EQ(meta.getLowTemplate(), "Fire");

    meta.setTemplates("H", "M", "");
    XMLDataFile file;
    DataElementPtr root = file.createRootElement("MetaData");
    ASSERT_TRUE(meta.save(root));
    ParticleSystemMetadata again("p.meta", nullptr);
    ASSERT_TRUE(again.load(root));
    EXPECT_EQ(again.getTemplateOf(LOD_HIGH), "H");
    EXPECT_EQ(again.getMediumTemplate(), "M");
    EXPECT_EQ(again.getTemplateOf(LOD_LOW), "");
    EXPECT_EQ(again.getTemplateOf(LOD_BEYOND_HINT), "");
}

TEST(ParticleSystemLevels, TemplatesSwitchByLevelAndTheOutgoingSystemGoesAfterTwoSeconds)
{
    ParticleWorld world;
    ParticleSystemGameObject* smoke = world.show("Test/High", "Test/Low");
    ASSERT_NE(smoke, nullptr);
    Ogre::ParticleSystem* high = smoke->getParticleSystem();
    ASSERT_NE(high, nullptr);
    EXPECT_EQ(high->getName(), smoke->getName() + "_Test/High");
    EXPECT_EQ(high->getParticleQuota(), 8u) << "made from the template";
    EXPECT_EQ(high->getParentSceneNode(), smoke->getSceneNode());
    EXPECT_EQ(GameObject::fromMovable(high), smoke);

    ASSERT_TRUE(world.bring(smoke, 17, LOD_LOW));
    Ogre::ParticleSystem* low = smoke->getParticleSystem();
    ASSERT_NE(low, nullptr);
    EXPECT_EQ(low->getName(), smoke->getName() + "_Test/Low");
    EXPECT_TRUE(low->isAttached());
    EXPECT_EQ(smoke->getOutgoingParticleSystem(), high);
    EXPECT_EQ(smoke->getCurrentState(), STATE_FADING);
    world.manager->update(1.5f);
    EXPECT_EQ(smoke->getOutgoingParticleSystem(), high) << "still running its particles out";
    EXPECT_TRUE(high->isAttached());
    world.manager->update(0.5f);
    EXPECT_EQ(smoke->getOutgoingParticleSystem(), nullptr);
    EXPECT_EQ(world.systemCount(), 1u);
    EXPECT_EQ(smoke->getCurrentState(), STATE_SETTLED);
    EXPECT_EQ(world.manager->getUpdateListenerCount(smoke), 0);

    // Out of range the system is let go of in the same way.
    ASSERT_TRUE(world.bring(smoke, 100, LOD_BEYOND_HINT));
    EXPECT_EQ(smoke->getParticleSystem(), nullptr);
    EXPECT_EQ(smoke->getOutgoingParticleSystem(), low);
    world.manager->update(2.0f);
    EXPECT_EQ(world.systemCount(), 0u);

    // One template for both levels: switching makes nothing new.
    world.moveCamera(0);
    ParticleSystemGameObject* same = world.show("Test/High", "Test/High");
    Ogre::ParticleSystem* shown = same->getParticleSystem();
    ASSERT_NE(shown, nullptr);
    ASSERT_TRUE(world.bring(same, 17, LOD_LOW));
    EXPECT_EQ(same->getParticleSystem(), shown);
    EXPECT_EQ(same->getOutgoingParticleSystem(), nullptr);
    EXPECT_EQ(same->getCurrentState(), STATE_SETTLED);

    same->destroy(true, false);
    delete same;
    smoke->destroy(true, false);
    delete smoke;
    EXPECT_EQ(world.systemCount(), 0u);
}

TEST(ParticleSystemLevels, EmptyOrUnknownTemplateShowsNoSystemAndNothingThrows)
{
    ParticleWorld world;
    ParticleSystemGameObject* smoke = world.show("Test/High", "");
    ASSERT_NE(smoke->getParticleSystem(), nullptr);
    ASSERT_TRUE(world.bring(smoke, 17, LOD_LOW));
    EXPECT_EQ(smoke->getParticleSystem(), nullptr) << "the low level names no template";
    EXPECT_NE(smoke->getOutgoingParticleSystem(), nullptr);
    world.manager->update(2.0f);
    EXPECT_EQ(world.systemCount(), 0u);

    LogCapture log;
    world.moveCamera(0);
    ParticleSystemGameObject* lost = nullptr;
    EXPECT_NO_THROW(lost = world.show("No/Such", ""));
    ASSERT_NE(lost, nullptr);
    EXPECT_EQ(lost->getLevelOfDetail(), LOD_HIGH);
    EXPECT_EQ(lost->getParticleSystem(), nullptr);
    EXPECT_EQ(lost->getCurrentState(), STATE_SETTLED);
    EXPECT_TRUE(log.contains(lost->getName() + " shows no particle system"));
}
