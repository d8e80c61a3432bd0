#include "SceneExporter.h"

#include "CoreGameObject.h"
#include "CoreGameObjectManager.h"
#include "CorePartition.h"
#include "CorePartitionManager.h"
#include "DotSceneWriter.h"
#include "LightMetadata.h"
#include "MeshMetadata.h"
#include "ViewerEngine.h"
#include "WorldHost.h"
#include "WorldViewer.h"

#include <OgreLogManager.h>

#include <map>

namespace Wren
{
    namespace
    {
        typedef std::map<const CoreGameObject*, std::vector<CoreGameObject*>> ChildrenOf;

        DotSceneWriter::Node nodeOf(CoreGameObject* object, bool topLevel,
                                    const ChildrenOf& childrenOf)
        {
            DotSceneWriter::Node node;
            node.name = object->getName();
            node.position = topLevel ? object->getWorldPosition() : object->getPosition();
            node.orientation = topLevel ? object->getWorldOrientation() : object->getOrientation();
            node.scale = object->getScale();
            if (auto* light = dynamic_cast<LightMetadata*>(object->getMetadata()))
                node.light = light->getValues();
            else if (auto* mesh = dynamic_cast<MeshMetadata*>(object->getMetadata()))
                if (!mesh->getSubMeshes().empty())
                {
                    const MeshMetadata::SubMesh& sub = mesh->getSubMeshes().front();
                    node.mesh = sub.mesh.empty() ? sub.highLODMesh : sub.mesh;
                }
            auto children = childrenOf.find(object);
            if (children != childrenOf.end())
                for (CoreGameObject* child : children->second)
                    node.children.push_back(nodeOf(child, false, childrenOf));
            return node;
        }

        size_t countNodes(const std::vector<DotSceneWriter::Node>& nodes)
        {
            size_t count = nodes.size();
            for (const DotSceneWriter::Node& node : nodes)
                count += countNodes(node.children);
            return count;
        }
    }

    SceneExportResult SceneExporter::exportWorld(const std::string& folderPath,
                                                 const std::string& scenePath,
                                                 const std::string& logFile,
                                                 const std::string& pluginFolder)
    {
        SceneExportResult result;
        std::string error;
        std::optional<WorldFolder> folder = WorldFolder::find(folderPath, &error);
        WorldGrid grid;
        bool isGrid = false;
        if (!folder || !folder->readLayout(grid, isGrid, error))
        {
            result.error = error;
            return result;
        }
        ViewerEngine engine;
        if (!engine.start(ViewerEngine::Mode::Headless, logFile, pluginFolder))
        {
            result.error = "the engine does not start: " + engine.getError();
            return result;
        }
        std::vector<DotSceneWriter::Node> nodes;
        {
            WorldHost host;
            const bool binary = folder->binaryFiles > 0;
            if (!host.start(folder->hostSettings(isGrid, binary, 1, false)))
            {
                result.error = "the world " + folder->name + " does not start (see the log)";
                return result;
            }
            std::vector<CorePartition*> partitions;
            host.getManager()->getPartitionManager()->enumeratePartitions(partitions);
            for (CorePartition* partition : partitions)
            {
                const bool wasLoaded = partition->getLoaded();
                if (!wasLoaded)
                {
                    if (binary)
                        partition->loadBinary(folder->name);
                    else
                        partition->load(folder->name);
                }
                // A partition lists its objects' children too.
                ChildrenOf childrenOf;
                for (CoreGameObject* object : partition->getObjects())
                    if (object->getParent())
                        childrenOf[object->getParent()].push_back(object);
                for (CoreGameObject* object : partition->getObjects())
                    if (!object->getParent())
                        nodes.push_back(nodeOf(object, true, childrenOf));
                if (!wasLoaded)
                    binary ? partition->unloadBinary(false) : partition->unload(false);
                ++result.partitions;
            }
            host.stop();
        }
        result.nodes = countNodes(nodes);
        result.ok = DotSceneWriter::write(scenePath, nodes, result.error);
        if (result.ok)
            Ogre::LogManager::getSingleton().logMessage(
                "SceneExporter: wrote " + std::to_string(result.nodes) + " nodes of the world " +
                folder->name + " to " + scenePath);
        engine.stop();
        return result;
    }
}
