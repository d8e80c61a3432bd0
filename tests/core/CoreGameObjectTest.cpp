#include "CoreGameObjectTestWorld.h"

#include "CompleteObjectDataInfo.h"
#include "XMLDataElement.h"

#include <OgreException.h>
#include <OgreMatrix3.h>

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <regex>

using namespace Wren;
using namespace Wren::Test;

namespace
{
    DataElementPtr freeElement(const std::string& name = "Object")
    {
        return DataElementPtr(new XMLDataElement(name));
    }

    TiXmlElement* xml(const DataElementPtr& e)
    {
        return static_cast<XMLDataElement*>(e.get())->getXmlElement();
    }

    std::vector<std::string> attributeNames(const TiXmlElement* e)
    {
        std::vector<std::string> names;
        for (const TiXmlAttribute* a = e->FirstAttribute(); a; a = a->Next())
            names.push_back(a->Name());
        return names;
    }

    std::vector<std::string> childNames(const TiXmlElement* e)
    {
        std::vector<std::string> names;
        for (const TiXmlElement* c = e->FirstChildElement(); c; c = c->NextSiblingElement())
            names.push_back(c->Value());
        return names;
    }

    int countLines(const LogCapture& log, const std::string& text)
    {
        int n = 0;
        for (const std::string& line : log.lines())
            if (line.find(text) != std::string::npos)
                ++n;
        return n;
    }

    /** A world with two metadata templates and one or two partitions. */
    class GameObjectWorld : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            world.writeMetadata("tree.meta", "tree",
                                "<CoreData Collidable=\"true\" Minimap=\"true\"><DynamicProperties>"
                                "<Property ID=\"Tree_Height\" Name=\"Height\" FloatVal=\"3\" "
                                "DataTypeEnum=\"1\"/></DynamicProperties></CoreData>");
            world.writeMetadata("rock.meta", "rock");
            world.writeWorld("objects", "");
        }

        void start(std::vector<std::pair<std::string, Ogre::Vector3>> cells = {
                       {"0_0", Ogre::Vector3::ZERO}})
        {
            ASSERT_TRUE(world.start("objects", std::move(cells)));
        }

        CoreTestWorld world;
    };

    typedef GameObjectWorld StoredForm;
    typedef GameObjectWorld SaveRule;
    typedef GameObjectWorld Loading;
    typedef GameObjectWorld BinaryRecord;
    typedef GameObjectWorld LevelOfDetailChange;
    typedef GameObjectWorld PartitionHandOver;
    typedef GameObjectWorld ObjectTree;
    typedef GameObjectWorld ObjectProperties;
    typedef GameObjectWorld ObjectCollision;
}

TEST_F(StoredForm, RoundTripKeepsTransformMetadataDynamicPropertiesAndChildren)
{
    start();
    StandInObject* parent = world.create("tree.meta", Ogre::Vector3(5, 1, -7));
    ASSERT_NE(parent, nullptr);
    parent->rotate(Ogre::Vector3::UNIT_Y, Ogre::Degree(30));
    parent->scale(Ogre::Vector3(2, 2, 2));
    parent->getDynamicProperty("Tree_Height")->data.floatVal = 4.5f;
    Property extra;
    extra.initString("Tree_Label", "Label", "old oak", 32, false);
    parent->addDynamicProperty(extra);
    StandInObject* child = world.create("rock.meta", Ogre::Vector3(6, 1, -7));
    parent->addChild(child);
    child->setPosition(Ogre::Vector3(1, 0.5f, 2), false, false);

    DataElementPtr stored = freeElement();
    ASSERT_TRUE(parent->save(stored));

    // The vocabulary, in its write order.
    TiXmlElement* e = xml(stored);
    EXPECT_EQ(attributeNames(e), (std::vector<std::string>{"Type", "Name"}));
    EXPECT_EQ(childNames(e), (std::vector<std::string>{"CoreData", "Children"}));
    const TiXmlElement* core = e->FirstChildElement("CoreData");
    EXPECT_EQ(attributeNames(core),
              (std::vector<std::string>{"PosX", "PosY", "PosZ", "OrientX", "OrientY", "OrientZ",
                                        "OrientW", "ScaleX", "ScaleY", "ScaleZ", "MetaID",
                                        "PartitionID"}));
    EXPECT_STREQ(core->Attribute("MetaID"), "tree.meta");
    EXPECT_STREQ(core->Attribute("PartitionID"), "0_0");
    EXPECT_EQ(childNames(e->FirstChildElement("Children")), (std::vector<std::string>{"Object"}));

    // A fresh object made from the stored form, in a fresh partition.
    const std::string parentName = parent->getName();
    const std::string childName = child->getName();
    const Ogre::Vector3 parentPosition = parent->getPosition();
    const Ogre::Quaternion parentOrientation = parent->getOrientation();
    CorePartition* p = world.partition("0_0");
    p->unload(false);
    EXPECT_TRUE(p->getObjects().empty());
    DataElementPtr none;
    p->load(none, false);

    std::vector<CoreGameObject*> created;
    CoreGameObject* loaded = world.manager->createCoreGameObjectFromFactory("StandIn", parentName);
    ASSERT_TRUE(loaded->loadStart(stored, created, false));
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(created[0]->getName(), childName);
    EXPECT_EQ(loaded->getPendingChildren(), created);
    ASSERT_TRUE(loaded->loadFinish());
    EXPECT_TRUE(loaded->getPendingChildren().empty());

    EXPECT_EQ(loaded->getPartition(), p);
    EXPECT_EQ(p->getObjects().size(), 2u);
    EXPECT_TRUE(loaded->getPosition().positionEquals(parentPosition, 1e-4f));
    EXPECT_TRUE(loaded->getOrientation().equals(parentOrientation, Ogre::Radian(1e-4f)));
    EXPECT_TRUE(loaded->getScale().positionEquals(Ogre::Vector3(2, 2, 2)));
    EXPECT_EQ(loaded->getMetadataID(), "tree.meta");
    ASSERT_EQ(loaded->getDynamicProperties().size(), 2u);
    EXPECT_FLOAT_EQ(loaded->getDynamicProperties()[0].data.floatVal, 4.5f);
    EXPECT_EQ(loaded->getDynamicProperties()[1].data.stringVal, "old oak");
    EXPECT_TRUE(loaded->IsHideInMiniMap());

    CoreGameObject* loadedChild = created[0];
    EXPECT_EQ(loadedChild->getParent(), loaded);
    EXPECT_EQ(loadedChild->getPartition(), p);
    EXPECT_EQ(loadedChild->getSceneNode()->getParent(), loaded->getSceneNode());
    EXPECT_TRUE(loadedChild->getPosition().positionEquals(Ogre::Vector3(1, 0.5f, 2), 1e-4f));
    EXPECT_EQ(loadedChild->getMetadataID(), "rock.meta");
}

TEST_F(SaveRule, BoundIsInclusiveAndAnObjectOutsideIsLoggedOncePerSave)
{
    start();
    StandInObject* edge = world.create("tree.meta", Ogre::Vector3(64, 500, -64));
    DataElementPtr stored = freeElement();
    EXPECT_TRUE(edge->save(stored));

    StandInObject* outside = world.create("tree.meta", Ogre::Vector3(64.5f, 0, 0));
    LogCapture log;
    DataElementPtr untouched = freeElement();
    EXPECT_FALSE(outside->save(untouched));
    EXPECT_EQ(countLines(log, "CoreGameObject::save() Wrong:tree.meta's position invalid, so the "
                              "object won't be saved"),
              1);
    EXPECT_EQ(xml(untouched)->FirstAttribute(), nullptr);
    EXPECT_EQ(xml(untouched)->FirstChild(), nullptr);

    CompleteObjectDataInfo record;
    EXPECT_FALSE(outside->saveBinary(record));
    EXPECT_EQ(record.getName(), "");
}

TEST_F(SaveRule, SaveFlagOffOrRefusedChildrenWriteNothing)
{
    start();
    StandInObject* parent = world.create("tree.meta");
    StandInObject* kept = world.create("rock.meta");
    StandInObject* refused = world.create("rock.meta");
    StandInObject* unflagged = world.create("rock.meta");
    parent->addChild(kept);
    parent->addChild(refused);
    parent->addChild(unflagged);
    parent->refusedChild = refused->getName();
    unflagged->GetSaveFlag() = false;

    DataElementPtr stored = freeElement();
    ASSERT_TRUE(parent->save(stored));
    const TiXmlElement* children = xml(stored)->FirstChildElement("Children");
    ASSERT_EQ(childNames(children), (std::vector<std::string>{"Object"}));
    EXPECT_EQ(children->FirstChildElement("Object")->Attribute("Name"), kept->getName());

    parent->GetSaveFlag() = false;
    DataElementPtr untouched = freeElement();
    EXPECT_FALSE(parent->save(untouched));
    EXPECT_EQ(xml(untouched)->FirstAttribute(), nullptr);
}

TEST_F(Loading, RenameGivesEveryChildAFreshUniqueNameAndKeepsTheTopName)
{
    start();
    DataElementPtr stored = freeElement();
    stored->setAttributeString("Type", "StandIn");
    stored->setAttributeString("Name", "top");
    stored->createChild("CoreData")->setAttributeString("MetaID", "rock.meta");
    DataElementPtr child = stored->createChild("Children")->createChild("Object");
    child->setAttributeString("Type", "StandIn");
    child->setAttributeString("Name", "tree_12");
    child->createChild("CoreData")->setAttributeString("MetaID", "rock.meta");
    child->createChild("Children")->createChild("Object")->setAttributeString("Name", "leaf_3");

    const int counter = world.manager->getObjectUniqueInt();
    std::vector<CoreGameObject*> created;
    CoreGameObject* top = world.manager->createCoreGameObjectFromFactory("StandIn", "top");
    LogCapture log;
    ASSERT_TRUE(top->loadStart(stored, created, true));
    ASSERT_EQ(created.size(), 1u);
    const std::regex renamed("tree_" + std::to_string(counter + 1) +
                             "_\\d{4}_\\d{1,2}_\\d{1,2}_\\d{1,2}_\\d{1,2}_\\d{1,2}");
    EXPECT_TRUE(std::regex_match(created[0]->getName(), renamed)) << created[0]->getName();
    EXPECT_EQ(top->getName(), "top");
    // The grandchild has no type: no factory makes it, it is skipped and said so.
    EXPECT_TRUE(log.contains("no factory makes"));
    // Neither names a partition: they stay the test's.
    top->loadFinish();
    top->destroy(true, false);
    delete top;
}

TEST_F(Loading, MissingAttributesAreTakenLiterally)
{
    start();
    DataElementPtr stored = freeElement();
    DataElementPtr core = stored->createChild("CoreData");
    core->setAttributeString("MetaID", "rock.meta");
    core->setAttributeString("PartitionID", "0_0");
    core->setAttributeFloat("OrientX", 1.0f);
    core->setAttributeFloat("ScaleY", 2.0f);
    std::vector<CoreGameObject*> created;
    CoreGameObject* obj = world.manager->createCoreGameObjectFromFactory("StandIn", "literal");
    ASSERT_TRUE(obj->loadStart(stored, created, false));
    ASSERT_TRUE(obj->loadFinish());
    EXPECT_EQ(obj->getOrientation(), Ogre::Quaternion(0, 1, 0, 0));
    EXPECT_EQ(obj->getScale(), Ogre::Vector3(0, 2, 0));
    EXPECT_EQ(obj->getPosition(), Ogre::Vector3::ZERO);
}

TEST_F(Loading, FailingChildIsDeletedAndTakesItsOwnStartsWithIt)
{
    start();
    DataElementPtr stored = freeElement();
    stored->createChild("CoreData")->setAttributeString("MetaID", "rock.meta");
    DataElementPtr children = stored->createChild("Children");
    DataElementPtr good = children->createChild("Object");
    good->setAttributeString("Type", "StandIn");
    good->setAttributeString("Name", "good");
    DataElementPtr bad = children->createChild("Object");
    bad->setAttributeString("Type", "StandIn");
    bad->setAttributeString("Name", "bad");
    bad->setAttributeBool("Fail", true);

    std::vector<CoreGameObject*> created;
    CoreGameObject* obj = world.manager->createCoreGameObjectFromFactory("StandIn", "parent");
    EXPECT_FALSE(obj->loadStart(stored, created, false));
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(created[0]->getName(), "good");
    // The started child is still the object's: deleting it frees both.
    delete obj;
}

TEST_F(Loading, MissingMetadataFileRaisesTheManagersException)
{
    start();
    DataElementPtr stored = freeElement();
    stored->createChild("CoreData")->setAttributeString("MetaID", "absent.meta");
    std::vector<CoreGameObject*> created;
    std::unique_ptr<CoreGameObject> obj(
        world.manager->createCoreGameObjectFromFactory("StandIn", "orphan"));
    try
    {
        obj->loadStart(stored, created, false);
        FAIL() << "no exception";
    }
    catch (const Ogre::InternalErrorException& e)
    {
        EXPECT_EQ(e.getDescription(), "can not find meta file:absent.meta");
    }
}

TEST_F(Loading, UnknownPartitionLeavesTheObjectOutsideAndSaysSo)
{
    start();
    DataElementPtr stored = freeElement();
    DataElementPtr core = stored->createChild("CoreData");
    core->setAttributeString("MetaID", "rock.meta");
    core->setAttributeString("PartitionID", "9_9");
    std::vector<CoreGameObject*> created;
    CoreGameObject* obj = world.manager->createCoreGameObjectFromFactory("StandIn", "lost");
    ASSERT_TRUE(obj->loadStart(stored, created, false));
    LogCapture log;
    EXPECT_FALSE(obj->loadFinish());
    EXPECT_EQ(obj->getPartition(), nullptr);
    EXPECT_TRUE(log.contains("'9_9'"));
    obj->destroy(true, false);
    delete obj;
}

TEST_F(BinaryRecord, RoundTripKeepsTransformMetadataAndPartition)
{
    start();
    StandInObject* obj = world.create("tree.meta", Ogre::Vector3(3, 4, 5));
    obj->rotate(Ogre::Vector3::UNIT_X, Ogre::Degree(45));
    CompleteObjectDataInfo record;
    ASSERT_TRUE(obj->saveBinary(record));
    EXPECT_EQ(record.getType(), "StandIn");
    EXPECT_EQ(record.getName(), obj->getName());
    EXPECT_EQ(record.getMetaId(), "tree.meta");
    EXPECT_EQ(record.getPartitionId(), "0_0");

    std::vector<CoreGameObject*> created;
    CoreGameObject* copy = world.manager->createCoreGameObjectFromFactory("StandIn", "copy");
    ASSERT_TRUE(copy->loadBinaryStart(record, created, false));
    ASSERT_TRUE(copy->loadFinish());
    EXPECT_TRUE(created.empty());
    EXPECT_TRUE(copy->getWorldPosition().positionEquals(Ogre::Vector3(3, 4, 5)));
    EXPECT_TRUE(copy->getOrientation().equals(obj->getOrientation(), Ogre::Radian(1e-5f)));
    EXPECT_EQ(copy->getMetadata(), obj->getMetadata());
    EXPECT_TRUE(copy->IsHideInMiniMap());
    EXPECT_EQ(copy->getPartition(), world.partition("0_0"));
}

TEST_F(BinaryRecord, TextTooLongForItsFieldIsRefusedNotCut)
{
    start();
    StandInObject* obj = world.create("rock.meta");
    CoreGameObject* longName = world.manager->createCoreGameObjectFromFactory(
        "StandIn", std::string(128, 'n'));
    longName->initStart(world.manager->getMetadata("rock.meta"), false);
    longName->initFinish(Ogre::Vector3::ZERO);
    CompleteObjectDataInfo record;
    LogCapture log;
    EXPECT_FALSE(longName->saveBinary(record));
    EXPECT_TRUE(log.contains("too long"));
    EXPECT_EQ(record.getName(), "");
    EXPECT_TRUE(obj->saveBinary(record));
}

TEST_F(LevelOfDetailChange, NearLevelsChangeWithoutResourcesAndFarOnesAreQueued)
{
    start();
    // The camera sits at the origin: a Medium object there wants high detail.
    StandInObject* obj = world.create("rock.meta");
    EXPECT_EQ(obj->getLevelOfDetail(), LOD_HIGH);
    EXPECT_TRUE(obj->getQueuedForLODChange());
    EXPECT_EQ(world.partitions->getChangeLODObjectsCount(), 1u);

    world.manager->update(0.05f);
    EXPECT_FALSE(obj->getQueuedForLODChange());
    EXPECT_EQ(obj->loads, 1);

    obj->setLevelOfDetail(LOD_LOW, false);
    EXPECT_EQ(obj->getLevelOfDetail(), LOD_LOW);
    EXPECT_FALSE(obj->getQueuedForLODChange());

    obj->setLevelOfDetail(LOD_BEYOND_HINT, true);
    EXPECT_EQ(obj->getLevelOfDetail(), LOD_BEYOND_HINT);
    EXPECT_EQ(obj->loads, 2);
    EXPECT_EQ(obj->finalizes, 1);
}

TEST_F(LevelOfDetailChange, BusyObjectDefersUntilItSettlesAndReleasesItsRegistration)
{
    start();
    StandInObject* obj = world.create("rock.meta", Ogre::Vector3(0, 0, 50));
    world.manager->update(0.05f);
    ASSERT_EQ(obj->getLevelOfDetail(), LOD_BEYOND_HINT);

    obj->setCurrentState(STATE_RESOURCES_LOADING);
    obj->setLevelOfDetail(LOD_LOW, false);
    obj->setLevelOfDetail(LOD_HIGH, false);
    EXPECT_EQ(obj->getLevelOfDetail(), LOD_BEYOND_HINT);
    EXPECT_TRUE(obj->getLodChangePending());
    EXPECT_EQ(world.manager->getUpdateListenerCount(obj), 1);

    world.manager->update(0.05f);
    EXPECT_EQ(obj->getLevelOfDetail(), LOD_BEYOND_HINT);

    obj->setCurrentState(STATE_SETTLED);
    world.manager->update(0.05f);
    EXPECT_EQ(obj->getLevelOfDetail(), LOD_HIGH);
    EXPECT_FALSE(obj->getLodChangePending());
    EXPECT_EQ(world.manager->getUpdateListenerCount(obj), 0);
}

TEST_F(LevelOfDetailChange, CollisionShapeOfTheMetadataIsFetchedOnceAtTheNodesScale)
{
    start();
    world.manager->getMetadata("tree.meta")->setCollisionShapeName("tree.mesh");
    StandInObject* obj = world.create("tree.meta");
    obj->scale(Ogre::Vector3(3, 3, 3));
    world.manager->update(0.05f);
    obj->setLevelOfDetail(LOD_BEYOND_HINT, true);
    ASSERT_EQ(world.collision()->askedNames, std::vector<std::string>{"tree.mesh"});
    EXPECT_EQ(world.collision()->askedScales[0], Ogre::Vector3(3, 3, 3));
    EXPECT_TRUE(obj->getCollisionShape());
}

TEST_F(PartitionHandOver, MovingIntoAnotherLoadedPartitionKeepsTheWorldPositionAndTheChildren)
{
    world.makePartition = RegionPartition::make;
    start({{"0_0", Ogre::Vector3::ZERO}, {"1_0", Ogre::Vector3(128, 0, 0)}});
    CorePartition* west = world.partition("0_0");
    CorePartition* east = world.partition("1_0");
    StandInObject* parent = world.create("tree.meta", Ogre::Vector3(10, 0, 0));
    StandInObject* child = world.create("rock.meta", Ogre::Vector3(12, 0, 0));
    StandInObject* grandchild = world.create("rock.meta", Ogre::Vector3(13, 0, 0));
    parent->addChild(child);
    child->addChild(grandchild);
    ASSERT_EQ(parent->getPartition(), west);
    ASSERT_EQ(grandchild->getPartition(), west);

    parent->setPosition(Ogre::Vector3(130, 2, 5), true, true);
    EXPECT_EQ(parent->getPartition(), east);
    EXPECT_EQ(parent->getSceneNode()->getParent(), east->getSceneNode());
    EXPECT_TRUE(parent->getWorldPosition().positionEquals(Ogre::Vector3(130, 2, 5), 1e-4f));
    EXPECT_TRUE(parent->getPosition().positionEquals(Ogre::Vector3(2, 2, 5), 1e-4f));
    EXPECT_EQ(child->getPartition(), east);
    EXPECT_EQ(grandchild->getPartition(), east);
    EXPECT_TRUE(west->getObjects().empty());
    EXPECT_EQ(east->getObjects().size(), 3u);
    EXPECT_EQ(parent->getPartitionID(), "1_0");
}

TEST_F(PartitionHandOver, ObjectStaysWhereNoLoadedPartitionTakesIt)
{
    world.makePartition = RegionPartition::make;
    start({{"0_0", Ogre::Vector3::ZERO}, {"1_0", Ogre::Vector3(128, 0, 0)}});
    CorePartition* west = world.partition("0_0");
    CorePartition* east = world.partition("1_0");
    east->unload(false);
    StandInObject* obj = world.create("rock.meta", Ogre::Vector3(10, 0, 0));
    obj->setPosition(Ogre::Vector3(130, 0, 0), true, true);
    EXPECT_EQ(obj->getPartition(), west);
    EXPECT_TRUE(obj->getWorldPosition().positionEquals(Ogre::Vector3(130, 0, 0)));

    // Far outside every partition the nearest one is asked, which is loaded.
    obj->setPosition(Ogre::Vector3(-500, 0, 0), true, true);
    EXPECT_EQ(obj->getPartition(), west);
}

TEST_F(ObjectTree, ChildrenJoinTheParentsPartitionAndCyclesAreRefused)
{
    start();
    StandInObject* a = world.create("rock.meta");
    StandInObject* b = world.create("rock.meta");
    StandInObject* c = world.create("rock.meta");
    a->addChild(b);
    b->addChild(c);
    LogCapture log;
    c->addChild(a);
    a->addChild(a);
    EXPECT_EQ(a->getParent(), nullptr);
    EXPECT_TRUE(log.contains("can not become a child"));

    // Re-parenting takes the child from its former parent.
    a->addChild(c);
    EXPECT_EQ(c->getParent(), a);
    EXPECT_TRUE(b->getChildren().empty());
    EXPECT_EQ(a->getChildren().size(), 2u);
    EXPECT_EQ(c->getSceneNode()->getParent(), a->getSceneNode());

    // A child taken off its parent has no parent any more (one that still
    // named its parent would be written by no one).
    a->removeChild(c);
    EXPECT_EQ(a->getChildren().size(), 1u);
    EXPECT_EQ(c->getSceneNode()->getParent(), nullptr);
    EXPECT_EQ(c->getParent(), nullptr);
}

TEST_F(ObjectTree, DestroyWithoutChildrenKeepsTheirNodesAndLeavesEveryList)
{
    start();
    StandInObject* parent = world.create("rock.meta");
    StandInObject* child = world.create("rock.meta");
    parent->addChild(child);
    world.manager->addUpdateListener(parent);
    world.manager->addUpdateListener(parent);
    world.manager->addUpdateListenerAnim(parent);
    ASSERT_TRUE(parent->getQueuedForLODChange());

    Ogre::SceneNode* childNode = child->getSceneNode();
    const std::string parentNodeName = parent->getSceneNode()->getName();
    parent->destroy(false, false);
    EXPECT_FALSE(world.engine.getSceneManager()->hasSceneNode(parentNodeName));
    EXPECT_TRUE(world.engine.getSceneManager()->hasSceneNode(childNode->getName()));
    EXPECT_EQ(childNode->getParent(), nullptr);
    EXPECT_EQ(world.manager->getUpdateListenerCount(parent), 0);
    EXPECT_FALSE(world.manager->isUpdateListenerAnim(parent));
    EXPECT_EQ(world.partitions->getChangeLODObjectsCount(), 1u);
    EXPECT_EQ(world.partition("0_0")->getObjects(), std::vector<CoreGameObject*>{child});
    delete parent;
    child->setParent(nullptr);
}

TEST_F(ObjectTree, SelectionFollowsAlternativesToTheGroupHeadAndSurvivesALoop)
{
    start();
    StandInObject* member = world.create("rock.meta");
    StandInObject* group = world.create("rock.meta");
    StandInObject* head = world.create("rock.meta");
    EXPECT_EQ(member->getSelection(), member);
    member->setAlternativeSelection(group);
    group->setAlternativeSelection(head);
    EXPECT_EQ(member->getSelection(), head);
    EXPECT_EQ(group->getSelection(), head);

    head->setAlternativeSelection(member);
    CoreGameObject* chosen = member->getSelection();
    EXPECT_TRUE(chosen == member || chosen == group || chosen == head);

    std::vector<CoreGameObject*> selectable;
    head->setAlternativeSelection(nullptr);
    world.partition("0_0")->enumerateObjects(selectable);
    EXPECT_EQ(selectable, std::vector<CoreGameObject*>{head});
}

TEST_F(ObjectTree, DeltaHeightIsLatchedUntilReleased)
{
    start();
    StandInObject* obj = world.create("rock.meta");
    obj->SetDeltaHeight(3);
    obj->SetDeltaHeight(5);
    EXPECT_FLOAT_EQ(obj->GetDeltaHeight(), 3);
    obj->DeltaHeightEnable(false);
    obj->SetDeltaHeight(5);
    EXPECT_FLOAT_EQ(obj->GetDeltaHeight(), 5);
}

TEST_F(ObjectProperties, PositionAndOrientationInWorldSpaceThenDynamicProperties)
{
    start();
    StandInObject* obj = world.create("tree.meta", Ogre::Vector3(1, 2, 3));
    std::vector<Property> props;
    obj->enumerateProperties(props);
    ASSERT_EQ(props.size(), 3u);
    EXPECT_EQ(props[0].id, "CoreGameObject_Position");
    EXPECT_EQ(props[0].name, "Position");
    EXPECT_EQ(props[0].data.vectorVal, Ogre::Vector3(1, 2, 3));
    EXPECT_EQ(props[1].id, "CoreGameObject_Orientation");
    EXPECT_EQ(props[2].id, "Tree_Height");

    PropertyData moved;
    moved.vectorVal = Ogre::Vector3(-4, 0, 9);
    obj->setProperty("CoreGameObject_Position", moved);
    EXPECT_TRUE(obj->getWorldPosition().positionEquals(Ogre::Vector3(-4, 0, 9)));

    // Only the direction of the local z axis is matched in world space.
    PropertyData turned;
    turned.vectorVal = Ogre::Vector3(0, 90, 0);
    obj->setProperty("CoreGameObject_Orientation", turned);
    EXPECT_TRUE((obj->getWorldOrientation() * Ogre::Vector3::UNIT_Z)
                    .positionEquals(Ogre::Vector3::UNIT_X, 1e-4f));
    props.clear();
    obj->enumerateProperties(props);
    EXPECT_NEAR(props[1].data.vectorVal.y, 90.0f, 1e-3f);

    PropertyData height;
    height.floatVal = 7;
    obj->setProperty("Tree_Height", height);
    obj->setProperty("Nobody_Knows", height);
    EXPECT_FLOAT_EQ(obj->getDynamicProperty("Tree_Height")->data.floatVal, 7);
    EXPECT_EQ(obj->getDynamicProperty("Nobody_Knows"), nullptr);
}

TEST_F(ObjectCollision, LoadedShapesAreTestedAndSimulationHonoursCollidable)
{
    start();
    StandInObject* a = world.create("rock.meta", Ogre::Vector3(1, 0, 0));
    StandInObject* b = world.create("rock.meta", Ogre::Vector3(2, 0, 0));
    CollisionInfo info;
    EXPECT_FALSE(a->collide(Ogre::Ray(), info));

    CollisionShapePtr loaded(new StandInShape);
    CollisionShapePtr unloaded(new CollisionShape);
    a->setCollisionShapeList({unloaded, loaded});
    b->setCollisionShapeList({loaded});
    ASSERT_TRUE(a->collide(Ogre::Ray(), info));
    EXPECT_EQ(info.object, a);
    EXPECT_EQ(info.point, Ogre::Vector3(1, 0, 0));

    std::vector<CollisionInfo> infos;
    EXPECT_TRUE(a->collide(*b, infos));
    EXPECT_EQ(infos.size(), 1u);
    EXPECT_FALSE(a->collide(unloaded, Ogre::Matrix4::IDENTITY, infos));
    EXPECT_TRUE(a->collide(loaded, Ogre::Matrix4::IDENTITY, infos));

    world.manager->startSimulation();
    a->setCollidable(true);
    b->setCollidable(false);
    EXPECT_FALSE(a->collide(*b, infos));
    EXPECT_TRUE(a->collide(Ogre::Ray(), info));
    a->setCollidable(false);
    EXPECT_FALSE(a->collide(Ogre::Ray(), info));
    world.manager->endSimulation();
    EXPECT_TRUE(a->collide(*b, infos));
}
