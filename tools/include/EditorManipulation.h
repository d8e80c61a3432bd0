#ifndef __WrenEditorManipulation_H__
#define __WrenEditorManipulation_H__

#include "ManipulatorObserver.h"
#include "RotationManipulator.h"
#include "ScaleManipulator.h"
#include "TranslationManipulator.h"

#include <OgreVector.h>

namespace Ogre
{
    class Camera;
}

namespace Wren
{
    class WorldEditor;

    /** The manipulators of the editor window on the editor's selection, and
        what turns their reports into edits: a drag is one step of the
        editor's history, its motion moves, turns or scales the selected
        objects through the object manager as it goes.

        One manipulator is in use at a time (translation at first); it is
        shown at the selection's centre with the world's axes while anything
        is selected, and hidden otherwise. Mouse positions are normalised
        viewport coordinates.
    */
    class EditorManipulation : public ManipulatorObserver
    {
    public:
        enum class Tool
        {
            Translate,
            Rotate,
            Scale
        };

        /** Builds the three manipulators (named "EditorMove", "EditorTurn",
            "EditorScale") for camera; the editor must be started and
            outlive this. */
        EditorManipulation(WorldEditor& editor, Ogre::Camera* camera);

        void setTool(Tool tool);
        Tool getTool() const { return mTool; }
        AxisManipulator& getManipulator();

        /** Follows the selection; once a frame, before drawing. */
        void update(float elapsedSeconds);

        /** Whether the manipulator took the mouse event (a handle is under
            the mouse, or a drag is under way). */
        bool mouseMoved(const Ogre::Vector2& pos);
        bool mouseLPressed(const Ogre::Vector2& pos);
        bool mouseLReleased(const Ogre::Vector2& pos);

        void handleManipulatorTranslate(const Ogre::Vector3& delta) override;
        void handleManipulatorRotate(const Ogre::Quaternion& delta) override;
        void handleManipulatorScale(const Ogre::Vector3& factors) override;
        void handleManipulatorMove(const Ogre::Vector3& position) override;
        bool manipulatorRayCollide(const Ogre::Ray& ray, Ogre::Vector3& hit) override;
        void handleManipulatorStartManipulating() override;
        void handleManipulatorStopManipulating() override;

    private:
        WorldEditor& mEditor;
        TranslationManipulator mMove;
        RotationManipulator mTurn;
        ScaleManipulator mScale;
        Tool mTool = Tool::Translate;
        bool mShown = false;
    };
}

#endif
