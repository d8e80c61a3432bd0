#ifndef __WrenInputListener_H__
#define __WrenInputListener_H__

#include "WrenCommonPrerequisites.h"

#include <OISJoyStick.h>
#include <OISKeyboard.h>
#include <OISMouse.h>

namespace Wren
{
    /** A node of a tree of input handlers.

        The host feeds keyboard and mouse events and the frame time into the
        root; each node passes them on to its children in the order they
        were added. A subclass overrides an event operation to handle the
        event itself and calls the base to pass it on.

        Every event operation calls every child, even after one returned
        false, with the same handled flag by reference, and returns the
        logical AND of the children's results (true without children). The
        framework only passes the flag and the result through; what they
        mean is the host's convention.

        A child may add or remove listeners, itself or a sibling included,
        while it handles an event: the event goes to the children registered
        when it arrived, less those removed before their turn. A listener
        added meanwhile hears from the next event on.

        Devices and children are not owned. Only OIS types are used; no OIS
        function is called.
    */
    class WREN_COMMON_EXPORT InputListener
    {
    public:
        InputListener(OIS::Keyboard* keyboard, OIS::Mouse* mouse, OIS::JoyStick* joyStick);
        virtual ~InputListener();

        /** Passes the frame time on to every child in order. */
        virtual void update(float elapsedSeconds);

        virtual bool keyPressed(const OIS::KeyEvent& event, bool& handled);
        virtual bool keyReleased(const OIS::KeyEvent& event, bool& handled);
        virtual bool mousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID button,
                                  bool& handled);
        virtual bool mouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID button,
                                   bool& handled);
        virtual bool mouseMoved(const OIS::MouseEvent& event, bool& handled);

        /** Appends child; a listener added twice is called twice. A null
            child is ignored. */
        void addChildListener(InputListener* child);
        /** Removes the first occurrence of child, if any. */
        void removeChildListener(InputListener* child);

        OIS::Keyboard* getKeyboard() const { return mKeyboard; }
        OIS::Mouse* getMouse() const { return mMouse; }
        OIS::JoyStick* getJoyStick() const { return mJoyStick; }

    protected:
        OIS::Keyboard* mKeyboard;
        OIS::Mouse* mMouse;
        OIS::JoyStick* mJoyStick;
        std::vector<InputListener*> mChildren;

    private:
        /** Calls call(child) for each child registered when the walk began
            and still registered at its turn; the AND of the results. */
        template <typename Call>
        bool forEachChild(Call call);
    };
}

#endif
