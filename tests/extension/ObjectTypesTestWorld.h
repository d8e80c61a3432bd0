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
        template <class T>
        T* make(const std::string& metaID, const Ogre::Vector3& position = Ogre::Vector3::ZERO)
        {
            return dynamic_cast<T*>(manager->createCoreGameObject(metaID, position));
        }
    };
}
}

#endif
