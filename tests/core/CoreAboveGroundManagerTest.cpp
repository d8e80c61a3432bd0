#include "CoreGameObjectTestWorld.h"

#include "CoreAboveGroundArea.h"

#include <gtest/gtest.h>

using namespace Wren;
using namespace Wren::Test;

namespace
{
    /** An area whose build can be held back and advanced by the test. */
    class ScriptedArea : public CoreAboveGroundArea
    {
    public:
        using CoreAboveGroundArea::CoreAboveGroundArea;
        using CoreAboveGroundArea::__CreateShaderInstantNameByMatName;
        bool load() override { return canStart; }
        bool update(float) override
        {
            ++steps;
            return finishes;
        }
        bool canStart = true;
        bool finishes = true;
        int steps = 0;
    };

    /** Areas at fixed places: the first whose origin lies within 50. */
    class ScriptedAreas : public CoreAboveGroundManager
    {
    public:
        using CoreAboveGroundManager::CoreAboveGroundManager;
        ScriptedArea* add(const std::string& id, const Ogre::Vector3& origin)
        {
            ScriptedArea* area = new ScriptedArea(id, origin, this);
            addArea(area);
            return area;
        }
        CoreAboveGroundArea* __FindAreaByPos(Ogre::Vector3& position) override
        {
            for (CoreAboveGroundArea* a : getAreas())
                if (a->getWorldPosition().distance(position) <= 50)
                    return a;
            return nullptr;
        }
    };

    class AreaWorld : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            world.writeMetadata("rock.meta", "rock");
            world.writeMetadata("tree.meta", "tree");
            world.writeWorld("areas", "");
            ASSERT_TRUE(world.start("areas"));
            areas.reset(new ScriptedAreas(world.manager.get(), world.partitions));
        }

        void TearDown() override { areas->destroy(); }

        CoreTestWorld world;
        std::unique_ptr<ScriptedAreas> areas;
        Ogre::Matrix4 identity = Ogre::Matrix4::IDENTITY;
    };

    typedef AreaWorld AreaGroups;
    typedef AreaWorld AreaBuilds;
}

TEST_F(AreaGroups, ObjectsAreGroupedByTemplateAndUnloadDeletesNoneOfThem)
{
    ScriptedArea* area = areas->add("3_4", Ogre::Vector3::ZERO);
    StandInObject* a = world.create("rock.meta");
    StandInObject* b = world.create("rock.meta");
    StandInObject* c = world.create("tree.meta");
    area->addObject(a, identity);
    area->addObject(b, identity);
    area->addObject(c, identity);
    ASSERT_EQ(area->getObjectGroups().size(), 2u);
    EXPECT_EQ(area->getObjectGroups().at("rock.meta"), (CoreAboveGroundArea::ObjectGroup{a, b}));

    EXPECT_EQ(area->__CreateShaderInstantNameByMatName("rock.mesh", 2), "Above_rock.mesh_3_4_2");
    const std::string longName(300, 'x');
    EXPECT_EQ(area->__CreateShaderInstantNameByMatName(longName, 1).size(), 255u);

    // The pair and the single one alike stay their partition's.
    area->unload();
    EXPECT_TRUE(area->getObjectGroups().empty());
    EXPECT_EQ(world.partition("0_0")->getObjects(), (std::vector<CoreGameObject*>{a, b, c}));
    for (StandInObject* obj : {a, b, c})
        EXPECT_NE(obj->getSceneNode(), nullptr);

    area->SetVisible(true);
    EXPECT_FALSE(area->getVisible());
}

TEST_F(AreaBuilds, AreasWaitAreStartedOneAtATimeAndAdvanceOnlyTheFirst)
{
    ScriptedArea* first = areas->add("a", Ogre::Vector3::ZERO);
    ScriptedArea* second = areas->add("b", Ogre::Vector3(100, 0, 0));
    ScriptedArea* far = areas->add("c", Ogre::Vector3(200, 0, 0));
    for (int i = 0; i < 3; ++i)
        areas->addStaticObject(world.create("rock.meta"), identity);
    Ogre::Matrix4 shifted = Ogre::Matrix4::IDENTITY;
    shifted.setTrans(Ogre::Vector3(100, 0, 0));
    areas->addStaticObject(world.create("rock.meta"), shifted);
    shifted.setTrans(Ogre::Vector3(500, 0, 0));
    areas->addStaticObject(world.create("rock.meta"), shifted);
    EXPECT_EQ(areas->getPendingAreas(), (CoreAboveGroundManager::AreaList{first, second}));
    EXPECT_EQ(first->getObjectGroups().at("rock.meta").size(), 3u);
    std::vector<CoreAboveGroundArea*> pending;
    areas->enumerateAreas(pending);
    EXPECT_EQ(pending.size(), 2u);

    first->canStart = false;
    areas->load();
    EXPECT_EQ(areas->getBuildingAreas(), CoreAboveGroundManager::AreaList{second});
    EXPECT_EQ(first->GetAreaState(), AreaPending);
    first->canStart = true;
    areas->load();
    EXPECT_EQ(areas->getBuildingAreas(), (CoreAboveGroundManager::AreaList{second, first}));
    EXPECT_NE(areas->getSceneNode(), nullptr);

    second->finishes = false;
    areas->update(0.1f);
    EXPECT_EQ(second->steps, 1);
    EXPECT_EQ(first->steps, 0);
    second->finishes = true;
    areas->update(0.1f);
    EXPECT_EQ(second->GetAreaState(), AreaBuilt);
    EXPECT_EQ(areas->getBuiltAreas(), CoreAboveGroundManager::AreaList{second});

    // A new object sends a built area, and a building one, back to waiting;
    // without a partition load, update starts them again one at a time.
    shifted.setTrans(Ogre::Vector3(100, 0, 0));
    StandInObject* late = world.create("rock.meta");
    areas->addStaticObject(late, shifted);
    EXPECT_EQ(second->getObjectGroups().at("rock.meta").size(), 2u);
    areas->addStaticObject(world.create("rock.meta"), identity);
    EXPECT_EQ(areas->getPendingAreas(), (CoreAboveGroundManager::AreaList{second, first}));
    EXPECT_TRUE(areas->getBuildingAreas().empty());
    EXPECT_TRUE(areas->getBuiltAreas().empty());
    areas->update(0.1f);
    EXPECT_EQ(areas->getBuiltAreas(), CoreAboveGroundManager::AreaList{second});
    EXPECT_EQ(first->GetAreaState(), AreaPending);
    areas->update(0.1f);
    EXPECT_EQ(areas->getBuiltAreas(), (CoreAboveGroundManager::AreaList{second, first}));

    // An object that goes leaves its area.
    areas->handleObjectDestroyed(late);
    EXPECT_EQ(second->getObjectGroups().at("rock.meta").size(), 1u);

    areas->removeLoaded(second);
    areas->removeLoaded(far);
    EXPECT_EQ(second->GetAreaState(), AreaIdle);
    EXPECT_EQ(areas->getBuiltAreas(), CoreAboveGroundManager::AreaList{first});
    pending.clear();
    areas->enumerateAreas(pending);
    EXPECT_TRUE(pending.empty());
}

TEST_F(AreaBuilds, ShowAllBoundsIsSetUnderEitherId)
{
    std::vector<Property> props;
    areas->enumerateProperties(props);
    ASSERT_EQ(props.size(), 1u);
    EXPECT_EQ(props[0].id, "CoreAboveManager_ShowAllBounds");
    PropertyData on;
    on.boolVal = true;
    areas->setProperty(props[0].id, on);
    EXPECT_TRUE(areas->getShowAllBounds());
    on.boolVal = false;
    areas->setProperty("CoreAboveGroundManager_ShowAllBounds", on);
    EXPECT_FALSE(areas->getShowAllBounds());
}
