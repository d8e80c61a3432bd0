#include "CoreAboveGroundArea.h"

#include "CoreAboveGroundManager.h"
#include "CoreGameObject.h"
#include "CoreGameObjectManager.h"
#include "CoreMetadata.h"

#include <OgreInstanceBatch.h>
#include <OgreInstanceManager.h>
#include <OgreLogManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <cstdio>

namespace Wren
{
    namespace
    {
        const std::string gAreaType = "CoreAboveGroundArea";
        const std::string gShowBoundsId = "CoreAboveGroundArea_ShowBounds";

        void setBatchesVisible(Ogre::InstanceManager* instancing, bool visible)
        {
            Ogre::InstanceManager::InstanceBatchMapIterator materials =
                instancing->getInstanceBatchMapIterator();
            while (materials.hasMoreElements())
            {
                const std::string& material = materials.peekNextKey();
                Ogre::InstanceManager::InstanceBatchIterator batches =
                    instancing->getInstanceBatchIterator(material);
                while (batches.hasMoreElements())
                    batches.getNext()->setVisible(visible);
                materials.moveNext();
            }
        }
    }

    CoreAboveGroundArea::CoreAboveGroundArea(const std::string& id,
                                             const Ogre::Vector3& worldPosition,
                                             CoreAboveGroundManager* manager)
        : mManager(manager), mID(id), mWorldPosition(worldPosition)
    {
        mBuildCursor = mObjectsByMetadata.end();
    }

    CoreAboveGroundArea::~CoreAboveGroundArea() {}

    void CoreAboveGroundArea::enumerateProperties(std::vector<Property>& out)
    {
        AboveGroundArea::enumerateProperties(out);
        Property showBounds;
        showBounds.initBool(gShowBoundsId, "Show bounds", mShowBounds);
        out.push_back(showBounds);
    }

    void CoreAboveGroundArea::setProperty(const std::string& id, const PropertyData& value)
    {
        AboveGroundArea::setProperty(id, value);
    }

    const std::string& CoreAboveGroundArea::getAreaType() const { return gAreaType; }

    bool CoreAboveGroundArea::getLoaded() { return false; }

    void CoreAboveGroundArea::SetVisible(bool visible)
    {
        if (visible == mVisible || mInstancings.empty())
            return;
        for (auto& entry : mInstancings)
            if (entry.second)
                setBatchesVisible(entry.second, visible);
        mVisible = visible;
    }

    void CoreAboveGroundArea::destroy() { unload(); }

    void CoreAboveGroundArea::addObject(CoreGameObject* obj, Ogre::Matrix4&)
    {
        if (!obj || !obj->getMetadata())
        {
            Ogre::LogManager::getSingleton().logMessage(
                "CoreAboveGroundArea::addObject: area " + mID + " takes no object without "
                "metadata" + (obj ? " (" + obj->getName() + ")" : std::string()));
            return;
        }
        mObjectsByMetadata[obj->getMetadata()->getID()].push_back(obj);
    }

    void CoreAboveGroundArea::removeObject(CoreGameObject*) {}

    bool CoreAboveGroundArea::update(float) { return true; }

    bool CoreAboveGroundArea::load() { return false; }

    bool CoreAboveGroundArea::unload()
    {
        Ogre::SceneManager* scene = nullptr;
        if (CoreGameObjectManager* objects = mManager ? mManager->getGameObjectManager() : nullptr)
            scene = objects->getSceneManager();
        if (scene)
        {
            for (auto& entry : mInstancings)
                if (scene->hasInstanceManager(entry.first))
                    scene->destroyInstanceManager(entry.first);
            if (mSceneNode)
                scene->destroySceneNode(mSceneNode);
        }
        mInstancings.clear();
        mSceneNode = nullptr;

        for (auto& group : mObjectsByMetadata)
        {
            if (group.second.size() == 1)
                continue;
            for (CoreGameObject* obj : group.second)
            {
                if (obj->getSceneNode())
                    obj->destroy(false, true);
                delete obj;
            }
        }
        mObjectsByMetadata.clear();
        mBuildCursor = mObjectsByMetadata.end();
        mBuildRequests.clear();
        return true;
    }

    void CoreAboveGroundArea::enumerateObjectsByType(std::vector<AboveGroundStaticGeometryInfo*>&,
                                                     const std::string&)
    {
    }

    CoreGameObject* CoreAboveGroundArea::getObjectByName(const std::string&) { return nullptr; }

    CoreAboveGroundArea::AreaPositionResult CoreAboveGroundArea::isPositionInArea(
        const Ogre::Vector3&)
    {
        return AREA_POSITION_INSIDE;
    }

    void CoreAboveGroundArea::setShowBounds(bool) {}

    void CoreAboveGroundArea::createBoundsVisualization() {}

    void CoreAboveGroundArea::destroyBoundsVisualization() {}

    Ogre::AxisAlignedBox CoreAboveGroundArea::GetAABB() const { return Ogre::AxisAlignedBox(); }

    std::string CoreAboveGroundArea::__CreateShaderInstantNameByMatName(const std::string& name,
                                                                      int index) const
    {
        char buffer[256];
        std::snprintf(buffer, sizeof(buffer), "Above_%s_%s_%d", name.c_str(), mID.c_str(), index);
        return buffer;
    }
}
