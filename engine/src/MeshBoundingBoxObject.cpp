#include "MeshBoundingBoxObject.h"

#include <OgreRoot.h>
#include <OgreSceneManager.h>

namespace Ogre
{
    const String MeshBoundingBoxObject::FACTORY_TYPE_NAME = "MeshBoundingBoxObject";

    MeshBoundingBoxObject::MeshBoundingBoxObject(const String& name) : MovableObject(name)
    {
        updateWorldBounds();
    }

    MeshBoundingBoxObject::~MeshBoundingBoxObject() {}

    void MeshBoundingBoxObject::SetBoundingBoxSelf(const AxisAlignedBox& box)
    {
        mBox = box;
        updateWorldBounds();
    }

    void MeshBoundingBoxObject::SetWorldMatrix(const Matrix4& world)
    {
        mWorld = world;
        updateWorldBounds();
    }

    void MeshBoundingBoxObject::updateWorldBounds()
    {
        mWorldBox = mBox;
        mWorldBox.transform(mWorld);
        if (mWorldBox.isFinite())
            mWorldSphere = Sphere(mWorldBox.getCenter(), mWorldBox.getHalfSize().length());
        else
            mWorldSphere = Sphere(mWorld.getTrans(), 0);
        // The node's bounds take in this box on its next update.
        if (mParentNode)
            mParentNode->needUpdate();
    }

    const String& MeshBoundingBoxObject::getMovableType() const { return FACTORY_TYPE_NAME; }

    Real MeshBoundingBoxObject::getBoundingRadius() const
    {
        return mBox.isFinite() ? mBox.getHalfSize().length() : 0;
    }

    const AxisAlignedBox& MeshBoundingBoxObject::getWorldBoundingBox(bool) const
    {
        return mWorldBox;
    }

    const Sphere& MeshBoundingBoxObject::getWorldBoundingSphere(bool) const
    {
        return mWorldSphere;
    }

    uint32 MeshBoundingBoxObject::getTypeFlags() const { return SceneManager::ENTITY_TYPE_MASK; }

    void MeshBoundingBoxObject::registerFactory()
    {
        static MeshBoundingBoxObjectFactory factory;
        Root* root = Root::getSingletonPtr();
        if (root && !root->hasMovableObjectFactory(FACTORY_TYPE_NAME))
            root->addMovableObjectFactory(&factory);
    }

    const String& MeshBoundingBoxObjectFactory::getType() const
    {
        return MeshBoundingBoxObject::FACTORY_TYPE_NAME;
    }

    MovableObject* MeshBoundingBoxObjectFactory::createInstanceImpl(const String& name,
                                                                     const NameValuePairList*)
    {
        return new MeshBoundingBoxObject(name);
    }
}
