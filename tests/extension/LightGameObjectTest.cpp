#include "ObjectTypesTestWorld.h"

#include "LightGameObject.h"
#include "LightMetadata.h"
#include "XMLDataFile.h"

#include <OgreLight.h>

#include <gtest/gtest.h>

using namespace Wren;
using namespace Wren::Test;

namespace
{
    LightMetadata::Values loadLight(const std::string& attributes, bool* loaded = nullptr)
    {
        TestEngine::instance();
        XMLDataFile file;
        file.load(("<MetaData ObjectType=\"LightGameObject\"><CoreData/>" + attributes +
                   "</MetaData>").c_str());
        DataElementPtr root = file.getRootElement();
        LightMetadata meta("l.meta", nullptr);
        LightMetadata::Values start;
        start.type = Ogre::Light::LT_DIRECTIONAL;
        meta.setValues(start);
        const bool ok = meta.load(root);
        if (loaded)
            *loaded = ok;
        return meta.getValues();
    }
}

TEST(LightTemplate, TypeComesFromTheNumberBeforeTheNameAndIsSavedByName)
{
    EXPECT_EQ(loadLight("<LightData LightTypeEnum=\"2\" LightType=\"Point\"/>").type,
              Ogre::Light::LT_SPOTLIGHT);
    EXPECT_EQ(loadLight("<LightData LightType=\"Point\"/>").type, Ogre::Light::LT_POINT);
    EXPECT_EQ(loadLight("<LightData LightTypeEnum=\"-1\" LightType=\"Spotlight\"/>").type,
              Ogre::Light::LT_SPOTLIGHT);
    EXPECT_EQ(loadLight("<LightData LightType=\"Lamp\"/>").type, Ogre::Light::LT_DIRECTIONAL);
    bool loaded = true;
    loadLight("", &loaded);
    EXPECT_FALSE(loaded) << "a template without LightData is refused";

    LightMetadata meta("lamp.meta", nullptr);
    meta.setType("LightGameObject");
    LightMetadata::Values values;
    values.type = Ogre::Light::LT_SPOTLIGHT;
    values.diffuse = Ogre::ColourValue(0.5f, 0.25f, 1.0f);
    values.attenuationRange = 55.0f;
    values.attenuationQuadric = 0.125f;
    values.castShadows = false;
    values.spotOuter = 60.0f;
    meta.setValues(values);
    XMLDataFile file;
    DataElementPtr root = file.createRootElement("MetaData");
    ASSERT_TRUE(meta.save(root));
    DataElementPtr data = root->getFirstChild("LightData");
    EXPECT_EQ(data->getAttributeString("LightType", ""), "Spotlight");
    EXPECT_EQ(data->getAttributeInt("LightTypeEnum", -7), -7);

    LightMetadata again("lamp.meta", nullptr);
    ASSERT_TRUE(again.load(root));
    EXPECT_EQ(again.getType(), "LightGameObject");
    const LightMetadata::Values& read = again.getValues();
    EXPECT_EQ(read.type, Ogre::Light::LT_SPOTLIGHT);
    EXPECT_EQ(read.diffuse, values.diffuse);
    EXPECT_FLOAT_EQ(read.attenuationRange, 55.0f);
    EXPECT_FLOAT_EQ(read.attenuationQuadric, 0.125f);
    EXPECT_FLOAT_EQ(read.attenuationLinear, 1.0f);
    EXPECT_FALSE(read.castShadows);
    EXPECT_FLOAT_EQ(read.spotOuter, 60.0f);
}

TEST(LightTemplate, TypeNumberOutsideZeroToTwoKeepsTheCurrentType)
{
    LogCapture log;
    for (const char* number : {"3", "-2", "200"})
        EXPECT_EQ(loadLight(std::string("<LightData LightTypeEnum=\"") + number +
                            "\" LightType=\"Point\"/>")
                      .type,
                  Ogre::Light::LT_DIRECTIONAL)
            << number;
    EXPECT_TRUE(log.contains("none of 0-2"));
}

TEST(LightStreaming, ShinesAtFullStrengthInRangeAndFadesToBlackOverTwoSecondsOutOfIt)
{
    ObjectTypesWorld world;
    world.writeTypeMeta("lamp.meta", "LightGameObject",
                        "<LightData LightTypeEnum=\"2\" DiffuseR=\"0.8\" DiffuseG=\"0.6\" "
                        "DiffuseB=\"0.4\" SpecularR=\"0.2\" SpecularG=\"0.2\" SpecularB=\"0.2\" "
                        "AttRange=\"30\" AttConstant=\"0.5\" SpotInner=\"20\" SpotOuter=\"50\"/>");
    ASSERT_TRUE(world.startStreamed());
    LightGameObject* lamp = world.make<LightGameObject>("lamp.meta", Ogre::Vector3(2, 0, 0));
    ASSERT_NE(lamp, nullptr);
    for (int frame = 0; frame < 5; ++frame)
        world.manager->update(0.1f);

    Ogre::Light* light = lamp->getLight();
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(light->getName(), lamp->getName());
    EXPECT_EQ(light->getParentSceneNode(), lamp->getSceneNode());
    EXPECT_EQ(GameObject::fromMovable(light), lamp);
    EXPECT_EQ(light->getType(), Ogre::Light::LT_SPOTLIGHT);
    EXPECT_EQ(light->getDiffuseColour(), Ogre::ColourValue(0.8f, 0.6f, 0.4f));
    EXPECT_FLOAT_EQ(light->getAttenuationRange(), 30.0f);
    EXPECT_FLOAT_EQ(light->getAttenuationConstant(), 0.5f);
    EXPECT_FLOAT_EQ(light->getSpotlightOuterAngle().valueDegrees(), 50.0f);
    EXPECT_EQ(lamp->getCurrentState(), STATE_SETTLED);

    world.moveCamera(100);
    ASSERT_TRUE(world.stepUntil(
        [lamp] { return lamp->getFadeState() == LightGameObject::FADE_OUT; }));
    EXPECT_EQ(lamp->getCurrentState(), STATE_FADING);
    world.manager->update(1.0f - lamp->getFadeTimer());
    ASSERT_EQ(lamp->getLight(), light);
    const Ogre::ColourValue half = light->getDiffuseColour();
    EXPECT_NEAR(half.r, 0.4f, 1e-4);
    EXPECT_NEAR(half.g, 0.3f, 1e-4);
    EXPECT_NEAR(half.b, 0.2f, 1e-4);
    EXPECT_NEAR(light->getSpecularColour().r, 0.1f, 1e-4);

    // Back in range during the fade: the light fades out all the same and
    // then comes back at full strength.
    world.moveCamera(0);
    world.manager->update(0.5f);
    EXPECT_NEAR(lamp->getLight()->getDiffuseColour().r, 0.2f, 1e-3);
    world.manager->update(0.5f);
    EXPECT_EQ(lamp->getLight(), nullptr) << "gone at two seconds";
    EXPECT_FALSE(world.engine.getSceneManager()->hasLight(lamp->getName()));
    for (int frame = 0; frame < 5; ++frame)
        world.manager->update(0.1f);
    ASSERT_NE(lamp->getLight(), nullptr);
    EXPECT_EQ(lamp->getLight()->getDiffuseColour(), Ogre::ColourValue(0.8f, 0.6f, 0.4f));
    EXPECT_EQ(world.manager->getUpdateListenerCount(lamp), 0);

    const std::string name = lamp->getName();
    lamp->destroy(true, false);
    delete lamp;
    EXPECT_FALSE(world.engine.getSceneManager()->hasLight(name));
}
