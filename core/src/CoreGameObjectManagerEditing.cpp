// CoreGameObjectManager: editing sets of objects (transforms, clones,
// deletion, parenting, compounds). Every change reaches the partitions
// through the objects' own setters, which mark them dirty.
#include "CoreGameObjectManager.h"

#include "CoreGameObject.h"
#include "CorePartition.h"
#include "CorePartitionManager.h"
#include "DataElement.h"
#include "SelectorDataFile.h"
#include "XMLDataElement.h"

#include <OgreException.h>
#include <OgreLogManager.h>
#include <OgreSceneNode.h>

#include <algorithm>
#include <filesystem>
#include <unordered_set>

namespace Wren
{
    namespace
    {
        void logMessage(const std::string& text)
        {
            Ogre::LogManager::getSingleton().logMessage(text);
        }

        template <typename To, typename From>
        std::vector<To*> castAll(const std::vector<From*>& items)
        {
            std::vector<To*> out;
            out.reserve(items.size());
            for (From* item : items)
                if (To* cast = dynamic_cast<To*>(item))
                    out.push_back(cast);
            return out;
        }

        /** A compound name that stays inside the compounds folder. */
        bool isPlainFileName(const std::string& name)
        {
            return !name.empty() && name.find_first_of("/\\") == std::string::npos &&
                   name.find("..") == std::string::npos;
        }
    }

    std::vector<CoreGameObject*> CoreGameObjectManager::castGameObjectsToCoreGameObjects(
        const std::vector<GameObject*>& objs)
    {
        return castAll<CoreGameObject>(objs);
    }

    std::vector<GameObject*> CoreGameObjectManager::castCoreObjectsToGameObjects(
        const std::vector<CoreGameObject*>& objs)
    {
        return std::vector<GameObject*>(objs.begin(), objs.end());
    }

    std::vector<CorePartition*> CoreGameObjectManager::castPartitionsToCorePartitions(
        const std::vector<Partition*>& partitions)
    {
        return castAll<CorePartition>(partitions);
    }

    std::vector<Partition*> CoreGameObjectManager::castCorePartitionsToPartitions(
        const std::vector<CorePartition*>& partitions)
    {
        return std::vector<Partition*>(partitions.begin(), partitions.end());
    }

    std::vector<CoreGameObject*> CoreGameObjectManager::distinctRoots(
        const std::vector<CoreGameObject*>& objs)
    {
        const std::unordered_set<const CoreGameObject*> given(objs.begin(), objs.end());
        std::unordered_set<const CoreGameObject*> taken;
        std::vector<CoreGameObject*> out;
        for (CoreGameObject* obj : objs)
        {
            if (!obj || !taken.insert(obj).second)
                continue;
            bool underAnother = false;
            for (const CoreGameObject* a = obj->getParent(); a && !underAnother; a = a->getParent())
                underAnother = given.count(a) > 0;
            if (!underAnother)
                out.push_back(obj);
        }
        return out;
    }

    Ogre::Vector3 CoreGameObjectManager::applyFixedHeight(const Ogre::Vector3& target) const
    {
        Ogre::Vector3 t = target;
        if (getFixedHeightEnabled())
            t.y = getFixedHeight();
        return t;
    }

    Ogre::Vector3 CoreGameObjectManager::getAveragedCenter(const std::vector<CoreGameObject*>& objs)
    {
        if (objs.empty())
            return Ogre::Vector3::ZERO;
        Ogre::Vector3 low = objs.front()->getWorldPosition();
        Ogre::Vector3 high = low;
        for (const CoreGameObject* obj : objs)
        {
            low.makeFloor(obj->getWorldPosition());
            high.makeCeil(obj->getWorldPosition());
        }
        return (low + high) * 0.5f;
    }

    void CoreGameObjectManager::startMovingObjects(const std::vector<CoreGameObject*>& objs)
    {
        for (CoreGameObject* obj : distinctRoots(objs))
            obj->startMoving();
    }

    void CoreGameObjectManager::finishMovingObjects(const std::vector<CoreGameObject*>& objs)
    {
        for (CoreGameObject* obj : distinctRoots(objs))
            obj->finishMoving();
    }

    void CoreGameObjectManager::translateObjects(const std::vector<CoreGameObject*>& objs,
                                                 const Ogre::Vector3& delta)
    {
        for (CoreGameObject* obj : distinctRoots(objs))
            obj->translate(delta, true);
    }

    void CoreGameObjectManager::moveObjects(const std::vector<CoreGameObject*>& objs,
                                            const Ogre::Vector3& target)
    {
        const std::vector<CoreGameObject*> roots = distinctRoots(objs);
        translateObjects(roots, applyFixedHeight(target) - getAveragedCenter(roots));
    }

    void CoreGameObjectManager::moveObjectsAsOne(const std::vector<CoreGameObject*>& objs,
                                                 const Ogre::Vector3& target)
    {
        const Ogre::Vector3 t = applyFixedHeight(target);
        for (CoreGameObject* obj : distinctRoots(objs))
            obj->translate(t - obj->getWorldPosition(), true);
    }

    void CoreGameObjectManager::moveObjectsAsOneEx(const std::vector<CoreGameObject*>& objs,
                                                   const Ogre::Vector3& position,
                                                   const Ogre::Vector3& scale,
                                                   const Ogre::Quaternion& orientation)
    {
        const Ogre::Vector3 t = applyFixedHeight(position);
        for (CoreGameObject* obj : distinctRoots(objs))
        {
            if (Ogre::SceneNode* node = obj->getSceneNode())
                node->setScale(scale);
            obj->setOrientation(orientation, false, false);
            obj->setPosition(t, true, true);
        }
    }

    void CoreGameObjectManager::rotateObjects(const std::vector<CoreGameObject*>& objs,
                                              const Ogre::Quaternion& rotation)
    {
        for (CoreGameObject* obj : distinctRoots(objs))
            obj->rotate(rotation);
    }

    void CoreGameObjectManager::rotateObjects(const std::vector<CoreGameObject*>& objs,
                                              const Ogre::Radian& angle)
    {
        for (CoreGameObject* obj : distinctRoots(objs))
            obj->rotate(Ogre::Vector3::UNIT_Y, angle);
    }

    void CoreGameObjectManager::rotateObjectsAbout(const std::vector<CoreGameObject*>& objs,
                                                   const Ogre::Vector3& pivot,
                                                   const Ogre::Quaternion& rotation)
    {
        // What a pivot node turned by rotation does to nodes hanging under
        // it: each position turns about the pivot, each orientation with it.
        for (CoreGameObject* obj : objs)
        {
            const Ogre::Vector3 from = obj->getWorldPosition();
            const Ogre::Vector3 to = pivot + rotation * (from - pivot);
            obj->setOrientation(rotation * obj->getWorldOrientation(), true, true);
            obj->translate(to - from, true);
        }
    }

    void CoreGameObjectManager::rotateObjectsAroundOne(const std::vector<CoreGameObject*>& objs,
                                                       CoreGameObject* pivot,
                                                       const Ogre::Quaternion& rotation)
    {
        const std::vector<CoreGameObject*> roots = distinctRoots(objs);
        rotateObjectsAbout(roots, pivot ? pivot->getWorldPosition() : getAveragedCenter(roots),
                           rotation);
    }

    void CoreGameObjectManager::rotateObjectsAroundCenter(const std::vector<CoreGameObject*>& objs,
                                                          const Ogre::Quaternion& rotation)
    {
        const std::vector<CoreGameObject*> roots = distinctRoots(objs);
        rotateObjectsAbout(roots, getAveragedCenter(roots), rotation);
    }

    void CoreGameObjectManager::scaleObjects(const std::vector<CoreGameObject*>& objs,
                                             const Ogre::Vector3& factor)
    {
        for (CoreGameObject* obj : distinctRoots(objs))
            obj->scale(factor);
    }

    void CoreGameObjectManager::cloneObjects(const std::vector<CoreGameObject*>& objs,
                                             std::vector<CoreGameObject*>& out)
    {
        for (CoreGameObject* obj : distinctRoots(objs))
        {
            DataElementPtr element(new XMLDataElement("Object"));
            if (!obj->save(element))
            {
                logMessage("CoreGameObjectManager::cloneObjects: " + obj->getName() +
                           " refuses to be saved; no clone made");
                continue;
            }
            const std::string name = getUniqueName(obj->getName(), true);
            CoreGameObject* clone = createCoreGameObjectFromFactory(obj->getObjectType(), name);
            if (!clone)
                continue;
            std::vector<CoreGameObject*> created;
            bool made = false;
            try
            {
                made = clone->loadStart(element, created, true);
                if (made)
                    clone->loadFinish();
            }
            catch (const Ogre::Exception& e)
            {
                logMessage("CoreGameObjectManager::cloneObjects: the clone of " + obj->getName() +
                           " fails: " + e.getDescription());
                made = false;
            }
            if (made && clone->getPartition())
            {
                out.push_back(clone);
                continue;
            }
            logMessage("CoreGameObjectManager::cloneObjects: no clone of " + obj->getName() +
                       " is kept");
            clone->destroy(true, false);
            delete clone;
        }
    }

    void CoreGameObjectManager::deleteObjects(std::vector<CoreGameObject*>& objs)
    {
        for (CoreGameObject* obj : distinctRoots(objs))
        {
            // The parent must not keep a freed child.
            if (CoreGameObject* parent = obj->getParent())
                parent->removeChild(obj);
            obj->destroy(true, false);
            delete obj;
        }
        objs.clear();
    }

    bool CoreGameObjectManager::linkObjects(const std::vector<CoreGameObject*>& objs,
                                            CoreGameObject* parent)
    {
        if (!parent)
            return false;
        bool linkedAll = true;
        for (CoreGameObject* obj : distinctRoots(objs))
        {
            bool cycle = false;
            for (const CoreGameObject* a = parent; a && !cycle; a = a->getParent())
                cycle = a == obj;
            if (cycle)
            {
                logMessage("CoreGameObjectManager::linkObjects: " + obj->getName() +
                           " can not become a child of " + parent->getName() +
                           ", which is itself or one of its descendants");
                linkedAll = false;
                continue;
            }
            Ogre::SceneNode* node = obj->getSceneNode();
            if (!node)
                continue;
            const Ogre::Vector3 position = node->_getDerivedPosition();
            const Ogre::Quaternion orientation = node->_getDerivedOrientation();
            const Ogre::Vector3 scale = node->_getDerivedScale();
            parent->addChild(obj);
            obj->placeInWorld(position, orientation, scale);
        }
        return linkedAll;
    }

    void CoreGameObjectManager::unlinkObjects(const std::vector<CoreGameObject*>& objs)
    {
        for (CoreGameObject* obj : distinctRoots(objs))
        {
            CoreGameObject* parent = obj->getParent();
            Ogre::SceneNode* node = obj->getSceneNode();
            if (!parent || !node)
                continue;
            const Ogre::Vector3 position = node->_getDerivedPosition();
            const Ogre::Quaternion orientation = node->_getDerivedOrientation();
            const Ogre::Vector3 scale = node->_getDerivedScale();
            parent->removeChild(obj);
            // A top-level object of its partition until the partition under
            // its place takes it (it keeps this one when none is loaded).
            if (CorePartition* partition = obj->getPartition())
                obj->addToParentSceneNode(partition->getSceneNode());
            obj->placeInWorld(position, orientation, scale);
            obj->setPosition(position, true, true);
        }
    }

    bool CoreGameObjectManager::saveCompoundGameObject(CoreGameObject* object,
                                                       const std::string& name)
    {
        const std::string refusal = "CoreGameObjectManager::saveCompoundGameObject: compound '" +
                                    name + "' not saved: ";
        if (!object)
        {
            logMessage(refusal + "no object");
            return false;
        }
        if (!isPlainFileName(name))
        {
            logMessage(refusal + "a compound name holds no path separator and no \"..\"");
            return false;
        }
        std::error_code ec;
        std::filesystem::create_directories(mCompoundsFolder, ec);
        if (ec)
        {
            logMessage(refusal + "can not make the folder " + mCompoundsFolder + ": " +
                       ec.message());
            return false;
        }
        const std::string stem = mCompoundsFolder + "/" + name;

        SelectorDataFile objects;
        DataElementPtr root = objects.createRootElement("Object");
        root->setAttributeString("Type", object->getObjectType());
        root->setAttributeString("Name", getUniqueName(object->getName(), true));
        if (!object->save(root))
        {
            logMessage(refusal + object->getName() + " refuses to be saved");
            return false;
        }
        if (!objects.save(stem + ".objects"))
        {
            logMessage(refusal + "can not write " + stem + ".objects");
            return false;
        }

        SelectorDataFile meta;
        DataElementPtr metaRoot = meta.createRootElement("MetaData");
        metaRoot->setAttributeString("ObjectType", "CompoundGameObject");
        metaRoot->setAttributeString("Name", name);
        metaRoot->createChild("CompoundData")->setAttributeString("ObjectsFileName",
                                                                  name + ".objects");
        if (!meta.save(stem + ".meta"))
        {
            logMessage(refusal + "can not write " + stem + ".meta");
            return false;
        }
        return true;
    }

    // The GameObject forms.

    Ogre::Vector3 CoreGameObjectManager::getAveragedCenter(const std::vector<GameObject*>& objs)
    {
        return getAveragedCenter(castGameObjectsToCoreGameObjects(objs));
    }

    void CoreGameObjectManager::cloneObjects(const std::vector<GameObject*>& objs,
                                             std::vector<GameObject*>& out)
    {
        std::vector<CoreGameObject*> clones;
        cloneObjects(castGameObjectsToCoreGameObjects(objs), clones);
        out.insert(out.end(), clones.begin(), clones.end());
    }

    void CoreGameObjectManager::deleteObjects(std::vector<GameObject*>& objs)
    {
        std::vector<CoreGameObject*> core = castGameObjectsToCoreGameObjects(objs);
        deleteObjects(core);
        objs.clear();
    }

    void CoreGameObjectManager::startMovingObjects(const std::vector<GameObject*>& objs)
    {
        startMovingObjects(castGameObjectsToCoreGameObjects(objs));
    }

    void CoreGameObjectManager::finishMovingObjects(const std::vector<GameObject*>& objs)
    {
        finishMovingObjects(castGameObjectsToCoreGameObjects(objs));
    }

    void CoreGameObjectManager::rotateObjects(const std::vector<GameObject*>& objs,
                                              const Ogre::Quaternion& rotation)
    {
        rotateObjects(castGameObjectsToCoreGameObjects(objs), rotation);
    }

    void CoreGameObjectManager::rotateObjects(const std::vector<GameObject*>& objs,
                                              const Ogre::Radian& angle)
    {
        rotateObjects(castGameObjectsToCoreGameObjects(objs), angle);
    }

    void CoreGameObjectManager::rotateObjectsAroundOne(const std::vector<GameObject*>& objs,
                                                       GameObject* pivot,
                                                       const Ogre::Quaternion& rotation)
    {
        rotateObjectsAroundOne(castGameObjectsToCoreGameObjects(objs),
                               dynamic_cast<CoreGameObject*>(pivot), rotation);
    }

    void CoreGameObjectManager::rotateObjectsAroundCenter(const std::vector<GameObject*>& objs,
                                                          const Ogre::Quaternion& rotation)
    {
        rotateObjectsAroundCenter(castGameObjectsToCoreGameObjects(objs), rotation);
    }

    void CoreGameObjectManager::translateObjects(const std::vector<GameObject*>& objs,
                                                 const Ogre::Vector3& delta)
    {
        translateObjects(castGameObjectsToCoreGameObjects(objs), delta);
    }

    void CoreGameObjectManager::moveObjects(const std::vector<GameObject*>& objs,
                                            const Ogre::Vector3& target)
    {
        moveObjects(castGameObjectsToCoreGameObjects(objs), target);
    }

    void CoreGameObjectManager::scaleObjects(const std::vector<GameObject*>& objs,
                                             const Ogre::Vector3& factor)
    {
        scaleObjects(castGameObjectsToCoreGameObjects(objs), factor);
    }

    bool CoreGameObjectManager::linkObjects(const std::vector<GameObject*>& objs,
                                            GameObject* parent)
    {
        return linkObjects(castGameObjectsToCoreGameObjects(objs),
                           dynamic_cast<CoreGameObject*>(parent));
    }

    void CoreGameObjectManager::unlinkObjects(const std::vector<GameObject*>& objs)
    {
        unlinkObjects(castGameObjectsToCoreGameObjects(objs));
    }

    bool CoreGameObjectManager::saveCompoundGameObject(GameObject* object, const std::string& name)
    {
        return saveCompoundGameObject(dynamic_cast<CoreGameObject*>(object), name);
    }
}
