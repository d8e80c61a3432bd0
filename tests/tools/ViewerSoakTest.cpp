#include "TestEngine.h"
#include "ViewerSoak.h"
#include "WorldGenerator.h"

#include <OgreSceneManager.h>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

using Wren::Test::TestEngine;

namespace
{
    /** What grew besides the memory, which the sanitizers' quarantine and
        the test process itself move as well. */
    std::vector<std::string> countsThatGrew(const Wren::ViewerSoak& soak)
    {
        std::vector<std::string> growth;
        for (const std::string& line : soak.findGrowth())
            if (line.find("resident_kib") != 0)
                growth.push_back(line);
        return growth;
    }
}

TEST(Soak, AFlightThatHoldsSteadyPassesAndOneThatLeaksANodeAFrameFailsNamingIt)
{
    Wren::WorldGeneratorOptions generate;
    generate.cells = 3;
    generate.objectsPerCell = 4;
    generate.seed = 5;
    const std::string folder = TestEngine::instance().makeTempFolder("soak") + "/W";
    ASSERT_TRUE(Wren::WorldGenerator(generate).generate(folder).ok);

    Wren::WorldViewerOptions options;
    options.world = folder;
    options.path = "circle";
    options.speed = 480.0f;
    options.frames = 600;
    options.backgroundLoading = false;
    {
        Wren::WorldViewer viewer(options);
        Wren::ViewerSoak soak;
        ASSERT_TRUE(soak.fly(viewer, nullptr)) << viewer.getError();
        ASSERT_GE(soak.getPasses().size(), 4u);
        EXPECT_EQ(std::vector<std::string>(), countsThatGrew(soak));
        const Wren::SoakPass& second = soak.getPasses()[1];
        EXPECT_GT(second.peak.entities, 0u);
        EXPECT_GT(second.floor.meshes, 0u);
        EXPECT_EQ(soak.getPasses().size(), soak.toJson()["passes"].size());
    }

    Ogre::SceneManager* scene = TestEngine::instance().getSceneManager();
    std::vector<Ogre::SceneNode*> leaked;
    Wren::WorldViewer viewer(options);
    Wren::ViewerSoak soak;
    ASSERT_TRUE(soak.fly(viewer, [&](const Wren::ViewerFigures&) {
        leaked.push_back(scene->createSceneNode());
    }));
    const std::vector<std::string> growth = countsThatGrew(soak);
    ASSERT_EQ(1u, growth.size());
    EXPECT_EQ(0u, growth[0].find("scene_nodes grew from at most")) << growth[0];
    for (Ogre::SceneNode* node : leaked)
        scene->destroySceneNode(node);
}
