#include "Manipulator.h"

namespace Wren
{
    Manipulator::Manipulator() {}

    Manipulator::~Manipulator() {}

    bool Manipulator::mouseMoved(const Ogre::Vector2&) { return true; }

    bool Manipulator::mouseLPressed(const Ogre::Vector2&) { return true; }

    bool Manipulator::mouseRPressed(const Ogre::Vector2&) { return true; }

    bool Manipulator::mouseLReleased(const Ogre::Vector2&) { return true; }

    bool Manipulator::mouseRReleased(const Ogre::Vector2&) { return true; }

    bool Manipulator::init(SceneManagerWrapper* wrapper, Ogre::Camera* camera, const std::string&)
    {
        mSceneManagerWrapper = wrapper;
        mCamera = camera;
        return true;
    }

    void Manipulator::hide() { mIsHidden = true; }

    void Manipulator::show() { mIsHidden = false; }

    void Manipulator::activate() { mIsActive = true; }

    void Manipulator::deactivate() { mIsActive = false; }

    void Manipulator::update(float, const Ogre::Vector3&, const Ogre::Vector3&,
                             const Ogre::Vector3&, const Ogre::Vector3&)
    {
    }

    void Manipulator::setManipulatorObserver(ManipulatorObserver* observer)
    {
        mObserver = observer;
    }
}
