#include "OgreUserDefinedObject.h"

#include "MovableRecord.h"

namespace Ogre
{

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
        MovableRecord::obtain(movable).owner = object->mSelf;
    }

    void UserDefinedObject::unbind(MovableObject* movable)
    {
        if (const MovableRecord* record = MovableRecord::of(movable))
            const_cast<MovableRecord*>(record)->owner.reset();
    }

    UserDefinedObject* UserDefinedObject::getBound(const MovableObject* movable)
    {
        if (!movable)
            return nullptr;
        const MovableRecord* record = MovableRecord::of(movable);
        if (!record)
            return nullptr;
        std::shared_ptr<UserDefinedObject*> self = record->owner.lock();
        return self ? *self : nullptr;
    }
}
