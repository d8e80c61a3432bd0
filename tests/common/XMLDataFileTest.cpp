#include "FileSizeLimit.h"
#include "SelectorDataFile.h"
#include "TestEngine.h"
#include "XMLDataElement.h"
#include "XMLDataFile.h"

#include <OgreDataStream.h>
#include <OgreResourceGroupManager.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace Wren;
using Wren::Test::TestEngine;

namespace
{
    DataElementPtr parse(XMLDataFile& file, const char* text)
    {
        EXPECT_TRUE(file.load(text));
        return file.getRootElement();
    }
}

TEST(DataElementNavigation, MissingChildIsEmptyNotNull)
{
    XMLDataFile file;
    DataElementPtr root = parse(file, "<Root><A/></Root>");
    DataElementPtr missing = root->getFirstChild("X");
    ASSERT_TRUE(missing);
    EXPECT_TRUE(missing->getIsEmpty());
    EXPECT_TRUE(root->getFirstChild("A")->getNextSibling()->getIsEmpty());
}

TEST(DataElementNavigation, SkipsCommentsAndTextAndMatchesNamesExactly)
{
    XMLDataFile file;
    DataElementPtr root =
        parse(file, "<Root>text<!-- c --><Object N=\"1\"/><object N=\"x\"/><Meta/><Object N=\"2\"/></Root>");
    std::vector<int> seen;
    for (DataElementPtr e = root->getFirstChild("Object"); !e->getIsEmpty();
         e = e->getNextSibling("Object"))
        seen.push_back(e->getAttributeInt("N", -1));
    EXPECT_EQ(seen, (std::vector<int>{1, 2}));
    int all = 0;
    for (DataElementPtr e = root->getFirstChild(); !e->getIsEmpty(); e = e->getNextSibling())
        ++all;
    EXPECT_EQ(all, 4);
}

TEST(DataElementAttributes, DefaultsOnlyWhenAbsent)
{
    XMLDataFile file;
    DataElementPtr root = parse(file, "<R A=\"abc\" P=\"1 2\"/>");
    EXPECT_EQ(root->getAttributeInt("Missing", 7), 7);
    EXPECT_EQ(root->getAttributeInt("A", 7), 0);
    EXPECT_EQ(root->getAttributeString("Missing", "d"), "d");
    EXPECT_EQ(root->getAttributeVector3("Missing", Ogre::Vector3(1, 2, 3)), Ogre::Vector3(1, 2, 3));
    EXPECT_EQ(root->getAttributeQuaternion("Missing", Ogre::Quaternion(0, 1, 0, 0)),
              Ogre::Quaternion(0, 1, 0, 0));
    EXPECT_EQ(root->getAttributeColourValue("Missing", Ogre::ColourValue::Red),
              Ogre::ColourValue::Red);
}

TEST(DataElementAttributes, BoolTextsFollowTheEngineRule)
{
    XMLDataFile file;
    DataElementPtr r = parse(file, "<R a=\"yes\" b=\"1\" c=\"true\" d=\"false\" e=\"no\" f=\"0\" g=\"maybe\"/>");
    EXPECT_TRUE(r->getAttributeBool("a", false));
    EXPECT_TRUE(r->getAttributeBool("b", false));
    EXPECT_TRUE(r->getAttributeBool("c", false));
    EXPECT_FALSE(r->getAttributeBool("d", true));
    EXPECT_FALSE(r->getAttributeBool("e", true));
    EXPECT_FALSE(r->getAttributeBool("f", true));
}

TEST(DataElementAttributes, TextEncodingsOfTheSetters)
{
    XMLDataElement e("E");
    e.setAttributeFloat("F", 0.1f);
    e.setAttributeFloat("G", 1234567.0f);
    e.setAttributeBool("B", true);
    e.setAttributeInt("I", -42);
    e.setAttributeVector3("V", Ogre::Vector3(1, 2.5f, -3));
    e.setAttributeQuaternion("Q", Ogre::Quaternion(1, 0, 0, 0));
    e.setAttributeColourValue("C", Ogre::ColourValue(1, 0, 0.5f, 1));
    EXPECT_EQ(e.getAttributeString("F", ""), "0.1");
    EXPECT_EQ(e.getAttributeString("G", ""), "1.23457e+06");
    EXPECT_EQ(e.getAttributeString("B", ""), "true");
    EXPECT_EQ(e.getAttributeString("I", ""), "-42");
    EXPECT_EQ(e.getAttributeString("V", ""), "1 2.5 -3");
    EXPECT_EQ(e.getAttributeString("Q", ""), "1 0 0 0");
    EXPECT_EQ(e.getAttributeString("C", ""), "1 0 0.5 1");
    EXPECT_EQ(e.getAttributeVector3("V", Ogre::Vector3::ZERO), Ogre::Vector3(1, 2.5f, -3));

    // Writing again replaces the value in place.
    e.setAttributeInt("I", 5);
    EXPECT_EQ(e.getAttributeInt("I", 0), 5);
    e.removeAttribute("I");
    EXPECT_EQ(e.getAttributeInt("I", 9), 9);
}

TEST(DataElementChildren, RemoveAllByNameKeepsOthers)
{
    XMLDataFile file;
    DataElementPtr root = parse(file, "<R><Object/><Meta/><Object/><Object/></R>");
    root->removeAllChildByName("Object");
    EXPECT_TRUE(root->getFirstChild("Object")->getIsEmpty());
    EXPECT_FALSE(root->getFirstChild("Meta")->getIsEmpty());
    EXPECT_TRUE(root->getFirstChild("Meta")->getNextSibling()->getIsEmpty());
    root->removeFirstChild("Nothing");
    root->removeFirstChild("Meta");
    EXPECT_TRUE(root->getFirstChild()->getIsEmpty());
}

TEST(DataElementChildren, ReleasingHandlesLeavesNodesInTheDocument)
{
    XMLDataFile file;
    DataElementPtr root = file.createRootElement("World");
    {
        DataElementPtr child = root->createChild("Object");
        child->setAttributeString("Name", "kept");
    }
    EXPECT_EQ(root->getFirstChild("Object")->getAttributeString("Name", ""), "kept");
    // A second top-level element is allowed; the root is the first.
    file.createRootElement("Other");
    EXPECT_EQ(static_cast<XMLDataElement*>(file.getRootElement().get())->getName(), "World");
}

TEST(XMLDataFileLoad, BadTextFailsLogsTheFileAndEmptiesTheDocument)
{
    TestEngine& engine = TestEngine::instance();
    const std::string path =
        TestEngine::writeFile(engine.makeTempFolder("xml"), "broken.meta", "<Meta><Open></Meta>");
    Wren::Test::LogCapture log;
    XMLDataFile file;
    EXPECT_FALSE(file.load(path));
    EXPECT_TRUE(log.contains("broken.meta"));
    EXPECT_TRUE(file.getRootElement()->getIsEmpty());

    EXPECT_FALSE(file.load(std::string("/nonexistent/world.world")));
    EXPECT_FALSE(file.load(static_cast<const char*>(nullptr)));
    EXPECT_FALSE(file.load(""));
    EXPECT_TRUE(file.load("<Ok/>"));
    EXPECT_FALSE(file.getRootElement()->getIsEmpty());
}

namespace
{
    /** depth elements, each inside the one before; attribute holds text
        that a careless scan would take for the end of its tag. */
    std::string nested(size_t depth, const std::string& attribute = "")
    {
        std::string open = "<e" + attribute + ">", text;
        text.reserve(depth * (open.size() + 4));
        for (size_t i = 0; i < depth; ++i)
            text += open;
        for (size_t i = 0; i < depth; ++i)
            text += "</e>";
        return text;
    }
}

// TinyXML parses and destroys elements recursively: a hostile document must
// be refused before it can overflow the stack, whichever way it is read.
TEST(XMLDataFileLoad, ElementsNestedDeeperThanTheBoundAreRefusedOnEveryPath)
{
    TestEngine& engine = TestEngine::instance();
    const std::string deep = nested(100000);
    Wren::Test::LogCapture log;
    XMLDataFile file;
    EXPECT_FALSE(file.load(deep.c_str()));
    EXPECT_FALSE(file.load(TestEngine::writeFile(engine.makeTempFolder("deep"), "deep.meta", deep)));
    Ogre::DataStreamPtr stream(new Ogre::MemoryDataStream(const_cast<char*>(deep.data()), deep.size()));
    EXPECT_FALSE(file.load(stream));
    EXPECT_EQ(3, std::count_if(log.lines().begin(), log.lines().end(), [](const std::string& l) {
                  return l.find("nest deeper than 256 levels") != std::string::npos;
              }));
    EXPECT_TRUE(file.getRootElement()->getIsEmpty());

    // Quoted values that look like the end of a tag do not hide a level.
    for (const char* attribute : {" a=\"/>\"", " a = '/>'", " a=\"x>\""})
        EXPECT_FALSE(file.load(nested(300, attribute).c_str())) << attribute;
    EXPECT_TRUE(file.load(nested(256, " a=\"/>\"").c_str()));
    EXPECT_TRUE(file.load(("<!-- <e><e><e> --><?xml version=\"1.0\"?>" + nested(256)).c_str()));
}

TEST(XMLDataFileLoad, FromAnEngineStream)
{
    TestEngine& engine = TestEngine::instance();
    TestEngine::writeFile(engine.getGeneralFolder(), "stream_test.meta",
                          "<Meta Type=\"Mesh\"><Lod Level=\"1\"/></Meta>");
    engine.rescanResources();
    Ogre::DataStreamPtr stream =
        Ogre::ResourceGroupManager::getSingleton().openResource("stream_test.meta", "General");
    XMLDataFile file;
    ASSERT_TRUE(file.load(stream));
    EXPECT_EQ(file.getRootElement()->getAttributeString("Type", ""), "Mesh");
    Ogre::DataStreamPtr none;
    EXPECT_FALSE(file.load(none));
}

TEST(XMLDataFileSave, RoundTripsAndAFailedSaveKeepsTheOldFile)
{
    TestEngine& engine = TestEngine::instance();
    const std::string folder = engine.makeTempFolder("save");
    const std::string path = folder + "/Test.world";

    XMLDataFile file;
    DataElementPtr root = file.createRootElement("World");
    root->createChild("Object")->setAttributeFloat("PosX", 12.5f);
    ASSERT_TRUE(file.save(path));

    XMLDataFile back;
    ASSERT_TRUE(back.load(path));
    EXPECT_FLOAT_EQ(back.getRootElement()->getFirstChild("Object")->getAttributeFloat("PosX", 0), 12.5f);

    // A save that can not write leaves the stored file as it was.
    const std::string before = TestEngine::readFile(path);
    Wren::Test::LogCapture log;
    root->setAttributeString("Changed", "yes");
    {
        Wren::Test::FileSizeLimit full;
        EXPECT_FALSE(file.save(path));
    }
    EXPECT_EQ(TestEngine::readFile(path), before);
    EXPECT_TRUE(log.contains("Test.world"));
    EXPECT_FALSE(file.save(folder + "/missing/dir/x.world"));
}

TEST(SelectorDataFile, FlagDoesNotChangeTheForm)
{
    for (bool flag : {false, true})
    {
        SelectorDataFile file(flag);
        EXPECT_EQ(file.getFlag(), flag);
        EXPECT_TRUE(file.getRootElement()->getIsEmpty());
        ASSERT_TRUE(file.load("<Objects><Object Name=\"a\"/></Objects>"));
        EXPECT_EQ(file.getRootElement()->getFirstChild("Object")->getAttributeString("Name", ""), "a");
        EXPECT_FALSE(file.load("<Objects>"));
    }
}

TEST(DataElementNavigation, EmptyElementAnswersDefaultsAndIgnoresChanges)
{
    XMLDataFile file;
    DataElementPtr none = parse(file, "<R/>")->getFirstChild("Missing");
    ASSERT_TRUE(none->getIsEmpty());
    EXPECT_EQ(none->getAttributeInt("A", 3), 3);
    EXPECT_EQ(none->getAttributeString("S", "d"), "d");
    none->setAttributeInt("A", 1);
    none->removeAttribute("A");
    none->removeAllChildByName("X");
    EXPECT_TRUE(none->createChild("C")->getIsEmpty());
    EXPECT_TRUE(none->getFirstChild()->getIsEmpty());
    EXPECT_TRUE(none->getNextSibling("X")->getIsEmpty());
}
