#include "TestEngine.h"

#include "FxShaderInstancingManager.h"
#include "MaterialBatchTemplates.h"
#include "MeshBoundingBoxObject.h"
#include "OgreUserDefinedObject.h"

#include <OgreEntity.h>
#include <OgreManualObject.h>
#include <OgreMaterialManager.h>
#include <OgreMeshManager.h>
#include <OgrePass.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSceneQuery.h>
#include <OgreTechnique.h>

#include <gtest/gtest.h>

using Ogre::FxShaderInstancing;
using Ogre::FxShaderInstancingManager;
using Ogre::MaterialBatchTemplates;
using Ogre::Vector3;

namespace
{
    /** An entity of a unit box's two corners, made once. */
    Ogre::Entity* makeEntity(Ogre::SceneManager* scene, const std::string& name)
    {
        if (!Ogre::MeshManager::getSingleton().resourceExists("instancingCorners.mesh", "General"))
        {
            Ogre::ManualObject* manual = scene->createManualObject();
            manual->begin("BaseWhite");
            manual->position(-0.5f, -0.5f, -0.5f);
            manual->position(0.5f, 0.5f, 0.5f);
            manual->position(0.5f, -0.5f, 0.5f);
            manual->end();
            manual->convertToMesh("instancingCorners.mesh", "General");
            scene->destroyManualObject(manual);
        }
        return scene->createEntity(name, "instancingCorners.mesh", "General");
    }
}

TEST(ShaderInstancing, WithoutARenderSystemBatchesAreRecordedButNotDrawn)
{
    Ogre::SceneManager* scene = Wren::Test::TestEngine::instance().getSceneManager();
    FxShaderInstancingManager& instancing = FxShaderInstancingManager::get(scene);
    EXPECT_EQ(&instancing, &FxShaderInstancingManager::get(scene));
    EXPECT_EQ(instancing.getTechnique(), FxShaderInstancingManager::TECHNIQUE_NONE);

    FxShaderInstancing* batch = instancing.CreateShaderInstancing("rocks");
    ASSERT_NE(batch, nullptr);
    EXPECT_EQ(instancing.CreateShaderInstancing("rocks"), nullptr);
    EXPECT_EQ(instancing.getShaderInstancing("rocks"), batch);
    EXPECT_FALSE(batch->getVisible());

    Ogre::Entity* source = makeEntity(scene, "instancingSource");
    const std::vector<Vector3> positions{{0, 0, 0}, {10, 0, 0}, {0, 0, 20}};
    const std::vector<Ogre::Quaternion> orientations(3, Ogre::Quaternion::IDENTITY);
    const std::vector<Vector3> scales{{1, 1, 1}, {2, 2, 2}, {1, 1, 1}};
    EXPECT_FALSE(instancing.FillShaderInstancing(batch, source, positions, orientations,
                                                 std::vector<Vector3>(2, Vector3::UNIT_SCALE)));
    EXPECT_FALSE(batch->isFilled());
    ASSERT_TRUE(instancing.FillShaderInstancing(batch, source, positions, orientations, scales));
    EXPECT_TRUE(batch->isFilled());
    EXPECT_FALSE(batch->isDrawn());
    EXPECT_EQ(batch->getDrawBatchCount(), 0u);
    EXPECT_EQ(batch->getMeshName(), "instancingCorners.mesh");
    ASSERT_EQ(batch->getInstances().size(), 3u);
    EXPECT_EQ(batch->getInstances()[1].scale, Vector3(2, 2, 2));
    // The mesh's bounds (padded a little by the engine) at every instance.
    const Ogre::AxisAlignedBox& box = batch->getWorldBoundingBox();
    EXPECT_NEAR(box.getMinimum().y, -1.0f, 0.05f);
    EXPECT_NEAR(box.getMaximum().x, 11.0f, 0.05f);
    EXPECT_NEAR(box.getMaximum().z, 20.5f, 0.05f);
    EXPECT_EQ(instancing.getBatchCount(), 1u);
    EXPECT_EQ(instancing.getInstanceCount(), 3u);

    EXPECT_TRUE(batch->translateInstance(2, Vector3(0, -1000, 0)));
    EXPECT_EQ(batch->getInstances()[2].position, Vector3(0, -1000, 20));
    EXPECT_NEAR(batch->getWorldBoundingBox().getMinimum().y, -1000.5f, 0.05f);
    EXPECT_FALSE(batch->translateInstance(3, Vector3::UNIT_Y));

    instancing.DestroyShaderInstancing("rocks");
    EXPECT_EQ(instancing.getShaderInstancing("rocks"), nullptr);
    EXPECT_EQ(instancing.getInstanceCount(), 0u);
    scene->destroyEntity(source);
}

TEST(ShaderInstancing, FacilityGoesWithItsSceneManager)
{
    Wren::Test::TestEngine::instance();
    Ogre::Root& root = Ogre::Root::getSingleton();
    Ogre::SceneManager* scene = root.createSceneManager();
    FxShaderInstancingManager& instancing = FxShaderInstancingManager::get(scene);
    Ogre::Entity* source = makeEntity(scene, "instancingGoing");
    FxShaderInstancing* batch = instancing.CreateShaderInstancing("going");
    ASSERT_TRUE(instancing.FillShaderInstancing(batch, source, {Vector3::ZERO},
                                                {Ogre::Quaternion::IDENTITY}, {Vector3::UNIT_SCALE}));
    root.destroySceneManager(scene);

    // A scene made afterwards starts with a facility of its own.
    Ogre::SceneManager* next = root.createSceneManager();
    EXPECT_EQ(FxShaderInstancingManager::get(next).getBatchCount(), 0u);
    root.destroySceneManager(next);
}

TEST(MaterialBatchTemplates, BatchMaterialTakesTheTexturesAndStatesOfItsSource)
{
    FxShaderInstancingManager::get(Wren::Test::TestEngine::instance().getSceneManager());
    Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
    for (size_t units = 1; units <= 4; ++units)
    {
        const std::string name = MaterialBatchTemplates::defaultTemplateName(units);
        EXPECT_EQ(name, "DefaultTemplate" + std::to_string(units));
        for (const std::string& form : {name, name + MaterialBatchTemplates::BATCH_SUFFIX})
        {
            Ogre::MaterialPtr material = materials.getByName(form, "General");
            ASSERT_TRUE(material) << form;
            EXPECT_EQ(material->getTechnique(0)->getPass(0)->getNumTextureUnitStates(), units);
        }
    }
    EXPECT_EQ(MaterialBatchTemplates::defaultTemplateName(0), "");
    EXPECT_EQ(MaterialBatchTemplates::defaultTemplateName(5), "");

    Ogre::MaterialPtr bark = materials.create("Bark", "General");
    Ogre::Pass* pass = bark->getTechnique(0)->getPass(0);
    pass->createTextureUnitState("bark.png");
    pass->setDiffuse(Ogre::ColourValue::Red);
    pass->setAlphaRejectSettings(Ogre::CMPF_GREATER_EQUAL, 128);
    pass->setCullingMode(Ogre::CULL_NONE);
    EXPECT_EQ(MaterialBatchTemplates::getTemplateName(*bark), "");
    MaterialBatchTemplates::setTemplateName(*bark, "DefaultTemplate1");
    EXPECT_EQ(MaterialBatchTemplates::getTemplateName(*bark), "DefaultTemplate1");

    Ogre::MaterialPtr batch = MaterialBatchTemplates::getBatchMaterial(bark, "DefaultTemplate1_b");
    ASSERT_TRUE(batch);
    EXPECT_EQ(batch->getName(), "BarkDefaultTemplate1_b");
    EXPECT_EQ(MaterialBatchTemplates::getBatchTemplateName(*batch), "DefaultTemplate1_b");
    Ogre::Pass* batchPass = batch->getTechnique(0)->getPass(0);
    EXPECT_EQ(batchPass->getTextureUnitState(0)->getTextureName(), "bark.png");
    EXPECT_EQ(batchPass->getDiffuse(), Ogre::ColourValue::Red);
    EXPECT_EQ(batchPass->getAlphaRejectFunction(), Ogre::CMPF_GREATER_EQUAL);
    EXPECT_EQ(batchPass->getAlphaRejectValue(), 128);
    EXPECT_EQ(batchPass->getCullingMode(), Ogre::CULL_NONE);
    EXPECT_EQ(MaterialBatchTemplates::getBatchMaterial(bark, "DefaultTemplate1_b"), batch);
    EXPECT_FALSE(MaterialBatchTemplates::getBatchMaterial(bark, "NoSuchTemplate_b"));
    // Nothing to draw with: a material stays as it is.
    EXPECT_EQ(MaterialBatchTemplates::instancedMaterial(bark, FxShaderInstancingManager::TECHNIQUE_NONE, 1),
              bark);
    materials.remove(batch);
    materials.remove(bark);
}

TEST(MeshBoundingBoxObject, RayQueryFindsItAsAnEntityAtItsOwnPlacementAndLeadsToItsOwner)
{
    Ogre::SceneManager* scene = Wren::Test::TestEngine::instance().getSceneManager();
    FxShaderInstancingManager::get(scene);
    auto* box = static_cast<Ogre::MeshBoundingBoxObject*>(
        scene->createMovableObject("instanceBox", Ogre::MeshBoundingBoxObject::FACTORY_TYPE_NAME));
    box->SetBoundingBoxSelf(Ogre::AxisAlignedBox(-1, -1, -1, 1, 1, 1));
    Ogre::Matrix4 world;
    world.makeTransform(Vector3(10, 0, 0), Vector3(2, 2, 2), Ogre::Quaternion::IDENTITY);
    box->SetWorldMatrix(world);
    EXPECT_EQ(box->getWorldBoundingBox(), Ogre::AxisAlignedBox(8, -2, -2, 12, 2, 2));
    Ogre::UserDefinedObject owner;
    Ogre::UserDefinedObject::bind(box, &owner);

    Ogre::RaySceneQuery* query =
        scene->createRayQuery(Ogre::Ray(), Ogre::SceneManager::ENTITY_TYPE_MASK);
    query->setQueryTypeMask(Ogre::SceneManager::ENTITY_TYPE_MASK);
    auto hits = [&](const Vector3& from) {
        query->setRay(Ogre::Ray(from, Vector3::NEGATIVE_UNIT_Y));
        std::vector<Ogre::MovableObject*> found;
        for (const Ogre::RaySceneQueryResultEntry& entry : query->execute())
            found.push_back(entry.movable);
        return found;
    };
    // Not in the scene graph yet: queries do not see it.
    EXPECT_TRUE(hits(Vector3(11, 10, 0)).empty());
    // The node it hangs under does not move it.
    Ogre::SceneNode* node = scene->getRootSceneNode()->createChildSceneNode(Vector3(-50, 0, 0));
    node->attachObject(box);
    ASSERT_EQ(hits(Vector3(11, 10, 0)), std::vector<Ogre::MovableObject*>{box});
    EXPECT_EQ(Ogre::UserDefinedObject::getBound(box), &owner);
    EXPECT_TRUE(hits(Vector3(-50, 10, 0)).empty());

    scene->destroyQuery(query);
    scene->destroyMovableObject(box);
    scene->destroySceneNode(node);
}
