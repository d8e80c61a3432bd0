// CoreGameObjectManager: the selection and its cursor.
#include "CoreGameObjectManager.h"

#include "CoreAboveGroundManager.h"
#include "CoreGameObject.h"

#include <algorithm>

namespace Wren
{
    void CoreGameObjectManager::selectObject(CoreGameObject* object)
    {
        if (!object)
            return;
        object->select();
        if (std::find(mSelection.begin(), mSelection.end(), object) == mSelection.end())
            mSelection.push_back(object);
    }

    void CoreGameObjectManager::unselectObject(CoreGameObject* object)
    {
        if (!object)
            return;
        object->unselect();
        eraseFromSelection(object);
    }

    void CoreGameObjectManager::eraseFromSelection(CoreGameObject* object)
    {
        for (auto it = mSelection.begin(); it != mSelection.end();)
        {
            if (*it != object)
            {
                ++it;
                continue;
            }
            const bool underCursor = it == mSelectionCursor;
            it = mSelection.erase(it);
            if (underCursor)
            {
                mSelectionCursor = it;
                mSelectionCursorAhead = true;
            }
        }
    }

    void CoreGameObjectManager::handleObjectDestroyed(CoreGameObject* object)
    {
        eraseFromSelection(object);
        // An area drawing it must let it go (an instanced object deleted in
        // the editor, or one of a partition that unloads).
        if (auto* areas = dynamic_cast<CoreAboveGroundManager*>(mAboveGroundManager))
            areas->handleObjectDestroyed(object);
    }

    void CoreGameObjectManager::selectObjectAndShowBox(CoreGameObject* object)
    {
        if (object)
            object->showEditingBox();
    }

    void CoreGameObjectManager::unselectObjectAndBox(CoreGameObject* object)
    {
        if (object)
            object->hideEditingBox();
    }

    CoreGameObject* CoreGameObjectManager::GetFirstSelectedObject()
    {
        mSelectionCursor = mSelection.begin();
        mSelectionCursorAhead = false;
        return mSelectionCursor == mSelection.end() ? nullptr : *mSelectionCursor;
    }

    CoreGameObject* CoreGameObjectManager::GetNextSelectedObject()
    {
        if (mSelectionCursorAhead)
            mSelectionCursorAhead = false;
        else if (mSelectionCursor != mSelection.end())
            ++mSelectionCursor;
        return mSelectionCursor == mSelection.end() ? nullptr : *mSelectionCursor;
    }

    void CoreGameObjectManager::UnselectAllObjects()
    {
        const std::list<CoreGameObject*> selected = mSelection;
        for (CoreGameObject* object : selected)
            object->unselect();
        IgnoreSelectObject();
    }

    void CoreGameObjectManager::IgnoreSelectObject()
    {
        mSelection.clear();
        mSelectionCursor = mSelection.end();
        mSelectionCursorAhead = false;
    }

    void CoreGameObjectManager::selectObject(GameObject* object)
    {
        selectObject(dynamic_cast<CoreGameObject*>(object));
    }

    void CoreGameObjectManager::unselectObject(GameObject* object)
    {
        unselectObject(dynamic_cast<CoreGameObject*>(object));
    }

    void CoreGameObjectManager::selectObjectAndShowBox(GameObject* object)
    {
        selectObjectAndShowBox(dynamic_cast<CoreGameObject*>(object));
    }

    void CoreGameObjectManager::unselectObjectAndBox(GameObject* object)
    {
        unselectObjectAndBox(dynamic_cast<CoreGameObject*>(object));
    }
}
