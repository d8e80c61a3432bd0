#include "EditorManipulation.h"

#include "WorldEditor.h"

#include "CoreGameObject.h"
#include "CoreGameObjectManager.h"

namespace Wren
{
    EditorManipulation::EditorManipulation(WorldEditor& editor, Ogre::Camera* camera)
        : mEditor(editor)
    {
        SceneManagerWrapper* wrapper = editor.getManager()->getSceneManagerWrapper();
        const std::pair<AxisManipulator*, const char*> all[] = {
            {&mMove, "EditorMove"}, {&mTurn, "EditorTurn"}, {&mScale, "EditorScale"}};
        for (const auto& entry : all)
        {
            entry.first->setManipulatorObserver(this);
            entry.first->init(wrapper, camera, entry.second);
            entry.first->hide();
        }
    }

    AxisManipulator& EditorManipulation::getManipulator()
    {
        switch (mTool)
        {
        case Tool::Rotate: return mTurn;
        case Tool::Scale: return mScale;
        default: return mMove;
        }
    }

    void EditorManipulation::setTool(Tool tool)
    {
        if (tool == mTool || getManipulator().getIsManipulating())
            return;
        getManipulator().deactivate();
        getManipulator().hide();
        mTool = tool;
        mShown = false;
    }

    void EditorManipulation::update(float elapsedSeconds)
    {
        AxisManipulator& manipulator = getManipulator();
        const std::vector<CoreGameObject*> selected = mEditor.selection();
        if (selected.empty())
        {
            if (mShown)
            {
                manipulator.deactivate();
                manipulator.hide();
                mShown = false;
            }
            return;
        }
        if (!mShown)
        {
            manipulator.show();
            manipulator.activate();
            mShown = true;
        }
        manipulator.update(elapsedSeconds, mEditor.getManager()->getAveragedCenter(selected),
                           Ogre::Vector3::UNIT_X, Ogre::Vector3::UNIT_Y, Ogre::Vector3::UNIT_Z);
    }

    bool EditorManipulation::mouseMoved(const Ogre::Vector2& pos)
    {
        if (!mShown)
            return false;
        AxisManipulator& manipulator = getManipulator();
        const bool dragging = manipulator.getIsManipulating();
        return manipulator.mouseMoved(pos) || dragging;
    }

    bool EditorManipulation::mouseLPressed(const Ogre::Vector2& pos)
    {
        return mShown && getManipulator().mouseLPressed(pos);
    }

    bool EditorManipulation::mouseLReleased(const Ogre::Vector2& pos)
    {
        if (!mShown || !getManipulator().getIsManipulating())
            return false;
        getManipulator().mouseLReleased(pos);
        return true;
    }

    void EditorManipulation::handleManipulatorTranslate(const Ogre::Vector3& delta)
    {
        mEditor.getManager()->translateObjects(mEditor.selection(), delta);
    }

    void EditorManipulation::handleManipulatorRotate(const Ogre::Quaternion& delta)
    {
        mEditor.getManager()->rotateObjects(mEditor.selection(), delta);
    }

    void EditorManipulation::handleManipulatorScale(const Ogre::Vector3& factors)
    {
        mEditor.getManager()->scaleObjects(mEditor.selection(), factors);
    }

    void EditorManipulation::handleManipulatorMove(const Ogre::Vector3& position)
    {
        mEditor.getManager()->moveObjects(mEditor.selection(), position);
    }

    bool EditorManipulation::manipulatorRayCollide(const Ogre::Ray& ray, Ogre::Vector3& hit)
    {
        const std::vector<CoreGameObject*> selected = mEditor.selection();
        GameObject* found = nullptr;
        return mEditor.getManager()->rayCollide(
            ray, true, true, found,
            std::vector<GameObject*>(selected.begin(), selected.end()), hit);
    }

    void EditorManipulation::handleManipulatorStartManipulating()
    {
        mEditor.beginStep();
        mEditor.getManager()->startMovingObjects(mEditor.selection());
    }

    void EditorManipulation::handleManipulatorStopManipulating()
    {
        mEditor.getManager()->finishMovingObjects(mEditor.selection());
        mEditor.endStep();
    }
}
