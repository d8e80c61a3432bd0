#include "GameObjectManager.h"

namespace Wren
{
    GameObjectManager::GameObjectManager(OIS::Keyboard* keyboard, OIS::Mouse* mouse,
                                         OIS::JoyStick* joyStick)
        : InputListener(keyboard, mouse, joyStick)
    {
    }

    GameObjectManager::~GameObjectManager() {}
}
