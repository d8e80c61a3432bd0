#include "UniqueImpostorHandler.h"

#include "ImpostorManager.h"
#include "QuadTreeTextureSpace.h"
#include "UniqueImpostorSet.h"

#include <OgreBillboard.h>
#include <OgreBillboardSet.h>
#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgreLogManager.h>
#include <OgreMovableObject.h>
#include <OgreRenderTarget.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>
#include <OgreViewport.h>

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace Ogre
{
    namespace
    {
        /** Key of the render queue a hidden object had. */
        const char* const kHiddenFromQueue = "Wren/ImpostorHiddenFromQueue";

        void logError(const String& name, const String& message)
        {
            LogManager::getSingleton().logMessage("UniqueImpostorHandler '" + name + "': " + message,
                                                  LML_CRITICAL);
        }

        unsigned int floorPowerOfTwo(unsigned int value)
        {
            unsigned int power = 1;
            while (power <= value / 2)
                power *= 2;
            return power;
        }

        unsigned int truncatedThreshold(float threshold)
        {
            if (!(threshold > 0))
                return 0;
            if (threshold >= 4294967295.0f)
                return 4294967295u;
            return static_cast<unsigned int>(threshold);
        }
    }

    UniqueImpostorHandler::UniqueImpostorHandler(Node* node, float screenSizeThreshold,
                                                 unsigned int minTextureSize,
                                                 unsigned int maxTextureSize, float redrawCosine)
        : mMinTextureSize(minTextureSize),
          mMaxTextureSize(maxTextureSize),
          mScreenSizeThreshold(truncatedThreshold(screenSizeThreshold)),
          mName((node ? node->getName() : String()) + "UniqueImpostorHandler"),
          mNode(dynamic_cast<SceneNode*>(node)),
          mRedrawCosine(redrawCosine)
    {
        if (!mNode)
            logError(mName, "needs a scene node; it will never draw an impostor");
        else if (!mNode->getListener())
            mNode->setListener(this);

        for (unsigned int* size : {&mMinTextureSize, &mMaxTextureSize})
        {
            if (*size == 0 || (*size & (*size - 1)) != 0)
            {
                const unsigned int corrected = floorPowerOfTwo(std::max(*size, 1u));
                logError(mName, "texture size " + StringConverter::toString(*size) +
                                    " is not a power of two; " + StringConverter::toString(corrected) +
                                    " is used");
                *size = corrected;
            }
        }
        if (mMinTextureSize > mMaxTextureSize)
        {
            logError(mName, "the minimum texture size exceeds the maximum; they are swapped");
            std::swap(mMinTextureSize, mMaxTextureSize);
        }
        mSizeScale = ImpostorMath::sizeScale(mMinTextureSize, mMaxTextureSize, mScreenSizeThreshold);
        std::fill(std::begin(mLevelPixelSizes), std::end(mLevelPixelSizes), 0u);
        mLevelPixelSizes[0] = mScreenSizeThreshold;
    }

    UniqueImpostorHandler::~UniqueImpostorHandler()
    {
        if (mManager)
            mManager->removeHandler(this);
        if (mManager)
            _leaveManager();
        if (mNode && mNode->getListener() == this)
            mNode->setListener(nullptr);
        mObjects.clear();
        mBoundingBox.setNull();
    }

    void UniqueImpostorHandler::setRealObjectOpacity(float) {}

    void UniqueImpostorHandler::nodeDestroyed(const Node* node)
    {
        if (node != mNode)
            return;
        // The node's objects were taken off it before it told; those it
        // hid stay in the hidden queue.
        dropImpostor();
        mObjects.clear();
        mNode = nullptr;
        mHidden = false;
    }

    void UniqueImpostorHandler::_notifyManager(ImpostorManager* manager) { mManager = manager; }

    void UniqueImpostorHandler::_leaveManager()
    {
        if (!mManager)
            return;
        showRealNode();
        dropImpostor();
        mManager = nullptr;
    }

    void UniqueImpostorHandler::_moveToSet(UniqueImpostorSet* set)
    {
        if (mSet == set)
            return;
        removeBillboard();
        mSet = set;
        mRenderTarget = set ? set->getRenderTarget() : nullptr;
    }

    void UniqueImpostorHandler::update(Camera* camera)
    {
        if (!mNode || !mManager || !camera)
            return;
        if (mBoundsDirty)
            computeBounds();

        bool showImpostor = false;
        bool takeOut = false;
        unsigned int pixelSize = 0;
        if (mHasBounds)
        {
            const Real squaredDistance = mCentre.squaredDistance(camera->getDerivedPosition());
            if (squaredDistance > mBoundingRadius * mBoundingRadius &&
                squaredDistance > ImpostorMath::levelSquaredDistance(0))
            {
                const int level = ImpostorMath::chooseLevel(squaredDistance);
                if (mLevelPixelSizes[level] != 0 || camera->getViewport())
                {
                    pixelSize = pixelSizeFor(level, camera);
                    if (pixelSize == 0)
                        takeOut = true;
                    else if (pixelSize <= mScreenSizeThreshold)
                        showImpostor = true;
                }
                else if (!mRefusalLogged)
                {
                    mRefusalLogged = true;
                    logError(mName, "the camera has no viewport to measure on; the node is shown");
                }
            }
        }

        if (showImpostor)
        {
            hideNode();
            if (camera->isVisible(mBoundingBox) && !drawImpostor(camera, pixelSize, 1.0f))
                showImpostor = false;
        }
        else if (takeOut)
        {
            hideNode();
        }
        if (!showImpostor && !takeOut)
            showRealNode();
        if (!showImpostor && mBillboard)
            dropImpostor();
    }

    void UniqueImpostorHandler::invalidateBounds()
    {
        mBoundsDirty = true;
        std::fill(std::begin(mLevelPixelSizes), std::end(mLevelPixelSizes), 0u);
        mLevelPixelSizes[0] = mScreenSizeThreshold;
    }

    void UniqueImpostorHandler::collectObjects(SceneNode* node)
    {
        for (MovableObject* object : node->getAttachedObjects())
            mObjects.push_back(object);
        for (Node* child : node->getChildren())
            if (SceneNode* sceneChild = dynamic_cast<SceneNode*>(child))
                collectObjects(sceneChild);
    }

    void UniqueImpostorHandler::computeBounds()
    {
        mObjects.clear();
        collectObjects(mNode);
        // Objects that are not drawn (a mesh object's logic meshes) do not
        // size the picture; a node with nothing to draw costs only the walk.
        mBoundingBox.setNull();
        bool drawn = false;
        for (MovableObject* object : mObjects)
            drawn = drawn || object->getVisible();
        if (drawn)
            mNode->_update(true, true);
        for (MovableObject* object : mObjects)
            if (object->getVisible())
                mBoundingBox.merge(object->getWorldBoundingBox(true));
        mBoundsDirty = false;
        mPictureStale = true;

        if (mHidden)
            setHidden(mNode, true);

        mHasBounds = mBoundingBox.isFinite();
        if (!mHasBounds)
        {
            // Measured again next frame: the node may get something to draw
            // later (a mesh object makes its entities when it comes near).
            mBoundsDirty = true;
            dropImpostor();
            mCentre = Vector3::ZERO;
            mBoundingRadius = 0;
            if (!mEmptyLogged)
                LogManager::getSingleton().logMessage(
                    "UniqueImpostorHandler '" + mName +
                    "': the node has no bounded movable objects; it is shown as itself until it has");
            mEmptyLogged = true;
            return;
        }
        mCentre = mBoundingBox.getCenter();
        // The sphere about the centre that holds every object's own bounding
        // sphere, when that is smaller than the box's: a round mesh then
        // fills its picture and its billboard, instead of sitting in a
        // square 1.7 times its width that costs three times its pixels.
        mBoundingRadius = (mBoundingBox.getMaximum() - mCentre).length();
        Real spheres = 0;
        for (MovableObject* object : mObjects)
            if (object->getVisible())
            {
                const Sphere sphere = tightWorldSphere(object);
                spheres = std::max(spheres, mCentre.distance(sphere.getCenter()) + sphere.getRadius());
            }
        if (spheres > 0)
            mBoundingRadius = std::min(mBoundingRadius, spheres);
        if (mBillboard)
        {
            mBillboard->setDimensions(2 * mBoundingRadius, 2 * mBoundingRadius);
            mBillboard->setPosition(mCentre);
            mSet->setDirty(true);
        }
    }

    Sphere UniqueImpostorHandler::tightWorldSphere(MovableObject* object)
    {
        Entity* entity = dynamic_cast<Entity*>(object);
        Node* node = object->getParentNode();
        // A skinned mesh moves its vertices away from where they were read.
        if (!entity || !node || entity->hasSkeleton() || entity->getMesh()->getBounds().isNull())
            return object->getWorldBoundingSphere(true);
        const Mesh* mesh = entity->getMesh().get();
        // Vertices are read once per mesh; a handle is never given again.
        static std::unordered_map<ResourceHandle, Real> radii;
        auto found = radii.find(mesh->getHandle());
        if (found == radii.end())
        {
            // Padded as OGRE pads a mesh's bounds, so that the edge pixels stay in.
            const Real padding = 1 + MeshManager::getSingleton().getBoundsPaddingFactor();
            const Real radius = ImpostorMath::radiusAbout(*mesh, mesh->getBounds().getCenter());
            found = radii.emplace(mesh->getHandle(), radius * padding).first;
        }
        if (found->second <= 0)
            return object->getWorldBoundingSphere(true);
        const Vector3 scale = node->_getDerivedScale();
        const Real largest = std::max(std::abs(scale.x), std::max(std::abs(scale.y), std::abs(scale.z)));
        return Sphere(node->_getFullTransform() * mesh->getBounds().getCenter(), found->second * largest);
    }

    unsigned int UniqueImpostorHandler::pixelSizeFor(int level, Camera* camera)
    {
        unsigned int& cached = mLevelPixelSizes[level];
        if (cached == 0)
        {
            Viewport* viewport = camera->getViewport();
            cached = camera->isVisible(mBoundingBox)
                         ? ImpostorMath::projectedSize(camera->getViewMatrix(true),
                                                       camera->getProjectionMatrix(), mBoundingBox,
                                                       static_cast<unsigned int>(viewport->getActualWidth()),
                                                       static_cast<unsigned int>(viewport->getActualHeight()))
                         : 0;
        }
        return cached;
    }

    void UniqueImpostorHandler::showRealNode()
    {
        if (mHidden)
        {
            setHidden(mNode, false);
            mHidden = false;
        }
        setRealObjectOpacity(1.0f);
    }

    void UniqueImpostorHandler::hideNode()
    {
        if (mHidden)
            return;
        setHidden(mNode, true);
        mHidden = true;
    }

    void UniqueImpostorHandler::setHidden(SceneNode* node, bool hidden)
    {
        // The queue an object had is kept with the object, so that objects
        // that come and go under the node while it is hidden are each given
        // back their own.
        const uint8 hiddenQueue = mManager->getHiddenRenderQueueId();
        for (MovableObject* object : node->getAttachedObjects())
        {
            UserObjectBindings& bindings = object->getUserObjectBindings();
            const Any& kept = bindings.getUserAny(kHiddenFromQueue);
            if (hidden && !kept.has_value())
            {
                bindings.setUserAny(kHiddenFromQueue, Any(object->getRenderQueueGroup()));
                object->setRenderQueueGroup(hiddenQueue);
            }
            else if (!hidden && kept.has_value())
            {
                object->setRenderQueueGroup(any_cast<uint8>(kept));
                bindings.eraseUserAny(kHiddenFromQueue);
            }
        }
        for (Node* child : node->getChildren())
            if (SceneNode* sceneChild = dynamic_cast<SceneNode*>(child))
                setHidden(sceneChild, hidden);
    }

    bool UniqueImpostorHandler::drawImpostor(Camera* camera, unsigned int pixelSize, float opacity)
    {
        const unsigned int textureSize =
            ImpostorMath::chooseTextureSize(pixelSize, mSizeScale, mMinTextureSize, mMaxTextureSize);
        if (static_cast<int>(textureSize) != mCurrentTextureSize)
        {
            if (mRegion)
                QuadTreeTextureSpace::freeRegion(mRegion);
            mRegion = nullptr;
            mCurrentTextureSize = 0;
            mRegion = mManager->allocate(textureSize, this);
            if (!mRegion)
            {
                if (!mRefusalLogged)
                {
                    mRefusalLogged = true;
                    logError(mName, "no region of " + StringConverter::toString(textureSize) +
                                        " texels; the node is shown as itself");
                }
                dropImpostor();
                return false;
            }
            mCurrentTextureSize = static_cast<int>(textureSize);
            if (!mBillboard)
            {
                mBillboard = mSet->getBillboardSet()->createBillboard(mNode->_getDerivedPosition(),
                                                                      ColourValue::White);
                if (!mBillboard)
                {
                    dropImpostor();
                    return false;
                }
                mBillboard->setDimensions(2 * mBoundingRadius, 2 * mBoundingRadius);
                mBillboard->setPosition(mCentre);
                mSet->setDirty(true);
            }
            mPictureStale = true;
        }

        const Vector3 cameraPosition = camera->getDerivedPosition();
        const Vector3 toMax = (cameraPosition - mBoundingBox.getMaximum()).normalisedCopy();
        const Vector3 toMin = (cameraPosition - mBoundingBox.getMinimum()).normalisedCopy();
        if (mPictureStale || ImpostorMath::needsRedraw(mLastToMax, mLastToMin, toMax, toMin,
                                                       mRedrawCosine, textureSize))
        {
            capture(camera);
            mLastToMax = toMax;
            mLastToMin = toMin;
        }
        mBillboard->setColour(ColourValue(1, 1, 1, opacity));
        mPictureStale = false;
        return true;
    }

    void UniqueImpostorHandler::capture(Camera* camera)
    {
        const unsigned int size = static_cast<unsigned int>(mCurrentTextureSize);
        const unsigned int textureSize = mSet->getTextureSize();
        const Vector3 cameraPosition = camera->getDerivedPosition();

        SceneNode* cameraNode = mSet->getCameraNode();
        Camera* captureCamera = mSet->getCamera();
        cameraNode->setPosition(cameraPosition);
        cameraNode->setOrientation(camera->getDerivedOrientation());
        cameraNode->setFixedYawAxis(false);
        captureCamera->setLodBias(1000);
        const FloatRect area = ImpostorMath::regionViewport(mRegion->getX(), mRegion->getY(), size, textureSize);
        mSet->getViewport()->setDimensions(area.left, area.top, area.width(), area.height());
        const Real distance = (mCentre - cameraPosition).length();
        captureCamera->setCustomProjectionMatrix(true, ImpostorMath::captureProjection(mBoundingRadius, distance));
        cameraNode->lookAt(mCentre, Node::TS_WORLD);

        SceneManager* sceneManager = mManager->getSceneManager();
        const SceneManager::SpecialCaseRenderQueueMode mode = sceneManager->getSpecialCaseRenderQueueMode();
        sceneManager->setSpecialCaseRenderQueueMode(SceneManager::SCRQM_INCLUDE);

        // Objects may have come or gone since the bounds were measured.
        mObjects.clear();
        collectObjects(mNode);
        std::vector<uint8> queues;
        queues.reserve(mObjects.size());
        for (MovableObject* object : mObjects)
        {
            queues.push_back(object->getRenderQueueGroup());
            object->setRenderQueueGroup(mManager->getRenderQueueId());
        }
        mRenderTarget->update();
        for (size_t i = 0; i < mObjects.size(); ++i)
            mObjects[i]->setRenderQueueGroup(queues[i]);

        sceneManager->setSpecialCaseRenderQueueMode(mode);

        mBillboard->setTexcoordRect(
            ImpostorMath::regionTexcoords(mRegion->getX(), mRegion->getY(), size, textureSize));
        mSet->setDirty(true);
        ++mCaptureCount;
    }

    void UniqueImpostorHandler::removeBillboard()
    {
        if (mBillboard && mSet && mSet->getBillboardSet())
        {
            mSet->getBillboardSet()->removeBillboard(mBillboard);
            mSet->setDirty(true);
        }
        mBillboard = nullptr;
    }

    void UniqueImpostorHandler::dropImpostor()
    {
        removeBillboard();
        if (mRegion)
            QuadTreeTextureSpace::freeRegion(mRegion);
        mRegion = nullptr;
        mCurrentTextureSize = 0;
        mSet = nullptr;
        mRenderTarget = nullptr;
    }
}
