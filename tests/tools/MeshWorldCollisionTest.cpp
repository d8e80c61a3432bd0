#include "CollisionGameSystem.h"
#include "CoreGameObjectManager.h"
#include "CoreMetadata.h"
#include "FxShaderInstancingManager.h"
#include "GridPartitionManager.h"
#include "GeneratedMedia.h"
#include "MediaGenerator.h"
#include "MeshCollisionGameSystem.h"
#include "MeshGameObject.h"
#include "SceneManagerWrapper.h"
#include "TestEngine.h"
#include "WorldGenerator.h"
#include "WorldHost.h"

#include <OgreCamera.h>
#include <OgreMaterialManager.h>
#include <OgreMeshManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

using Wren::MediaGenerator;
using Wren::Test::TestEngine;
using Wren::Test::forgetGeneratedMedia;

namespace
{
    /** The transform the objects' own ray tests use: the node's place, unit
        scale (the shape carries the object's scale). */
    Ogre::Matrix4 rayTransformOf(const Wren::CoreGameObject* object)
    {
        Ogre::SceneNode* node = object->getSceneNode();
        Ogre::Matrix4 transform;
        transform.makeTransform(node->_getDerivedPosition(), Ogre::Vector3::UNIT_SCALE,
                                node->_getDerivedOrientation());
        return transform;
    }

    /** A world "W" generated into a fresh folder, and where the generator
        put each object, by name. */
    struct PlacedWorld
    {
        std::string folder;
        Wren::WorldGeneratorResult result;
        std::map<std::string, Wren::PlacedObject> placed;
    };

    PlacedWorld generateWorld(const Wren::WorldGeneratorOptions& options, const std::string& tag)
    {
        PlacedWorld world;
        world.folder = TestEngine::instance().makeTempFolder(tag) + "/worlds/W";
        world.result = Wren::WorldGenerator(options).generate(world.folder);
        for (const Wren::PlacedObject& o : Wren::WorldGenerator(options).place())
            world.placed[o.name] = o;
        return world;
    }

    /** Mesh objects of the world by name. */
    std::map<std::string, Wren::MeshGameObject*> meshObjects(Wren::WorldHost& host)
    {
        std::vector<Wren::CoreGameObject*> objects;
        host.getManager()->enumerateObjects(objects);
        std::map<std::string, Wren::MeshGameObject*> out;
        for (Wren::CoreGameObject* object : objects)
            if (auto* mesh = dynamic_cast<Wren::MeshGameObject*>(object))
                out[mesh->getName()] = mesh;
        return out;
    }
}

// A 3 x 3 grid of 256-unit cells whose load radius (300) takes in a cell and
// its edge neighbours. The camera hovers over cell 0_0, then moves to cell
// 2_2, out of reach of 0_0 and its neighbours. In the editor the objects
// also fill their collision lists from their meshes.
TEST(MeshWorldCollision, ObjectsNearTheCameraCollideByTheirObstacleMeshAndLetGoWhenUnloaded)
{
    struct Run
    {
        bool binary;
        bool editing;
    };
    for (const Run run : {Run{false, false}, Run{true, false}, Run{false, true}})
    {
        const bool binary = run.binary;
        SCOPED_TRACE(std::string(binary ? "binary" : "XML") + (run.editing ? ", editing" : ""));
        Wren::WorldGeneratorOptions options;
        options.cells = 3;
        options.objectsPerCell = 10;
        options.seed = 21;
        options.loadRadius = 300.0f;
        options.binary = binary;
        const PlacedWorld generated = generateWorld(options, "mesh-collision");
        const Wren::WorldGeneratorResult& result = generated.result;
        ASSERT_TRUE(result.ok) << result.error;
        const std::string& folder = generated.folder;
        const std::map<std::string, Wren::PlacedObject>& placed = generated.placed;

        Wren::WorldHost host;
        Wren::WorldHostSettings settings =
            Wren::Test::generatedWorldSettings(result.resourcesFile, binary);
        settings.editing = run.editing;
        ASSERT_TRUE(host.start(std::move(settings)));
        ASSERT_TRUE(MediaGenerator::declareMaterials());
        auto* collision =
            dynamic_cast<Wren::MeshCollisionGameSystem*>(host.getManager()->getCollisionGameSystem());
        ASSERT_NE(collision, nullptr);
        // Shapes nobody holds any more are let go, one per frame.
        collision->setRecovery(true);
        collision->setHoldMaxCount(0);
        collision->setRecoveryTime(0.5f);

        Ogre::SceneNode* camera =
            host.getSceneManager()->getCamera("PlayerCam")->getParentSceneNode();
        const Wren::WorldGrid& grid = result.grid;
        camera->setPosition(grid.cellWorldPosition(0, 0) + Ogre::Vector3(0, 30, 0));
        for (int frame = 0; frame < 300; ++frame)
            host.update(0.1f);

        // Every mesh object that came into range holds the shape of its
        // obstacle mesh at its own scale.
        std::map<std::string, Wren::MeshGameObject*> objects = meshObjects(host);
        ASSERT_FALSE(objects.empty());
        std::multimap<std::string, std::weak_ptr<Wren::CollisionShape>> shapesOfCell00;
        Wren::MeshGameObject* known = nullptr;
        for (const auto& entry : objects)
        {
            Wren::MeshGameObject* object = entry.second;
            if (object->getLevelOfDetail() == Wren::LOD_BEYOND_HINT || object->IsInstanced())
                continue;
            const Wren::CollisionShapePtr& shape = object->getCollisionShape();
            ASSERT_TRUE(shape) << object->getName();
            EXPECT_EQ(shape->GetLoadingState(), Ogre::Resource::LOADSTATE_LOADED)
                << object->getName();
            // The obstacle meshes stand on y = 0 and are 2 high at scale 1.
            const Ogre::AxisAlignedBox bounds = collision->getCollisionShapeBounds(shape);
            EXPECT_NEAR(bounds.getMaximum().y, 2.0f * object->getScale().y, 0.05f)
                << object->getName();
            EXPECT_EQ(object->getActiveCollisionType(),
                      run.editing ? Wren::MeshGameObject::MCT_RENDER : Wren::MeshGameObject::MCT_NONE)
                << object->getName();
            if (object->getPartitionID() != "0_0")
                continue;
            shapesOfCell00.emplace(object->getName(), shape);
            for (int type = Wren::MeshGameObject::MCT_RENDER;
                 type <= Wren::MeshGameObject::MCT_HEIGHT_FRAGMENT; ++type)
                for (const Wren::CollisionShapePtr& listed : object->getCollisionShapes(type))
                    shapesOfCell00.emplace(object->getName(), listed);
            if (!known)
                known = object;
        }
        ASSERT_NE(known, nullptr);
        EXPECT_FALSE(shapesOfCell00.empty());

        // A ray straight down through the generated position of a known
        // object hits its shape on top; a ray onto an empty spot hits none.
        const Wren::PlacedObject& spot = placed.at(known->getName());
        ASSERT_EQ(Wren::WorldGrid::cellId(spot.cellX, spot.cellZ), "0_0");
        const float scale = spot.scale.y;
        const Ogre::Vector3 top = grid.cellWorldPosition(spot.cellX, spot.cellZ) + spot.position +
                                  Ogre::Vector3(0.1f * scale, 0, 0.07f * scale);
        const Ogre::Ray down(top + Ogre::Vector3(0, 500, 0), Ogre::Vector3::NEGATIVE_UNIT_Y);
        Wren::CollisionInfo info;
        ASSERT_TRUE(collision->collideRay(known->getCollisionShape(), rayTransformOf(known), down,
                                          info))
            << known->getName();
        EXPECT_GT(info.point.y, 1.5f * scale);
        EXPECT_LT(info.point.y, 2.0f * scale + 0.01f);
        EXPECT_NEAR(info.point.x, top.x, 0.01f);
        EXPECT_NEAR(info.point.z, top.z, 0.01f);
        // The object's own test works on the editor's lists (the render
        // meshes), empty in the game.
        Wren::CollisionInfo own;
        EXPECT_EQ(known->collide(down, own), run.editing);
        if (run.editing)
        {
            EXPECT_EQ(own.object, known);
            EXPECT_TRUE(known->isHaveCollisionShape(Wren::MeshGameObject::MCT_LOGIC_OBSTACLE));
        }

        Ogre::Vector3 empty;
        bool found = false;
        const float half = Wren::WorldGenerator::placementHalfExtent(grid.cellSize);
        for (float x = -half; x <= half && !found; x += 8.0f)
            for (float z = -half; z <= half && !found; z += 8.0f)
            {
                empty = grid.cellWorldPosition(0, 0) + Ogre::Vector3(x, 0, z);
                found = true;
                for (const auto& entry : objects)
                    if (entry.second->getWorldPosition().squaredDistance(empty) < 20.0f * 20.0f)
                        found = false;
            }
        ASSERT_TRUE(found);
        const Ogre::Ray onEmpty(empty + Ogre::Vector3(0, 500, 0), Ogre::Vector3::NEGATIVE_UNIT_Y);
        for (const auto& entry : objects)
        {
            if (!entry.second->getCollisionShape())
                continue;
            EXPECT_FALSE(collision->collideRay(entry.second->getCollisionShape(),
                                               rayTransformOf(entry.second), onEmpty, info))
                << entry.first;
        }

        // Off to the far corner: cell 0_0 unloads, its objects drop their
        // shapes and the collision system lets them go.
        known = nullptr;
        camera->setPosition(grid.cellWorldPosition(2, 2) + Ogre::Vector3(0, 30, 0));
        for (int frame = 0; frame < 300; ++frame)
            host.update(0.1f);
        objects = meshObjects(host);
        for (const auto& entry : shapesOfCell00)
        {
            EXPECT_FALSE(objects.count(entry.first)) << entry.first;
            EXPECT_TRUE(entry.second.expired()) << entry.first;
        }
        // What the registry still keeps is what the loaded objects hold
        // (instanced ones: the shape of their obstacle mesh their area gave
        // them, which the registry answers from its cache).
        std::set<const Wren::CollisionShape*> held;
        for (const auto& entry : objects)
        {
            if (entry.second->getCollisionShape())
                held.insert(entry.second->getCollisionShape().get());
            for (int type = Wren::MeshGameObject::MCT_RENDER;
                 type <= Wren::MeshGameObject::MCT_HEIGHT_FRAGMENT; ++type)
                for (const Wren::CollisionShapePtr& listed : entry.second->getCollisionShapes(type))
                    held.insert(listed.get());
            if (entry.second->IsInstanced())
                held.insert(collision
                                ->createCollisionShape(
                                    entry.second->getMetadata()->getCollisionShapeName(),
                                    entry.second->getScale())
                                .get());
        }
        EXPECT_FALSE(held.empty());
        for (const auto& entry : collision->getCollisionShapes())
            EXPECT_TRUE(held.count(entry.second.get())) << entry.first;

        host.stop();
        forgetGeneratedMedia(folder + "/Media");
    }
}

// Towers and houses of a hosted sample world are drawn in their areas'
// batches; a ray straight down onto one hits it, by its collision shapes
// and by the bounding object of its instance.
TEST(MeshWorldCollision, InstancedTowersAndHousesCollideAndArePicked)
{
    Wren::WorldGeneratorOptions options;
    options.cells = 3;
    options.objectsPerCell = 40;
    options.seed = 5;
    options.loadRadius = 300.0f;
    const PlacedWorld generated = generateWorld(options, "instanced-collision");
    const Wren::WorldGeneratorResult& result = generated.result;
    ASSERT_TRUE(result.ok) << result.error;

    Wren::WorldHost host;
    ASSERT_TRUE(
        host.start(Wren::Test::generatedWorldSettings(result.resourcesFile, options.binary)));
    ASSERT_TRUE(host.getManager()->IsEnabledInstanced());
    host.getSceneManager()->getCamera("PlayerCam")->getParentSceneNode()->setPosition(
        result.grid.cellWorldPosition(0, 0) + Ogre::Vector3(0, 30, 0));
    for (int frame = 0; frame < 300; ++frame)
        host.update(0.1f);
    EXPECT_GT(Ogre::FxShaderInstancingManager::get(host.getSceneManager()).getBatchCount(), 0u);

    size_t tried = 0, towers = 0;
    for (const auto& entry : meshObjects(host))
    {
        Wren::MeshGameObject* object = entry.second;
        if (!object->IsInstanced() || object->getPartitionID() != "0_0")
            continue;
        ++tried;
        const Wren::PlacedObject& spot = generated.placed.at(object->getName());
        const float scale = spot.scale.y;
        const Ogre::Vector3 top = result.grid.cellWorldPosition(0, 0) + spot.position +
                                  Ogre::Vector3(0.1f * scale, 0, 0.07f * scale);
        const Ogre::Ray down(top + Ogre::Vector3(0, 500, 0), Ogre::Vector3::NEGATIVE_UNIT_Y);
        Wren::CollisionInfo info;
        ASSERT_TRUE(object->collide(down, info)) << object->getName();
        EXPECT_EQ(info.object, object);
        EXPECT_LT(info.point.y, 2.0f * scale + 0.01f) << object->getName();
        // A tower is its box alone: the ray meets its top.
        if (object->getMetadataID() == "SampleTower.meta")
        {
            ++towers;
            EXPECT_GT(info.point.y, 1.5f * scale) << object->getName();
        }

        bool picked = false;
        for (const Ogre::RaySceneQueryResultEntry& hit :
             host.getSceneManagerWrapper()->executeRaySceneQuery(down, true, false, true))
            picked = picked || Wren::GameObject::fromMovable(hit.movable) == object;
        EXPECT_TRUE(picked) << object->getName();
    }
    EXPECT_GT(tried, towers);
    EXPECT_GT(towers, 0u);
    host.stop();
    forgetGeneratedMedia(generated.folder + "/Media");
}
