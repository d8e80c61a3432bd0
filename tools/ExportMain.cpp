// wren-export: writes a world folder as an OGRE ".scene" file.
#include "SceneExporter.h"

#include <CLI/CLI.hpp>

#include <iostream>

int main(int argc, char** argv)
{
    CLI::App app{"Writes every object of a world folder as a node of an OGRE .scene file."};
    std::string folder, scene, logFile;
    app.add_option("WORLD", folder, "the world folder")->required();
    app.add_option("OUT", scene, "the .scene file to write")->required();
    app.add_option("--log", logFile, "write the engine log to this file");
    CLI11_PARSE(app, argc, argv);

    const Wren::SceneExportResult result = Wren::SceneExporter::exportWorld(folder, scene, logFile);
    if (!result.ok)
    {
        std::cerr << "wren-export: " << folder << ": " << result.error << '\n';
        return 1;
    }
    std::cout << "wrote " << result.nodes << " nodes of " << result.partitions << " partitions to "
              << scene << '\n';
    return 0;
}
