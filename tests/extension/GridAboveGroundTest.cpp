#include "../core/CoreGameObjectTestWorld.h"

#include "ExtensionGameObjectFactory.h"
#include "FxShaderInstancingManager.h"
#include "GridAboveGroundArea.h"
#include "GridAboveGroundManager.h"
#include "MeshBoundingBoxObject.h"
#include "MeshGameObject.h"
#include "XMLDataFile.h"

#include <OgreEntity.h>
#include <OgreManualObject.h>
#include <OgreMaterialManager.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgrePass.h>
#include <OgreSubEntity.h>
#include <OgreTechnique.h>

#include <gtest/gtest.h>

#include <algorithm>

using namespace Wren;
using Ogre::Vector3;

namespace
{
    /** A grid manager without an object manager: enough for the arithmetic. */
    struct AreaGrid
    {
        explicit AreaGrid(const std::string& gridData = "")
        {
            Wren::Test::TestEngine::instance();
            XMLDataFile file;
            file.load(("<World>" + gridData + "</World>").c_str());
            DataElementPtr root = file.getRootElement();
            started = manager.initStart("w", root) && manager.initFinish();
        }
        ~AreaGrid() { manager.destroy(); }
        std::string idAt(float x, float z)
        {
            Vector3 p(x, 0, z);
            CoreAboveGroundArea* area = manager.__FindAreaByPos(p);
            return area ? area->getID() : "none";
        }
        GridAboveGroundManager manager{nullptr, nullptr};
        bool started = false;
    };

    /** A partition whose node can be taken away for a while, as while it
        is being made. */
    class NodeHidingPartition : public CorePartition
    {
    public:
        using CorePartition::CorePartition;
        void hideNode() { std::swap(mHidden, mSceneNode); }
        void showNode() { std::swap(mHidden, mSceneNode); }

    private:
        Ogre::SceneNode* mHidden = nullptr;
    };

    /** Makes a mesh spanning (-1, 0, -1) ... (1, 2, 1) of one material, once. */
    void makeMesh(const std::string& name, const std::string& material)
    {
        if (Ogre::MeshManager::getSingleton().resourceExists(name, "General"))
            return;
        Ogre::SceneManager* scene = Wren::Test::TestEngine::instance().getSceneManager();
        Ogre::ManualObject* manual = scene->createManualObject();
        manual->begin(material);
        manual->position(-1, 0, -1);
        manual->position(1, 2, 1);
        manual->position(1, 0, -1);
        manual->triangle(0, 1, 2);
        manual->end();
        manual->convertToMesh(name, "General");
        scene->destroyManualObject(manual);
    }

    /** meshes: mesh names apart by spaces, each with "=material" when the
        template puts a material on it. */
    std::string meshMeta(const std::string& coreData, const std::string& meshes)
    {
        std::string subMeshes;
        for (size_t start = 0, end; start < meshes.size(); start = end + 1)
        {
            end = meshes.find(' ', start);
            if (end == std::string::npos)
                end = meshes.size();
            const std::string sub = meshes.substr(start, end - start);
            const size_t is = sub.find('=');
            subMeshes += "<SubMeshData Mesh=\"" + sub.substr(0, is) + "\">";
            if (is != std::string::npos)
                subMeshes += "<Material Managed=\"false\" SubIndex=\"0\" MatName=\"" +
                             sub.substr(is + 1) + "\"/>";
            subMeshes += "</SubMeshData>";
        }
        return "<MetaData ObjectType=\"MeshGameObject\" Name=\"m\"><CoreData " + coreData +
               "/><MeshData>" + subMeshes + "</MeshData></MetaData>";
    }

    /** A world of one partition "0_0" at the origin (others on request)
        with grid areas of the default grid: area 0_0 spans x and z from
        -2560 to -2432. Mesh objects of instanced templates: "tower.meta"
        (two meshes, the second in the first's material, Large,
        see-through), "house.meta" and "hut.meta" (a
        mesh that can not be loaded beside a good one). */
    class InstancedWorld : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            world.objectFactories->addGameObjectFactory(new ExtensionGameObjectFactory);
            Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
            if (!materials.resourceExists("TowerStone", "General"))
                materials.create("TowerStone", "General")
                    ->getTechnique(0)->getPass(0)->createTextureUnitState("stone.png");
            makeMesh("towerA.mesh", "TowerStone");
            makeMesh("towerB.mesh", "BaseWhite");
            writeMeta("tower.meta", meshMeta("Instanced=\"true\" SeeThrough=\"true\" SizeHint=\"Large\"",
                                             "towerA.mesh towerB.mesh=TowerStone"));
            writeMeta("house.meta", meshMeta("Instanced=\"true\"", "towerB.mesh"));
            writeMeta("hut.meta", meshMeta("Instanced=\"true\"", "missing.mesh towerA.mesh"));
            world.writeWorld("w", "");
        }

        void TearDown() override { world.manager->destroy(); }

        void writeMeta(const std::string& id, const std::string& text)
        {
            Wren::Test::TestEngine::writeFile(world.engine.getGeneralFolder(), id, text);
        }

        void start(std::vector<std::string> partitionIDs = {"0_0"})
        {
            world.engine.rescanResources();
            world.partitions = new Wren::Test::StandInPartitionManager(world.manager.get());
            for (const std::string& id : partitionIDs)
                world.partitions->cells.push_back({id, Vector3::ZERO});
            world.partitions->makePartition = [](const std::string& id, const Vector3& origin,
                                                 CorePartitionManager* m) {
                return new NodeHidingPartition(id, origin, m);
            };
            areas = new GridAboveGroundManager(world.manager.get(), world.partitions);
            ASSERT_TRUE(world.manager->initStart("w", world.wrapper.get(), world.partitions, areas));
            ASSERT_TRUE(world.manager->initFinish());
            world.manager->SetEnabledInstanced(true);
        }

        /** Place k of a 10-wide block of places 4 apart in area 0_0. */
        static Vector3 at(size_t k) { return Vector3(-2550.0f + 4 * (k % 10), 0, -2550.0f + 4 * (k / 10)); }

        MeshGameObject* place(const std::string& metaID, const Vector3& position)
        {
            return dynamic_cast<MeshGameObject*>(world.manager->createCoreGameObject(metaID, position));
        }

        std::vector<MeshGameObject*> placeMany(const std::string& metaID, size_t count)
        {
            std::vector<MeshGameObject*> out;
            for (size_t k = 0; k < count; ++k)
                out.push_back(place(metaID, at(k)));
            return out;
        }

        GridAboveGroundArea* area(const std::string& id)
        {
            return static_cast<GridAboveGroundArea*>(areas->getArea(id));
        }

        /** Starts the areas as the partition manager does after a load and
            runs frames until nothing is building (at most frames of them). */
        void build(int frames = 30)
        {
            areas->load();
            for (int i = 0; i < frames && !areas->getBuildingAreas().empty(); ++i)
                world.manager->update(0.02f);
        }

        /** The object whose instance a ray straight down onto position
            picks first; null when it picks none. */
        GameObject* pickedAt(const Vector3& position)
        {
            const Ogre::Ray down(position + Vector3(0, 50, 0), Vector3::NEGATIVE_UNIT_Y);
            Ogre::RaySceneQueryResult& hits =
                world.wrapper->executeRaySceneQuery(down, true, false, true);
            return hits.empty() ? nullptr : GameObject::fromMovable(hits.front().movable);
        }

        Ogre::FxShaderInstancing* batch(const std::string& mesh, int block)
        {
            return Ogre::FxShaderInstancingManager::get(world.engine.getSceneManager())
                .getShaderInstancing("Above_" + mesh + "_0_0_" + std::to_string(block));
        }

        Wren::Test::CoreTestWorld world;
        GridAboveGroundManager* areas = nullptr;
    };

    typedef InstancedWorld GridAreaBuild;
    typedef InstancedWorld GridAreaSeeThrough;
    typedef InstancedWorld GridAreaEditing;
}

TEST(GridAboveGroundLayout, DefaultGridFindsAreasByPositionAndOnlyByNamesInTheGrid)
{
    AreaGrid grid;
    ASSERT_TRUE(grid.started);
    EXPECT_EQ(grid.manager.getAreas().size(), 1600u);
    EXPECT_EQ(grid.idAt(0, 0), "20_20");
    EXPECT_EQ(grid.idAt(-2700, 0), "none");
    // Truncation toward zero keeps a point just outside in column 0.
    EXPECT_EQ(grid.idAt(-2561, 0), "0_20");
    EXPECT_EQ(grid.idAt(2559, -2559), "39_0");
    EXPECT_EQ(grid.idAt(2561, 0), "none");

    CoreAboveGroundArea* area = grid.manager.getArea(std::string("3_5"));
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->getID(), "3_5");
    EXPECT_EQ(area->getWorldPosition(), Vector3(3 * 128 - 2560 + 64, 0, 5 * 128 - 2560 + 64));
    for (const char* name : {"40_0", "0_40", "-1_2", "x_y", "3", "3_", "", "3_5_7"})
        EXPECT_EQ(grid.manager.getArea(std::string(name)), nullptr) << name;

    // The grid is frozen once the areas exist.
    std::vector<Property> properties;
    grid.manager.enumerateProperties(properties);
    ASSERT_EQ(properties.size(), 1u);
    PropertyData value;
    value.intVal = 6;
    grid.manager.setProperty("GridAboveGroundManager_NumGridCellsX", value);
    EXPECT_EQ(grid.manager.getNumGridCellsX(), 40);
}

TEST(GridAboveGroundLayout, AreasTakeThePartitionGridAndAGridThatCanNotBeLaidOutIsRefused)
{
    AreaGrid grid("<GridPartitionManagerData GridCellSize=\"256\" NumGridCellsX=\"4\" "
                  "NumGridCellsZ=\"2\" GridCellLoadRadius=\"-5\"/>");
    ASSERT_TRUE(grid.started);
    EXPECT_EQ(grid.manager.getAreas().size(), 8u);
    // As for partitions, the z of the centre is offset with the column count.
    EXPECT_EQ(grid.manager.getArea(std::string("0_1"))->getWorldPosition(), Vector3(-384, 0, -128));
    EXPECT_EQ(grid.manager.getArea(std::string("0_2")), nullptr);

    for (const char* bad : {"GridCellSize=\"0\"", "GridCellSize=\"-128\"", "NumGridCellsZ=\"65\""})
    {
        Wren::Test::LogCapture log;
        AreaGrid refused(std::string("<GridPartitionManagerData ") + bad + "/>");
        EXPECT_FALSE(refused.started) << bad;
        EXPECT_TRUE(refused.manager.getAreas().empty());
        EXPECT_TRUE(log.contains("refused")) << bad;
    }

    GridAboveGroundManager byProperty(nullptr, nullptr);
    PropertyData zero;
    zero.floatVal = 0;
    byProperty.setProperty("GridAboveGroundManager_GridCellSize", zero);
    EXPECT_FALSE(byProperty.initFinish());
    EXPECT_TRUE(byProperty.getAreas().empty());
    byProperty.destroy();
}

TEST_F(GridAreaBuild, TemplateBecomesBlocksOfSixtyPerMeshAndASingleObjectIsHandedBack)
{
    start();
    Wren::Test::LogCapture log;
    const std::vector<MeshGameObject*> towers = placeMany("tower.meta", 130);
    MeshGameObject* house = place("house.meta", at(0) + Vector3(1, 0, 1));
    GridAboveGroundArea* area0 = area("0_0");
    CorePartition* partition = world.partition("0_0");
    ASSERT_EQ(area0->GetAreaState(), AreaPending);
    EXPECT_EQ(area0->getObjectGroups().at("tower.meta").size(), 130u);

    build();
    ASSERT_EQ(area0->GetAreaState(), AreaBuilt);
    EXPECT_TRUE(area0->getVisible());
    // The house alone in the area is drawn as an ordinary object.
    EXPECT_FALSE(house->IsInstanced());
    EXPECT_EQ(area0->getObjectGroups().count("house.meta"), 0u);
    EXPECT_EQ(house->getSceneNode()->getParent(), partition->getSceneNode());

    EXPECT_EQ(area0->getInstancings().size(), 6u);
    const size_t sizes[] = {60, 60, 10};
    for (const char* mesh : {"towerA.mesh", "towerB.mesh"})
        for (int b = 0; b < 3; ++b)
        {
            Ogre::FxShaderInstancing* blockBatch = batch(mesh, b);
            ASSERT_NE(blockBatch, nullptr) << mesh << " " << b;
            EXPECT_EQ(blockBatch->getMeshName(), mesh);
            EXPECT_EQ(blockBatch->getInstances().size(), sizes[b]);
            EXPECT_TRUE(blockBatch->getVisible());
            EXPECT_FLOAT_EQ(blockBatch->getRenderingDistance(), 600.0f);
        }
    EXPECT_EQ(batch("towerB.mesh", 1)->getInstances()[15].position, at(75));

    // One single entity per template and mesh, the source of that mesh's batches.
    ASSERT_EQ(area0->getSingleEntities().size(), 2u);
    // Each wears the template's material for its mesh, in its batch form.
    for (const char* mesh : {"towerA.mesh", "towerB.mesh"})
    {
        Ogre::Entity* single = area0->getSingleEntity("tower.meta", mesh);
        ASSERT_NE(single, nullptr) << mesh;
        EXPECT_EQ(single->getMesh()->getName(), mesh);
        EXPECT_EQ(single->getSubEntity(0)->getMaterialName(), "TowerStoneDefaultTemplate1_b");
    }
    EXPECT_TRUE(log.contains("GridAboveGroundArea::load :material TowerStone has no tempalte."));

    // Each instance can be picked, and the pick leads to its object.
    const auto& bounds = area0->getInstanceBounds().at("Above_towerA.mesh_0_0_2");
    ASSERT_EQ(bounds.size(), 10u);
    EXPECT_EQ(bounds[3]->getName(), "Above_" + towers[123]->getName() + "_towerA.mesh_0_0_123");
    Ogre::RaySceneQueryResult& hits = world.wrapper->executeRaySceneQuery(
        Ogre::Ray(at(77) + Vector3(0, 50, 0), Vector3::NEGATIVE_UNIT_Y), true, false, true);
    ASSERT_EQ(hits.size(), 2u);
    for (const Ogre::RaySceneQueryResultEntry& hit : hits)
        EXPECT_EQ(GameObject::fromMovable(hit.movable), towers[77]);
    EXPECT_NEAR(hits[0].distance, 48.0f, 0.05f);

    // See-through towers collide at their places: their nodes hang under
    // the partition's node, their stored positions untouched.
    EXPECT_EQ(towers[5]->getSceneNode()->getParent(), partition->getSceneNode());
    EXPECT_EQ(towers[5]->getPosition(), at(5));
    EXPECT_EQ(world.collision()->getCollisionShapes().count("towerB.mesh"), 1u);

    // Unloading forgets the objects and leaves them to their partition.
    const std::string firstBounds = "Above_" + towers[0]->getName() + "_towerA.mesh_0_0_0";
    Ogre::SceneManager* scene = world.engine.getSceneManager();
    ASSERT_TRUE(scene->hasMovableObject(firstBounds, Ogre::MeshBoundingBoxObject::FACTORY_TYPE_NAME));
    areas->removeLoaded(area0);
    area0->unload();
    EXPECT_EQ(batch("towerA.mesh", 0), nullptr);
    EXPECT_TRUE(area0->getSingleEntities().empty());
    EXPECT_FALSE(scene->hasMovableObject(firstBounds, Ogre::MeshBoundingBoxObject::FACTORY_TYPE_NAME));
    EXPECT_EQ(partition->getObjects().size(), 131u);
}

TEST_F(GridAreaBuild, TemplatesSharingAMeshDrawItInBatchesOfTheirOwn)
{
    start();
    const std::vector<MeshGameObject*> towers = placeMany("tower.meta", 3);
    std::vector<MeshGameObject*> houses;
    for (size_t k = 0; k < 2; ++k)
        houses.push_back(place("house.meta", at(k) + Vector3(2, 0, 2)));
    build();
    GridAboveGroundArea* area0 = area("0_0");
    ASSERT_EQ(area0->GetAreaState(), AreaBuilt);
    // The houses come first (in template order): their towerB.mesh is batch
    // 0, the towers' batch 1, each in its own template's material.
    ASSERT_NE(batch("towerB.mesh", 1), nullptr);
    EXPECT_EQ(batch("towerB.mesh", 0)->getInstances().size(), 2u);
    EXPECT_EQ(batch("towerB.mesh", 1)->getInstances().size(), 3u);
    EXPECT_EQ(batch("towerA.mesh", 0)->getInstances().size(), 3u);
    Ogre::Entity* houseB = area0->getSingleEntity("house.meta", "towerB.mesh");
    EXPECT_EQ(houseB->getSubEntity(0)->getMaterialName(), "BaseWhite");

    areas->SeeThroughObject(houses[1]);
    const Vector3 drop(0, -GridAboveGroundArea::SEE_THROUGH_DROP, 0);
    EXPECT_EQ(batch("towerB.mesh", 0)->getInstances()[1].position, houses[1]->getPosition() + drop);
    EXPECT_EQ(batch("towerB.mesh", 1)->getInstances()[1].position, at(1));
}

TEST_F(GridAreaBuild, AreaWaitsForItsPartitionAndAGroupWaitsForAllItsPartitionsNodes)
{
    start({"0_0", "b"});
    // Area 20_20 has no partition of its ID: it waits however often asked.
    place("tower.meta", Vector3(1, 0, 1));
    for (int i = 0; i < 5; ++i)
        build(2);
    EXPECT_EQ(area("20_20")->GetAreaState(), AreaPending);

    // Of a group in area 0_0, the last tower lives in the other partition,
    // whose node is not there yet: nothing of the group may be built twice.
    const std::vector<MeshGameObject*> towers = placeMany("tower.meta", 3);
    CorePartition* home = towers[0]->getPartition();
    auto* other = static_cast<NodeHidingPartition*>(
        world.partition(home->getID() == "b" ? "0_0" : "b"));
    home->removeObject(towers[2]);
    towers[2]->setPartition(other);
    other->addObject(towers[2], true);
    other->hideNode();
    build(5);
    GridAboveGroundArea* area0 = area("0_0");
    EXPECT_EQ(area0->GetAreaState(), AreaBuilding);
    EXPECT_TRUE(area0->getBuildRequests().empty());
    EXPECT_TRUE(area0->getInstanceBounds().empty());

    other->showNode();
    for (int i = 0; i < 10; ++i)
        world.manager->update(0.02f);
    ASSERT_EQ(area0->GetAreaState(), AreaBuilt);
    for (const char* mesh : {"towerA.mesh", "towerB.mesh"})
    {
        EXPECT_EQ(batch(mesh, 0)->getInstances().size(), 3u) << mesh;
        EXPECT_EQ(area0->getInstanceBounds().at("Above_" + std::string(mesh) + "_0_0_0").size(), 3u);
    }

    // Partition b goes: its towers leave the area, which stays built with
    // their instances hidden and their bounding objects gone.
    std::vector<bool> staying;
    for (MeshGameObject* tower : towers)
        staying.push_back(tower->getPartitionID() != "b");
    const std::string lastBounds = "Above_" + towers[2]->getName() + "_towerA.mesh_0_0_2";
    ASSERT_TRUE(world.partitions->destroyPartition(world.partition("b")));
    EXPECT_EQ(area0->GetAreaState(), AreaBuilt);
    const size_t stayed = size_t(std::count(staying.begin(), staying.end(), true));
    EXPECT_EQ(area0->getObjectGroups().at("tower.meta").size(), stayed);
    for (size_t k = 0; k < 3; ++k)
        EXPECT_EQ(batch("towerA.mesh", 0)->getInstances()[k].visible, staying[k]) << k;
    EXPECT_EQ(world.engine.getSceneManager()->hasMovableObject(
                  lastBounds, Ogre::MeshBoundingBoxObject::FACTORY_TYPE_NAME),
              staying[2]);
}

TEST_F(GridAreaBuild, MeshThatCanNotBeLoadedIsLeftOutAndTheAreaIsStillBuilt)
{
    start();
    Wren::Test::LogCapture log;
    placeMany("hut.meta", 3);
    build();
    GridAboveGroundArea* area0 = area("0_0");
    ASSERT_EQ(area0->GetAreaState(), AreaBuilt);
    EXPECT_TRUE(log.contains("area 0_0 builds without the mesh missing.mesh"));
    EXPECT_EQ(batch("missing.mesh", 0), nullptr);
    EXPECT_EQ(area0->getInstanceBounds().count("Above_missing.mesh_0_0_0"), 0u);
    ASSERT_NE(batch("towerA.mesh", 0), nullptr);
    EXPECT_EQ(batch("towerA.mesh", 0)->getInstances().size(), 3u);
}

TEST_F(GridAreaSeeThrough, PulledOutObjectLeavesTheBatchOfItsOwnBlockAndComesBack)
{
    start();
    const std::vector<MeshGameObject*> towers = placeMany("tower.meta", 130);
    build();
    GridAboveGroundArea* area0 = area("0_0");
    ASSERT_EQ(area0->GetAreaState(), AreaBuilt);
    const Vector3 drop(0, -GridAboveGroundArea::SEE_THROUGH_DROP, 0);

    // Object 75 is instance 15 of block 1; instance 15 of block 0 stays.
    MeshGameObject* first = towers[75];
    areas->SeeThroughObject(first);
    EXPECT_TRUE(first->IsMoved());
    EXPECT_EQ(area0->getSeeThroughObject(), first);
    for (const char* mesh : {"towerA.mesh", "towerB.mesh"})
    {
        EXPECT_EQ(batch(mesh, 1)->getInstances()[15].position, at(75) + drop) << mesh;
        EXPECT_EQ(batch(mesh, 0)->getInstances()[15].position, at(15)) << mesh;
    }
    // It shows the template's single entities as an ordinary object.
    ASSERT_EQ(first->getEntityList().size(), 2u);
    EXPECT_EQ(first->getEntityList()[0], area0->getSingleEntity("tower.meta", "towerA.mesh"));
    EXPECT_EQ(first->getEntityList()[0]->getParentSceneNode(), first->GetMeshSceneNode());
    EXPECT_EQ(first->getSceneNode()->getParent(), world.partition("0_0")->getSceneNode());

    // Pulling out another puts the first back.
    MeshGameObject* second = towers[3];
    areas->SeeThroughObject(second);
    EXPECT_FALSE(first->IsMoved());
    EXPECT_TRUE(first->getEntityList().empty());
    EXPECT_EQ(batch("towerA.mesh", 1)->getInstances()[15].position, at(75));
    EXPECT_EQ(batch("towerA.mesh", 0)->getInstances()[3].position, at(3) + drop);
    EXPECT_EQ(first->getPosition(), at(75));

    // Unloading puts it back too.
    areas->removeLoaded(area0);
    area0->unload();
    EXPECT_FALSE(second->IsMoved());
    EXPECT_TRUE(second->getEntityList().empty());
    EXPECT_EQ(area0->getSeeThroughObject(), nullptr);
}

TEST_F(GridAreaEditing, DeletedObjectsLeaveTheirInstancesHiddenAndAPlacedOneIsBuiltIn)
{
    start();
    std::vector<MeshGameObject*> towers = placeMany("tower.meta", 130);
    build();
    GridAboveGroundArea* area0 = area("0_0");
    ASSERT_EQ(area0->GetAreaState(), AreaBuilt);
    Ogre::SceneManager* scene = world.engine.getSceneManager();
    const std::string pulledBounds = "Above_" + towers[75]->getName() + "_towerB.mesh_0_0_75";

    // The pulled-out tower 75 (block 1, instance 15) and tower 3 go.
    areas->SeeThroughObject(towers[75]);
    std::vector<CoreGameObject*> gone{towers[75], towers[3]};
    world.manager->deleteObjects(gone);
    EXPECT_EQ(area0->getSeeThroughObject(), nullptr);
    EXPECT_EQ(area0->getObjectGroups().at("tower.meta").size(), 128u);
    for (const char* mesh : {"towerA.mesh", "towerB.mesh"})
    {
        EXPECT_FALSE(batch(mesh, 1)->getInstances()[15].visible) << mesh;
        EXPECT_FALSE(batch(mesh, 0)->getInstances()[3].visible) << mesh;
        EXPECT_TRUE(batch(mesh, 0)->getInstances()[4].visible) << mesh;
    }
    EXPECT_FALSE(
        scene->hasMovableObject(pulledBounds, Ogre::MeshBoundingBoxObject::FACTORY_TYPE_NAME));
    EXPECT_EQ(pickedAt(at(3)), nullptr);
    // The others keep their places in the batches.
    areas->SeeThroughObject(towers[77]);
    EXPECT_EQ(batch("towerA.mesh", 1)->getInstances()[17].position,
              at(77) + Vector3(0, -GridAboveGroundArea::SEE_THROUGH_DROP, 0));
    areas->SeeBackObject(towers[77]);

    // A tower placed in the built area gets it built again, with the tower.
    MeshGameObject* placed = place("tower.meta", at(3));
    EXPECT_EQ(area0->GetAreaState(), AreaPending);
    for (int i = 0; i < 30 && area0->GetAreaState() != AreaBuilt; ++i)
        world.manager->update(0.02f);
    ASSERT_EQ(area0->GetAreaState(), AreaBuilt);
    ASSERT_EQ(area0->getObjectGroups().at("tower.meta").size(), 129u);
    EXPECT_EQ(Ogre::FxShaderInstancingManager::get(scene).getInstanceCount(), 2 * 129u);
    EXPECT_EQ(batch("towerB.mesh", 2)->getInstances().back().position, at(3));
    EXPECT_EQ(pickedAt(at(3)), placed);
}
