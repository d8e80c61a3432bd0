#ifndef __WrenAxisManipulatorHandle_H__
#define __WrenAxisManipulatorHandle_H__

#include "AxisMode.h"
#include "CollisionGameSystem.h"

#include "OgreUserDefinedObject.h"

namespace Ogre
{
    class Entity;
    class SceneNode;
}

namespace Wren
{
    class AxisManipulator;

    /** One handle of an axis manipulator: the entities drawn for it, the
        node they hang on, what dragging it does and its collision shape
        (null without a collision system). It is the user object of each of
        its entities, so a ray-query hit leads back to it
        (Ogre::UserDefinedObject::getBound).

        Made and owned by its manipulator, which destroys its entities and
        node with it.
    */
    class WREN_COMMON_EXPORT AxisManipulatorHandle : public Ogre::UserDefinedObject
    {
    public:
        AxisManipulatorHandle(AxisManipulator* manipulator, AxisMode mode,
                              const CollisionShapePtr& collisionShape, const std::string& material);
        ~AxisManipulatorHandle() override;

        AxisManipulator* getManipulator() const { return mManipulator; }
        AxisMode getMode() const { return mMode; }
        const CollisionShapePtr& getCollisionShape() const { return mCollisionShape; }
        /** The node the entities hang on: the handle's own child node, or
            the manipulator's root node for a handle without one. */
        Ogre::SceneNode* getNode() const { return mNode; }
        const std::vector<Ogre::Entity*>& getEntities() const { return mEntities; }
        /** The handle's own colour; it is drawn yellow while highlighted. */
        const std::string& getMaterialName() const { return mMaterial; }
        /** The material its entities are drawn with now. */
        const std::string& getShownMaterialName() const { return mShownMaterial; }

    private:
        friend class AxisManipulator;

        AxisManipulator* mManipulator;
        AxisMode mMode;
        CollisionShapePtr mCollisionShape;
        std::string mMaterial;
        std::string mShownMaterial;
        Ogre::SceneNode* mNode = nullptr;
        /** Set when mNode is the handle's own child node. */
        std::string mNodeName;
        std::vector<Ogre::Entity*> mEntities;
        std::vector<std::string> mEntityNames;
    };
}

#endif
