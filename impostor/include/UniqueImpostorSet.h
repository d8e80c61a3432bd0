#ifndef __WrenUniqueImpostorSet_H__
#define __WrenUniqueImpostorSet_H__

#include "QuadTreeTextureSpace.h"

#include <OgreMaterial.h>
#include <OgreTexture.h>

namespace Ogre
{
    /** One shared impostor texture with everything needed to fill and show
        it: the render texture and its capture camera, the material that
        shows it, and the billboard set that carries the impostors' billboards.

        For the base B = name + a process-wide serial number, init makes:
        - the scene node "ImpostorSetNode" + B (child of the root) carrying
          the billboard set B + "BillboardSet" (origin centre, vertex
          rotation, accurate facing, material B + "mat");
        - the texture B + "texture": 2D, size x size, no mipmaps, A8R8G8B8,
          a render target that is updated only on request, with one viewport
          cleared to transparent black (colour and depth), without overlays
          or skies;
        - the camera B + "Cam" on the scene node B + "CamNode";
        - the material B + "mat": a texture unit with the texture, clamped,
          alpha rejection greater-or-equal 127, lighting off;
        - the root texture space: (0, 0), size x size.

        The serial number counts every set ever made, so no two sets share a
        name even when others have gone. Failures to make the engine objects
        come as the engine's exceptions.
    */
    class WREN_IMPOSTOR_EXPORT UniqueImpostorSet
    {
    public:
        UniqueImpostorSet();
        /** Destroys what init made. */
        ~UniqueImpostorSet();

        UniqueImpostorSet(const UniqueImpostorSet&) = delete;
        UniqueImpostorSet& operator=(const UniqueImpostorSet&) = delete;

        void init(SceneManager* sceneManager, const String& name, const String& group,
                  ImpostorManager* owner, unsigned int billboardPoolSize, unsigned int textureSize);

        /** Removes the scene node and billboard set, the viewport, camera,
            texture and material (from their managers, when those still
            exist) and resets the quad tree. Safe to call twice. */
        void destroy();

        /** Fits the billboard set's bounds to its billboards, each with its
            own size, so that the set is culled only when all of them are out
            of view. */
        void updateBounds();

        QuadTreeTextureSpace& getRoot() { return mRoot; }
        const QuadTreeTextureSpace& getRoot() const { return mRoot; }
        BillboardSet* getBillboardSet() const { return mBillboardSet; }
        SceneNode* getSceneNode() const { return mSceneNode; }
        const TexturePtr& getTexture() const { return mTexture; }
        RenderTarget* getRenderTarget() const { return mRenderTarget; }
        Viewport* getViewport() const { return mViewport; }
        Camera* getCamera() const { return mCamera; }
        SceneNode* getCameraNode() const { return mCameraNode; }
        const MaterialPtr& getMaterial() const { return mMaterial; }
        ImpostorManager* getOwner() const { return mOwner; }
        unsigned int getTextureSize() const { return mTextureSize; }
        const String& getBaseName() const { return mBaseName; }

        /** Set whenever a billboard is made or removed or a picture drawn;
            cleared by the manager at the start of each update. */
        bool isDirty() const { return mDirty; }
        void setDirty(bool dirty) { mDirty = dirty; }

    private:
        SceneManager* mSceneManager = nullptr;
        SceneNode* mSceneNode = nullptr;
        BillboardSet* mBillboardSet = nullptr;
        QuadTreeTextureSpace mRoot;
        TexturePtr mTexture;
        RenderTarget* mRenderTarget = nullptr;
        Viewport* mViewport = nullptr;
        Camera* mCamera = nullptr;
        SceneNode* mCameraNode = nullptr;
        MaterialPtr mMaterial;
        bool mDirty = false;
        ImpostorManager* mOwner = nullptr;
        unsigned int mTextureSize = 0;
        String mBaseName;
    };
}

#endif
