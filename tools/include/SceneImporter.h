#ifndef __WrenSceneImporter_H__
#define __WrenSceneImporter_H__

#include "WorldGenerator.h"

#include <string>
#include <vector>

namespace Wren
{
    struct SceneImportOptions
    {
        /** Edge length of the grid's cells; the grid gets as many cells
            along each side as it needs to hold every node. */
        float cellSize = 256.0f;
        /** Objects files in the binary form instead of XML. */
        bool binary = false;
        /** Allow writing into a folder that is not empty. */
        bool replace = false;
        /** Where OGRE's plugins are (Plugin_DotScene); empty: where the
            build found them. */
        std::string pluginFolder;
        /** The engine log; empty: kept in memory. */
        std::string logFile;
    };

    /** What an import made of a scene. */
    struct SceneImportResult
    {
        /** The world as written; world.ok is false when nothing was. */
        WorldGeneratorResult world;
        /** Why nothing was imported (a scene that can not be read, a world
            that can not be written); empty otherwise. */
        std::string error;
        /** Objects made: meshes (children included) and lights. */
        size_t imported = 0;
        size_t lights = 0;
        /** What could not be placed, one line each ("node 'n': ..."). */
        std::vector<std::string> refused;

        /** Whether anything was imported. */
        bool ok() const { return world.ok && imported > 0; }
    };

    /** Turns an OGRE ".scene" file into a grid world folder, laid out as
        WorldGenerator writes one. The scene is read by OGRE's own scene
        loader (Plugin_DotScene) into a scene manager of its own, with the
        scene's folder (and those below it) as the resource location of its
        meshes and materials.

        Every node with an entity becomes a "MeshGameObject" named after the
        node, at the node's world transform, in the grid cell under its
        position; nodes below it become its child objects at their own
        transforms, further entities of the node children without one. One
        template per distinct mesh, "<mesh>.meta" naming the mesh for both
        levels of detail, static unless the node's user data sets "static"
        to false (a dynamic twin "<mesh>Dynamic.meta" then), collidable by
        the mesh itself, its size hint from the radius of the mesh's bounds.
        A node holding a light becomes a "LightGameObject" of a template per
        distinct light ("SceneLight<k>.meta"). The meshes, their skeletons,
        the material scripts they use and the textures of those go into
        W/Media, which resources.cfg declares.

        Refused, each listed: a node with neither entity nor light nor
        children (a mesh that can not be found leaves its node so), a
        mesh that can not be loaded, an object the node holds besides
        entities and lights (a camera, a particle system). A node without
        entity whose children import is not a refusal: its transform passes
        on to them.

        Runs on a headless engine of its own (ViewerEngine), or on the Root
        that exists.
    */
    class SceneImporter
    {
    public:
        /** Imports scenePath into folder (whose last component is the world
            name). */
        static SceneImportResult import(const std::string& scenePath, const std::string& folder,
                                        const SceneImportOptions& options = SceneImportOptions());

        /** Makes sure OGRE's scene loader is there, loading Plugin_DotScene
            from pluginFolder (empty: where the build found it) when it is
            not; false, with the reason in error, when it can not be had. */
        static bool ensureSceneLoader(const std::string& pluginFolder, std::string& error);

        /** The grid side, in cells of cellSize, that holds every position
            strictly inside its cells; 0 when more than GridLayout::MaxCells
            would be needed. */
        static int cellsToHold(const std::vector<Ogre::Vector3>& positions, float cellSize);

        /** "SizeHint" of a mesh of that bounding radius. */
        static std::string sizeHintOf(float radius);

        /** The result for people: what was written, the counts, then the
            refusals. */
        static std::string formatReport(const SceneImportResult& result);

    private:
        /** The import once the scene's text is read and the engine runs. */
        static SceneImportResult importScene(std::string text, const std::string& scenePath,
                                             const std::string& folder,
                                             const SceneImportOptions& options,
                                             SceneImportResult& result);
    };
}

#endif
