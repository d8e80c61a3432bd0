#ifndef __WrenGameObject_H__
#define __WrenGameObject_H__

#include "WrenCorePrerequisites.h"

#include "OgreUserDefinedObject.h"
#include "Property.h"

#include <OgreColourValue.h>
#include <OgreQuaternion.h>
#include <OgreVector.h>

namespace Ogre
{
    class Light;
    class MovableObject;
}

namespace Wren
{
    /** How a light is baked into vertex colours: as a point light or as a
        directional light. Other values are refused by the object types; the
        underlying type is fixed so that such a value, come from a script or
        a tool, is one to refuse and not undefined. */
    enum VertexColorLightModel : int
    {
        VCLM_POINT = 0,
        VCLM_DIRECTIONAL = 1
    };

    /** How a vertex-colour brush combines its colour with a vertex colour. */
    enum BrushVertexColorMethod : int
    {
        BVCM_REPLACE = 0,
        BVCM_ADD = 1,
        BVCM_MULTIPLY = 2
    };

    /** A placed thing of a world as the host and the editor see it: a named
        object of some type with a world transform and editable properties.

        Object types bind the object as the user object of the engine movables
        they create (Ogre::UserDefinedObject::bind), so a scene query hit
        leads back to its object through fromMovable. Objects are made by
        factories and owned by their partition or their parent object; they
        are deleted through this virtual destructor.
    */
    class WREN_CORE_EXPORT GameObject : public Ogre::UserDefinedObject, public PropertyContainer
    {
    public:
        ~GameObject() override;

        /** The type name by which factories make this object. */
        virtual const std::string& getObjectType() const = 0;
        /** Whether this object is of that type (object types may answer true
            for more than their own name). */
        virtual bool checkObjectType(const std::string& type) const = 0;
        /** The object's name, unique in its world. */
        virtual const std::string& getName() const = 0;
        /** The ID of the partition the object lives in; empty without one. */
        virtual const std::string& getPartitionID() const = 0;
        /** The name to show to a user. */
        virtual const std::string& getDisplayName() const = 0;
        virtual const Ogre::Vector3& getWorldPosition() const = 0;
        virtual const Ogre::Quaternion& getWorldOrientation() const = 0;

        /** Editor operations on the vertex colours of mesh objects; each
            answers false where the object has nothing to work on. */
        virtual bool clearVertexLight() = 0;
        virtual bool computerVertexLight(const Ogre::Light* light, VertexColorLightModel model) = 0;
        virtual bool changeToWireframe() = 0;
        virtual bool BrushVertexColor(const Ogre::Vector3& centre, const float& radius,
                                      const Ogre::ColourValue& colour,
                                      BrushVertexColorMethod method) = 0;
        /** Writes the object's meshes back to their files, where it has any. */
        virtual void saveMesh() = 0;

        /** The game object bound to movable, or null when the movable has no
            user object, when it is not a game object, or when the object is
            gone. */
        static GameObject* fromMovable(const Ogre::MovableObject* movable);
    };
}

#endif
