#include "EditorFlyCamera.h"

#include <OgreSceneNode.h>

namespace Wren
{
    namespace
    {
        const OIS::KeyCode kKeys[6] = {OIS::KC_W, OIS::KC_S, OIS::KC_D,
                                       OIS::KC_A, OIS::KC_E, OIS::KC_Q};
        /** Radians per pixel of mouse motion. */
        const float kTurn = 0.004f;
    }

    EditorFlyCamera::EditorFlyCamera(Ogre::SceneNode* node, float speed)
        : mNode(node), mSpeed(speed)
    {
    }

    bool EditorFlyCamera::keyPressed(OIS::KeyCode key)
    {
        if (key == OIS::KC_LSHIFT || key == OIS::KC_RSHIFT)
            mFast = true;
        if (!mLooking)
            return false;
        for (int i = 0; i < 6; ++i)
            if (key == kKeys[i])
                return mHeld[i] = true;
        return false;
    }

    bool EditorFlyCamera::keyReleased(OIS::KeyCode key)
    {
        if (key == OIS::KC_LSHIFT || key == OIS::KC_RSHIFT)
            mFast = false;
        for (int i = 0; i < 6; ++i)
            if (key == kKeys[i] && mHeld[i])
            {
                mHeld[i] = false;
                return true;
            }
        return false;
    }

    bool EditorFlyCamera::mousePressed(OIS::MouseButtonID button)
    {
        if (button != OIS::MB_Right)
            return false;
        mLooking = true;
        return true;
    }

    bool EditorFlyCamera::mouseReleased(OIS::MouseButtonID button)
    {
        if (button != OIS::MB_Right || !mLooking)
            return false;
        mLooking = false;
        for (bool& held : mHeld)
            held = false;
        return true;
    }

    bool EditorFlyCamera::mouseMoved(int dx, int dy)
    {
        if (!mLooking)
            return false;
        mNode->yaw(Ogre::Radian(-dx * kTurn), Ogre::Node::TS_WORLD);
        const Ogre::Radian pitch(-dy * kTurn);
        const Ogre::Vector3 view = mNode->getOrientation() * Ogre::Vector3::NEGATIVE_UNIT_Z;
        const Ogre::Radian now = Ogre::Math::ASin(Ogre::Math::Clamp(view.y, -1.0f, 1.0f));
        const Ogre::Radian limit(Ogre::Math::HALF_PI - 0.05f);
        if ((now + pitch) < limit && (now + pitch) > -limit)
            mNode->pitch(pitch, Ogre::Node::TS_LOCAL);
        return true;
    }

    bool EditorFlyCamera::update(float elapsedSeconds)
    {
        const Ogre::Vector3 local((mHeld[2] ? 1.0f : 0.0f) - (mHeld[3] ? 1.0f : 0.0f),
                                  (mHeld[4] ? 1.0f : 0.0f) - (mHeld[5] ? 1.0f : 0.0f),
                                  (mHeld[1] ? 1.0f : 0.0f) - (mHeld[0] ? 1.0f : 0.0f));
        if (local == Ogre::Vector3::ZERO)
            return false;
        const float step = mSpeed * (mFast ? 4.0f : 1.0f) * elapsedSeconds;
        mNode->translate(local.normalisedCopy() * step, Ogre::Node::TS_LOCAL);
        return true;
    }
}
