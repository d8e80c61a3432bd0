#include "../core/CoreGameObjectTestWorld.h"

#include "GridPartition.h"
#include "GridPartitionManager.h"
#include "XMLDataFile.h"

#include <gtest/gtest.h>

using namespace Wren;
using namespace Wren::Test;

namespace
{
    /** A test world laid out as a grid of cells of size, every cell loaded. */
    struct GridWorld : CoreTestWorld
    {
        bool startGrid(int cellsX, int cellsZ, float size)
        {
            writeMetadata("stone.meta", "stone");
            writeWorld("w", "<GridPartitionManagerData GridCellSize=\"" + std::to_string(size) +
                                "\" NumGridCellsX=\"" + std::to_string(cellsX) +
                                "\" NumGridCellsZ=\"" + std::to_string(cellsZ) + "\"/>");
            engine.rescanResources();
            grid = new GridPartitionManager(manager.get());
            CoreAboveGroundManager* areas = new CoreAboveGroundManager(manager.get(), grid);
            if (!manager->initStart("w", wrapper.get(), grid, areas) || !manager->initFinish())
                return false;
            std::vector<CorePartition*> cells;
            grid->enumeratePartitions(cells);
            for (CorePartition* cell : cells)
            {
                DataElementPtr none;
                cell->load(none, false);
            }
            return true;
        }
        /** Whether an object placed at world position p is written. */
        bool savedAt(const Ogre::Vector3& p)
        {
            CoreGameObject* object = manager->createCoreGameObject("stone.meta", p);
            XMLDataFile file;
            DataElementPtr element = file.createRootElement("Object");
            return object && object->save(element);
        }
        GridPartitionManager* grid = nullptr;
    };
}

TEST(GridCellSave, ObjectsAnywhereInTheirCellAreSavedWhateverTheGridsShape)
{
    {
        // Four columns, two rows: the world position of a cell lies a whole
        // cell away from its centre in z.
        GridWorld world;
        ASSERT_TRUE(world.startGrid(4, 2, 256));
        CorePartition* cell = world.grid->getPartition(std::string("0_1"));
        ASSERT_EQ(cell->getWorldPosition(), Ogre::Vector3(-384, 0, -128));
        EXPECT_TRUE(world.savedAt(Ogre::Vector3(-384, 0, 128)));
        EXPECT_TRUE(world.savedAt(Ogre::Vector3(-300, 0, 240)));
        EXPECT_TRUE(world.savedAt(Ogre::Vector3(-500, 0, 10)));
        EXPECT_TRUE(world.savedAt(Ogre::Vector3(-384, 0, -128)));
    }

    // Cells smaller than the bound of a plain partition keep that bound.
    GridWorld small;
    ASSERT_TRUE(small.startGrid(4, 4, 32));
    CoreGameObject* moved = small.manager->createCoreGameObject("stone.meta", Ogre::Vector3(8, 0, 8));
    ASSERT_NE(nullptr, moved);
    moved->setPosition(Ogre::Vector3(60, 0, -60), false, false);
    XMLDataFile file;
    DataElementPtr element = file.createRootElement("Object");
    EXPECT_TRUE(moved->save(element));
    moved->setPosition(Ogre::Vector3(65, 0, 0), false, false);
    EXPECT_FALSE(moved->passesSaveRule());
}
