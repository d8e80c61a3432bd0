#ifndef __WrenMeshBoundingBoxObject_H__
#define __WrenMeshBoundingBoxObject_H__

#include "WrenEnginePrerequisites.h"

#include <OgreMatrix4.h>
#include <OgreMovableObject.h>
#include <OgreSphere.h>

namespace Ogre
{
    /** The stand-in of one instance of an instanced batch in scene queries:
        a movable object that draws nothing and answers a box of its own at
        a world placement of its own, whatever node it hangs under. Ray and
        region queries find it like an entity (it carries the entity type
        flag), so a pick of an instance leads, through the user object bound
        to it (UserDefinedObject::bind), to the game object it stands for.

        It takes part in queries only while attached to a node in the scene
        graph, as every movable does. Made and destroyed through the scene
        manager with the type name FACTORY_TYPE_NAME; the factory is
        registered with the Root by registerFactory.
    */
    class WREN_ENGINE_EXPORT MeshBoundingBoxObject : public MovableObject
    {
    public:
        static const String FACTORY_TYPE_NAME;

        explicit MeshBoundingBoxObject(const String& name);
        ~MeshBoundingBoxObject() override;

        /** The box in the object's own space (a mesh's bounds); null at first. */
        void SetBoundingBoxSelf(const AxisAlignedBox& box);
        /** The placement of the box in the world (the instance's transform). */
        void SetWorldMatrix(const Matrix4& world);
        const Matrix4& getWorldMatrix() const { return mWorld; }

        const String& getMovableType() const override;
        const AxisAlignedBox& getBoundingBox() const override { return mBox; }
        Real getBoundingRadius() const override;
        /** The own box placed by the world matrix; the parent node is ignored. */
        const AxisAlignedBox& getWorldBoundingBox(bool derive = false) const override;
        const Sphere& getWorldBoundingSphere(bool derive = false) const override;
        uint32 getTypeFlags() const override;
        void _updateRenderQueue(RenderQueue*) override {}
        void visitRenderables(Renderable::Visitor*, bool = false) override {}

        /** Registers the factory with the current Root, once per Root. */
        static void registerFactory();

    private:
        void updateWorldBounds();

        AxisAlignedBox mBox;
        Matrix4 mWorld = Matrix4::IDENTITY;
        AxisAlignedBox mWorldBox;
        Sphere mWorldSphere;
    };

    /** Makes MeshBoundingBoxObjects for the scene managers. */
    class WREN_ENGINE_EXPORT MeshBoundingBoxObjectFactory : public MovableObjectFactory
    {
    public:
        const String& getType() const override;

    protected:
        MovableObject* createInstanceImpl(const String& name,
                                          const NameValuePairList* params) override;
    };
}

#endif
