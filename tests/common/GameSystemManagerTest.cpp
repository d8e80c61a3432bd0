#include "DataElement.h"
#include "GameObjectFactoryManager.h"
#include "GameObjectManagerGameSystem.h"
#include "GameSystemFactory.h"
#include "GameSystemManager.h"
#include "OperationManager.h"
#include "XMLDataElement.h"

#include <OgreLogManager.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include <tinyxml.h>

using namespace Wren;

namespace
{
    /** Records its name in a shared journal on update and on destruction. */
    class JournalSystem : public GameSystem
    {
    public:
        JournalSystem(const std::string& name, std::vector<std::string>* journal)
            : mName(name), mJournal(journal)
        {
        }
        ~JournalSystem() override
        {
            if (mJournal)
                mJournal->push_back("~" + mName);
        }
        void update(float) override
        {
            if (mJournal)
                mJournal->push_back(mName);
        }

    private:
        std::string mName;
        std::vector<std::string>* mJournal;
    };

    class JournalFactory : public GameSystemFactory
    {
    public:
        JournalFactory(const std::string& type, std::vector<std::string>* journal)
            : mType(type), mJournal(journal)
        {
        }
        ~JournalFactory() override
        {
            if (mJournal)
                mJournal->push_back("~factory " + mType);
        }
        bool supportsGameSystemType(const std::string& type) const override
        {
            return type == mType;
        }
        GameSystem* createGameSystem(const std::string& type) const override
        {
            return new JournalSystem(type, mJournal);
        }

    private:
        std::string mType;
        std::vector<std::string>* mJournal;
    };

    /** Removes and deletes another system during its own update. */
    class RemovingSystem : public GameSystem
    {
    public:
        explicit RemovingSystem(const std::string& victim) : mVictim(victim) {}
        void update(float) override
        {
            GameSystemManager& registry = GameSystemManager::getSingleton();
            GameSystem* victim = registry.getGameSystem(mVictim);
            if (victim && registry.removeGameSystem(mVictim))
                delete victim;
        }

    private:
        std::string mVictim;
    };
}

TEST(GameSystemRegistry, UnknownTypeCreatesNothingAndRegistersNothing)
{
    GameSystemManager registry;
    registry.addGameSystemFactory(new JournalFactory("Known", nullptr));
    EXPECT_EQ(registry.createGameSystem("X"), nullptr);
    std::vector<GameSystem*> all;
    registry.enumerateGameSystems(all);
    EXPECT_TRUE(all.empty());
}

TEST(GameSystemRegistry, CreatedSystemIsNotRegisteredUntilAdded)
{
    GameSystemManager registry;
    JournalFactory* factory = new JournalFactory("CollisionGameSystem", nullptr);
    EXPECT_TRUE(registry.addGameSystemFactory(factory));
    EXPECT_FALSE(registry.addGameSystemFactory(factory));
    EXPECT_EQ(registry.getGameSystemFactory("CollisionGameSystem"), factory);

    GameSystem* system = registry.createGameSystem("CollisionGameSystem");
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(registry.getGameSystem("CollisionGameSystem"), nullptr);
    EXPECT_TRUE(registry.addGameSystem("CollisionGameSystem", system));
    EXPECT_EQ(registry.getGameSystem("CollisionGameSystem"), system);
}

TEST(GameSystemRegistry, TakenNameKeepsTheFirstSystem)
{
    GameSystemManager registry;
    JournalSystem* s1 = new JournalSystem("s1", nullptr);
    JournalSystem s2("s2", nullptr);
    EXPECT_TRUE(registry.addGameSystem("A", s1));
    EXPECT_FALSE(registry.addGameSystem("A", &s2));
    EXPECT_EQ(registry.getGameSystem("A"), s1);
}

TEST(GameSystemRegistry, OneSystemUnderTwoNamesIsRefused)
{
    // Registered twice, the system would be deleted twice with the registry.
    std::vector<std::string> journal;
    {
        GameSystemManager registry;
        JournalSystem* s = new JournalSystem("s", &journal);
        EXPECT_TRUE(registry.addGameSystem("A", s));
        EXPECT_FALSE(registry.addGameSystem("B", s));
        EXPECT_FALSE(registry.addGameSystem("C", nullptr));
        EXPECT_EQ(registry.getGameSystem("B"), nullptr);
    }
    EXPECT_EQ(journal, std::vector<std::string>({"~s"}));
}

TEST(GameSystemRegistry, UpdateVisitsSystemsInByteWiseNameOrder)
{
    std::vector<std::string> journal;
    GameSystemManager registry;
    registry.addGameSystem("b", new JournalSystem("b", &journal));
    registry.addGameSystem("A", new JournalSystem("A", &journal));
    registry.addGameSystem("a", new JournalSystem("a", &journal));
    registry.update(0.1f);
    EXPECT_EQ(journal, std::vector<std::string>({"A", "a", "b"}));

    std::vector<GameSystem*> all;
    registry.enumerateGameSystems(all);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0], registry.getGameSystem("A"));
    EXPECT_EQ(all[2], registry.getGameSystem("b"));
}

TEST(GameSystemRegistry, RemovalUnregistersWithoutDeleting)
{
    std::vector<std::string> journal;
    JournalSystem* s1 = new JournalSystem("s1", &journal);
    // A removed system is the remover's to delete: this one goes at the end.
    std::unique_ptr<JournalSystem> s2(new JournalSystem("s2", &journal));
    {
        GameSystemManager registry;
        registry.addGameSystem("A", s1);
        registry.addGameSystem("B", s2.get());
        EXPECT_TRUE(registry.removeGameSystem("A"));
        EXPECT_FALSE(registry.removeGameSystem("A"));
        EXPECT_FALSE(registry.removeGameSystem(s1));
        EXPECT_EQ(registry.getGameSystem("A"), nullptr);
        EXPECT_TRUE(journal.empty());
        EXPECT_TRUE(registry.removeGameSystem(registry.getGameSystem("B")) );
        // Back under a new name, so the registry deletes it.
        EXPECT_TRUE(registry.addGameSystem("C", s1));
    }
    EXPECT_EQ(journal, std::vector<std::string>({"~s1"}));
}

TEST(GameSystemRegistry, DestructionDeletesSystemsThenFactories)
{
    std::vector<std::string> journal;
    {
        GameSystemManager registry;
        registry.addGameSystemFactory(new JournalFactory("T", &journal));
        registry.addGameSystem("x", registry.createGameSystem("T"));
        registry.addGameSystem("w", new JournalSystem("w", &journal));
    }
    EXPECT_EQ(journal, std::vector<std::string>({"~w", "~T", "~factory T"}));
}

TEST(GameSystemRegistry, SystemMayRemoveAnotherDuringUpdate)
{
    std::vector<std::string> journal;
    GameSystemManager registry;
    registry.addGameSystem("a", new RemovingSystem("b"));
    registry.addGameSystem("b", new JournalSystem("b", &journal));
    registry.addGameSystem("c", new JournalSystem("c", &journal));
    registry.update(0.0f);
    EXPECT_EQ(journal, std::vector<std::string>({"~b", "c"}));
    EXPECT_EQ(registry.getGameSystem("b"), nullptr);
}

// In a child process whose log manager is gone, as in a host that made none.
TEST(GameSystemRegistry, RefusalsOfTheRegistriesNeedNoLogManager)
{
    EXPECT_EXIT(
        {
            delete Ogre::LogManager::getSingletonPtr();
            GameSystemManager systems;
            GameObjectFactoryManager objects;
            OperationManager operations(4);
            operations.addOperation(nullptr);
            const bool refused = !systems.addGameSystemFactory(nullptr) &&
                                 !systems.addGameSystem("Nothing", nullptr) &&
                                 !objects.addGameObjectFactory(nullptr);
            std::_Exit(refused ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(GameObjectManagerGameSystemBase, SaveAndLoadLeaveTheElementAlone)
{
    GameObjectManagerGameSystem system;
    DataElementPtr element(new XMLDataElement("World"));
    EXPECT_TRUE(system.save(element));
    EXPECT_TRUE(system.load(element));
    TiXmlElement* xml = static_cast<XMLDataElement*>(element.get())->getXmlElement();
    EXPECT_EQ(xml->FirstAttribute(), nullptr);
    EXPECT_EQ(xml->FirstChild(), nullptr);

    std::vector<Property> properties;
    system.enumerateProperties(properties);
    EXPECT_TRUE(properties.empty());
    std::string message = "unchanged";
    EXPECT_TRUE(system.validateProperty("any", PropertyData(), message));
    EXPECT_EQ(message, "unchanged");
}
