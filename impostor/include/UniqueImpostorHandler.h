#ifndef __WrenUniqueImpostorHandler_H__
#define __WrenUniqueImpostorHandler_H__

#include "ImpostorMath.h"

#include <OgreAxisAlignedBox.h>
#include <OgreNode.h>

#include <utility>
#include <vector>

namespace Ogre
{
    /** Draws one scene node as an impostor when it is far and small on
        screen: the node's objects are hidden (they move to the manager's
        hidden render queue, which is never drawn) and a camera-facing
        billboard shows a picture of them, captured into a region of a
        shared texture. The node stays where it is in the scene graph, so
        its derived transforms, and everything measured from them, stay
        right.

        Each update (driven by its ImpostorManager) the handler decides:
        - camera within the node's bounding sphere, or within 100 units:
          the node itself is shown;
        - otherwise the distance band (100, 200, 400 ... 3200 units; beyond
          3200 band 0) gives a pixel size, measured once per band when the
          camera sees the node (band 0 starts at the threshold). Size 0: the
          node is out of view and is hidden; above the threshold: the node is
          shown; otherwise the impostor is shown and, when the camera sees
          it, its picture is kept current.

        The picture's texture size follows from the pixel size (see
        ImpostorMath::chooseTextureSize); it is drawn again when that size
        changes or the view has turned by more than the redraw cosine allows.

        Callers may rely on:
        - a node that is shown again has every movable object in the render
          queue it had before it was hidden (captures borrow the impostor
          queue only while they draw);
        - objects attached under a hidden node are hidden too once the
          handler is told (invalidateBounds), which the node's owner does
          when it changes what the node shows;
        - a node without visible movable objects, or with an unbounded box,
          is shown as itself; it is measured again every frame until it has
          some (invisible objects neither size nor fill the picture);
        - leaving the manager (removeHandler, the manager's end) or being
          destroyed gives back the region and billboard and shows the node;
        - a node destroyed before its handler is forgotten by it (when the
          handler could listen to the node).
    */
    class WREN_IMPOSTOR_EXPORT UniqueImpostorHandler : public Node::Listener
    {
    public:
        /** minTextureSize and maxTextureSize must be powers of two with
            maxTextureSize at most half the manager's texture size; other
            values are corrected (rounded down, swapped) with a logged error.
            A node that is not a SceneNode makes an inert handler. */
        UniqueImpostorHandler(Node* node, float screenSizeThreshold, unsigned int minTextureSize,
                              unsigned int maxTextureSize, float redrawCosine);
        ~UniqueImpostorHandler() override;

        UniqueImpostorHandler(const UniqueImpostorHandler&) = delete;
        UniqueImpostorHandler& operator=(const UniqueImpostorHandler&) = delete;

        void nodeUpdated(const Node*) override {}
        /** The node went before the handler: the impostor is given back and
            the handler does nothing more. The handler listens to its node
            only when the node had no other listener. */
        void nodeDestroyed(const Node* node) override;

        /** Hook for the real object's opacity as the node is shown; does
            nothing here. */
        virtual void setRealObjectOpacity(float opacity);

        /** One frame's decision for the camera; called by the manager. */
        void update(Camera* camera);

        /** The node's objects or their place changed: at the next update the
            bounds and band sizes are measured again and the picture drawn
            anew. */
        void invalidateBounds();

        const String& getName() const { return mName; }
        SceneNode* getNode() const { return mNode; }
        ImpostorManager* getManager() const { return mManager; }
        UniqueImpostorSet* getSet() const { return mSet; }
        QuadTreeTextureSpace* getRegion() const { return mRegion; }
        Billboard* getBillboard() const { return mBillboard; }
        /** Texture size of the current picture; 0 when there is none. */
        int getCurrentTextureSize() const { return mCurrentTextureSize; }
        unsigned int getMinTextureSize() const { return mMinTextureSize; }
        unsigned int getMaxTextureSize() const { return mMaxTextureSize; }
        unsigned int getScreenSizeThreshold() const { return mScreenSizeThreshold; }
        Real getSizeScale() const { return mSizeScale; }
        float getRedrawCosine() const { return mRedrawCosine; }
        /** True while the node's objects are hidden by this handler. */
        bool isNodeHidden() const { return mHidden; }
        const AxisAlignedBox& getWorldBoundingBox() const { return mBoundingBox; }
        const Vector3& getCentre() const { return mCentre; }
        Real getBoundingRadius() const { return mBoundingRadius; }
        /** Pixel size cached for a distance band; 0 when not yet measured. */
        unsigned int getCachedPixelSize(int level) const { return mLevelPixelSizes[level]; }
        /** Number of pictures drawn so far. */
        unsigned int getCaptureCount() const { return mCaptureCount; }

        /** Whether the manager deletes this handler when it goes (true by
            default). An owner that deletes the handler itself turns it off. */
        void setDeletedByManager(bool deleted) { mDeletedByManager = deleted; }
        bool isDeletedByManager() const { return mDeletedByManager; }

        /** The manager takes the handler in. */
        void _notifyManager(ImpostorManager* manager);
        /** The manager lets the handler go: the node is shown, region and
            billboard given back, the manager forgotten. */
        void _leaveManager();
        /** The manager moves the handler to another set: the billboard
            leaves the old one. */
        void _moveToSet(UniqueImpostorSet* set);

    private:
        void collectObjects(SceneNode* node);
        void computeBounds();
        /** A sphere that holds what object draws: an entity's about the
            centre of its mesh's box, from the mesh's vertices (read once
            per mesh), else the object's own bounding sphere. */
        static Sphere tightWorldSphere(MovableObject* object);
        /** Pixel size for the band, measuring it when not yet known. */
        unsigned int pixelSizeFor(int level, Camera* camera);
        void showRealNode();
        void hideNode();
        /** Moves every object under node into the hidden queue, or back. */
        void setHidden(SceneNode* node, bool hidden);
        /** Shows the impostor; false when no region could be had. */
        bool drawImpostor(Camera* camera, unsigned int pixelSize, float opacity);
        void capture(Camera* camera);
        void removeBillboard();
        /** Gives back billboard and region and forgets the set. */
        void dropImpostor();

        int mCurrentTextureSize = 0;
        unsigned int mMinTextureSize;
        unsigned int mMaxTextureSize;
        unsigned int mScreenSizeThreshold;
        Real mSizeScale;
        Vector3 mLastToMax = Vector3::ZERO;
        Vector3 mLastToMin = Vector3::ZERO;
        String mName;
        SceneNode* mNode = nullptr;
        std::vector<MovableObject*> mObjects;
        AxisAlignedBox mBoundingBox;
        Real mBoundingRadius = 0;
        Vector3 mCentre = Vector3::ZERO;
        bool mHasBounds = false;
        Billboard* mBillboard = nullptr;
        UniqueImpostorSet* mSet = nullptr;
        ImpostorManager* mManager = nullptr;
        QuadTreeTextureSpace* mRegion = nullptr;
        RenderTarget* mRenderTarget = nullptr;
        bool mBoundsDirty = true;
        bool mPictureStale = true;
        float mRedrawCosine;
        unsigned int mLevelPixelSizes[ImpostorMath::LEVEL_COUNT];
        bool mHidden = false;
        bool mEmptyLogged = false;
        bool mDeletedByManager = true;
        bool mRefusalLogged = false;
        unsigned int mCaptureCount = 0;
    };
}

#endif
