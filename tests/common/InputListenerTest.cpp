#include "InputListener.h"

#include <gtest/gtest.h>

using namespace Wren;

namespace
{
    /** Answers every event with a fixed result and notes what it saw. */
    class ScriptedListener : public InputListener
    {
    public:
        ScriptedListener(const std::string& name, bool answer, std::vector<std::string>& journal)
            : InputListener(nullptr, nullptr, nullptr),
              mName(name),
              mAnswer(answer),
              mJournal(journal)
        {
        }
        void update(float elapsed) override
        {
            mJournal.push_back(mName + " update " + std::to_string(elapsed));
            InputListener::update(elapsed);
        }
        bool keyPressed(const OIS::KeyEvent& event, bool& handled) override
        {
            mJournal.push_back(mName + " key " + std::to_string(event.key));
            handled = true;
            InputListener::keyPressed(event, handled);
            return mAnswer;
        }
        bool mousePressed(const OIS::MouseEvent&, OIS::MouseButtonID button,
                          bool& handled) override
        {
            mJournal.push_back(mName + " button " + std::to_string(button) +
                               (handled ? " handled" : ""));
            return mAnswer;
        }
        bool mouseMoved(const OIS::MouseEvent& event, bool&) override
        {
            mJournal.push_back(mName + " moved " + std::to_string(event.state.X.rel));
            return mAnswer;
        }

    private:
        std::string mName;
        bool mAnswer;
        std::vector<std::string>& mJournal;
    };

    typedef std::vector<std::string> Journal;
}

TEST(InputListenerTree, ListenerWithoutChildrenAnswersTrueToEveryEvent)
{
    InputListener root(nullptr, nullptr, nullptr);
    OIS::KeyEvent key(nullptr, OIS::KC_A, 'a');
    OIS::MouseState state;
    OIS::MouseEvent mouse(nullptr, state);
    bool handled = false;
    EXPECT_TRUE(root.keyPressed(key, handled));
    EXPECT_TRUE(root.keyReleased(key, handled));
    EXPECT_TRUE(root.mousePressed(mouse, OIS::MB_Left, handled));
    EXPECT_TRUE(root.mouseReleased(mouse, OIS::MB_Left, handled));
    EXPECT_TRUE(root.mouseMoved(mouse, handled));
    EXPECT_FALSE(handled);
    root.update(0.1f);
}

TEST(InputListenerTree, EveryChildIsCalledAndTheResultIsTheirAnd)
{
    Journal journal;
    InputListener root(nullptr, nullptr, nullptr);
    ScriptedListener refuses("first", false, journal);
    ScriptedListener accepts("second", true, journal);
    root.addChildListener(&refuses);
    root.addChildListener(&accepts);
    OIS::MouseState state;
    state.X.rel = 7;
    OIS::MouseEvent mouse(nullptr, state);
    bool handled = false;
    EXPECT_FALSE(root.mouseMoved(mouse, handled));
    EXPECT_EQ(journal, Journal({"first moved 7", "second moved 7"}));
}

TEST(InputListenerTree, HandledFlagAndButtonTravelToLaterChildren)
{
    Journal journal;
    InputListener root(nullptr, nullptr, nullptr);
    ScriptedListener a("a", true, journal);
    ScriptedListener b("b", true, journal);
    root.addChildListener(&a);
    root.addChildListener(&b);
    OIS::KeyEvent key(nullptr, OIS::KC_ESCAPE, 0);
    bool handled = false;
    EXPECT_TRUE(root.keyPressed(key, handled));
    EXPECT_TRUE(handled);
    journal.clear();
    OIS::MouseState state;
    OIS::MouseEvent mouse(nullptr, state);
    root.mousePressed(mouse, OIS::MB_Right, handled);
    EXPECT_EQ(journal, Journal({"a button 1 handled", "b button 1 handled"}));
}

TEST(InputListenerTree, EventsPassDownNestedListenersInOrderOfAddition)
{
    Journal journal;
    InputListener root(nullptr, nullptr, nullptr);
    ScriptedListener parent("parent", true, journal);
    ScriptedListener child("child", true, journal);
    ScriptedListener sibling("sibling", true, journal);
    parent.addChildListener(&child);
    root.addChildListener(&parent);
    root.addChildListener(&sibling);
    root.update(0.5f);
    ASSERT_EQ(journal.size(), 3u);
    EXPECT_EQ(journal[0].rfind("parent update", 0), 0u);
    EXPECT_EQ(journal[1].rfind("child update", 0), 0u);
    EXPECT_EQ(journal[2].rfind("sibling update", 0), 0u);
}

TEST(InputListenerTree, ListenerAddedTwiceIsCalledTwiceAndRemovedOnceAtATime)
{
    Journal journal;
    InputListener root(nullptr, nullptr, nullptr);
    ScriptedListener twice("twice", true, journal);
    root.addChildListener(&twice);
    root.addChildListener(&twice);
    root.addChildListener(nullptr);
    OIS::KeyEvent key(nullptr, OIS::KC_B, 'b');
    bool handled = false;
    root.keyPressed(key, handled);
    EXPECT_EQ(journal.size(), 2u);
    root.removeChildListener(&twice);
    journal.clear();
    root.keyPressed(key, handled);
    EXPECT_EQ(journal.size(), 1u);
    root.removeChildListener(&twice);
    root.removeChildListener(&twice);
    journal.clear();
    root.keyPressed(key, handled);
    EXPECT_TRUE(journal.empty());
}

TEST(InputListenerTree, DevicesAreKeptAsGiven)
{
    OIS::Keyboard* keyboard = reinterpret_cast<OIS::Keyboard*>(0x10);
    OIS::Mouse* mouse = reinterpret_cast<OIS::Mouse*>(0x20);
    InputListener listener(keyboard, mouse, nullptr);
    EXPECT_EQ(listener.getKeyboard(), keyboard);
    EXPECT_EQ(listener.getMouse(), mouse);
    EXPECT_EQ(listener.getJoyStick(), nullptr);
}

TEST(InputListenerTree, ListenerLeavingMidEventMakesNoOtherListenerMissIt)
{
    // Each child takes one listener out of the tree when it hears a key.
    class Leaving : public ScriptedListener
    {
    public:
        Leaving(const std::string& name, Journal& journal, InputListener& parent)
            : ScriptedListener(name, true, journal), mParent(parent)
        {
        }
        InputListener* leaver = nullptr;
        bool keyPressed(const OIS::KeyEvent& event, bool& handled) override
        {
            ScriptedListener::keyPressed(event, handled);
            mParent.removeChildListener(leaver);
            return true;
        }

    private:
        InputListener& mParent;
    };

    Journal journal;
    InputListener root(nullptr, nullptr, nullptr);
    Leaving self("self", journal, root), next("next", journal, root), gone("gone", journal, root);
    self.leaver = &self;
    next.leaver = &gone;
    ScriptedListener last("last", true, journal);
    for (InputListener* child : {(InputListener*)&self, (InputListener*)&next,
                                 (InputListener*)&gone, (InputListener*)&last})
        root.addChildListener(child);

    OIS::KeyEvent key(nullptr, OIS::KC_C, 'c');
    bool handled = false;
    EXPECT_TRUE(root.keyPressed(key, handled));
    EXPECT_EQ(journal, Journal({"self key 46", "next key 46", "last key 46"}));
}
