#ifndef __WrenObjectTypesTestWorld_H__
#define __WrenObjectTypesTestWorld_H__

#include "MeshTestWorld.h"

#include "PlaceHolderGameObject.h"

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
