// wren-import: turns an OGRE ".scene" file into a grid world folder.
#include "SceneImporter.h"

#include <CLI/CLI.hpp>

#include <iostream>

int main(int argc, char** argv)
{
    CLI::App app{"Imports an OGRE .scene file (read by OGRE's own scene loader) as a grid world "
                 "folder. The folder's name is the world's name."};
    std::string scene, folder;
    Wren::SceneImportOptions options;
    app.add_option("SCENE", scene, "the .scene file")->required();
    app.add_option("OUT", folder, "the world folder to write")->required();
    app.add_option("--cell-size", options.cellSize, "edge length of a grid cell")
        ->capture_default_str();
    app.add_flag("--binary", options.binary, "write the objects files in the binary form");
    app.add_flag("--force", options.replace, "write into a folder that is not empty");
    app.add_option("--log", options.logFile, "write the engine log to this file");
    CLI11_PARSE(app, argc, argv);

    const Wren::SceneImportResult result = Wren::SceneImporter::import(scene, folder, options);
    std::cout << Wren::SceneImporter::formatReport(result);
    if (!result.ok())
    {
        std::cerr << "wren-import: " << scene << ": " << result.error << '\n';
        return 1;
    }
    return 0;
}
