#ifndef __OgreUserDefinedObject_H__
#define __OgreUserDefinedObject_H__

#include "WrenEnginePrerequisites.h"

#include <OgreString.h>

#include <memory>

namespace Ogre
{
    class MovableObject;

    /** An application object that engine movables can point back to, so that
        a scene query hit leads to the object that made the movable.

        A movable holds the binding in the key-less slot of its user-object
        bindings (OGRE's slot for the one application object of a movable,
        the quickest to reach; the engine facilities keep their record of
        the movable there), as a weak reference: when the bound object is deleted first, the
        movable's binding reads as null rather than as a dangling pointer; when
        the movable goes first, nothing is left behind in the object. Binding
        never changes ownership.

        A copy of an object is a new object: it is bound to no movable.
    */
    class WREN_ENGINE_EXPORT UserDefinedObject
    {
    public:
        UserDefinedObject();
        UserDefinedObject(const UserDefinedObject& other);
        UserDefinedObject& operator=(const UserDefinedObject& other);
        virtual ~UserDefinedObject();

        /** A number naming the kind of object; 0 unless a subclass says
            otherwise. */
        virtual long getTypeID() const;
        /** The name of the kind of object; "UserDefinedObject" unless a
            subclass says otherwise. */
        virtual const String& getTypeName() const;

        /** Makes object the user object of movable, replacing an earlier
            binding; a null object removes the binding. A null movable is
            ignored. */
        static void bind(MovableObject* movable, UserDefinedObject* object);
        /** Removes the binding of movable, if any. */
        static void unbind(MovableObject* movable);
        /** The object bound to movable, or null when there is none, when the
            bound object no longer exists, or when movable is null. */
        static UserDefinedObject* getBound(const MovableObject* movable);

    private:
        /** Shared with the weak references that movables hold; reset when the
            object dies. */
        std::shared_ptr<UserDefinedObject*> mSelf;
    };
}

#endif
