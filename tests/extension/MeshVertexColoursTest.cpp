#include "MeshTestWorld.h"

#include "MeshVertexColourEditor.h"

#include <OgreEntity.h>
#include <OgreLight.h>
#include <OgreMaterial.h>
#include <OgreMesh.h>
#include <OgreMeshSerializer.h>
#include <OgrePass.h>
#include <OgreSubEntity.h>
#include <OgreSubMesh.h>
#include <OgreTechnique.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

using namespace Wren;
using namespace Wren::Test;

namespace
{
    /** A mesh of three faces of one triangle each, in this vertex order: one
        turned up (+y), one turned sideways (+x) and one tilted (0, 0.8, 0.6). */
    void makeFacesMesh(const std::string& name)
    {
        if (Ogre::MeshManager::getSingleton().resourceExists(name, "General"))
            return;
        Ogre::SceneManager* scene = Wren::Test::TestEngine::instance().getSceneManager();
        Ogre::ManualObject* manual = scene->createManualObject();
        manual->begin("BaseWhite");
        const Ogre::Vector3 normals[] = {Ogre::Vector3::UNIT_Y, Ogre::Vector3::UNIT_X,
                                         Ogre::Vector3(0, 0.8f, 0.6f)};
        for (int face = 0; face < 3; ++face)
            for (int corner = 0; corner < 3; ++corner)
            {
                manual->position(float(face), float(corner == 1), float(corner == 2));
                manual->normal(normals[face]);
            }
        manual->triangle(0, 1, 2);
        manual->triangle(3, 4, 5);
        manual->triangle(6, 7, 8);
        manual->end();
        manual->convertToMesh(name, "General");
        scene->destroyManualObject(manual);
    }

    /** The vertex colours of a mesh, in vertex order; empty without any. */
    std::vector<Ogre::ColourValue> vertexColours(const Ogre::MeshPtr& mesh)
    {
        std::vector<Ogre::ColourValue> out;
        std::vector<Ogre::VertexData*> sets;
        if (mesh->sharedVertexData)
            sets.push_back(mesh->sharedVertexData);
        for (unsigned short i = 0; i < mesh->getNumSubMeshes(); ++i)
            if (!mesh->getSubMesh(i)->useSharedVertices)
                sets.push_back(mesh->getSubMesh(i)->vertexData);
        for (Ogre::VertexData* data : sets)
        {
            const Ogre::VertexElement* e =
                data->vertexDeclaration->findElementBySemantic(Ogre::VES_DIFFUSE);
            if (!e)
                continue;
            Ogre::HardwareVertexBufferSharedPtr buffer =
                data->vertexBufferBinding->getBuffer(e->getSource());
            const unsigned char* base = static_cast<const unsigned char*>(
                buffer->lock(Ogre::HardwareBuffer::HBL_READ_ONLY));
            for (size_t v = data->vertexStart; v < data->vertexStart + data->vertexCount; ++v)
            {
                Ogre::uint32 packed;
                std::memcpy(&packed, base + v * buffer->getVertexSize() + e->getOffset(), 4);
                Ogre::VertexElement::convertColourValue(
                    e->getType() == Ogre::VET_COLOUR
                        ? Ogre::VertexElement::getBestColourVertexElementType()
                        : e->getType(),
                    Ogre::VET_COLOUR_ARGB, &packed);
                Ogre::ColourValue c;
                c.setAsARGB(packed);
                out.push_back(c);
            }
            buffer->unlock();
        }
        return out;
    }

    /** Colours are kept in 8 bits a channel: a colour made of two sums may
        be off by two steps. */
    ::testing::AssertionResult near(const Ogre::ColourValue& expected,
                                    const Ogre::ColourValue& actual, float steps = 1.5f)
    {
        const float tolerance = steps / 255.0f;
        if (std::abs(expected.r - actual.r) < tolerance && std::abs(expected.g - actual.g) < tolerance &&
            std::abs(expected.b - actual.b) < tolerance && std::abs(expected.a - actual.a) < tolerance)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "expected " << expected << ", got " << actual;
    }

    /** A world with one mesh template whose objects stand at (1, 0, 1). */
    struct PaintWorld : MeshWorld
    {
        explicit PaintWorld(const std::string& subMeshes)
        {
            makeFacesMesh("faces.mesh");
            writeMeta("paint.meta", meshMeta(subMeshes, "Fade=\"false\""));
            writeWorld("w", "");
            started = start("w");
        }
        MeshGameObject* shown()
        {
            MeshGameObject* object = createMesh("paint.meta");
            if (object)
                showAt(object, LOD_HIGH);
            return object;
        }
        Ogre::MeshPtr meshOf(MeshGameObject* object)
        {
            return object->getEntityList().at(0)->getMesh();
        }
        bool started = false;
    };

    Ogre::Light* directionalLight(Ogre::SceneManager* scene, const Ogre::Vector3& direction,
                                  const Ogre::ColourValue& diffuse)
    {
        Ogre::Light* light = scene->createLight();
        light->setType(Ogre::Light::LT_DIRECTIONAL);
        light->setDiffuseColour(diffuse);
        Ogre::SceneNode* node = scene->getRootSceneNode()->createChildSceneNode();
        node->attachObject(light);
        node->setDirection(direction, Ogre::Node::TS_WORLD);
        return light;
    }
}

TEST(MeshLightArithmetic, DirectionalAndPointLight)
{
    const Ogre::ColourValue white = Ogre::ColourValue::White;
    // A light travelling down lights faces turned up, not those turned down.
    EXPECT_EQ(Ogre::ColourValue::Black,
              MeshVertexColourEditor::directionalLightColour(Ogre::Vector3::UNIT_Y,
                                                     Ogre::Vector3::UNIT_Y, white));
    EXPECT_FLOAT_EQ(1.0f, MeshVertexColourEditor::directionalLightColour(
                              Ogre::Vector3::UNIT_Y, Ogre::Vector3::NEGATIVE_UNIT_Y, white).r);
    // Light beyond range gives nothing.
    EXPECT_EQ(Ogre::ColourValue::Black,
              MeshVertexColourEditor::pointLightColour(Ogre::Vector3::UNIT_Y, Ogre::Vector3::ZERO,
                                               Ogre::Vector3(0, 30, 0), white, 20, 0, 1, 0));
    EXPECT_EQ(Ogre::ColourValue::Black,
              MeshVertexColourEditor::pointLightColour(Ogre::Vector3::NEGATIVE_UNIT_Y, Ogre::Vector3::ZERO,
                                               Ogre::Vector3(0, 10, 0), white, 20, 0, 1, 0));
    Ogre::ColourValue c = MeshVertexColourEditor::pointLightColour(
        Ogre::Vector3::UNIT_Y, Ogre::Vector3::ZERO, Ogre::Vector3(0, 10, 0), white, 20, 0, 1, 0);
    EXPECT_NEAR(0.5f, c.r, 1e-5);
    EXPECT_FLOAT_EQ(1.0f, MeshVertexColourEditor::addClamped(Ogre::ColourValue(0.8f, 0, 0), c).r);
}

TEST(MeshVertexColours, DirectionalLightOnKnownFacesAfterAClear)
{
    PaintWorld world("<SubMeshData Mesh=\"faces.mesh\"/>");
    ASSERT_TRUE(world.started);
    MeshGameObject* object = world.shown();
    ASSERT_NE(nullptr, object);
    Ogre::Light* sun = directionalLight(world.engine.getSceneManager(),
                                        Ogre::Vector3::NEGATIVE_UNIT_Y,
                                        Ogre::ColourValue(0.5f, 0.25f, 1.0f));
    EXPECT_FALSE(object->computerVertexLight(sun, VertexColorLightModel(7)));
    EXPECT_FALSE(object->computerVertexLight(nullptr, VCLM_DIRECTIONAL));

    ASSERT_TRUE(object->clearVertexLight());
    std::vector<Ogre::ColourValue> colours = vertexColours(world.meshOf(object));
    ASSERT_EQ(9u, colours.size());
    for (const Ogre::ColourValue& c : colours)
        EXPECT_TRUE(near(Ogre::ColourValue(0, 0, 0, 1), c));

    ASSERT_TRUE(object->computerVertexLight(sun, VCLM_DIRECTIONAL));
    colours = vertexColours(world.meshOf(object));
    ASSERT_EQ(9u, colours.size());
    for (int v = 0; v < 3; ++v)
    {
        EXPECT_TRUE(near(Ogre::ColourValue(0.5f, 0.25f, 1.0f, 1), colours[v])) << v;
        EXPECT_TRUE(near(Ogre::ColourValue(0, 0, 0, 1), colours[3 + v])) << v;
        EXPECT_TRUE(near(Ogre::ColourValue(0.4f, 0.2f, 0.8f, 1), colours[6 + v])) << v;
    }
    Ogre::Pass* pass = object->getEntityList()[0]->getSubEntity(0)->getMaterial()->getTechnique(0)->getPass(0);
    EXPECT_EQ(Ogre::TVC_DIFFUSE, pass->getVertexColourTracking());

    // A second bake adds to the first, each channel at most 1.
    ASSERT_TRUE(object->computerVertexLight(sun, VCLM_DIRECTIONAL));
    colours = vertexColours(world.meshOf(object));
    EXPECT_TRUE(near(Ogre::ColourValue(1.0f, 0.5f, 1.0f, 1), colours[0]));
    EXPECT_TRUE(near(Ogre::ColourValue(0.8f, 0.4f, 1.0f, 1), colours[6], 2.5f));

    // Turned on its side, the object's upward face looks along -x: the sun
    // now lights nothing of it, and the sideways face looks up.
    ASSERT_TRUE(object->clearVertexLight());
    object->setOrientation(Ogre::Quaternion(Ogre::Degree(90), Ogre::Vector3::UNIT_Z), false, false);
    ASSERT_TRUE(object->computerVertexLight(sun, VCLM_DIRECTIONAL));
    colours = vertexColours(world.meshOf(object));
    EXPECT_TRUE(near(Ogre::ColourValue(0, 0, 0, 1), colours[0]));
    EXPECT_TRUE(near(Ogre::ColourValue(0.5f, 0.25f, 1.0f, 1), colours[3]));
}

TEST(MeshVertexColours, PointLightFallsOffWithItsRange)
{
    PaintWorld world("<SubMeshData Mesh=\"faces.mesh\"/>");
    ASSERT_TRUE(world.started);
    MeshGameObject* object = world.shown();
    Ogre::SceneManager* scene = world.engine.getSceneManager();
    Ogre::Light* lamp = scene->createLight();
    lamp->setType(Ogre::Light::LT_POINT);
    lamp->setDiffuseColour(Ogre::ColourValue::White);
    lamp->setAttenuation(20, 0, 1, 0);
    // Ten units above the first vertex, at world (1, 0, 1).
    scene->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(1, 10, 1))->attachObject(lamp);
    ASSERT_TRUE(object->clearVertexLight());
    ASSERT_TRUE(object->computerVertexLight(lamp, VCLM_POINT));
    const std::vector<Ogre::ColourValue> colours = vertexColours(world.meshOf(object));
    ASSERT_EQ(9u, colours.size());
    EXPECT_TRUE(near(Ogre::ColourValue(0.5f, 0.5f, 0.5f, 1), colours[0]));
    // The sideways face is turned away from a light straight above it.
    EXPECT_TRUE(near(Ogre::ColourValue(0, 0, 0, 1), colours[3]));
}

TEST(MeshVertexColours, BrushPaintsWithinItsRadiusTheMeshEveryObjectShows)
{
    makeMesh("brushed.mesh");
    PaintWorld world("<SubMeshData Mesh=\"brushed.mesh\"/>");
    ASSERT_TRUE(world.started);
    MeshGameObject* painted = world.shown();
    MeshGameObject* other = world.shown();
    ASSERT_NE(nullptr, other);
    ASSERT_EQ(world.meshOf(painted), world.meshOf(other));

    // The vertices stand at world (1, 0, 1), (2, 0, 1) and (1, 1, 1).
    const Ogre::Vector3 centre(1, 0, 1);
    ASSERT_TRUE(painted->BrushVertexColor(centre, 0.5f, Ogre::ColourValue::Red, BVCM_REPLACE));
    std::vector<Ogre::ColourValue> colours = vertexColours(world.meshOf(other));
    ASSERT_EQ(3u, colours.size());
    EXPECT_TRUE(near(Ogre::ColourValue::Red, colours[0]));
    EXPECT_TRUE(near(Ogre::ColourValue::White, colours[1]));
    EXPECT_TRUE(near(Ogre::ColourValue::White, colours[2]));

    // A vertex exactly on the rim is outside.
    ASSERT_TRUE(painted->BrushVertexColor(centre, 1.0f, Ogre::ColourValue(0, 0.5f, 0), BVCM_ADD));
    colours = vertexColours(world.meshOf(painted));
    EXPECT_TRUE(near(Ogre::ColourValue(1, 0.5f, 0), colours[0]));
    EXPECT_TRUE(near(Ogre::ColourValue::White, colours[1]));
    ASSERT_TRUE(painted->BrushVertexColor(centre, 1.01f, Ogre::ColourValue(0.5f, 0.5f, 0.5f, 1),
                                          BVCM_MULTIPLY));
    colours = vertexColours(world.meshOf(painted));
    EXPECT_TRUE(near(Ogre::ColourValue(0.5f, 0.25f, 0), colours[0]));
    EXPECT_TRUE(near(Ogre::ColourValue(0.5f, 0.5f, 0.5f), colours[1]));
    EXPECT_TRUE(near(Ogre::ColourValue(0.5f, 0.5f, 0.5f), colours[2]));

    // The colours belong to the mesh, not to the object that painted them.
    painted->destroy(true, false);
    delete painted;
    colours = vertexColours(world.meshOf(other));
    ASSERT_EQ(3u, colours.size());
    EXPECT_TRUE(near(Ogre::ColourValue(0.5f, 0.25f, 0), colours[0]));

    // Clearing turns every vertex black.
    ASSERT_TRUE(other->clearVertexLight());
    for (const Ogre::ColourValue& c : vertexColours(world.meshOf(other)))
        EXPECT_TRUE(near(Ogre::ColourValue(0, 0, 0, 1), c));
    MeshGameObject idle(world.manager.get(), "idle");
    EXPECT_FALSE(idle.clearVertexLight());
}

TEST(MeshVertexColours, SavingAnotherObjectOfTheMeshKeepsThePaintAndAFailedWriteKeepsTheFile)
{
    TestEngine& engine = TestEngine::instance();
    makeFacesMesh("faces.mesh");
    const std::string path = engine.getGeneralFolder() + "/stored.mesh";
    Ogre::MeshSerializer().exportMesh(
        Ogre::MeshManager::getSingleton().getByName("faces.mesh", "General").get(), path);
    PaintWorld world("<SubMeshData Mesh=\"stored.mesh\"/>");
    ASSERT_TRUE(world.started);
    MeshGameObject* first = world.shown();
    MeshGameObject* second = world.shown();
    ASSERT_NE(nullptr, second);
    ASSERT_EQ(1u, first->getEntityList().size());

    int checks = 0;
    auto readBack = [&]() {
        Ogre::MeshPtr check = Ogre::MeshManager::getSingleton().createManual(
            "stored-check-" + std::to_string(++checks), "General");
        // Marked loaded first, so that removing it frees what the import made.
        check->load();
        std::ifstream* in = new std::ifstream(path, std::ios::binary);
        Ogre::DataStreamPtr stream(new Ogre::FileStreamDataStream(in));
        Ogre::MeshSerializer().importMesh(stream, check.get());
        std::vector<Ogre::ColourValue> colours = vertexColours(check);
        Ogre::MeshManager::getSingleton().remove(check);
        return colours;
    };
    auto allOf = [&](const std::vector<Ogre::ColourValue>& colours, const Ogre::ColourValue& c) {
        bool all = colours.size() == 9;
        for (const Ogre::ColourValue& colour : colours)
            all = all && near(c, colour);
        return all;
    };

    ASSERT_TRUE(first->BrushVertexColor(Ogre::Vector3(1, 0, 1), 100.0f, Ogre::ColourValue::Red,
                                        BVCM_REPLACE));
    {
        LogCapture log;
        first->saveMesh();
        EXPECT_TRUE(log.contains("wrote the mesh stored.mesh"));
    }
    EXPECT_TRUE(allOf(readBack(), Ogre::ColourValue::Red));
    // Saving the other object of the mesh writes the same colours again.
    second->saveMesh();
    EXPECT_TRUE(allOf(readBack(), Ogre::ColourValue::Red));
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp~"));

    // The write can not happen: the old file stays as it was.
    // (Every name the writer may give its temporary file is taken.)
    const std::string before = TestEngine::readFile(path);
    for (int n = 0; n < 100; ++n)
        std::filesystem::create_directories(path + ".tmp~" + (n ? std::to_string(n) : ""));
    ASSERT_TRUE(first->BrushVertexColor(Ogre::Vector3(1, 0, 1), 100.0f, Ogre::ColourValue::Blue,
                                        BVCM_REPLACE));
    {
        LogCapture log;
        second->saveMesh();
        EXPECT_TRUE(log.contains("stored.mesh is left as it was"));
    }
    EXPECT_EQ(before, TestEngine::readFile(path));
    for (int n = 0; n < 100; ++n)
        std::filesystem::remove(path + ".tmp~" + (n ? std::to_string(n) : ""));

    // Read afresh from the file, the mesh shows the saved paint in every object.
    for (MeshGameObject* object : {first, second})
    {
        object->destroy(true, false);
        delete object;
    }
    Ogre::MeshManager::getSingleton().remove("stored.mesh", "General");
    MeshGameObject* again = world.shown();
    MeshGameObject* another = world.shown();
    ASSERT_NE(nullptr, another);
    EXPECT_TRUE(allOf(vertexColours(world.meshOf(again)), Ogre::ColourValue::Red));
    EXPECT_EQ(world.meshOf(again), world.meshOf(another));

    // A mesh that was never read from a file is not written anywhere.
    world.writeMeta("plain.meta", meshMeta("<SubMeshData Mesh=\"faces.mesh\"/>"));
    world.engine.rescanResources();
    MeshGameObject* plain = world.createMesh("plain.meta");
    ASSERT_NE(nullptr, plain);
    MeshWorld::showAt(plain, LOD_HIGH);
    LogCapture log;
    plain->saveMesh();
    EXPECT_TRUE(log.contains("faces.mesh of " + plain->getName() +
                             " was not read from a folder; not written"));
}
