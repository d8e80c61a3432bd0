#include "CompleteObjectDataInfo.h"

#include <gtest/gtest.h>

#include <cstring>

using Wren::CompleteObjectDataInfo;

namespace
{
    float floatAt(const unsigned char* bytes, size_t offset)
    {
        uint32_t bits = 0;
        for (int i = 0; i < 4; ++i)
            bits |= uint32_t(bytes[offset + i]) << (8 * i);
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
}

TEST(ObjectRecord, FieldsSitAtTheirFixedOffsetsLittleEndianWithQuaternionXyzw)
{
    CompleteObjectDataInfo record;
    ASSERT_TRUE(record.setType("MeshGameObject"));
    ASSERT_TRUE(record.setName("tree_1_2024_1_2_3_4_5"));
    record.setPosition(Ogre::Vector3(1.5f, -2.0f, 3.25f));
    record.setOrientation(Ogre::Quaternion(0.5f, 0.1f, 0.2f, 0.3f));
    record.setScale(Ogre::Vector3(2.0f, 3.0f, 4.0f));
    ASSERT_TRUE(record.setMetaId("tree.meta"));
    ASSERT_TRUE(record.setPartitionId("0_1"));
    record.isStatic = 1;

    unsigned char bytes[CompleteObjectDataInfo::Size];
    std::memset(bytes, 0xcc, sizeof(bytes));
    record.toBytes(bytes);

    EXPECT_STREQ("MeshGameObject", reinterpret_cast<const char*>(bytes));
    EXPECT_STREQ("tree_1_2024_1_2_3_4_5", reinterpret_cast<const char*>(bytes + 32));
    const float expected[] = {1.5f, -2.0f, 3.25f, 0.1f, 0.2f, 0.3f, 0.5f, 2.0f, 3.0f, 4.0f};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(expected[i], floatAt(bytes, 160 + 4 * i)) << "float " << i;
    EXPECT_STREQ("tree.meta", reinterpret_cast<const char*>(bytes + 200));
    EXPECT_STREQ("0_1", reinterpret_cast<const char*>(bytes + 264));
    EXPECT_EQ(1, bytes[272]);
    EXPECT_EQ(0, bytes[273]);
    EXPECT_EQ(0, bytes[274]);
    EXPECT_EQ(0, bytes[275]);
    // Every unused byte of the text fields is zero.
    for (size_t i = std::strlen("MeshGameObject"); i < 32; ++i)
        EXPECT_EQ(0, bytes[i]);
    for (size_t i = 200 + std::strlen("tree.meta"); i < 264; ++i)
        EXPECT_EQ(0, bytes[i]);

    CompleteObjectDataInfo back;
    ASSERT_TRUE(back.fromBytes(bytes, sizeof(bytes)));
    EXPECT_EQ(record.getOrientation(), back.getOrientation());
    EXPECT_EQ("tree.meta", back.getMetaId());
}

TEST(ObjectRecord, TextFillsItsFieldLessOneAndLongerTextIsRefusedUntouched)
{
    CompleteObjectDataInfo record;
    EXPECT_TRUE(record.setType(std::string(31, 't')));
    EXPECT_TRUE(record.setName(std::string(127, 'n')));
    EXPECT_TRUE(record.setMetaId(std::string(63, 'm')));
    EXPECT_TRUE(record.setPartitionId(std::string(7, 'p')));
    EXPECT_EQ(std::string(31, 't'), record.getType());
    EXPECT_EQ(std::string(127, 'n'), record.getName());

    EXPECT_FALSE(record.setType(std::string(32, 'x')));
    EXPECT_FALSE(record.setName(std::string(128, 'x')));
    EXPECT_FALSE(record.setMetaId(std::string(64, 'x')));
    EXPECT_FALSE(record.setPartitionId(std::string(8, 'x')));
    EXPECT_FALSE(record.setName(std::string("a\0b", 3)));
    EXPECT_EQ(std::string(31, 't'), record.getType());
    EXPECT_EQ(std::string(127, 'n'), record.getName());
    EXPECT_EQ(std::string(63, 'm'), record.getMetaId());
    EXPECT_EQ(std::string(7, 'p'), record.getPartitionId());

    // A shorter text clears what a longer one left behind.
    EXPECT_TRUE(record.setType("A"));
    unsigned char bytes[CompleteObjectDataInfo::Size];
    record.toBytes(bytes);
    for (int i = 1; i < 32; ++i)
        EXPECT_EQ(0, bytes[i]);
}

TEST(ObjectRecord, DamagedRecordWithoutTerminatorsReadsOnlyItsOwnFields)
{
    unsigned char bytes[CompleteObjectDataInfo::Size];
    std::memset(bytes, 'z', sizeof(bytes));
    CompleteObjectDataInfo record;
    ASSERT_TRUE(record.fromBytes(bytes, sizeof(bytes)));
    EXPECT_EQ(std::string(32, 'z'), record.getType());
    EXPECT_EQ(std::string(128, 'z'), record.getName());
    EXPECT_EQ(std::string(64, 'z'), record.getMetaId());
    EXPECT_EQ(std::string(8, 'z'), record.getPartitionId());
    EXPECT_FALSE(record.hasTerminatedTexts());
    EXPECT_TRUE(CompleteObjectDataInfo().hasTerminatedTexts());
}

TEST(ObjectRecord, BuffersOfAnyOtherSizeAreRefused)
{
    unsigned char bytes[CompleteObjectDataInfo::Size + 1] = {};
    CompleteObjectDataInfo record;
    record.setName("kept");
    EXPECT_FALSE(record.fromBytes(bytes, 275));
    EXPECT_FALSE(record.fromBytes(bytes, 277));
    EXPECT_FALSE(record.fromBytes(nullptr, 276));
    EXPECT_EQ("kept", record.getName());

    CompleteObjectDataInfo copy = record;
    EXPECT_EQ(0, std::memcmp(&copy, &record, CompleteObjectDataInfo::Size));
}
