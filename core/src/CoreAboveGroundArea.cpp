#include "CoreAboveGroundArea.h"

#include "CoreAboveGroundManager.h"
#include "CoreGameObject.h"
#include "CoreGameObjectManager.h"
#include "CoreMetadata.h"

#include "FxShaderInstancingManager.h"

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
                entry.second->setVisible(visible);
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

    void CoreAboveGroundArea::removeObject(CoreGameObject* obj)
    {
        if (!obj || !obj->getMetadata())
            return;
        auto group = mObjectsByMetadata.find(obj->getMetadata()->getID());
        if (group == mObjectsByMetadata.end())
            return;
        group->second.remove(obj);
        if (!group->second.empty())
            return;
        if (mBuildCursor == group)
            ++mBuildCursor;
        mObjectsByMetadata.erase(group);
    }

    bool CoreAboveGroundArea::update(float) { return true; }

    bool CoreAboveGroundArea::load() { return false; }

    bool CoreAboveGroundArea::unload()
    {
        if (Ogre::SceneManager* scene = getSceneManager())
        {
            for (auto& entry : mInstancings)
                Ogre::FxShaderInstancingManager::get(scene).DestroyShaderInstancing(entry.first);
            if (mSceneNode)
                scene->destroySceneNode(mSceneNode);
        }
        mInstancings.clear();
        mSceneNode = nullptr;
        mObjectsByMetadata.clear();
        mBuildCursor = mObjectsByMetadata.end();
        mBuildRequests.clear();
        return true;
    }

    Ogre::SceneManager* CoreAboveGroundArea::getSceneManager() const
    {
        CoreGameObjectManager* objects = mManager ? mManager->getGameObjectManager() : nullptr;
        return objects ? objects->getSceneManager() : nullptr;
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
