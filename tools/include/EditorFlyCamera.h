#ifndef __WrenEditorFlyCamera_H__
#define __WrenEditorFlyCamera_H__

#include <OISKeyboard.h>
#include <OISMouse.h>

namespace Ogre
{
    class SceneNode;
}

namespace Wren
{
    /** The editor window's camera control over the node of a camera: while
        the right mouse button is held, mouse motion turns the view (yaw
        about world y, pitch about the view's x, kept short of straight up
        or down) and W, A, S, D fly forward, left, back and right, Q and E
        down and up, Shift four times faster. Without the right button the
        keys are left to other uses (the manipulator keys). */
    class EditorFlyCamera
    {
    public:
        /** node is not owned; speed in units per second. */
        EditorFlyCamera(Ogre::SceneNode* node, float speed);

        /** Whether the camera took the event. */
        bool keyPressed(OIS::KeyCode key);
        bool keyReleased(OIS::KeyCode key);
        bool mousePressed(OIS::MouseButtonID button);
        bool mouseReleased(OIS::MouseButtonID button);
        /** Turns the view by a relative motion in pixels while looking. */
        bool mouseMoved(int dx, int dy);
        /** Moves the node by the keys held; true when it moved. */
        bool update(float elapsedSeconds);

        bool isLooking() const { return mLooking; }

    private:
        Ogre::SceneNode* mNode;
        float mSpeed;
        bool mLooking = false;
        bool mFast = false;
        /** W, S, D, A, E, Q held. */
        bool mHeld[6] = {false, false, false, false, false, false};
    };
}

#endif
