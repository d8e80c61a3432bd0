#include "MeshTestWorld.h"

#include <gtest/gtest.h>

using namespace Wren;
using namespace Wren::Test;

TEST(MeshMetadataLoad, SubMeshRuleFillsAndSkips)
{
    MeshMetadata meta = loadMeta(meshMeta(
        "<SubMeshData Mesh=\"a.mesh\"/>"
        "<SubMeshData HighLODMesh=\"b.mesh\"/>"              // Small: accepted without low
        "<SubMeshData LowLODMesh=\"c.mesh\"/>"               // no high: skipped
        "<SubMeshData HighLODMesh=\"d.mesh\" LowLODMesh=\"e.mesh\" LogicObsMesh=\"o.mesh\">"
        "<Material Managed=\"false\" SubIndex=\"1\" MatName=\"m\"/></SubMeshData>",
        "Fade=\"false\" IsStatic=\"true\""));
    ASSERT_EQ(3u, meta.getSubMeshCount());
    EXPECT_EQ("a.mesh", meta.getSubMeshes()[0].highLODMesh);
    EXPECT_EQ("a.mesh", meta.getSubMeshes()[0].lowLODMesh);
    EXPECT_EQ("", meta.getSubMeshes()[1].lowLODMesh);
    ASSERT_EQ(1u, meta.getSubMeshes()[2].materials.size());
    EXPECT_FALSE(meta.getSubMeshes()[2].materials[0].managed);
    EXPECT_EQ(1, meta.getSubMeshes()[2].materials[0].subIndex);
    EXPECT_TRUE(meta.getIsExistLogicObj());
    EXPECT_FALSE(meta.getFade());
    EXPECT_TRUE(meta.getIsStatic());
}

TEST(MeshMetadataLoad, MediumHintSkipsSubMeshWithoutLow)
{
    std::string text = meshMeta("<SubMeshData HighLODMesh=\"b.mesh\"/>");
    text.replace(text.find("Small"), 5, "Medium");
    EXPECT_EQ(0u, loadMeta(text).getSubMeshCount());
}

TEST(MeshMetadataLoad, WithoutMeshDataFails)
{
    Wren::Test::TestEngine::instance();
    XMLDataFile file;
    file.load("<MetaData ObjectType=\"MeshGameObject\"/>");
    DataElementPtr root = file.getRootElement();
    MeshMetadata meta("m.meta", nullptr);
    EXPECT_FALSE(meta.load(root));
}

TEST(MeshMetadataLoad, SaveAndLoadKeepEffectsAndStrikes)
{
    MeshMetadata meta = loadMeta(
        "<MetaData ObjectType=\"MeshGameObject\"><MeshData FadeBetweenLODs=\"true\">"
        "<SubMeshData Mesh=\"a.mesh\"><MaterialData MatName=\"old\"/></SubMeshData>"
        "<DefaultEffectData><EffectData EffectName=\"fire\" BoneName=\"top\" OffsetPos=\"1 2 3\"/>"
        "</DefaultEffectData></MeshData>"
        "<StrikeData><StrikeItem StrikeName=\"top\" OffsetPos=\"0 5 0\"/></StrikeData></MetaData>");
    EXPECT_EQ("old", meta.getSubMeshes()[0].legacyMaterialName);
    XMLDataFile out;
    DataElementPtr root = out.createRootElement("MetaData");
    ASSERT_TRUE(meta.save(root));
    MeshMetadata again("m.meta", nullptr);
    ASSERT_TRUE(again.load(root));
    ASSERT_EQ(1u, again.getEffects().size());
    EXPECT_EQ("top", again.getEffects()[0].boneName);
    EXPECT_EQ(Ogre::Vector3(1, 2, 3), again.getEffects()[0].offsetPosition);
    ASSERT_EQ(1u, again.getStrikeItems().size());
    EXPECT_EQ(Ogre::Vector3(0, 5, 0), again.getStrikeItems()[0].offsetPosition);
    EXPECT_TRUE(again.getFadeBetweenLODs());
    EXPECT_TRUE(root->getFirstChild("MeshData")->getFirstChild("SubMeshData")
                    ->getFirstChild("MaterialData")->getIsEmpty());
}

TEST(MeshMetadataLoad, ObjectWideObstacleMeshNamesTheCollisionShape)
{
    MeshMetadata perSubMesh =
        loadMeta(meshMeta("<SubMeshData Mesh=\"a.mesh\" LogicObsMesh=\"o.mesh\"/>"));
    EXPECT_EQ("", perSubMesh.getCollisionShapeName());

    Wren::Test::TestEngine::instance();
    MeshMetadata meta("m.meta", nullptr);
    meta.setCollisionShapeName("byCode.mesh");
    auto load = [&meta](const std::string& text) {
        XMLDataFile file;
        file.load(text.c_str());
        DataElementPtr root = file.getRootElement();
        return meta.load(root);
    };
    // A template without obstacle mesh keeps a name given by code.
    ASSERT_TRUE(load(meshMeta("<SubMeshData Mesh=\"a.mesh\"/>")));
    EXPECT_EQ("byCode.mesh", meta.getCollisionShapeName());
    ASSERT_TRUE(load(meshMeta("<SubMeshData Mesh=\"a.mesh\"/>", "LogicObsMesh=\"o.mesh\"")));
    EXPECT_EQ("o.mesh", meta.getCollisionShapeName());
    // Reloaded without it, the name taken from the file goes with it.
    ASSERT_TRUE(load(meshMeta("<SubMeshData Mesh=\"a.mesh\"/>", "LogicObsMesh=\"\"")));
    EXPECT_EQ("", meta.getCollisionShapeName());
}

TEST(MeshMetadataLoad, TemplateReadAgainWithoutEffectsKeepsNoneOfTheOldOnes)
{
    TestEngine::instance();
    MeshMetadata meta("m.meta", nullptr);
    auto load = [&meta](const std::string& text) {
        XMLDataFile file;
        file.load(text.c_str());
        DataElementPtr root = file.getRootElement();
        return meta.load(root);
    };
    ASSERT_TRUE(load("<MetaData ObjectType=\"MeshGameObject\"><MeshData>"
                     "<SubMeshData Mesh=\"a.mesh\"/><DefaultEffectData>"
                     "<EffectData EffectName=\"fire\" BoneName=\"top\"/></DefaultEffectData>"
                     "</MeshData><StrikeData><StrikeItem StrikeName=\"top\"/></StrikeData></MetaData>"));
    ASSERT_EQ(1u, meta.getEffects().size());
    ASSERT_EQ(1u, meta.getStrikeItems().size());
    ASSERT_TRUE(load(meshMeta("<SubMeshData Mesh=\"a.mesh\"/>")));
    EXPECT_TRUE(meta.getEffects().empty());
    EXPECT_TRUE(meta.getStrikeItems().empty());
}
