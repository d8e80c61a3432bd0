#ifndef __WrenMeshTestWorld_H__
#define __WrenMeshTestWorld_H__

#include "../core/CoreGameObjectTestWorld.h"

#include "ExtensionGameObjectFactory.h"
#include "MeshGameObject.h"
#include "MeshMetadata.h"
#include "XMLDataFile.h"

#include <OgreManualObject.h>
#include <OgreMeshManager.h>

#include <gtest/gtest.h>

#include <string>

namespace Wren
{
namespace Test
{
    /** Makes a one-triangle mesh of that name in "General" once. */
    inline void makeMesh(const std::string& name)
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

    inline std::string meshMeta(const std::string& subMeshes, const std::string& flags = "",
                                const std::string& extra = "")
    {
        return "<MetaData ObjectType=\"MeshGameObject\" Name=\"rock\"><CoreData SizeHint=\"Small\"/>"
               "<MeshData " + flags + ">" + subMeshes + extra + "</MeshData></MetaData>";
    }

    /** A test world whose factory is the extension factory. */
    struct MeshWorld : CoreTestWorld
    {
        explicit MeshWorld(bool editing = true) : CoreTestWorld(editing)
        {
            objectFactories->addGameObjectFactory(new ExtensionGameObjectFactory);
            makeMesh("testHigh.mesh");
            makeMesh("testLow.mesh");
        }
        void writeMeta(const std::string& id, const std::string& text)
        {
            TestEngine::writeFile(engine.getGeneralFolder(), id, text);
        }
        /** Brings the object to level as the partition manager would, also
            when the object queued itself for that level on creation. */
        static void showAt(CoreGameObject* object, LevelOfDetail level)
        {
            if (object->getLevelOfDetail() == level && object->getQueuedForLODChange())
            {
                object->changeLODLoadResources(true);
                object->changeLODFinalize(true);
            }
            else
                object->setLevelOfDetail(level, true);
        }
        /** Writes the template "rock.meta" and starts the world "w". */
        bool startWith(const std::string& rockMeta)
        {
            writeMeta("rock.meta", rockMeta);
            writeWorld("w", "");
            return start("w");
        }
        MeshGameObject* createMesh(const std::string& metaID)
        {
            return dynamic_cast<MeshGameObject*>(
                manager->createCoreGameObject(metaID, Ogre::Vector3(1, 0, 1)));
        }
    };

    inline MeshMetadata loadMeta(const std::string& text)
    {
        TestEngine::instance();
        XMLDataFile file;
        file.load(text.c_str());
        DataElementPtr root = file.getRootElement();
        MeshMetadata meta("m.meta", nullptr);
        EXPECT_TRUE(meta.load(root));
        return meta;
    }
}
}

#endif
