#include "CoreGameObjectTestWorld.h"

#include "XMLDataFile.h"

#include <OgreEntity.h>
#include <OgreMeshManager.h>
#include <OgreException.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>
#include <filesystem>

using namespace Wren;
using namespace Wren::Test;

namespace
{
    typedef std::vector<CoreGameObject*> Objects;

    /** Sets the last modification of path to a UTC calendar time. */
    void setFileTime(const std::string& path, int year, int month, int day, int hour, int minute,
                     int second)
    {
        std::tm utc = {};
        utc.tm_year = year - 1900;
        utc.tm_mon = month - 1;
        utc.tm_mday = day;
        utc.tm_hour = hour;
        utc.tm_min = minute;
        utc.tm_sec = second;
        const timespec times[2] = {{timegm(&utc), 0}, {timegm(&utc), 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    }

    /** A scene whose world geometry is a wall the ray meets at a set
        distance; objects are asked of the real scene. */
    class WallWrapper : public SceneManagerWrapper
    {
    public:
        using SceneManagerWrapper::SceneManagerWrapper;
        Ogre::RaySceneQueryResult& executeRaySceneQuery(const Ogre::Ray& ray, bool entities,
                                                        bool worldGeometry,
                                                        bool sortByDistance) override
        {
            if (!worldGeometry)
                return SceneManagerWrapper::executeRaySceneQuery(ray, entities, worldGeometry,
                                                                 sortByDistance);
            mFragment.fragmentType = Ogre::SceneQuery::WFT_SINGLE_INTERSECTION;
            mFragment.singleIntersection = ray.getPoint(wallDistance);
            Ogre::RaySceneQueryResultEntry entry;
            entry.distance = wallDistance;
            entry.movable = nullptr;
            entry.worldFragment = &mFragment;
            mResult.assign(1, entry);
            return mResult;
        }
        float wallDistance = 3.0f;

    private:
        Ogre::SceneQuery::WorldFragment mFragment;
        Ogre::RaySceneQueryResult mResult;
    };

    /** Remembers the box of the last search for nearby objects. */
    class SearchSpy : public StandInPartitionManager
    {
    public:
        using StandInPartitionManager::StandInPartitionManager;
        void enumerateNearbyObjects(const Ogre::AxisAlignedBox& box,
                                    std::vector<CoreGameObject*>& out) override
        {
            searched = box;
            CorePartitionManager::enumerateNearbyObjects(box, out);
        }
        Ogre::AxisAlignedBox searched;
    };

    class ObjectEditing : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            world.writeMetadata("rock.meta", "rock");
            world.writeWorld("edit", "");
        }

        void start()
        {
            world.makePartition = RegionPartition::make;
            ASSERT_TRUE(world.start("edit", {{"0_0", Ogre::Vector3::ZERO},
                                             {"1_0", Ogre::Vector3(128, 0, 0)}}));
        }

        StandInObject* at(const Ogre::Vector3& position) { return world.create("rock.meta", position); }

        /** Gives obj a square across the x axis (one unit wide) that the
            scene's ray query finds, and a loaded collision shape, which the
            stand-in collision system hits at the object's position. */
        void makePickable(StandInObject* obj)
        {
            const char* const mesh = "EditingTestSquare";
            if (!Ogre::MeshManager::getSingleton().resourceExists(mesh, "General"))
                Ogre::MeshManager::getSingleton().createPlane(
                    mesh, "General", Ogre::Plane(Ogre::Vector3::UNIT_X, 0), 1, 1, 1, 1, true, 1,
                    1, 1, Ogre::Vector3::UNIT_Y);
            Ogre::Entity* square = world.engine.getSceneManager()->createEntity(mesh);
            obj->getSceneNode()->attachObject(square);
            obj->getSceneNode()->_update(true, false);
            Ogre::UserDefinedObject::bind(square, obj);
            obj->setCollisionShapeList({world.collision()->createCollisionShape("box", Ogre::Vector3::UNIT_SCALE)});
        }

        static bool near(const Ogre::Vector3& a, const Ogre::Vector3& b)
        {
            return a.positionEquals(b, 1e-3f);
        }

        CoreTestWorld world;
    };

    typedef ObjectEditing GroupTransforms;
    typedef ObjectEditing Parenting;
    typedef ObjectEditing Selection;
    typedef ObjectEditing ObjectQueries;
    typedef ObjectEditing Compounds;
    typedef ObjectEditing ObjectBrowser;
}

TEST_F(GroupTransforms, GroupsMoveAndTurnAsOneShapeAndFixedHeightHoldsTheTargets)
{
    start();
    CoreGameObjectManager& m = *world.manager;
    EXPECT_EQ(m.getAveragedCenter(Objects()), Ogre::Vector3::ZERO);
    StandInObject* a = at(Ogre::Vector3(0, 0, 0));
    StandInObject* b = at(Ogre::Vector3(10, 4, -2));
    EXPECT_TRUE(near(m.getAveragedCenter(Objects{a, b}), Ogre::Vector3(5, 2, -1)));

    b->setPosition(Ogre::Vector3(2, 0, 0), true, true);
    m.moveObjects(Objects{a, b}, Ogre::Vector3(10, 0, 0));
    EXPECT_TRUE(near(a->getWorldPosition(), Ogre::Vector3(9, 0, 0)));
    EXPECT_TRUE(near(b->getWorldPosition(), Ogre::Vector3(11, 0, 0)));
    m.moveObjectsAsOne(Objects{a, b}, Ogre::Vector3(10, 0, 0));
    EXPECT_TRUE(near(a->getWorldPosition(), Ogre::Vector3(10, 0, 0)));
    EXPECT_TRUE(near(b->getWorldPosition(), Ogre::Vector3(10, 0, 0)));

    m.setFixedHeight(5);
    m.setFixedHeightEnabled(true);
    m.moveObjects(Objects{a}, Ogre::Vector3(1, 0, 1));
    EXPECT_TRUE(near(a->getWorldPosition(), Ogre::Vector3(1, 5, 1)));
    m.moveObjectsAsOneEx({b}, Ogre::Vector3(3, 0, 3), Ogre::Vector3(2, 2, 2),
                         Ogre::Quaternion(Ogre::Degree(90), Ogre::Vector3::UNIT_Y));
    EXPECT_TRUE(near(b->getWorldPosition(), Ogre::Vector3(3, 5, 3)));
    EXPECT_TRUE(near(b->getScale(), Ogre::Vector3(2, 2, 2)));
    m.setFixedHeightEnabled(false);

    // Half a turn about the centre swaps the two; a move into the other
    // partition hands the object over, in the world form.
    a->setPosition(Ogre::Vector3(-1, 0, 0), true, true);
    b->setPosition(Ogre::Vector3(1, 0, 0), true, true);
    m.rotateObjectsAroundCenter(std::vector<GameObject*>{a, b},
                                Ogre::Quaternion(Ogre::Degree(180), Ogre::Vector3::UNIT_Y));
    EXPECT_TRUE(near(a->getWorldPosition(), Ogre::Vector3(1, 0, 0)));
    EXPECT_TRUE(near(b->getWorldPosition(), Ogre::Vector3(-1, 0, 0)));
    EXPECT_TRUE(near(a->getWorldDirection(), Ogre::Vector3::UNIT_Z));
    m.rotateObjectsAroundOne(Objects{b}, a, Ogre::Quaternion(Ogre::Degree(180), Ogre::Vector3::UNIT_Y));
    EXPECT_TRUE(near(b->getWorldPosition(), Ogre::Vector3(3, 0, 0)));
    m.translateObjects(std::vector<GameObject*>{a}, Ogre::Vector3(128, 0, 0));
    EXPECT_EQ(a->getPartition(), world.partition("1_0"));
    EXPECT_TRUE(near(a->getWorldPosition(), Ogre::Vector3(129, 0, 0)));
}

TEST_F(GroupTransforms, DuplicatesAndChildrenOfMembersMoveOnce)
{
    start();
    StandInObject* parent = at(Ogre::Vector3(0, 0, 0));
    StandInObject* child = at(Ogre::Vector3(1, 0, 0));
    parent->addChild(child);
    world.manager->translateObjects(Objects{parent, child, parent}, Ogre::Vector3(0, 0, 5));
    EXPECT_TRUE(near(parent->getWorldPosition(), Ogre::Vector3(0, 0, 5)));
    EXPECT_TRUE(near(child->getWorldPosition(), Ogre::Vector3(1, 0, 5)));
    world.manager->scaleObjects(Objects{child, child}, Ogre::Vector3(2, 2, 2));
    EXPECT_TRUE(near(child->getScale(), Ogre::Vector3(2, 2, 2)));

    // A delete of a parent with its child in the set frees each once, and
    // the set given is emptied.
    Objects both{child, parent, child};
    world.manager->selectObject(child);
    world.manager->deleteObjects(both);
    EXPECT_TRUE(both.empty());
    EXPECT_TRUE(world.partition("0_0")->getObjects().empty());
    EXPECT_EQ(world.manager->GetFirstSelectedObject(), nullptr);
}

TEST_F(Parenting, LinkKeepsThePlaceInTheWorldAndRefusesCyclesAndUnlinkLeavesNoOrphan)
{
    start();
    CoreGameObjectManager& m = *world.manager;
    StandInObject* parent = at(Ogre::Vector3(10, 0, 0));
    StandInObject* child = at(Ogre::Vector3(12, 3, 0));
    StandInObject* far = at(Ogre::Vector3(140, 0, 0));
    parent->rotate(Ogre::Vector3::UNIT_Y, Ogre::Degree(90));
    const Ogre::Quaternion childTurn = child->getWorldOrientation();

    EXPECT_TRUE(m.linkObjects(Objects{child}, parent));
    EXPECT_EQ(child->getParent(), parent);
    EXPECT_TRUE(near(child->getWorldPosition(), Ogre::Vector3(12, 3, 0)));
    EXPECT_TRUE(child->getWorldOrientation().equals(childTurn, Ogre::Degree(0.01f)));
    EXPECT_TRUE(m.linkObjects(Objects{far}, child));
    EXPECT_EQ(far->getPartition(), world.partition("0_0"));

    // Onto itself or below itself: refused, nothing changes.
    {
        LogCapture log;
        EXPECT_FALSE(m.linkObjects(Objects{parent}, parent));
        EXPECT_FALSE(m.linkObjects(Objects{parent}, far));
        EXPECT_FALSE(m.linkObjects(Objects{child}, far));
        EXPECT_TRUE(log.contains("can not become a child"));
    }
    EXPECT_EQ(parent->getParent(), nullptr);
    EXPECT_EQ(child->getParent(), parent);
    EXPECT_EQ(child->getSceneNode()->getParent(), parent->getSceneNode());
    EXPECT_EQ(far->getParent(), child);

    // Unlinked, far stands where it stood, in the partition under it; the
    // child stays in its partition when none is loaded where it stands.
    m.unlinkObjects(Objects{far});
    EXPECT_EQ(far->getParent(), nullptr);
    EXPECT_EQ(far->getPartition(), world.partition("1_0"));
    EXPECT_TRUE(near(far->getWorldPosition(), Ogre::Vector3(140, 0, 0)));
    EXPECT_EQ(far->getSceneNode()->getParent(), world.partition("1_0")->getSceneNode());
    world.partition("1_0")->unload(false);
    child->setPosition(Ogre::Vector3(130, 0, 0), true, false);
    m.unlinkObjects(Objects{child});
    EXPECT_EQ(child->getParent(), nullptr);
    EXPECT_EQ(child->getPartition(), world.partition("0_0"));
    EXPECT_TRUE(near(child->getWorldPosition(), Ogre::Vector3(130, 0, 0)));
    EXPECT_TRUE(parent->getChildren().empty());
}

TEST_F(Parenting, CloneIsANewObjectOfTheSameStoredFormWithFreshNames)
{
    start();
    StandInObject* parent = at(Ogre::Vector3(5, 0, 5));
    StandInObject* child = at(Ogre::Vector3(6, 0, 5));
    parent->addChild(child);
    Objects clones;
    world.manager->cloneObjects(Objects{parent, child}, clones);
    ASSERT_EQ(clones.size(), 1u);
    CoreGameObject* clone = clones.front();
    EXPECT_NE(clone->getName(), parent->getName());
    EXPECT_EQ(CoreGameObjectManager::getNameWithoutSuffix(clone->getName()),
              CoreGameObjectManager::getNameWithoutSuffix(parent->getName()));
    EXPECT_TRUE(near(clone->getWorldPosition(), Ogre::Vector3(5, 0, 5)));
    EXPECT_EQ(clone->getPartition(), world.partition("0_0"));
    EXPECT_EQ(clone->getParent(), nullptr);
    EXPECT_EQ(world.partition("0_0")->getObjects().size(), 4u);
}

// Names end in a time stamp; stripping the last part takes off its seconds,
// so the next number could give back the name of the object being cloned.
TEST_F(Parenting, UniqueNameNeverGivesBackANameInUse)
{
    start();
    CoreGameObjectManager& m = *world.manager;
    StandInObject* obj = at(Ogre::Vector3(5, 0, 5));
    const std::string name = obj->getName();
    const int seconds = std::stoi(name.substr(name.rfind('_') + 1));
    if (m.getObjectUniqueInt() >= seconds)
        GTEST_SKIP() << "made in the first seconds of a minute";
    while (m.getObjectUniqueInt() < seconds - 1)
        m.getUniqueName("Other", false);
    EXPECT_NE(m.getUniqueName(name, true), name);
}

TEST_F(Selection, EachObjectIsListedOnceAndTheCursorNeverStandsOnAGoneEntry)
{
    start();
    CoreGameObjectManager& m = *world.manager;
    StandInObject* a = at(Ogre::Vector3(1, 0, 0));
    StandInObject* b = at(Ogre::Vector3(2, 0, 0));
    StandInObject* c = at(Ogre::Vector3(3, 0, 0));
    m.selectObject(a);
    m.selectObject(static_cast<GameObject*>(b));
    m.selectObject(a);
    m.selectObject(c);
    EXPECT_EQ(m.getSelection(), (std::list<CoreGameObject*>{a, b, c}));
    EXPECT_TRUE(a->getSceneNode()->getShowBoundingBox());

    EXPECT_EQ(m.GetFirstSelectedObject(), a);
    m.unselectObject(a);
    EXPECT_FALSE(a->getSceneNode()->getShowBoundingBox());
    EXPECT_EQ(m.GetNextSelectedObject(), b);
    // An object destroyed under the cursor leaves the selection too.
    Objects gone{b};
    m.deleteObjects(gone);
    EXPECT_EQ(m.GetNextSelectedObject(), c);
    EXPECT_EQ(m.GetNextSelectedObject(), nullptr);
    EXPECT_EQ(m.GetNextSelectedObject(), nullptr);

    m.UnselectAllObjects();
    EXPECT_TRUE(m.getSelection().empty());
    EXPECT_FALSE(c->getSceneNode()->getShowBoundingBox());
    EXPECT_EQ(m.GetFirstSelectedObject(), nullptr);
    EXPECT_EQ(m.GetNextSelectedObject(), nullptr);
}

TEST_F(ObjectQueries, RaysAndSegmentsFindTheObjectsOnThemAndTheWorldWinsWhenNearer)
{
    world.wrapper.reset(new WallWrapper(world.engine.getSceneManager()));
    start();
    CoreGameObjectManager& m = *world.manager;
    StandInObject* onSegment = at(Ogre::Vector3(5, 0, 0));
    StandInObject* beyond = at(Ogre::Vector3(12, 0, 0));
    makePickable(onSegment);
    makePickable(beyond);

    Objects hits;
    EXPECT_TRUE(m.segmentCollide(Ogre::Vector3::ZERO, Ogre::Vector3(10, 0, 0), hits));
    EXPECT_EQ(hits, Objects{onSegment});
    hits.clear();
    EXPECT_FALSE(m.segmentCollide(Ogre::Vector3(5, 0, 0), Ogre::Vector3(5, 0, 0), hits));
    EXPECT_TRUE(hits.empty());

    // The wall at 3 is nearer than the object at 5: its point wins, and the
    // object is still reported.
    const Ogre::Ray ray(Ogre::Vector3::ZERO, Ogre::Vector3::UNIT_X);
    CoreGameObject* hit = nullptr;
    Ogre::Vector3 point;
    EXPECT_TRUE(m.rayCollide(ray, true, true, hit, point));
    EXPECT_EQ(hit, onSegment);
    EXPECT_TRUE(near(point, Ogre::Vector3(3, 0, 0)));
    static_cast<WallWrapper*>(world.wrapper.get())->wallDistance = 8.0f;
    EXPECT_TRUE(m.rayCollide(ray, true, true, hit, point));
    EXPECT_TRUE(near(point, Ogre::Vector3(5, 0, 0)));
    // Passing over the first object, the ray meets the next.
    GameObject* seen = nullptr;
    EXPECT_TRUE(m.rayCollide(ray, true, false, seen, std::vector<GameObject*>{onSegment}, point));
    EXPECT_EQ(seen, beyond);
    EXPECT_TRUE(near(point, Ogre::Vector3(12, 0, 0)));
}

TEST_F(ObjectQueries, CollisionSearchGrowsTheBoxAboutItsOwnCentre)
{
    SearchSpy* spy = nullptr;
    world.makePartitionManager = [&spy](GameObjectManager* owner) {
        return spy = new SearchSpy(owner);
    };
    start();
    StandInObject* mover = at(Ogre::Vector3(41, 0, 0));
    StandInObject* other = at(Ogre::Vector3(42, 0, 0));
    makePickable(mover);
    makePickable(other);
    mover->worldBox = Ogre::AxisAlignedBox(40, -1, -1, 42, 1, 1);

    std::vector<CollisionInfo> contacts;
    world.manager->collisionDetect(mover, contacts, Ogre::Vector3(2, 0, 0));
    // |motion| x 1.5 + 1 = 4 times the box, about its centre (41, 0, 0).
    EXPECT_TRUE(near(spy->searched.getCenter(), Ogre::Vector3(41, 0, 0)));
    EXPECT_TRUE(near(spy->searched.getSize(), Ogre::Vector3(8, 8, 8)));
    ASSERT_EQ(contacts.size(), 1u);
    EXPECT_EQ(contacts.front().object, other);
}

TEST_F(Compounds, CompoundIsWrittenWholeOrNotAtAllAndStaysInItsFolder)
{
    start();
    CoreGameObjectManager& m = *world.manager;
    const std::string folder = world.engine.makeTempFolder("compounds") + "/made/later";
    m.setCompoundsFolder(folder);
    StandInObject* group = at(Ogre::Vector3(3, 0, 3));
    group->addChild(at(Ogre::Vector3(4, 0, 3)));

    ASSERT_TRUE(m.saveCompoundGameObject(group, "hut"));
    XMLDataFile objects;
    ASSERT_TRUE(objects.load(folder + "/hut.objects"));
    EXPECT_EQ(objects.getRootElement()->getAttributeString("Name", ""), group->getName());
    EXPECT_FALSE(objects.getRootElement()->getFirstChild("Children")->getFirstChild("Object")->getIsEmpty());
    XMLDataFile meta;
    ASSERT_TRUE(meta.load(folder + "/hut.meta"));
    EXPECT_EQ(meta.getRootElement()->getAttributeString("ObjectType", ""), "CompoundGameObject");
    EXPECT_EQ(meta.getRootElement()->getFirstChild("CompoundData")->getAttributeString(
                  "ObjectsFileName", ""),
              "hut.objects");

    // A name leaving the folder is refused; an object that refuses to be
    // saved leaves the compound of that name as it was.
    const std::string before = TestEngine::readFile(folder + "/hut.objects");
    EXPECT_FALSE(m.saveCompoundGameObject(group, "../hut"));
    EXPECT_FALSE(m.saveCompoundGameObject(group, "a/hut"));
    EXPECT_FALSE(m.saveCompoundGameObject(group, ""));
    EXPECT_FALSE(std::filesystem::exists(folder + "/../hut.objects"));
    group->GetSaveFlag() = false;
    EXPECT_FALSE(m.saveCompoundGameObject(static_cast<GameObject*>(group), "hut"));
    EXPECT_EQ(TestEngine::readFile(folder + "/hut.objects"), before);
    EXPECT_TRUE(std::filesystem::exists(folder + "/hut.meta"));
}

TEST_F(ObjectBrowser, ListingsSkipWhatCanNotBeReadAndSortByNameOrTime)
{
    start();
    const std::string folder = world.engine.makeTempFolder("browser");
    TestEngine::writeFile(folder, "b.meta", "<MetaData ObjectType=\"StandIn\" Name=\"Bee\"/>");
    TestEngine::writeFile(folder, "A.meta", "<MetaData ObjectType=\"StandIn\" Name=\"Ant\"/>");
    TestEngine::writeFile(folder, "broken.meta", "<MetaData");
    TestEngine::writeFile(folder, "c.meta", "<MetaData ObjectType=\"Alien\" Name=\"C\"/>");
    std::filesystem::create_directory(folder + "/CVS");
    std::filesystem::create_directory(folder + "/rocks");
    // b.meta is the older by half a day; a key that began with the second,
    // or that did not pad the month, would put it after A.meta.
    setFileTime(folder + "/b.meta", 2016, 9, 30, 23, 0, 30);
    setFileTime(folder + "/A.meta", 2016, 10, 1, 11, 0, 0);

    std::vector<GameObjectManager::GameObjectInfo> infos;
    {
        LogCapture log;
        world.manager->enumerateObjectInfos(folder, infos);
        EXPECT_TRUE(log.contains("broken.meta"));
    }
    std::vector<std::string> found;
    for (const auto& info : infos)
        found.push_back(info.fileName + "=" + info.name);
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{"A.meta=Ant", "b.meta=Bee"}));

    std::vector<GameObjectManager::CategoryInfo> byName;
    world.manager->enumerateCategoryInfosByNameOrder(folder, byName, true);
    std::vector<std::string> names;
    for (const auto& entry : byName)
        names.push_back(entry.name);
    EXPECT_EQ(names, (std::vector<std::string>{"A.meta", "b.meta", "broken.meta", "c.meta", "rocks"}));
    EXPECT_EQ(byName.front().fullPath, folder + "/A.meta");

    std::multimap<std::string, GameObjectManager::CategoryInfo> byTime;
    world.manager->enumerateCategoryInfosByTimeOrder(folder, byTime);
    ASSERT_EQ(byTime.size(), 5u);
    EXPECT_EQ(byTime.begin()->first, "20160930230030");
    EXPECT_EQ(byTime.begin()->second.name, "b.meta");
    EXPECT_EQ(std::next(byTime.begin())->second.name, "A.meta");

    std::vector<GameObjectManager::CategoryInfo> none;
    world.manager->enumerateCategoryInfos(folder + "/absent", none);
    EXPECT_TRUE(none.empty());
}
