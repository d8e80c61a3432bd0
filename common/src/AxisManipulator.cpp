#include "AxisManipulator.h"

#include "GameSystemManager.h"
#include "ManipulatorMedia.h"
#include "ManipulatorObserver.h"
#include "SceneManagerWrapper.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreLogManager.h>
#include <OgreRenderQueue.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <cmath>

namespace Wren
{
    const Ogre::Real AxisManipulator::ROTATION_SPEED = 4.0f;
    const Ogre::uint8 AxisManipulator::HANDLE_RENDER_QUEUE_GROUP = Ogre::RENDER_QUEUE_OVERLAY - 1;

    AxisManipulator::AxisManipulator() {}

    AxisManipulator::~AxisManipulator() { destroyScene(); }

    bool AxisManipulator::init(SceneManagerWrapper* wrapper, Ogre::Camera* camera,
                               const std::string& name)
    {
        const char* refusal = !wrapper || !camera ? "a scene and a camera are required"
                              : name.empty()      ? "it needs a name"
                              : mNode             ? "it is built already"
                                                  : nullptr;
        if (refusal)
        {
            if (Ogre::LogManager* log = Ogre::LogManager::getSingletonPtr())
                log->logMessage("AxisManipulator: \"" + name + "\" is not built: " + refusal);
            return false;
        }
        const bool result = Manipulator::init(wrapper, camera, name);
        mName = name;
        mSceneManager = wrapper->getSceneManager();
        try
        {
            mNode = mSceneManager->getRootSceneNode()->createChildSceneNode(
                name, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY);
            GameSystemManager* systems = GameSystemManager::getSingletonPtr();
            mCollisionSystem = systems ? dynamic_cast<CollisionGameSystem*>(
                                             systems->getGameSystem("CollisionGameSystem"))
                                       : nullptr;
            ManipulatorMedia::declare();
            buildHandles();
        }
        catch (...)
        {
            destroyScene();
            mCollisionSystem = nullptr;
            throw;
        }
        return result;
    }

    void AxisManipulator::destroyScene()
    {
        if (!mSceneManager)
            return;
        // By name, so that what the scene already destroyed is skipped.
        Ogre::SceneManager& scene = *mSceneManager;
        for (const std::unique_ptr<AxisManipulatorHandle>& handle : mHandles)
        {
            for (size_t i = 0; i < handle->mEntityNames.size(); ++i)
            {
                const std::string& entity = handle->mEntityNames[i];
                if (scene.hasEntity(entity) && scene.getEntity(entity) == handle->mEntities[i])
                    scene.destroyEntity(entity);
            }
            const std::string& node = handle->mNodeName;
            if (!node.empty() && scene.hasSceneNode(node) && scene.getSceneNode(node) == handle->mNode)
                scene.destroySceneNode(node);
        }
        mHandles.clear();
        mCurrentHandle = nullptr;
        if (mNode && scene.hasSceneNode(mName) && scene.getSceneNode(mName) == mNode)
            scene.destroySceneNode(mName);
        mNode = nullptr;
    }

    AxisManipulatorHandle* AxisManipulator::addHandle(const std::string& nodeSuffix,
                                                      std::initializer_list<HandleEntity> entities,
                                                      const Ogre::Quaternion& orientation,
                                                      const Ogre::Vector3& scale,
                                                      const std::string& material,
                                                      const std::string& collisionMesh,
                                                      AxisMode mode)
    {
        CollisionShapePtr shape;
        if (mCollisionSystem)
            shape = mCollisionSystem->createCollisionShape(collisionMesh, Ogre::Vector3::UNIT_SCALE);
        mHandles.emplace_back(new AxisManipulatorHandle(this, mode, shape, material));
        AxisManipulatorHandle& handle = *mHandles.back();

        const std::string name = mName + nodeSuffix;
        handle.mNode = mNode;
        if (!nodeSuffix.empty())
        {
            handle.mNode = mNode->createChildSceneNode(name, Ogre::Vector3::ZERO, orientation);
            handle.mNodeName = name;
            handle.mNode->setScale(scale);
        }
        for (const HandleEntity& part : entities)
        {
            Ogre::Entity* entity = mSceneManager->createEntity(name + part.suffix, part.mesh);
            handle.mEntityNames.push_back(entity->getName());
            handle.mEntities.push_back(entity);
            entity->setCastShadows(false);
            entity->setRenderQueueGroup(HANDLE_RENDER_QUEUE_GROUP);
            entity->setMaterialName(material);
            Ogre::UserDefinedObject::bind(entity, &handle);
            handle.mNode->attachObject(entity);
        }
        return &handle;
    }

    AxisManipulatorHandle* AxisManipulator::addChildHandle(const std::string& nodeSuffix,
                                                           const char* mesh,
                                                           const char* collisionMesh,
                                                           const Ogre::Quaternion& orientation,
                                                           const std::string& material,
                                                           AxisMode mode)
    {
        return addHandle(nodeSuffix, {{"", mesh}}, orientation, Ogre::Vector3::UNIT_SCALE, material,
                         collisionMesh, mode);
    }

    void AxisManipulator::addArrows(AxisMode x, AxisMode y, AxisMode z)
    {
        typedef ManipulatorMedia M;
        const struct
        {
            const char* suffix;
            Ogre::Quaternion orientation;
            const char* material;
            AxisMode mode;
        } arrows[] = {{"_Y", Ogre::Quaternion::IDENTITY, M::RedMaterial, y},
                      {"_X", Ogre::Quaternion(Ogre::Degree(270), Ogre::Vector3::UNIT_Z),
                       M::GreenMaterial, x},
                      {"_Z", Ogre::Quaternion(Ogre::Degree(90), Ogre::Vector3::UNIT_X),
                       M::BlueMaterial, z}};
        for (const auto& arrow : arrows)
            addHandle(arrow.suffix, {{"_Line", M::ArrowLineMesh}, {"_Cone", M::ArrowConeMesh}},
                      arrow.orientation, Ogre::Vector3(4, 1, 4), arrow.material,
                      M::ArrowCollisionMesh, arrow.mode);
    }

    AxisManipulatorHandle* AxisManipulator::getHandle(AxisMode mode) const
    {
        for (const std::unique_ptr<AxisManipulatorHandle>& handle : mHandles)
            if (handle->getMode() == mode)
                return handle.get();
        return nullptr;
    }

    void AxisManipulator::hide()
    {
        if (!mIsHidden && mNode && mNode->getParent())
            mNode->getParent()->removeChild(mNode);
        Manipulator::hide();
    }

    void AxisManipulator::show()
    {
        if (mIsHidden && mNode && !mNode->getParent())
            mSceneManager->getRootSceneNode()->addChild(mNode);
        Manipulator::show();
    }

    void AxisManipulator::activate()
    {
        Manipulator::activate();
        mAxesValid = false;
    }

    void AxisManipulator::deactivate()
    {
        Manipulator::deactivate();
        mAxesValid = false;
    }

    void AxisManipulator::update(float, const Ogre::Vector3& position, const Ogre::Vector3& xAxis,
                                 const Ogre::Vector3& yAxis, const Ogre::Vector3& zAxis)
    {
        if (!mNode)
            return;
        mDistance = mCamera->getDerivedPosition().distance(position);
        mNode->setScale(Ogre::Vector3(mDistance / 8));
        mNode->setPosition(position);
        mNode->setOrientation(Ogre::Quaternion(xAxis, yAxis, zAxis));
        const Ogre::Quaternion& camera = mCamera->getDerivedOrientation();
        mCameraX = camera.xAxis();
        mCameraY = camera.yAxis();
        mCameraZ = camera.zAxis();
        mAxesValid = true;
        recolourHandles();
    }

    bool AxisManipulator::isHighlighted(const AxisManipulatorHandle& handle) const
    {
        return &handle == mCurrentHandle;
    }

    void AxisManipulator::recolourHandles()
    {
        for (const std::unique_ptr<AxisManipulatorHandle>& handle : mHandles)
        {
            const std::string& material =
                isHighlighted(*handle) ? ManipulatorMedia::YellowMaterial : handle->mMaterial;
            if (material == handle->mShownMaterial)
                continue;
            handle->mShownMaterial = material;
            for (Ogre::Entity* entity : handle->mEntities)
                entity->setMaterialName(material);
        }
    }

    Ogre::Ray AxisManipulator::mouseRay(const Ogre::Vector2& pos) const
    {
        return mCamera->getCameraToViewportRay(pos.x, pos.y);
    }

    AxisManipulatorHandle* AxisManipulator::pickHandle(const Ogre::Vector2& pos) const
    {
        // The query tests the bounds of the last scene update; the handles
        // may have moved since.
        mNode->_update(true, false);
        Ogre::RaySceneQueryResult& hits =
            mSceneManagerWrapper->executeRaySceneQuery(mouseRay(pos), true, false, false);
        for (const Ogre::RaySceneQueryResultEntry& hit : hits)
        {
            AxisManipulatorHandle* handle = dynamic_cast<AxisManipulatorHandle*>(
                Ogre::UserDefinedObject::getBound(hit.movable));
            if (handle && handle->getManipulator() == this)
                return handle;
        }
        return nullptr;
    }

    bool AxisManipulator::mouseMoved(const Ogre::Vector2& pos)
    {
        if (!mNode)
            return false;
        bool picked = false;
        if (mIsManipulating)
        {
            if (mIsActive && mAxesValid && mCurrentHandle)
                performManipulation(pos.x - mLastMousePos.x, pos.y - mLastMousePos.y,
                                    mCurrentHandle->getMode());
        }
        else
        {
            mCurrentHandle = pickHandle(pos);
            picked = mCurrentHandle != nullptr;
        }
        mLastMousePos = pos;
        return picked;
    }

    bool AxisManipulator::mouseLPressed(const Ogre::Vector2&)
    {
        if (!mCurrentHandle || mIsManipulating)
            return false;
        if (mObserver)
            mObserver->handleManipulatorStartManipulating();
        mIsManipulating = true;
        return true;
    }

    bool AxisManipulator::mouseLReleased(const Ogre::Vector2&)
    {
        if (mIsManipulating)
        {
            mIsManipulating = false;
            if (mObserver)
                mObserver->handleManipulatorStopManipulating();
        }
        return true;
    }

    void AxisManipulator::CollisionShapeNeedUpdate(Ogre::Vector3) {}

    void AxisManipulator::performManipulation(Ogre::Real dx, Ogre::Real dy, AxisMode mode)
    {
        if (!mObserver)
            return;
        const Ogre::Vector3 &X = mCameraX, &Y = mCameraY, &Z = mCameraZ;
        switch (mode)
        {
        case AM_TRANSLATE_X:
        case AM_TRANSLATE_Y:
        case AM_TRANSLATE_Z:
        case AM_TRANSLATE_XY:
        case AM_TRANSLATE_XZ:
        case AM_TRANSLATE_YZ:
        {
            Ogre::Vector3 t = Ogre::Vector3::ZERO;
            if (mode == AM_TRANSLATE_X || mode == AM_TRANSLATE_XY || mode == AM_TRANSLATE_XZ)
            {
                const Ogre::Real s1 = Z.y < 0 ? -1 : 1, s2 = X.z < 0 ? 1 : -1;
                t.x += dx * X.x + (1 - X.x) * dy * s1 * s2;
            }
            if (mode == AM_TRANSLATE_Y || mode == AM_TRANSLATE_XY || mode == AM_TRANSLATE_YZ)
                t.y += -dy * (Y.y > 0 ? 1 : -1);
            if (mode == AM_TRANSLATE_Z || mode == AM_TRANSLATE_XZ || mode == AM_TRANSLATE_YZ)
            {
                const Ogre::Real s3 = Z.z < 0 ? -1 : 1;
                t.z += dx * X.z + (1 - X.z) * dy * s3;
            }
            mObserver->handleManipulatorTranslate(t * mDistance);
            break;
        }
        case AM_ROTATE_X:
            mObserver->handleManipulatorRotate(
                Ogre::Quaternion(Ogre::Radian(dy * ROTATION_SPEED), Ogre::Vector3::UNIT_X));
            break;
        case AM_ROTATE_Y:
            mObserver->handleManipulatorRotate(
                Ogre::Quaternion(Ogre::Radian(dx * ROTATION_SPEED), Ogre::Vector3::UNIT_Y));
            break;
        case AM_ROTATE_Z:
            mObserver->handleManipulatorRotate(
                Ogre::Quaternion(Ogre::Radian(dy * ROTATION_SPEED), Ogre::Vector3::UNIT_Z));
            break;
        case AM_SCALE_X:
        case AM_SCALE_Y:
        case AM_SCALE_Z:
        case AM_SCALE_ALL:
        {
            // With the camera on the manipulator the motion means nothing;
            // dividing by the distance would send infinite factors.
            const Ogre::Real f = mDistance / 20;
            if (!(std::fabs(f) > 1e-6f))
                return;
            const Ogre::Real sx = dx / f, sy = dy / f;
            Ogre::Vector3 factors = Ogre::Vector3::UNIT_SCALE;
            if (mode == AM_SCALE_X)
                factors.x += sx;
            else if (mode == AM_SCALE_Y)
                factors.y -= sy;
            else if (mode == AM_SCALE_Z)
                factors.z -= sx;
            else
                factors -= Ogre::Vector3(sx);
            mObserver->handleManipulatorScale(factors);
            break;
        }
        case AM_DRAG:
            break;
        }
    }
}
