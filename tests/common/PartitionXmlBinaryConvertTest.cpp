#include "BinaryFileResource.h"
#include "CompleteObjectDataInfo.h"
#include "DataElement.h"
#include "PartitionXmlBinaryConvert.h"
#include "SelectorDataFile.h"
#include "TestEngine.h"
#include "XMLDataElement.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cstring>
#include <memory>
#include <vector>

using Ogre::BinaryDataElement;
using Ogre::BinaryFileResource;
using Wren::CompleteObjectDataInfo;
using Wren::DataElementPtr;
using Wren::DataFile;
using Wren::PartitionXmlBinaryConvert;
using Wren::SelectorDataFile;

namespace
{
    std::unique_ptr<DataFile> parse(const std::string& xml)
    {
        Wren::Test::TestEngine::instance();
        std::unique_ptr<DataFile> file(new SelectorDataFile());
        EXPECT_TRUE(file->load(xml.c_str()));
        return file;
    }

    std::unique_ptr<BinaryFileResource> toBinary(const std::string& xml, bool allowLoss = false)
    {
        std::unique_ptr<DataFile> file = parse(xml);
        return std::unique_ptr<BinaryFileResource>(
            PartitionXmlBinaryConvert::ConvetToBinary(file.get(), nullptr, allowLoss));
    }

    std::vector<CompleteObjectDataInfo> records(BinaryFileResource& file)
    {
        std::vector<CompleteObjectDataInfo> out;
        for (Ogre::IBinaryDataElement* e = file.getRootElement()->getFirstChildElement(); e;
             e = e->getNextChildElement())
        {
            CompleteObjectDataInfo r;
            EXPECT_TRUE(r.fromBytes(e->getBuf(), e->getSize()));
            out.push_back(r);
        }
        return out;
    }

    const char* const gPartition = R"(<Objects>
  <CorePartitionData ShowBounds="true"/>
  <Object Type="MeshGameObject" Name="rock_1">
    <CoreData PosX="1.5" PosY="2" PosZ="-3" OrientX="0" OrientY="0.707107" OrientZ="0"
              OrientW="0.707107" ScaleX="1" ScaleY="2" ScaleZ="3" MetaID="rock.meta" PartitionID="0_0">
      <DynamicProperties><Property Name="Lost"/></DynamicProperties>
    </CoreData>
    <Children><Object Type="DummyGameObject" Name="child"/></Children>
    <MeshData IsStatic="true" CastShadows="false"/>
  </Object>
  <Object Type="LightGameObject" Name="lamp_2">
    <CoreData PosX="0.1" MetaID="lamp.meta" PartitionID="0_0"/>
    <MeshData IsStatic="true" CastShadows="true"/>
  </Object>
  <NotAnObject Type="MeshGameObject" Name="skipped"/>
  <Object Type="DummyGameObject" Name="bare"/>
</Objects>)";
}

TEST(XmlToBinary, PartitionWithoutObjectsGivesOneByteRootAndNoChildren)
{
    auto binary = toBinary("<Objects><CorePartitionData/></Objects>");
    ASSERT_TRUE(binary);
    BinaryDataElement* root = binary->getRootElement();
    ASSERT_TRUE(root);
    EXPECT_EQ("Objects", root->getName());
    ASSERT_EQ(1u, root->getSize());
    EXPECT_EQ(0, *static_cast<unsigned char*>(root->getBuf()));
    EXPECT_EQ(0u, root->getChildCount());
}

TEST(XmlToBinary, RecordsFollowTheObjectsInOrderWithMeshFlagsOnlyForMeshes)
{
    auto binary = toBinary(gPartition, true);
    ASSERT_TRUE(binary);
    EXPECT_EQ(1, *static_cast<unsigned char*>(binary->getRootElement()->getBuf()));
    std::vector<CompleteObjectDataInfo> r = records(*binary);
    ASSERT_EQ(3u, r.size());

    EXPECT_EQ("MeshGameObject", r[0].getType());
    EXPECT_EQ("rock_1", r[0].getName());
    EXPECT_EQ(Ogre::Vector3(1.5f, 2.0f, -3.0f), r[0].getPosition());
    EXPECT_FLOAT_EQ(0.707107f, r[0].orientY);
    EXPECT_FLOAT_EQ(0.707107f, r[0].orientW);
    EXPECT_EQ(Ogre::Vector3(1, 2, 3), r[0].getScale());
    EXPECT_EQ("rock.meta", r[0].getMetaId());
    EXPECT_EQ("0_0", r[0].getPartitionId());
    EXPECT_EQ(1, r[0].isStatic);
    EXPECT_EQ(0, r[0].castShadows);

    // Not a mesh: its MeshData is ignored; missing floats read 0.
    EXPECT_EQ("lamp_2", r[1].getName());
    EXPECT_EQ(0, r[1].isStatic);
    EXPECT_EQ(0, r[1].castShadows);
    EXPECT_FLOAT_EQ(0.1f, r[1].posX);
    EXPECT_EQ(0.0f, r[1].scaleX);
}

TEST(XmlToBinary, ObjectWithoutCoreDataGivesAllZeroFloatsAndIds)
{
    auto binary = toBinary(gPartition, true);
    ASSERT_TRUE(binary);
    const CompleteObjectDataInfo bare = records(*binary)[2];
    CompleteObjectDataInfo expected;
    expected.setType("DummyGameObject");
    expected.setName("bare");
    EXPECT_EQ(0, std::memcmp(&expected, &bare, CompleteObjectDataInfo::Size));
}

TEST(XmlToBinary, DocumentsThatAreNotPartitionsAreRefused)
{
    EXPECT_EQ(nullptr, PartitionXmlBinaryConvert::ConvetToBinary(nullptr));
    EXPECT_FALSE(toBinary("<Objects><Object Type=\"MeshGameObject\" Name=\"a\"/></Objects>"));
    SelectorDataFile empty;
    std::string why;
    EXPECT_EQ(nullptr, PartitionXmlBinaryConvert::ConvetToBinary(&empty, &why));
    EXPECT_FALSE(why.empty());
}

TEST(XmlToBinary, TextTooLongForItsFieldRefusesTheWholeConversionNamingTheObject)
{
    const std::string fits = "<Objects><CorePartitionData/><Object Type=\"" + std::string(31, 'T') +
                             "\" Name=\"" + std::string(127, 'N') + "\"/></Objects>";
    auto ok = toBinary(fits);
    ASSERT_TRUE(ok);
    EXPECT_EQ(std::string(127, 'N'), records(*ok)[0].getName());

    const char* const tooLong[] = {
        "<Object Type=\"MeshGameObject\" Name=\"long_meta\"><CoreData MetaID=\"%s\"/></Object>",
        "<Object Type=\"%s\" Name=\"long_type\"/>"};
    const std::string fills[] = {std::string(64, 'm'), std::string(32, 't')};
    for (int i = 0; i < 2; ++i)
    {
        char object[512];
        std::snprintf(object, sizeof(object), tooLong[i], fills[i].c_str());
        auto file = parse(std::string("<Objects><CorePartitionData/>") + object + "</Objects>");
        Wren::Test::LogCapture log;
        std::string why;
        EXPECT_EQ(nullptr, PartitionXmlBinaryConvert::ConvetToBinary(file.get(), &why));
        EXPECT_NE(std::string::npos, why.find(i == 0 ? "long_meta" : "long_type")) << why;
        EXPECT_TRUE(log.contains("PartitionXmlBinaryConvert"));
    }
}

TEST(XmlToBinary, WhatTheRecordCanNotKeepIsRefusedByNameUnlessLossIsAllowedThenListed)
{
    const std::string tooLongName(128, 'n');
    auto file = parse(std::string(gPartition).insert(
        std::strlen(gPartition) - std::strlen("</Objects>"),
        "<Object Type=\"MeshGameObject\" Name=\"" + tooLongName + "\"/>"));
    Wren::Test::LogCapture log;
    std::string why;
    std::vector<std::string> losses;
    EXPECT_EQ(nullptr, PartitionXmlBinaryConvert::ConvetToBinary(file.get(), &why, false, &losses));
    const std::vector<std::string> expected = {
        "object \"rock_1\": 1 child, 1 dynamic property",
        "object \"lamp_2\": type data \"MeshData\"",
        "object \"" + tooLongName + "\": name longer than 127 bytes (the object is left out)"};
    EXPECT_EQ(expected, losses);
    for (const std::string& line : expected)
        EXPECT_NE(std::string::npos, why.find(line)) << why;
    EXPECT_TRUE(log.contains("can not convert without loss"));

    std::unique_ptr<BinaryFileResource> binary(
        PartitionXmlBinaryConvert::ConvetToBinary(file.get(), &why, true, &losses));
    ASSERT_TRUE(binary);
    EXPECT_EQ(expected, losses);
    std::vector<std::string> names;
    for (const CompleteObjectDataInfo& r : records(*binary))
        names.push_back(r.getName());
    EXPECT_EQ((std::vector<std::string>{"rock_1", "lamp_2", "bare"}), names);

    // What was converted back from binary holds nothing the record drops.
    std::unique_ptr<DataFile> xml(PartitionXmlBinaryConvert::ConvertToXml(binary.get()));
    binary.reset(PartitionXmlBinaryConvert::ConvetToBinary(xml.get(), &why, false, &losses));
    EXPECT_TRUE(binary) << why;
    EXPECT_TRUE(losses.empty());
}

TEST(BinaryToXml, ObjectsBecomeCoreDataChildrenAndMeshDataInThatOrder)
{
    auto binary = toBinary(gPartition, true);
    std::unique_ptr<DataFile> xml(PartitionXmlBinaryConvert::ConvertToXml(binary.get()));
    ASSERT_TRUE(xml);
    DataElementPtr root = xml->getRootElement();
    EXPECT_EQ("Objects", static_cast<Wren::XMLDataElement*>(root.get())->getName());
    EXPECT_TRUE(root->getFirstChild("CorePartitionData")->getAttributeBool("ShowBounds", false));

    DataElementPtr rock = root->getFirstChild("Object");
    EXPECT_EQ("rock_1", rock->getAttributeString("Name", ""));
    std::vector<std::string> order;
    for (DataElementPtr c = rock->getFirstChild(); !c->getIsEmpty(); c = c->getNextSibling())
        order.push_back(static_cast<Wren::XMLDataElement*>(c.get())->getName());
    EXPECT_EQ((std::vector<std::string>{"CoreData", "Children", "MeshData"}), order);
    DataElementPtr core = rock->getFirstChild("CoreData");
    EXPECT_FALSE(core->getFirstChild("DynamicProperties")->getIsEmpty());
    EXPECT_TRUE(core->getFirstChild("DynamicProperties")->getFirstChild()->getIsEmpty());
    EXPECT_TRUE(rock->getFirstChild("Children")->getFirstChild()->getIsEmpty());
    EXPECT_EQ("rock.meta", core->getAttributeString("MetaID", ""));
    EXPECT_FLOAT_EQ(-3.0f, core->getAttributeFloat("PosZ", 1.0f));
    EXPECT_TRUE(rock->getFirstChild("MeshData")->getAttributeBool("IsStatic", false));
    EXPECT_FALSE(rock->getFirstChild("MeshData")->getAttributeBool("CastShadows", true));

    const TiXmlElement* coreXml = static_cast<Wren::XMLDataElement*>(core.get())->getXmlElement();
    std::vector<std::string> attributes;
    for (const TiXmlAttribute* a = coreXml->FirstAttribute(); a; a = a->Next())
        attributes.push_back(a->Name());
    EXPECT_EQ((std::vector<std::string>{"PosX", "PosY", "PosZ", "OrientX", "OrientY", "OrientZ",
                                        "OrientW", "ScaleX", "ScaleY", "ScaleZ", "MetaID",
                                        "PartitionID"}),
              attributes);

    DataElementPtr lamp = rock->getNextSibling("Object");
    EXPECT_TRUE(lamp->getFirstChild("MeshData")->getIsEmpty());
}

TEST(BinaryToXml, ConvertingBackGivesTheSameRecordsUpToSixDigitFloats)
{
    BinaryFileResource original;
    BinaryDataElement* root = original.createRootElement("Objects");
    root->allocBuf(1);
    CompleteObjectDataInfo r;
    r.setType("MeshGameObject");
    r.setName("pi");
    r.setPosition(Ogre::Vector3(3.14159265f, 1.0f / 3.0f, -1234.5678f));
    r.setOrientation(Ogre::Quaternion(1, 0, 0, 0));
    r.setScale(Ogre::Vector3(1, 1, 1));
    r.setMetaId("pi.meta");
    r.castShadows = 1;
    r.toBytes(root->createDefaultChild("Object")->allocBuf(CompleteObjectDataInfo::Size));

    std::unique_ptr<DataFile> xml(PartitionXmlBinaryConvert::ConvertToXml(&original));
    ASSERT_TRUE(xml);
    std::unique_ptr<BinaryFileResource> back(PartitionXmlBinaryConvert::ConvetToBinary(xml.get()));
    ASSERT_TRUE(back);
    EXPECT_EQ(0, *static_cast<unsigned char*>(back->getRootElement()->getBuf()));
    std::vector<CompleteObjectDataInfo> again = records(*back);
    ASSERT_EQ(1u, again.size());
    EXPECT_NEAR(3.14159f, again[0].posX, 1e-5);
    EXPECT_NEAR(0.333333f, again[0].posY, 1e-6);
    EXPECT_NEAR(-1234.57f, again[0].posZ, 1e-2);
    // Everything but the three rounded floats is byte for byte the same.
    again[0].setPosition(r.getPosition());
    EXPECT_EQ(0, std::memcmp(&r, &again[0], CompleteObjectDataInfo::Size));
}

TEST(BinaryToXml, ChildOfAnyOtherSizeThan276BytesRefusesTheFile)
{
    Wren::Test::TestEngine::instance();
    BinaryFileResource file;
    BinaryDataElement* root = file.createRootElement("Objects");
    root->createDefaultChild("Object")->allocBuf(CompleteObjectDataInfo::Size);
    root->createDefaultChild("Object")->allocBuf(275);
    std::string why;
    EXPECT_EQ(nullptr, PartitionXmlBinaryConvert::ConvertToXml(&file, &why));
    EXPECT_NE(std::string::npos, why.find("record 1"));

    EXPECT_EQ(nullptr, PartitionXmlBinaryConvert::ConvertToXml(nullptr));
    BinaryFileResource noRoot;
    EXPECT_EQ(nullptr, PartitionXmlBinaryConvert::ConvertToXml(&noRoot));
}

TEST(BinaryToXml, RootWithoutBufferReadsShowBoundsFalse)
{
    Wren::Test::TestEngine::instance();
    BinaryFileResource file;
    file.createRootElement("Whatever");
    std::unique_ptr<DataFile> xml(PartitionXmlBinaryConvert::ConvertToXml(&file));
    ASSERT_TRUE(xml);
    EXPECT_FALSE(xml->getRootElement()->getFirstChild("CorePartitionData")->getAttributeBool(
        "ShowBounds", true));
}

TEST(BinaryToXml, DamagedRecordWithoutTerminatorRefusesTheFile)
{
    Wren::Test::TestEngine::instance();
    BinaryFileResource file;
    BinaryDataElement* root = file.createRootElement("Objects");
    CompleteObjectDataInfo r;
    r.setName("ok");
    std::memset(r.partitionId, '7', CompleteObjectDataInfo::PartitionIdSize);
    r.toBytes(root->createDefaultChild("Object")->allocBuf(CompleteObjectDataInfo::Size));
    std::string why;
    EXPECT_EQ(nullptr, PartitionXmlBinaryConvert::ConvertToXml(&file, &why));
    EXPECT_NE(std::string::npos, why.find("damaged"));
}
