#include "BinaryDataElement.h"
#include "BinaryDataFormat.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

using Ogre::BinaryDataElement;
using Ogre::BinaryDataFormat;
using Ogre::IBinaryDataElement;

namespace
{
    std::unique_ptr<BinaryDataElement> sampleTree()
    {
        std::unique_ptr<BinaryDataElement> root(new BinaryDataElement("Objects"));
        *static_cast<unsigned char*>(root->allocBuf(1)) = 1;
        for (int i = 0; i < 3; ++i)
        {
            BinaryDataElement* child = root->createDefaultChild(i == 1 ? "Other" : "Object");
            unsigned char* buf = static_cast<unsigned char*>(child->allocBuf(4 + i));
            for (int b = 0; b < 4 + i; ++b)
                buf[b] = static_cast<unsigned char>(i * 16 + b);
        }
        root->getChild(2)->createDefaultChild("Leaf");
        return root;
    }

    std::vector<unsigned char> bytesOf(const BinaryDataElement* root)
    {
        std::vector<unsigned char> bytes;
        Ogre::String error;
        EXPECT_TRUE(BinaryDataFormat::write(root, bytes, error)) << error;
        return bytes;
    }

    bool reads(const std::vector<unsigned char>& bytes, Ogre::String* why = nullptr)
    {
        std::unique_ptr<BinaryDataElement> root;
        Ogre::String error;
        bool ok = BinaryDataFormat::read(bytes.data(), bytes.size(), root, error);
        if (why)
            *why = error;
        return ok;
    }

    void putU32(std::vector<unsigned char>& bytes, size_t at, uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<unsigned char>(v >> (8 * i));
    }
}

TEST(BinaryDataFormat, TreeSurvivesWriteAndReadWithNamesBuffersAndOrder)
{
    std::unique_ptr<BinaryDataElement> original = sampleTree();
    std::vector<unsigned char> bytes = bytesOf(original.get());

    std::unique_ptr<BinaryDataElement> root;
    Ogre::String error;
    ASSERT_TRUE(BinaryDataFormat::read(bytes.data(), bytes.size(), root, error)) << error;
    ASSERT_TRUE(root);
    EXPECT_EQ("Objects", root->getName());
    ASSERT_EQ(1u, root->getSize());
    EXPECT_EQ(1, *static_cast<const unsigned char*>(root->getBuf()));
    ASSERT_EQ(3u, root->getChildCount());
    const char* names[] = {"Object", "Other", "Object"};
    for (size_t i = 0; i < 3; ++i)
    {
        BinaryDataElement* child = root->getChild(i);
        EXPECT_EQ(names[i], child->getName());
        ASSERT_EQ(4 + i, child->getSize());
        EXPECT_EQ(0, std::memcmp(original->getChild(i)->getBuf(), child->getBuf(), 4 + i));
    }
    ASSERT_EQ(1u, root->getChild(2)->getChildCount());
    EXPECT_EQ("Leaf", root->getChild(2)->getChild(0)->getName());
    EXPECT_EQ(nullptr, root->getChild(2)->getChild(0)->getBuf());
    // Writing what was read gives the same bytes.
    EXPECT_EQ(bytes, bytesOf(root.get()));
}

TEST(BinaryDataFormat, HeaderIsMarkedAndLittleEndian)
{
    BinaryDataElement root("R");
    root.allocBuf(2);
    std::vector<unsigned char> bytes = bytesOf(&root);
    const unsigned char expected[] = {'W', 'B', 'I', 'N', 1, 0, 0, 0, 1, 0, 0, 0,
                                      1, 0, 'R', 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    ASSERT_EQ(sizeof(expected), bytes.size());
    EXPECT_EQ(0, std::memcmp(expected, bytes.data(), bytes.size()));
}

TEST(BinaryDataFormat, FileWithoutRootReadsAsNoRoot)
{
    std::vector<unsigned char> bytes = bytesOf(nullptr);
    std::unique_ptr<BinaryDataElement> root(new BinaryDataElement("stale"));
    Ogre::String error;
    ASSERT_TRUE(BinaryDataFormat::read(bytes.data(), bytes.size(), root, error));
    EXPECT_FALSE(root);
}

TEST(BinaryDataFormat, EveryTruncationOfAValidFileIsRefused)
{
    std::vector<unsigned char> bytes = bytesOf(sampleTree().get());
    for (size_t length = 0; length < bytes.size(); ++length)
    {
        std::vector<unsigned char> cut(bytes.begin(), bytes.begin() + length);
        EXPECT_FALSE(reads(cut)) << "a file cut to " << length << " bytes was accepted";
    }
}

TEST(BinaryDataFormat, ForgedHeadersAndLengthsAreRefusedWithAReason)
{
    BinaryDataElement root("Objects");
    root.allocBuf(1);
    root.createDefaultChild("Object")->allocBuf(8);
    const std::vector<unsigned char> good = bytesOf(&root);
    // Layout: header 12, root name length at 12, name 7 bytes, buffer length at 21,
    // buffer at 25, child count at 26, child name length at 30.
    ASSERT_TRUE(reads(good));

    struct Forgery
    {
        const char* what;
        size_t at;
        uint32_t value;
        bool wide;
    };
    const Forgery forgeries[] = {
        {"magic", 0, 'X', false},
        {"version", 4, 2, false},
        {"flags", 6, 1, false},
        {"two roots", 8, 2, true},
        {"buffer past the end", 21, 0x7fffffff, true},
        {"child count past the end", 26, 0xffffffff, true},
        {"name longer than the limit", 12, 0xffff, false},
    };
    for (const Forgery& f : forgeries)
    {
        std::vector<unsigned char> bad = good;
        if (f.wide)
            putU32(bad, f.at, f.value);
        else
        {
            bad[f.at] = static_cast<unsigned char>(f.value);
            bad[f.at + 1] = static_cast<unsigned char>(f.value >> 8);
        }
        Ogre::String why;
        EXPECT_FALSE(reads(bad, &why)) << f.what;
        EXPECT_FALSE(why.empty()) << f.what;
    }

    std::vector<unsigned char> trailing = good;
    trailing.push_back(0);
    Ogre::String why;
    EXPECT_FALSE(reads(trailing, &why));
    EXPECT_NE(Ogre::String::npos, why.find("after the last element"));

    std::vector<unsigned char> zeroInName = good;
    zeroInName[14] = 0;
    EXPECT_FALSE(reads(zeroInName));
}

TEST(BinaryDataFormat, NestingDeeperThanTheLimitIsRefusedBothWays)
{
    BinaryDataElement root("d");
    BinaryDataElement* deepest = &root;
    for (size_t depth = 1; depth < BinaryDataFormat::MaxDepth; ++depth)
        deepest = deepest->createDefaultChild("d");
    std::vector<unsigned char> atLimit = bytesOf(&root);
    EXPECT_TRUE(reads(atLimit));

    deepest->createDefaultChild("d");
    std::vector<unsigned char> bytes;
    Ogre::String error;
    EXPECT_FALSE(BinaryDataFormat::write(&root, bytes, error));
    EXPECT_TRUE(bytes.empty());

    // The same file forged by hand: the innermost element gets one child.
    std::vector<unsigned char> forged = atLimit;
    putU32(forged, forged.size() - 4, 1);
    const unsigned char child[] = {1, 0, 'd', 0, 0, 0, 0, 0, 0, 0, 0};
    forged.insert(forged.end(), child, child + sizeof(child));
    EXPECT_FALSE(reads(forged));
}

// An empty element is ten bytes on disk and over a hundred in memory: a
// forged file of them must not take many times its size.
TEST(BinaryDataFormat, ElementsThatWouldOutgrowTheFileInMemoryAreRefused)
{
    const uint32_t count = 100000;
    BinaryDataElement empty("");
    std::vector<unsigned char> bytes = bytesOf(&empty);
    putU32(bytes, bytes.size() - 4, count);
    bytes.resize(bytes.size() + count * 10, 0);
    Ogre::String why;
    EXPECT_FALSE(reads(bytes, &why));
    EXPECT_NE(Ogre::String::npos, why.find("times the size of the file")) << why;

    // Elements that carry records, as objects files do, are read.
    BinaryDataElement objects("Objects");
    objects.allocBuf(1);
    for (int i = 0; i < 2000; ++i)
        objects.createDefaultChild("Object")->allocBuf(276);
    EXPECT_TRUE(reads(bytesOf(&objects), &why)) << why;
}

TEST(BinaryDataElement, ChildrenAreWalkedInOrderWithAndWithoutName)
{
    BinaryDataElement root("root");
    root.createDefaultChild("A");
    root.createDefaultChild("B");
    root.createDefaultChild("A");
    root.createDefaultChild("C");

    std::vector<std::string> all;
    for (IBinaryDataElement* e = root.getFirstChildElement(); e; e = e->getNextChildElement())
        all.push_back(e->getName());
    EXPECT_EQ((std::vector<std::string>{"A", "B", "A", "C"}), all);

    int as = 0;
    for (IBinaryDataElement* e = root.getFirstChildElement("A"); e; e = e->getNextChildElement("A"))
    {
        EXPECT_EQ(&root, e->getParentElement());
        ++as;
    }
    EXPECT_EQ(2, as);
    EXPECT_EQ(nullptr, root.getFirstChildElement("D"));
    EXPECT_EQ(nullptr, root.getNextChildElement());
}

TEST(BinaryDataElement, AllocBufReplacesTheBufferWithZeros)
{
    BinaryDataElement e("e");
    EXPECT_EQ(nullptr, e.getBuf());
    std::memset(e.allocBuf(4), 0xab, 4);
    const unsigned char* buf = static_cast<const unsigned char*>(e.allocBuf(6));
    ASSERT_EQ(6u, e.getSize());
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(0, buf[i]);
    EXPECT_EQ(nullptr, e.allocBuf(0));
    EXPECT_EQ(0u, e.getSize());
}
