#include "CoreGameObjectTestWorld.h"

#include "BinaryFileResource.h"
#include "BinaryFileResourceManager.h"
#include "CompleteObjectDataInfo.h"
#include "CoreAboveGroundArea.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace Wren;
using namespace Wren::Test;

namespace
{
    /** Cells of 100 units along x that keep their neighbours loaded. */
    class StripCell : public CorePartition
    {
    public:
        using CorePartition::CorePartition;
        PositionResult isPositionInPartition(const Ogre::Vector3& p) override
        {
            return std::abs(p.x - getWorldPosition().x) <= 50 ? POSITION_INSIDE : POSITION_OUTSIDE;
        }
        void enumerateConnectedPartitions(std::vector<CorePartition*>& out) override
        {
            std::vector<CorePartition*> all;
            GetPartitionManager()->enumeratePartitions(all);
            for (CorePartition* p : all)
                if (std::abs(p->getWorldPosition().x - getWorldPosition().x) <= 100)
                    out.push_back(p);
        }
    };

    /** The area over one cell, of the cell's ID. It starts its build once
        its cell is loaded and finishes it in one step. Its unload notes
        what it held and whether the cell still listed it; the objects stay
        the cell's. */
    class CellArea : public CoreAboveGroundArea
    {
    public:
        using CoreAboveGroundArea::CoreAboveGroundArea;
        bool load() override
        {
            CorePartition* p = mManager->getPartitionManager()->getPartition(getID());
            return p && p->getLoaded();
        }
        bool update(float) override { return true; }
        bool unload() override
        {
            ++unloads;
            CorePartition* p = mManager->getPartitionManager()->getPartition(getID());
            heldAtUnload = 0;
            heldStillInCell = true;
            for (auto& group : mObjectsByMetadata)
                for (CoreGameObject* obj : group.second)
                {
                    ++heldAtUnload;
                    const auto& listed = p->getObjects();
                    heldStillInCell = heldStillInCell &&
                                      std::find(listed.begin(), listed.end(), obj) != listed.end();
                }
            return CoreAboveGroundArea::unload();
        }
        size_t count(const std::string& metaID) const
        {
            auto it = getObjectGroups().find(metaID);
            return it == getObjectGroups().end() ? 0 : it->second.size();
        }
        int unloads = 0;
        size_t heldAtUnload = 0;
        bool heldStillInCell = false;
    };

    /** One area per cell, found by the cell's ID and by position. */
    class CellAreas : public StandInAboveGroundManager
    {
    public:
        using StandInAboveGroundManager::StandInAboveGroundManager;
        CellArea* add(const std::string& id, const Ogre::Vector3& origin)
        {
            CellArea* area = new CellArea(id, origin, this);
            addArea(area);
            byID[id] = area;
            return area;
        }
        CoreAboveGroundArea* getArea(const std::string& id) override
        {
            auto it = byID.find(id);
            return it == byID.end() ? nullptr : it->second;
        }
        CoreAboveGroundArea* __FindAreaByPos(Ogre::Vector3& position) override
        {
            for (auto& entry : byID)
                if (std::abs(position.x - entry.second->getWorldPosition().x) <= 50)
                    return entry.second;
            return nullptr;
        }
        std::map<std::string, CellArea*> byID;
    };

    std::string objectXml(const std::string& name, const std::string& metaID, float x,
                          const std::string& partition, const std::string& children = "")
    {
        return "<Object Type=\"StandIn\" Name=\"" + name + "\">" + children +
               "<CoreData MetaID=\"" + metaID + "\" PartitionID=\"" + partition +
               "\" PosX=\"" + std::to_string(x) +
               "\" ScaleX=\"1\" ScaleY=\"1\" ScaleZ=\"1\" OrientW=\"1\"/></Object>";
    }

    /** A strip of four cells a..d at x = 0, 100, 200, 300, their areas, and
        objects files written by the tests; the camera streams them. */
    class StripWorld : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            binaryFiles.reset(new Ogre::BinaryFileResourceManager);
            world.writeMetadata("rock.meta", "rock");
            world.writeMetadata("crate.meta", "crate", "<CoreData Instanced=\"true\"/>");
            world.writeWorld("strip", "");
            partitionsFolder = world.declarePartitionsFolder("strip");
        }

        void TearDown() override { world.manager->destroy(); }

        /** Starts the world with every cell unloaded. */
        void start(bool binary)
        {
            world.engine.rescanResources();
            world.partitions = new StandInPartitionManager(world.manager.get());
            world.partitions->makePartition = [](const std::string& id,
                                                 const Ogre::Vector3& origin,
                                                 CorePartitionManager* m) {
                return new StripCell(id, origin, m);
            };
            const char* ids[] = {"a", "b", "c", "d"};
            for (int i = 0; i < 4; ++i)
                world.partitions->cells.push_back({ids[i], Ogre::Vector3(100.0f * i, 0, 0)});
            areas = new CellAreas(world.manager.get(), world.partitions);
            world.areas = areas;
            for (int i = 0; i < 4; ++i)
                areas->add(ids[i], Ogre::Vector3(100.0f * i, 0, 0));
            ASSERT_TRUE(world.manager->initStart("strip", world.wrapper.get(), world.partitions,
                                                 areas));
            ASSERT_TRUE(world.manager->initFinish());
            world.manager->SetEnabledInstanced(true);
            world.partitions->setUseBinaryFiles(binary);
            std::vector<CorePartition*> all;
            world.partitions->enumeratePartitions(all);
            for (CorePartition* p : all)
                p->unload(false);
        }

        void writeXml(const std::string& cell, const std::string& objects)
        {
            TestEngine::writeFile(partitionsFolder, "strip_Partition" + cell + ".objects",
                                  "<Objects><CorePartitionData ShowBounds=\"false\"/>" + objects +
                                      "</Objects>");
        }

        struct Record
        {
            std::string name;
            std::string metaID;
            float x;
        };

        void writeBinary(const std::string& cell, const std::vector<Record>& records)
        {
            Ogre::BinaryFileResource file;
            Ogre::BinaryDataElement* root = file.createRootElement("Objects");
            *static_cast<unsigned char*>(root->allocBuf(1)) = 0;
            for (const Record& r : records)
            {
                CompleteObjectDataInfo record;
                record.clear();
                ASSERT_TRUE(record.setType("StandIn"));
                ASSERT_TRUE(record.setName(r.name));
                ASSERT_TRUE(record.setMetaId(r.metaID));
                ASSERT_TRUE(record.setPartitionId(cell));
                record.setPosition(Ogre::Vector3(r.x, 0, 0));
                record.setOrientation(Ogre::Quaternion::IDENTITY);
                record.setScale(Ogre::Vector3::UNIT_SCALE);
                record.toBytes(root->createDefaultChild("Object")->allocBuf(
                    CompleteObjectDataInfo::Size));
            }
            ASSERT_TRUE(file.save(partitionsFolder + "/strip_Partition" + cell + ".objbinary"));
        }

        /** Moves the camera and runs frames until nothing waits; no frame may
            let an exception out. */
        void streamTo(float x)
        {
            world.cameraNode->setPosition(x, 0, 0);
            world.cameraNode->_update(true, false);
            for (int i = 0; i < 40; ++i)
            {
                EXPECT_NO_THROW(world.manager->update(0.02f));
                if (world.partitions->getLoadWaitList().empty() &&
                    world.partitions->getUnloadWaitList().empty() &&
                    world.partitions->GetActivePartition())
                {
                    // One more frame lets the last started build finish.
                    EXPECT_NO_THROW(world.manager->update(0.02f));
                    return;
                }
            }
            ADD_FAILURE() << "streaming did not settle";
        }

        std::vector<CoreGameObject*> crates(CorePartition* p)
        {
            std::vector<CoreGameObject*> out;
            for (CoreGameObject* obj : p->getObjects())
                if (obj->getMetadata() && obj->getMetadata()->getID() == "crate.meta")
                    out.push_back(obj);
            return out;
        }

        CoreTestWorld world;
        std::unique_ptr<Ogre::BinaryFileResourceManager> binaryFiles;
        std::string partitionsFolder;
        CellAreas* areas = nullptr;
    };

    /** Cell a holds two objects named "dup" (x 10 and 20) and "other";
        cell b holds "neighbour". */
    class DuplicateNameStreaming : public StripWorld
    {
    protected:
        void checkDuplicateLeftOut()
        {
            LogCapture log;
            streamTo(0);
            CorePartition* a = world.partition("a");
            ASSERT_TRUE(a->getLoaded());
            EXPECT_TRUE(log.contains("partition a: dup kept as stored"));
            ASSERT_EQ(a->getObjects().size(), 2u);
            ASSERT_NE(a->getObjectByName("dup"), nullptr);
            EXPECT_FLOAT_EQ(a->getObjectByName("dup")->getPosition().x, 10.0f);
            EXPECT_NE(a->getObjectByName("other"), nullptr);
            // Streaming went on past the damaged cell.
            ASSERT_TRUE(world.partition("b")->getLoaded());
            EXPECT_NE(world.partition("b")->getObjectByName("neighbour"), nullptr);
        }
    };

    typedef StripWorld StaticObjectStreaming;
}

TEST_F(StaticObjectStreaming, CratesJoinTheirAreaWithTheirCellAndLeaveItWhenTheCellGoes)
{
    writeXml("a", objectXml("crate1", "crate.meta", 10, "a") +
                      objectXml("crate2", "crate.meta", -20, "a") +
                      objectXml("rock1", "rock.meta", 5, "a"));
    writeXml("b", objectXml("crate3", "crate.meta", 30, "b"));
    start(false);
    CellArea* areaA = areas->byID["a"];
    CellArea* areaB = areas->byID["b"];
    CorePartition* a = world.partition("a");

    streamTo(0);
    ASSERT_TRUE(a->getLoaded());
    ASSERT_EQ(a->getObjects().size(), 3u);
    const std::vector<CoreGameObject*> inA = crates(a);
    ASSERT_EQ(inA.size(), 2u);
    EXPECT_TRUE(inA[0]->IsInstanced());
    EXPECT_EQ(areaA->getObjectGroups().at("crate.meta"),
              (CoreAboveGroundArea::ObjectGroup{inA[0], inA[1]}));
    EXPECT_EQ(areaA->count("rock.meta"), 0u);
    EXPECT_EQ(areaB->count("crate.meta"), 1u);
    EXPECT_EQ(areaA->GetAreaState(), AreaBuilt);
    EXPECT_EQ(areaB->GetAreaState(), AreaBuilt);
    EXPECT_EQ(areas->getBuiltAreas().size(), 2u);
    EXPECT_TRUE(areas->getPendingAreas().empty());

    // Far away: a and b are streamed out, their areas first, while the
    // cells still held the crates.
    streamTo(300);
    EXPECT_FALSE(a->getLoaded());
    EXPECT_TRUE(a->getObjects().empty());
    EXPECT_EQ(areaA->unloads, 1);
    EXPECT_EQ(areaA->heldAtUnload, 2u);
    EXPECT_TRUE(areaA->heldStillInCell);
    EXPECT_EQ(areaB->unloads, 1);
    for (CellArea* area : {areaA, areaB})
    {
        EXPECT_TRUE(area->getObjectGroups().empty());
        EXPECT_EQ(area->GetAreaState(), AreaIdle);
    }
    EXPECT_TRUE(areas->getBuiltAreas().empty());
    EXPECT_TRUE(areas->getBuildingAreas().empty());

    // Back again: the cell's new crates fill the area anew.
    streamTo(0);
    ASSERT_TRUE(a->getLoaded());
    EXPECT_EQ(areaA->getObjectGroups().at("crate.meta"),
              (CoreAboveGroundArea::ObjectGroup{crates(a)[0], crates(a)[1]}));
    EXPECT_EQ(areaA->GetAreaState(), AreaBuilt);
}

TEST_F(DuplicateNameStreaming, SecondObjectOfANameInTheXmlFileIsLeftOutAndTheCellLoads)
{
    writeXml("a", objectXml("dup", "rock.meta", 10, "a") +
                      objectXml("dup", "rock.meta", 20, "a",
                                "<Children>" + objectXml("kid", "rock.meta", 21, "a") +
                                    "</Children>") +
                      objectXml("other", "rock.meta", 30, "a"));
    writeXml("b", objectXml("neighbour", "rock.meta", 0, "b"));
    start(false);
    checkDuplicateLeftOut();
    EXPECT_EQ(world.manager->getCoreObjectByName("kid"), nullptr);
}

TEST_F(DuplicateNameStreaming, SecondObjectOfANameInTheBinaryFileIsLeftOutAndTheCellLoads)
{
    writeBinary("a", {{"dup", "rock.meta", 10}, {"dup", "rock.meta", 20},
                      {"other", "rock.meta", 30}});
    writeBinary("b", {{"neighbour", "rock.meta", 0}});
    start(true);
    checkDuplicateLeftOut();
}

TEST_F(StaticObjectStreaming, EveryOtherWayOfUnloadingACellUnloadsItsAreaFirst)
{
    const char* ids[] = {"a", "b", "c", "d"};
    for (int i = 0; i < 4; ++i)
        writeXml(ids[i], objectXml(std::string("crate_") + ids[i], "crate.meta", 10, ids[i]));
    start(false);
    streamTo(0);

    // The camera moves on; the wait lists it fills are worked off at once.
    world.cameraNode->setPosition(300, 0, 0);
    world.cameraNode->_update(true, false);
    world.manager->update(0.02f);
    ASSERT_FALSE(world.partitions->getUnloadWaitList().empty());
    world.partitions->executeAllWaitList();
    // A cell replaced by a new one of its ID, and a cell destroyed.
    ASSERT_TRUE(world.partition("d")->getLoaded());
    world.partitions->addPartition(new StripCell("d", Ogre::Vector3(300, 0, 0), world.partitions));
    ASSERT_TRUE(world.partitions->destroyPartition(world.partition("c")));

    for (const char* id : ids)
    {
        CellArea* area = areas->byID[id];
        EXPECT_EQ(area->unloads, 1) << id;
        EXPECT_EQ(area->heldAtUnload, 1u) << id;
        EXPECT_TRUE(area->heldStillInCell) << id;
        EXPECT_EQ(area->GetAreaState(), AreaIdle) << id;
    }
}
