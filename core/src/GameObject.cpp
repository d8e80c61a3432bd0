#include "GameObject.h"

namespace Wren
{
    GameObject::~GameObject() {}

    GameObject* GameObject::fromMovable(const Ogre::MovableObject* movable)
    {
        return dynamic_cast<GameObject*>(Ogre::UserDefinedObject::getBound(movable));
    }
}
