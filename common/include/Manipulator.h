#ifndef __WrenManipulator_H__
#define __WrenManipulator_H__

#include "WrenCommonPrerequisites.h"

#include "OgreUserDefinedObject.h"

#include <OgreVector.h>

namespace Ogre
{
    class Camera;
}

namespace Wren
{
    class ManipulatorObserver;
    class SceneManagerWrapper;

    /** An on-screen tool with which an editor user changes the selection
        by mouse: it is fed the mouse and reports what the user did to its
        observer.

        Mouse positions are normalised viewport coordinates (0..1 in x and
        y, y growing downwards, as Ogre::Camera::getCameraToViewportRay takes
        them). The base does nothing: its mouse operations return true, init
        keeps the scene wrapper and camera (neither owned) and returns true,
        hide/show and activate/deactivate only set their flags.
    */
    class WREN_COMMON_EXPORT Manipulator : public Ogre::UserDefinedObject
    {
    public:
        Manipulator();
        ~Manipulator() override;

        Manipulator(const Manipulator&) = delete;
        Manipulator& operator=(const Manipulator&) = delete;

        virtual bool mouseMoved(const Ogre::Vector2& pos);
        virtual bool mouseLPressed(const Ogre::Vector2& pos);
        virtual bool mouseRPressed(const Ogre::Vector2& pos);
        virtual bool mouseLReleased(const Ogre::Vector2& pos);
        virtual bool mouseRReleased(const Ogre::Vector2& pos);

        virtual bool init(SceneManagerWrapper* wrapper, Ogre::Camera* camera, const std::string& name);

        virtual void hide();
        virtual void show();
        virtual void activate();
        virtual void deactivate();

        /** Places the manipulator at position with the given axes (world
            space), once a frame while it is shown. */
        virtual void update(float elapsedSeconds, const Ogre::Vector3& position,
                            const Ogre::Vector3& xAxis, const Ogre::Vector3& yAxis,
                            const Ogre::Vector3& zAxis);

        /** The one observer told of what the user does; null for none. */
        virtual void setManipulatorObserver(ManipulatorObserver* observer);

        bool getIsActive() const { return mIsActive; }
        bool getIsHidden() const { return mIsHidden; }
        /** True from a press on a handle to the release. */
        bool getIsManipulating() const { return mIsManipulating; }
        ManipulatorObserver* getManipulatorObserver() const { return mObserver; }

    protected:
        ManipulatorObserver* mObserver = nullptr;
        bool mIsActive = false;
        bool mIsHidden = false;
        bool mIsManipulating = false;
        SceneManagerWrapper* mSceneManagerWrapper = nullptr;
        Ogre::Camera* mCamera = nullptr;
    };
}

#endif
