#include "GameObjectFactory.h"
#include "GameObjectFactoryManager.h"

#include <gtest/gtest.h>

using namespace Wren;

namespace
{
    /** Supports one type name; counts its own destruction. */
    class NamedFactory : public GameObjectFactory
    {
    public:
        NamedFactory(const std::string& type, int* deaths) : mType(type), mDeaths(deaths) {}
        ~NamedFactory() override
        {
            if (mDeaths)
                ++*mDeaths;
        }
        bool supportsObjectType(const std::string& type) const override { return type == mType; }
        GameObject* createGameObject(const std::string&, const std::string&,
                                     GameObjectManager*) const override
        {
            return nullptr;
        }
        Metadata* createMetadata(const std::string&, const std::string&,
                                 GameObjectManager*) const override
        {
            return nullptr;
        }

    private:
        std::string mType;
        int* mDeaths;
    };
}

TEST(GameObjectFactoryRegistry, SamePointerIsRegisteredOnce)
{
    GameObjectFactoryManager registry;
    NamedFactory* a = new NamedFactory("Mesh", nullptr);
    EXPECT_TRUE(registry.addGameObjectFactory(a));
    EXPECT_FALSE(registry.addGameObjectFactory(a));
    EXPECT_FALSE(registry.addGameObjectFactory(nullptr));
    std::vector<GameObjectFactory*> all;
    registry.enumerateGameObjectFactories(all);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0], a);
}

TEST(GameObjectFactoryRegistry, FirstRegisteredFactoryWinsAndUnknownTypeIsNull)
{
    GameObjectFactoryManager registry;
    NamedFactory* a = new NamedFactory("Mesh", nullptr);
    NamedFactory* b = new NamedFactory("Mesh", nullptr);
    NamedFactory* c = new NamedFactory("Light", nullptr);
    registry.addGameObjectFactory(a);
    registry.addGameObjectFactory(b);
    registry.addGameObjectFactory(c);
    EXPECT_EQ(registry.getGameObjectFactory("Mesh"), a);
    EXPECT_EQ(registry.getGameObjectFactory("Light"), c);
    EXPECT_EQ(registry.getGameObjectFactory("mesh"), nullptr);
    EXPECT_EQ(&GameObjectFactoryManager::getSingleton(), &registry);
}

TEST(GameObjectFactoryRegistry, EnumerationAppendsInRegistrationOrder)
{
    GameObjectFactoryManager registry;
    NamedFactory* a = new NamedFactory("A", nullptr);
    NamedFactory* b = new NamedFactory("B", nullptr);
    registry.addGameObjectFactory(a);
    registry.addGameObjectFactory(b);
    NamedFactory outsider("X", nullptr);
    std::vector<GameObjectFactory*> all{&outsider};
    registry.enumerateGameObjectFactories(all);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0], &outsider);
    EXPECT_EQ(all[1], a);
    EXPECT_EQ(all[2], b);
}

TEST(GameObjectFactoryRegistry, DestroyingTheRegistryDeletesEveryFactory)
{
    int deaths = 0;
    {
        GameObjectFactoryManager registry;
        registry.addGameObjectFactory(new NamedFactory("A", &deaths));
        registry.addGameObjectFactory(new NamedFactory("B", &deaths));
        EXPECT_EQ(deaths, 0);
    }
    EXPECT_EQ(deaths, 2);
    EXPECT_EQ(GameObjectFactoryManager::getSingletonPtr(), nullptr);
}

TEST(GameObjectFactoryBase, AcceptsEveryManagerByDefault)
{
    NamedFactory f("A", nullptr);
    EXPECT_TRUE(f.isSupported("anything", nullptr));
    EXPECT_TRUE(f.initGameObjectManager(nullptr));
}
