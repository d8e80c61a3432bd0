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

    template <typename Call>
    bool InputListener::forEachChild(Call call)
    {
        // A child may add or remove listeners (itself or a sibling) while it
        // handles the event: the walk goes over the children as they were
        // when the event arrived and skips those no longer registered, so no
        // child is missed or called twice because another one left.
        const std::vector<InputListener*> snapshot = mChildren;
        bool result = true;
        for (InputListener* child : snapshot)
        {
            if (std::find(mChildren.begin(), mChildren.end(), child) != mChildren.end())
                result = call(child) && result;
        }
        return result;
    }

    void InputListener::update(float elapsedSeconds)
    {
        forEachChild([&](InputListener* child) {
            child->update(elapsedSeconds);
            return true;
        });
    }

    bool InputListener::keyPressed(const OIS::KeyEvent& event, bool& handled)
    {
        return forEachChild(
            [&](InputListener* child) { return child->keyPressed(event, handled); });
    }

    bool InputListener::keyReleased(const OIS::KeyEvent& event, bool& handled)
    {
        return forEachChild(
            [&](InputListener* child) { return child->keyReleased(event, handled); });
    }

    bool InputListener::mousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID button,
                                     bool& handled)
    {
        return forEachChild(
            [&](InputListener* child) { return child->mousePressed(event, button, handled); });
    }

    bool InputListener::mouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID button,
                                      bool& handled)
    {
        return forEachChild(
            [&](InputListener* child) { return child->mouseReleased(event, button, handled); });
    }

    bool InputListener::mouseMoved(const OIS::MouseEvent& event, bool& handled)
    {
        return forEachChild([&](InputListener* child) { return child->mouseMoved(event, handled); });
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
