#include "OgreUserDefinedObject.h"

#include <OgreAny.h>
#include <OgreMovableObject.h>

namespace Ogre
{
    namespace
    {
        typedef std::weak_ptr<UserDefinedObject*> Binding;
    }

    UserDefinedObject::UserDefinedObject() : mSelf(std::make_shared<UserDefinedObject*>(this)) {}

    UserDefinedObject::UserDefinedObject(const UserDefinedObject&)
        : mSelf(std::make_shared<UserDefinedObject*>(this))
    {
    }

    UserDefinedObject& UserDefinedObject::operator=(const UserDefinedObject&)
    {
        // Bindings belong to the object, not to its value.
        return *this;
    }

    UserDefinedObject::~UserDefinedObject() {}

    long UserDefinedObject::getTypeID() const { return 0; }

    const String& UserDefinedObject::getTypeName() const
    {
        static const String name = "UserDefinedObject";
        return name;
    }

    void UserDefinedObject::bind(MovableObject* movable, UserDefinedObject* object)
    {
        if (!movable)
            return;
        if (!object)
        {
            unbind(movable);
            return;
        }
        movable->getUserObjectBindings().setUserAny(Any(Binding(object->mSelf)));
    }

    void UserDefinedObject::unbind(MovableObject* movable)
    {
        if (movable)
            movable->getUserObjectBindings().setUserAny(Any());
    }

    UserDefinedObject* UserDefinedObject::getBound(const MovableObject* movable)
    {
        if (!movable)
            return nullptr;
        const Any& any = movable->getUserObjectBindings().getUserAny();
        const Binding* binding = any_cast<Binding>(&any);
        if (!binding)
            return nullptr;
        std::shared_ptr<UserDefinedObject*> self = binding->lock();
        return self ? *self : nullptr;
    }
}
