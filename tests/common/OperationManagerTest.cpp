#include "Operation.h"
#include "OperationManager.h"

#include <OgreException.h>

#include <gtest/gtest.h>

using namespace Wren;

namespace
{
    /** Writes "undo X", "redo X" and "delete X" into a shared journal. */
    class JournalOperation : public Operation
    {
    public:
        JournalOperation(const std::string& name, std::vector<std::string>& journal)
            : mName(name), mJournal(journal)
        {
        }
        ~JournalOperation() override { mJournal.push_back("delete " + mName); }
        void undo() override { mJournal.push_back("undo " + mName); }
        void redo() override { mJournal.push_back("redo " + mName); }

    private:
        std::string mName;
        std::vector<std::string>& mJournal;
    };

    typedef std::vector<std::string> Journal;
}

TEST(OperationHistory, EmptyHistoryCanNeitherUndoNorRedo)
{
    OperationManager history(5);
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.canRedo());
    history.undo();
    history.redo();
    EXPECT_EQ(history.getCurrent(), 0u);
    EXPECT_TRUE(history.getOperations().empty());
}

TEST(OperationHistory, FirstOperationIsTheBaseAndLaterOnesUndoAndRedo)
{
    Journal journal;
    OperationManager history(5);
    history.addOperation(new JournalOperation("A", journal));
    EXPECT_EQ(history.getCurrent(), 0u);
    EXPECT_FALSE(history.canUndo());
    history.addOperation(new JournalOperation("B", journal));
    EXPECT_EQ(history.getCurrent(), 1u);
    EXPECT_TRUE(history.canUndo());
    EXPECT_TRUE(journal.empty()); // adding executes nothing

    history.undo();
    EXPECT_EQ(history.getCurrent(), 0u);
    EXPECT_TRUE(history.canRedo());
    history.undo(); // the base is never undone
    history.redo();
    EXPECT_EQ(history.getCurrent(), 1u);
    history.redo(); // nothing newer
    EXPECT_EQ(journal, Journal({"undo B", "redo B"}));
}

TEST(OperationHistory, AddingAfterUndoDiscardsTheRedoTailNewestFirst)
{
    Journal journal;
    OperationManager history(10);
    history.addOperation(new JournalOperation("A", journal));
    history.addOperation(new JournalOperation("B", journal));
    history.addOperation(new JournalOperation("C", journal));
    history.undo();
    history.undo();
    journal.clear();
    JournalOperation* d = new JournalOperation("D", journal);
    history.addOperation(d);
    EXPECT_EQ(journal, Journal({"delete C", "delete B"}));
    ASSERT_EQ(history.getOperations().size(), 2u);
    EXPECT_EQ(history.getOperations()[1], d);
    EXPECT_EQ(history.getCurrent(), 1u);
    EXPECT_FALSE(history.canRedo());
}

TEST(OperationHistory, FullHistoryDropsTheOldestAndTheNextBecomesTheBase)
{
    Journal journal;
    OperationManager history(3);
    for (const char* name : {"A", "B", "C", "D"})
        history.addOperation(new JournalOperation(name, journal));
    EXPECT_EQ(journal, Journal({"delete A"}));
    ASSERT_EQ(history.getOperations().size(), 3u);
    EXPECT_EQ(history.getCurrent(), 2u);
    journal.clear();
    history.undo();
    history.undo();
    history.undo();
    EXPECT_EQ(journal, Journal({"undo D", "undo C"}));
    EXPECT_FALSE(history.canUndo());
}

TEST(OperationHistory, CapacityOneKeepsOnlyTheOperationInEffect)
{
    Journal journal;
    OperationManager history(1);
    history.addOperation(new JournalOperation("A", journal));
    history.addOperation(new JournalOperation("B", journal));
    EXPECT_EQ(journal, Journal({"delete A"}));
    EXPECT_EQ(history.getOperations().size(), 1u);
    EXPECT_EQ(history.getCurrent(), 0u);
    EXPECT_FALSE(history.canUndo());
}

TEST(OperationHistory, CapacityZeroIsRefusedAtConstruction)
{
    EXPECT_THROW(OperationManager history(0), Ogre::InvalidParametersException);
    // The refused instance left no singleton behind.
    EXPECT_EQ(OperationManager::getSingletonPtr(), nullptr);
    OperationManager usable(2);
    EXPECT_EQ(OperationManager::getSingletonPtr(), &usable);
}

TEST(OperationHistory, NullOrRepeatedOperationIsRefused)
{
    Journal journal;
    {
        OperationManager history(5);
        JournalOperation* a = new JournalOperation("A", journal);
        history.addOperation(a);
        history.addOperation(new JournalOperation("B", journal));
        history.addOperation(nullptr);
        history.addOperation(a); // would be deleted twice
        EXPECT_EQ(history.getOperations().size(), 2u);
        EXPECT_EQ(history.getCurrent(), 1u);
        EXPECT_TRUE(journal.empty());
    }
    // What was still held is deleted with the history, once each.
    EXPECT_EQ(journal, Journal({"delete A", "delete B"}));
}
