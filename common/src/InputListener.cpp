#include "InputListener.h"

#include <algorithm>

namespace Wren
{
    InputListener::InputListener(OIS::Keyboard* keyboard, OIS::Mouse* mouse,
                                 OIS::JoyStick* joyStick)
        : mKeyboard(keyboard), mMouse(mouse), mJoyStick(joyStick)
    {
    }

    InputListener::~InputListener() {}

    void InputListener::update(float elapsedSeconds)
    {
        for (size_t i = 0; i < mChildren.size(); ++i)
            mChildren[i]->update(elapsedSeconds);
    }

    // Children are walked by index and the size is read again before each
    // step, so a child may add or remove listeners (itself included) while it
    // handles an event without the walk running off the list.

    bool InputListener::keyPressed(const OIS::KeyEvent& event, bool& handled)
    {
        bool result = true;
        for (size_t i = 0; i < mChildren.size(); ++i)
            result = mChildren[i]->keyPressed(event, handled) && result;
        return result;
    }

    bool InputListener::keyReleased(const OIS::KeyEvent& event, bool& handled)
    {
        bool result = true;
        for (size_t i = 0; i < mChildren.size(); ++i)
            result = mChildren[i]->keyReleased(event, handled) && result;
        return result;
    }

    bool InputListener::mousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID button,
                                     bool& handled)
    {
        bool result = true;
        for (size_t i = 0; i < mChildren.size(); ++i)
            result = mChildren[i]->mousePressed(event, button, handled) && result;
        return result;
    }

    bool InputListener::mouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID button,
                                      bool& handled)
    {
        bool result = true;
        for (size_t i = 0; i < mChildren.size(); ++i)
            result = mChildren[i]->mouseReleased(event, button, handled) && result;
        return result;
    }

    bool InputListener::mouseMoved(const OIS::MouseEvent& event, bool& handled)
    {
        bool result = true;
        for (size_t i = 0; i < mChildren.size(); ++i)
            result = mChildren[i]->mouseMoved(event, handled) && result;
        return result;
    }

    void InputListener::addChildListener(InputListener* child)
    {
        if (child)
            mChildren.push_back(child);
    }

    void InputListener::removeChildListener(InputListener* child)
    {
        std::vector<InputListener*>::iterator i =
            std::find(mChildren.begin(), mChildren.end(), child);
        if (i != mChildren.end())
            mChildren.erase(i);
    }
}
