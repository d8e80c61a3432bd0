#ifndef __WrenObjectTypesTestWorld_H__
#define __WrenObjectTypesTestWorld_H__

#include "../core/CoreGameObjectTestWorld.h"

#include "ExtensionGameObjectFactory.h"
#include "PlaceHolderGameObject.h"

#include <OgreManualObject.h>
#include <OgreMeshManager.h>

#include <string>

namespace Wren
{
namespace Test
{
    /** A one-triangle mesh of that name in "General", made once. */
    inline void makeTriangleMesh(const std::string& name)
    {
        if (Ogre::MeshManager::getSingleton().resourceExists(name, "General"))
            return;
        Ogre::SceneManager* scene = TestEngine::instance().getSceneManager();
        Ogre::ManualObject* manual = scene->createManualObject();
        manual->begin("BaseWhite");
        manual->position(0, 0, 0);
        manual->position(1, 0, 0);
        manual->position(0, 1, 0);
        manual->triangle(0, 1, 2);
        manual->end();
        manual->convertToMesh(name, "General");
        scene->destroyManualObject(manual);
    }

    /** A world of the extension factory (and the stand-ins) with the
        placeholder media: "Box0Point5Meters.meta" showing a mesh of that
        box's name, and a second mesh template "star.meta". Partition "0_0"
        lies at the origin. Placeholders are made invisible, as at start-up,
        and the switch is put back when the world goes. */
    struct ObjectTypesWorld : CoreTestWorld
    {
        ObjectTypesWorld()
        {
            objectFactories->addGameObjectFactory(new ExtensionGameObjectFactory);
            makeTriangleMesh("Box0Point5Meters.mesh");
            makeTriangleMesh("Star.mesh");
            writeMeta(PlaceHolderGameObject::PLACEHOLDER_META_ID, meshMeta("Box0Point5Meters"));
            writeMeta("star.meta", meshMeta("Star"));
            PlaceHolderGameObject::setVisibleStatic(false);
        }
        ~ObjectTypesWorld() { PlaceHolderGameObject::setVisibleStatic(false); }

        static std::string meshMeta(const std::string& mesh)
        {
            return "<MetaData ObjectType=\"MeshGameObject\" Name=\"" + mesh +
                   "\"><CoreData SizeHint=\"Small\"/><MeshData><SubMeshData Mesh=\"" + mesh +
                   ".mesh\"/></MeshData></MetaData>";
        }
        void writeMeta(const std::string& id, const std::string& text)
        {
            TestEngine::writeFile(engine.getGeneralFolder(), id, text);
        }
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
