#include "PlaceHolderGameObject.h"

#include "CoreGameObjectManager.h"
#include "CoreMetadata.h"
#include "MeshGameObject.h"

#include <OgreException.h>
#include <OgreLogManager.h>

#include <algorithm>

namespace Wren
{
    const std::string PlaceHolderGameObject::PLACEHOLDER_META_ID = "Box0Point5Meters.meta";
    bool PlaceHolderGameObject::mIsVisible = false;

    namespace
    {
        void logMessage(const std::string& text)
        {
            if (Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr())
                logs->logMessage(text);
        }
    }

    PlaceHolderGameObject::PlaceHolderGameObject(CoreGameObjectManager* manager,
                                                 const std::string& name,
                                                 const std::string& placeHolderMetaId)
        : CoreGameObject(manager, name), mPlaceHolderMetaId(placeHolderMetaId)
    {
    }

    PlaceHolderGameObject::~PlaceHolderGameObject() {}

    const std::string& PlaceHolderGameObject::getObjectType() const
    {
        static const std::string type = "PlaceHolderGameObject";
        return type;
    }

    bool PlaceHolderGameObject::checkObjectType(const std::string& type) const
    {
        return type == PlaceHolderGameObject::getObjectType() || CoreGameObject::checkObjectType(type);
    }

    bool PlaceHolderGameObject::initStart(CoreMetadata* metadata, bool flag)
    {
        const bool started = CoreGameObject::initStart(metadata, flag);
        if (started)
            takeMetadata();
        return started;
    }

    bool PlaceHolderGameObject::loadStart(DataElementPtr& element,
                                          std::vector<CoreGameObject*>& created, bool rename)
    {
        const bool started = CoreGameObject::loadStart(element, created, rename);
        if (started)
            takeMetadata();
        return started;
    }

    bool PlaceHolderGameObject::loadBinaryStart(CompleteObjectDataInfo& record,
                                                std::vector<CoreGameObject*>& created, bool rename)
    {
        const bool started = CoreGameObject::loadBinaryStart(record, created, rename);
        if (started)
            takeMetadata();
        return started;
    }

    bool PlaceHolderGameObject::loadFinish()
    {
        // A base that could not find its partition still built the node, and
        // the loading partition keeps the object: it gets its placeholder too.
        const bool finished = CoreGameObject::loadFinish();
        initPlaceHolderObject();
        setCurrentState(STATE_SETTLED);
        return finished;
    }

    bool PlaceHolderGameObject::initFinish(const Ogre::Vector3& worldPosition)
    {
        const bool finished = CoreGameObject::initFinish(worldPosition);
        initPlaceHolderObject();
        setCurrentState(STATE_SETTLED);
        return finished;
    }

    void PlaceHolderGameObject::destroy(bool destroyChildren, bool keepInPartition)
    {
        MeshGameObject* mesh = mPlaceHolderMesh;
        mPlaceHolderMesh = nullptr;
        // Taken out of the children while the game runs, so the base would
        // leave it behind.
        const std::vector<CoreGameObject*>& children = getChildren();
        if (destroyChildren && mesh &&
            std::find(children.begin(), children.end(), mesh) == children.end())
        {
            mesh->destroy(true, false);
            delete mesh;
        }
        // The core lets every registration go.
        mUpdateRegistered = false;
        CoreGameObject::destroy(destroyChildren, keepInPartition);
    }

    void PlaceHolderGameObject::registerUpdate()
    {
        if (mUpdateRegistered)
            return;
        getManager()->addUpdateListener(this);
        mUpdateRegistered = true;
    }

    void PlaceHolderGameObject::unregisterUpdate()
    {
        if (!mUpdateRegistered)
            return;
        getManager()->removeUpdateListener(this, false);
        mUpdateRegistered = false;
    }

    void PlaceHolderGameObject::startSimulation()
    {
        CoreGameObject::startSimulation();
        if (mPlaceHolderMesh)
            removeChild(mPlaceHolderMesh);
    }

    void PlaceHolderGameObject::endSimulation()
    {
        CoreGameObject::endSimulation();
        if (mPlaceHolderMesh)
            addChild(mPlaceHolderMesh);
    }

    void PlaceHolderGameObject::setBindMeshVisible(bool visible)
    {
        if (mPlaceHolderMesh)
            mPlaceHolderMesh->setVisible(visible);
    }

    Ogre::SceneNode* PlaceHolderGameObject::getHoldMeshNode() const
    {
        return mPlaceHolderMesh ? mPlaceHolderMesh->getSceneNode() : nullptr;
    }

    Ogre::SceneNode* PlaceHolderGameObject::getPlaceNode() const
    {
        if (mPlaceHolderMesh && mPlaceHolderMesh->getParent() == this)
            return mPlaceHolderMesh->getSceneNode();
        return getSceneNode();
    }

    bool PlaceHolderGameObject::shouldSaveChild(const CoreGameObject* child) const
    {
        return child != mPlaceHolderMesh && CoreGameObject::shouldSaveChild(child);
    }

    void PlaceHolderGameObject::initPlaceHolderObject()
    {
        if (mPlaceHolderMesh || !getSceneNode())
            return;
        const std::string refusal =
            "PlaceHolderGameObject: " + getName() + " has no placeholder: ";
        CoreGameObjectManager* manager = getManager();
        CoreMetadata* metadata = nullptr;
        try
        {
            // The template is looked at first, so that one of another type
            // makes no object at all.
            metadata = manager->getMetadata(mPlaceHolderMetaId);
        }
        catch (const Ogre::Exception& e)
        {
            logMessage(refusal + e.getDescription());
            return;
        }
        if (!metadata || metadata->getType() != "MeshGameObject")
        {
            logMessage(refusal + "the template " + mPlaceHolderMetaId + " is of the type '" +
                       (metadata ? metadata->getType() : std::string()) +
                       "', not \"MeshGameObject\"");
            return;
        }
        // Made as the manager makes new objects, but joining this object's
        // partition as its child: while a partition loads, none is loaded
        // under the object yet.
        const std::string name = manager->getUniqueName(metadata->getName(), false) + "_" +
                                 CoreGameObjectManager::getTimeStamp();
        CoreGameObject* made = manager->createCoreGameObjectFromFactory(metadata->getType(), name);
        mPlaceHolderMesh = dynamic_cast<MeshGameObject*>(made);
        if (!mPlaceHolderMesh)
        {
            logMessage(refusal + "the template " + mPlaceHolderMetaId +
                       " did not make a mesh object");
            delete made;
            return;
        }
        mPlaceHolderMesh->initStart(metadata, false);
        mPlaceHolderMesh->initFinish(getWorldPosition());
        mPlaceHolderMesh->setVisible(mIsVisible);
        addChild(mPlaceHolderMesh);
        mPlaceHolderMesh->setPosition(getWorldPosition(), true, true);
        mPlaceHolderMesh->setAlternativeSelection(this);
    }
}
