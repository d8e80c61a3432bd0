#ifndef __WrenSceneExporter_H__
#define __WrenSceneExporter_H__

#include <string>

namespace Wren
{
    /** What an export wrote. */
    struct SceneExportResult
    {
        bool ok = false;
        /** Why the scene was not written. */
        std::string error;
        /** Objects written as nodes, children included. */
        size_t nodes = 0;
        size_t partitions = 0;
    };

    /** Writes a world folder (as wren-generate or wren-import write them)
        as an OGRE ".scene" file through DotSceneWriter, so that the world
        opens in any DotScene reader.

        The world starts headless through WorldHost, as the viewer starts
        it (in the form of objects files the folder holds, binary when it
        has any); its partitions are then loaded one after another, their
        objects written and the partition unloaded again, so only one
        partition is in memory at a time. Every object becomes a node named
        after it, top-level objects at their world transforms, children
        nested inside their parents' nodes at their own; a mesh object's
        node gets an entity of its template's first mesh, a light object's
        node the light of its template, other objects a node with nothing
        on it. Nothing of the world is saved.
    */
    class SceneExporter
    {
    public:
        /** Exports the world in folder to scenePath (written through a
            temporary file). logFile: the engine log, empty to keep it in
            memory; pluginFolder: where OGRE's plugins are, empty where the
            build found them. */
        static SceneExportResult exportWorld(const std::string& folder,
                                             const std::string& scenePath,
                                             const std::string& logFile = std::string(),
                                             const std::string& pluginFolder = std::string());
    };
}

#endif
