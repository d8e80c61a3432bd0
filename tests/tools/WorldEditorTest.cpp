#include "TestEngine.h"
#include "WorldEditor.h"
#include "WorldEditorCommand.h"
#include "WorldGenerator.h"

#include "BinaryFileResource.h"
#include "CompleteObjectDataInfo.h"
#include "DataElement.h"
#include "GridLayout.h"
#include "XMLDataFile.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace fs = std::filesystem;
using Wren::WorldEditorCommand;
using Wren::Test::TestEngine;

namespace
{
    /** What one run of wren-edit printed. */
    struct EditRun
    {
        int status = -1;
        std::vector<std::string> lines;
        std::string errors;
    };

    std::vector<std::string> linesOf(const std::string& text)
    {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    /** Runs the program on world with the script (and further options). */
    EditRun edit(const std::string& world, const std::string& script,
                 const std::string& options = "")
    {
        const std::string folder = TestEngine::instance().makeTempFolder("edit-run");
        const std::string scriptFile = TestEngine::writeFile(folder, "script", script);
        const std::string command = std::string("'") + WREN_TEST_BINARY_DIR +
                                    "/tools/wren-edit' '" + world + "' --script '" + scriptFile +
                                    "' --log '" + folder + "/log' " + options + " > '" + folder +
                                    "/out' 2> '" + folder + "/err'";
        EditRun run;
        const int raw = std::system(command.c_str());
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.lines = linesOf(TestEngine::readFile(folder + "/out"));
        run.errors = TestEngine::readFile(folder + "/err");
        return run;
    }

    /** Name and world position of every object in a line of list. */
    std::map<std::string, Ogre::Vector3> listed(const std::vector<std::string>& lines)
    {
        std::map<std::string, Ogre::Vector3> out;
        for (const std::string& line : lines)
        {
            std::istringstream in(line);
            std::string name, type, partition;
            Ogre::Vector3 p;
            if (in >> name >> type >> p.x >> p.y >> p.z >> partition)
                out[name] = p;
        }
        return out;
    }

    /** The object names an objects file holds, in either form. */
    std::set<std::string> storedNames(const std::string& path, bool binary)
    {
        std::set<std::string> names;
        if (binary)
        {
            Ogre::BinaryFileResource file;
            if (!file.loadFromFile(path))
                return {"(unreadable)"};
            for (Ogre::IBinaryDataElement* e = file.getRootElement()->getFirstChildElement("Object");
                 e; e = e->getNextChildElement("Object"))
            {
                Wren::CompleteObjectDataInfo record;
                record.fromBytes(e->getBuf(), e->getSize());
                names.insert(record.getName());
            }
            return names;
        }
        Wren::XMLDataFile file;
        if (!file.load(path))
            return {"(unreadable)"};
        for (Wren::DataElementPtr e = file.getRootElement()->getFirstChild("Object");
             !e->getIsEmpty(); e = e->getNextSibling("Object"))
            names.insert(e->getAttributeString("Name", ""));
        return names;
    }

    std::string cellFile(const std::string& worldFolder, const std::string& cell, bool binary)
    {
        const std::string world = fs::path(worldFolder).filename().string();
        return worldFolder + "/Partitions/" + world + "_Partition" + cell +
               (binary ? ".objbinary" : ".objects");
    }
}

TEST(EditorScript, LinesAreReadIntoCommandsOrRefusedWithAReason)
{
    WorldEditorCommand c;
    std::string error;
    ASSERT_TRUE(WorldEditorCommand::parse("  create SampleCrate.meta 1 -2.5 3e1  # a crate", c, error));
    EXPECT_EQ(c.kind, WorldEditorCommand::Create);
    EXPECT_EQ(c.names, std::vector<std::string>{"SampleCrate.meta"});
    EXPECT_EQ(c.vector, Ogre::Vector3(1, -2.5f, 30));
    EXPECT_TRUE(c.edits());
    ASSERT_TRUE(WorldEditorCommand::parse("select a b", c, error));
    EXPECT_EQ(c.names.size(), 2u);
    EXPECT_FALSE(c.edits());
    ASSERT_TRUE(WorldEditorCommand::parse("select-ray 0 10 0 0 -1 0", c, error));
    EXPECT_EQ(c.direction, Ogre::Vector3(0, -1, 0));
    ASSERT_TRUE(WorldEditorCommand::parse("fixed-height off", c, error));
    EXPECT_TRUE(c.off);
    ASSERT_TRUE(WorldEditorCommand::parse("save", c, error));
    EXPECT_TRUE(c.names.empty());
    ASSERT_TRUE(WorldEditorCommand::parse("# only a comment", c, error));
    EXPECT_EQ(c.kind, WorldEditorCommand::None);
    EXPECT_EQ(WorldEditorCommand::words().size(), 21u);

    const std::vector<std::pair<std::string, std::string>> bad = {
        {"frobnicate", "unknown command 'frobnicate'"},
        {"move 1 2", "move takes X Y Z"},
        {"translate 1 2 z", "'z' is not a number"},
        {"rotate inf", "'inf' is not a number"},
        {"select", "select takes NAME..."},
        {"clone now", "clone takes no arguments"},
        {"scale 0", "scale takes a factor above 0"},
        {"select-ray 0 0 0 0 0 0", "select-ray needs a direction that is not zero"},
        {"save ../elsewhere", "a world name holds no path separator"},
        {"list a b", "list takes [PARTITION]"},
    };
    for (const auto& line : bad)
    {
        error.clear();
        EXPECT_FALSE(WorldEditorCommand::parse(line.first, c, error)) << line.first;
        EXPECT_NE(error.find(line.second), std::string::npos) << line.first << ": " << error;
    }
}

// Four runs of wren-edit over a generated 4 x 4 world, in each form: edits
// saved by one run are what the next one lists; undo takes a move back; Save
// As writes every cell; a binary save that would drop a child refuses.
TEST(EditorRuns, EditsAreSavedListedUndoneAndSavedAsAWholeWorld)
{
    for (bool binary : {false, true})
    {
        SCOPED_TRACE(binary ? "binary" : "XML");
        Wren::WorldGeneratorOptions options;
        options.cells = 4;
        options.objectsPerCell = 3;
        options.binary = binary;
        options.loadRadius = 300.0f;
        options.seed = 11;
        const std::string worlds = TestEngine::instance().makeTempFolder("edit-e2e") + "/worlds";
        const std::string folder = worlds + "/W";
        const Wren::WorldGeneratorResult generated = Wren::WorldGenerator(options).generate(folder);
        ASSERT_TRUE(generated.ok) << generated.error;
        const std::string form = binary ? "--binary" : "--xml";
        const std::string camera = "camera -384 30 -384\n";

        // A bad line refuses the whole script: nothing runs, nothing is saved.
        const std::string before = TestEngine::readFile(cellFile(folder, "0_0", binary));
        EditRun refused = edit(folder, camera + "create SampleCrate.meta -380 0 -380\nsave\nmove 1 2\n", form);
        EXPECT_EQ(refused.status, 2);
        EXPECT_NE(refused.errors.find("line 4: move takes X Y Z"), std::string::npos) << refused.errors;
        EXPECT_EQ(TestEngine::readFile(cellFile(folder, "0_0", binary)), before);

        EditRun first = edit(folder, camera + "create SampleCrate.meta -380 0 -380\n"
                                              "create SampleCrate.meta -390 0 -330\nsave\n", form);
        ASSERT_EQ(first.status, 0) << first.errors;
        ASSERT_EQ(first.lines.size(), 4u);
        const std::string a = first.lines[1];
        const std::string c = first.lines[2];

        // Picked by a ray from above (the camera near, so that the crate is
        // shown), moved, turned, cloned, linked and deleted.
        EditRun second = edit(folder, camera + "camera -378 5 -378\nselect-ray -380 50 -380 0 -1 0\n"
                                               "move -370 0 -370\nrotate 90\n"
                                               "clone\nmove -340 0 -360\nselect " + c + "\nlink " + a +
                                               "\nselect " + a + "\ndelete\nsave\n", form);
        ASSERT_EQ(second.status, 0) << second.errors;
        ASSERT_EQ(second.lines.size(), 12u);
        const std::string b = second.lines[5];
        EXPECT_EQ(second.lines[2].compare(0, 9 + a.size(), "selected " + a), 0) << second.lines[2];
        EXPECT_EQ(second.lines[8], "linked 1 to " + a);
        EXPECT_EQ(second.lines[10], "deleted 1");

        // The cell holds its generated objects and the clone, where it was
        // put; a move undone stands where it stood.
        EditRun third = edit(folder, camera + "list 0_0\nselect " + b + "\nmove 0 0 0\nundo\n"
                                              "list 0_0\nsave Copy\n", form);
        ASSERT_EQ(third.status, 0) << third.errors;
        ASSERT_EQ(third.lines.size(), 13u);
        std::map<std::string, Ogre::Vector3> expected;
        for (const Wren::PlacedObject& o : Wren::WorldGenerator(options).place())
            if (o.cellX == 0 && o.cellZ == 0)
                expected[o.name] = generated.grid.cellWorldPosition(0, 0) + o.position;
        expected[b] = Ogre::Vector3(-340, 0, -360);
        std::vector<std::string> firstList(third.lines.begin() + 1, third.lines.begin() + 1 + 4);
        for (const auto& lists : {firstList, std::vector<std::string>(third.lines.end() - 5,
                                                                      third.lines.end() - 1)})
        {
            const std::map<std::string, Ogre::Vector3> seen = listed(lists);
            ASSERT_EQ(seen.size(), expected.size());
            for (const auto& entry : expected)
            {
                ASSERT_TRUE(seen.count(entry.first)) << entry.first;
                EXPECT_TRUE(seen.at(entry.first).positionEquals(entry.second, 1e-3f))
                    << entry.first << " at " << seen.at(entry.first);
            }
        }
        EXPECT_EQ(third.lines.back(), "saved Copy");

        // Save As wrote every cell, loaded or not, with the objects it holds.
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
            {
                const std::string cell = Wren::GridLayout::cellId(i, j);
                EXPECT_EQ(storedNames(cellFile(worlds + "/Copy", cell, binary), binary),
                          storedNames(cellFile(folder, cell, binary), binary))
                    << cell;
            }
        EXPECT_TRUE(fs::exists(worlds + "/Copy/Copy.World"));

        // A child has no place in the binary record: that save refuses and
        // the old file stays; the XML form keeps the child.
        const std::string saved = TestEngine::readFile(cellFile(folder, "0_0", binary));
        EditRun fourth = edit(folder, camera + "create SampleCrate.meta -350 0 -350\nlink " + b +
                                              "\nsave\n", form);
        if (binary)
        {
            EXPECT_EQ(fourth.status, 1);
            EXPECT_NE(fourth.errors.find("line 4: world W not saved in full; refused: " + b),
                      std::string::npos)
                << fourth.errors;
            EXPECT_EQ(TestEngine::readFile(cellFile(folder, "0_0", binary)), saved);
        }
        else
        {
            ASSERT_EQ(fourth.status, 0) << fourth.errors;
            EditRun fifth = edit(folder, camera + "list 0_0\n", form);
            ASSERT_EQ(fifth.status, 0) << fifth.errors;
            const std::string child = fourth.lines[1];
            bool found = false;
            for (const std::string& line : fifth.lines)
                found = found || (line.compare(0, child.size(), child) == 0 &&
                                  line.size() > b.size() &&
                                  line.compare(line.size() - b.size(), b.size(), b) == 0);
            EXPECT_TRUE(found) << child << " under " << b;
        }
    }
}
