#ifndef __WrenObjectTypesTestWorld_H__
#define __WrenObjectTypesTestWorld_H__

#include "MeshTestWorld.h"

#include "PlaceHolderGameObject.h"

#include <algorithm>
#include <string>

namespace Wren
{
namespace Test
{
    /** A partition that streaming keeps loaded while the camera is in it. */
    class StreamedPartition : public CorePartition
    {
    public:
        using CorePartition::CorePartition;
        void enumerateConnectedPartitions(std::vector<CorePartition*>& out) override
        {
            out.push_back(this);
        }
    };

    /** A mesh world with the placeholder media: "Box0Point5Meters.meta"
        showing a mesh of that box's name, and a second mesh template
        "star.meta". Partition "0_0" lies at the origin. Placeholders are
        made invisible, as at start-up, and the switch is put back when the
        world goes. */
    struct ObjectTypesWorld : MeshWorld
    {
        ObjectTypesWorld()
        {
            makeMesh("Box0Point5Meters.mesh");
            makeMesh("Star.mesh");
            writeMeta(PlaceHolderGameObject::PLACEHOLDER_META_ID,
                      meshMeta("<SubMeshData Mesh=\"Box0Point5Meters.mesh\"/>"));
            writeMeta("star.meta", meshMeta("<SubMeshData Mesh=\"Star.mesh\"/>"));
            PlaceHolderGameObject::setVisibleStatic(false);
        }
        ~ObjectTypesWorld() { PlaceHolderGameObject::setVisibleStatic(false); }

        void writeDummyMeta(const std::string& id, const std::string& placeHolder)
        {
            writeMeta(id, "<MetaData ObjectType=\"DummyGameObject\" Name=\"marker\"><CoreData/>"
                          "<DummyMetaData PlaceHolder=\"" + placeHolder + "\"/></MetaData>");
        }
        /** A template of a placeholder type with its own element, shown
            within 20 units (high detail within 14). */
        void writeTypeMeta(const std::string& id, const std::string& type,
                           const std::string& data)
        {
            writeMeta(id, "<MetaData ObjectType=\"" + type + "\" Name=\"thing\">"
                          "<CoreData SizeHint=\"20\"/>" + data + "</MetaData>");
        }
        /** Puts the player camera at x on the x axis, where the next
            streaming step sees it. */
        void moveCamera(float x)
        {
            cameraNode->setPosition(x, 0, 0);
            cameraNode->_update(true, false);
        }
        /** Streams with a tiny time step (so that timers started meanwhile
            stay near 0) until done() holds; false when it never does. */
        template <class Done>
        bool stepUntil(Done done)
        {
            for (int frame = 0; frame < 20 && !done(); ++frame)
                manager->update(0.001f);
            return done();
        }
        void writeCompoundMeta(const std::string& id, const std::string& objectsFile)
        {
            writeMeta(id, "<MetaData ObjectType=\"CompoundGameObject\" Name=\"camp\"><CoreData/>"
                          "<CompoundData ObjectsFileName=\"" + objectsFile + "\"/></MetaData>");
        }
        /** Writes the objects file of partition "0_0" of the world "w" and
            declares (or indexes again) its folder; returns the folder. */
        std::string writePartitionFile(const std::string& objects)
        {
            const std::string folder = worlds + "/w/Partitions";
            std::filesystem::create_directories(folder);
            TestEngine::writeFile(folder, "w_Partition0_0.objects",
                                  "<Objects>" + objects + "</Objects>");
            indexPartitionsFolder();
            return folder;
        }
        /** Makes the resource groups see the files of w's partitions folder. */
        void indexPartitionsFolder()
        {
            const std::string folder = worlds + "/w/Partitions";
            Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
            for (const char* group : {"General", "PLSM2"})
                if (groups.resourceLocationExists(folder, group))
                    groups.removeResourceLocation(folder, group);
            if (std::find(declaredFolders.begin(), declaredFolders.end(), folder) !=
                declaredFolders.end())
                declaredFolders.erase(
                    std::find(declaredFolders.begin(), declaredFolders.end(), folder));
            declarePartitionsFolder("w");
        }
        /** Starts the world "w" with the partition "0_0" at the origin. */
        bool start()
        {
            writeWorld("w", "");
            return CoreTestWorld::start("w");
        }
        /** Starts "w" with its partition loaded by streaming, so that the
            partition manager's steps follow the camera for its objects. */
        bool startStreamed()
        {
            makePartition = [](const std::string& id, const Ogre::Vector3& origin,
                               CorePartitionManager* m) -> CorePartition* {
                return new StreamedPartition(id, origin, m);
            };
            if (!start())
                return false;
            partition("0_0")->unload(false);
            for (int step = 0; step < 10 && partitions->GetLoadPartitions().empty(); ++step)
                manager->update(0.02f);
            return !partitions->GetLoadPartitions().empty();
        }
        template <class T>
        T* make(const std::string& metaID, const Ogre::Vector3& position = Ogre::Vector3::ZERO)
        {
            return dynamic_cast<T*>(manager->createCoreGameObject(metaID, position));
        }
    };
}
}

#endif
