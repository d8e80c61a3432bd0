#include "TestEngine.h"

#include "OgreUserDefinedObject.h"

#include <OgreEntity.h>
#include <OgreMeshManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneQuery.h>

#include <gtest/gtest.h>

#include <memory>

using Wren::Test::TestEngine;

namespace
{
    class Tree : public Ogre::UserDefinedObject
    {
    public:
        long getTypeID() const override { return 7; }
    };

    Ogre::Entity* makeEntity(const std::string& name)
    {
        if (!Ogre::MeshManager::getSingleton().resourceExists("UserObjectBox", "General"))
            Ogre::MeshManager::getSingleton().createPlane(
                "UserObjectBox", "General", Ogre::Plane(Ogre::Vector3::UNIT_Y, 0), 4, 4, 1, 1, true, 1, 1, 1,
                Ogre::Vector3::UNIT_Z);
        Ogre::SceneManager* scene = TestEngine::instance().getSceneManager();
        Ogre::Entity* entity = scene->createEntity(name, "UserObjectBox");
        scene->getRootSceneNode()->createChildSceneNode()->attachObject(entity);
        return entity;
    }
}

TEST(UserDefinedObjectBinding, SceneQueryHitLeadsBackToTheBoundObject)
{
    TestEngine& engine = TestEngine::instance();
    Ogre::Entity* entity = makeEntity("BoundEntity");
    Tree tree;
    Ogre::UserDefinedObject::bind(entity, &tree);

    Ogre::SceneManager* scene = engine.getSceneManager();
    scene->getRootSceneNode()->_update(true, false);
    Ogre::RaySceneQuery* query = scene->createRayQuery(
        Ogre::Ray(Ogre::Vector3(0, 10, 0), Ogre::Vector3::NEGATIVE_UNIT_Y));
    Ogre::RaySceneQueryResult& hits = query->execute();
    ASSERT_FALSE(hits.empty());
    Ogre::UserDefinedObject* found = Ogre::UserDefinedObject::getBound(hits.front().movable);
    EXPECT_EQ(found, &tree);
    EXPECT_EQ(found->getTypeID(), 7);
    scene->destroyQuery(query);
    engine.clearScene();
}

TEST(UserDefinedObjectBinding, UnboundDeletedOrNullReadsAsNull)
{
    TestEngine& engine = TestEngine::instance();
    Ogre::Entity* entity = makeEntity("LaterEntity");
    EXPECT_EQ(Ogre::UserDefinedObject::getBound(entity), nullptr);
    EXPECT_EQ(Ogre::UserDefinedObject::getBound(nullptr), nullptr);
    Ogre::UserDefinedObject::bind(nullptr, nullptr);

    auto tree = std::make_unique<Tree>();
    Ogre::UserDefinedObject::bind(entity, tree.get());
    EXPECT_EQ(Ogre::UserDefinedObject::getBound(entity), tree.get());
    tree.reset();
    // The movable outlived its object: no dangling pointer comes back.
    EXPECT_EQ(Ogre::UserDefinedObject::getBound(entity), nullptr);

    Tree other;
    Ogre::UserDefinedObject::bind(entity, &other);
    Ogre::UserDefinedObject::unbind(entity);
    EXPECT_EQ(Ogre::UserDefinedObject::getBound(entity), nullptr);
    Ogre::UserDefinedObject::bind(entity, &other);
    Ogre::UserDefinedObject::bind(entity, nullptr);
    EXPECT_EQ(Ogre::UserDefinedObject::getBound(entity), nullptr);
    engine.clearScene();
}

TEST(UserDefinedObjectBinding, CopyIsAnObjectOfItsOwn)
{
    TestEngine& engine = TestEngine::instance();
    Ogre::Entity* entity = makeEntity("CopiedEntity");
    Tree original;
    Ogre::UserDefinedObject::bind(entity, &original);
    {
        Tree copy(original);
        Tree assigned;
        assigned = original;
        EXPECT_EQ(Ogre::UserDefinedObject::getBound(entity), &original);
    }
    EXPECT_EQ(Ogre::UserDefinedObject::getBound(entity), &original);
    EXPECT_EQ(original.getTypeName(), "UserDefinedObject");
    Ogre::UserDefinedObject plain;
    EXPECT_EQ(plain.getTypeID(), 0);
    engine.clearScene();
}
