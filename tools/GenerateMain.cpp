// wren-generate: writes a sample world folder (world file, metadata files,
// one objects file per grid cell, resources.cfg) from a seed.
#include "AtomicFile.h"
#include "DotSceneWriter.h"
#include "WorldGenerator.h"

#include <OgreLogManager.h>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <unistd.h>

int main(int argc, char** argv)
{
    CLI::App app{"Writes a sample world: an N x N grid of cells filled with objects placed "
                 "from a seed. The folder's name is the world's name."};
    Wren::WorldGeneratorOptions options;
    std::string folder;
    std::string jsonFile;
    std::string types;
    bool scene = false;
    app.add_option("--cells", options.cells, "cells along each side of the grid (1-64)")
        ->capture_default_str();
    app.add_option("--objects-per-cell", options.objectsPerCell, "objects in every cell")
        ->capture_default_str();
    app.add_option("--seed", options.seed, "seed of the placement and of the names' time")
        ->capture_default_str();
    app.add_option("--dummies", options.dummiesPerCell,
                   "dummy objects (markers shown by the placeholder box) in every cell")
        ->capture_default_str();
    app.add_option("--compounds", options.compoundsPerCell,
                   "compound objects (a small group read from W/Compounds) in every cell")
        ->capture_default_str();
    app.add_option("--types", types,
                   "the object kinds of the world, comma-separated: mesh, light, particle, "
                   "effect, sound, dummy, compound, or all (default: mesh, with the dummies "
                   "and compounds asked for); a kind without a count gets one per cell");
    app.add_option("--cell-size", options.cellSize, "edge length of a cell")->capture_default_str();
    app.add_option("--load-radius", options.loadRadius, "streaming radius between cell centres")
        ->capture_default_str();
    app.add_flag("--binary", options.binary, "write the objects files in the binary form");
    app.add_flag("--force", options.replace,
                 "write into a folder that is not empty (replaces a world generated before)");
    app.add_flag("--scene", scene,
                 "also write W/W.scene: the same objects for OGRE's own scene loader");
    app.add_option("--json", jsonFile, "also write the summary as JSON to this file");
    app.add_option("OUT", folder, "the world folder to write")->required();
    CLI11_PARSE(app, argc, argv);
    if (!types.empty())
    {
        const std::string refused = Wren::WorldGenerator::chooseTypes(types, options);
        if (!refused.empty())
        {
            std::cerr << "wren-generate: --types: " << refused << '\n';
            return 1;
        }
    }

    // A mistyped parent is refused rather than made.
    std::error_code ec;
    std::filesystem::path out = std::filesystem::absolute(folder, ec).lexically_normal();
    if (out.filename().empty())
        out = out.parent_path();
    if (!std::filesystem::is_directory(out.parent_path(), ec))
    {
        std::cerr << "wren-generate: " << folder << ": the folder that should hold it does not exist\n";
        return 1;
    }

    Ogre::LogManager logs;
    logs.createLog("wren-generate.log", true, false, true);

    const bool terminal = isatty(STDOUT_FILENO);
    Wren::WorldGenerator generator(options);
    Wren::WorldGeneratorResult result =
        generator.generate(folder, [terminal](size_t done, size_t total) {
            if (terminal)
                std::cout << "\rwriting cells " << done << "/" << total << std::flush;
        });
    if (terminal)
        std::cout << "\r\033[K" << std::flush;

    if (!jsonFile.empty())
    {
        const std::string text = Wren::WorldGenerator::toJson(result).dump(2) + "\n";
        if (!Wren::AtomicFile::write(jsonFile, text.data(), text.size()))
        {
            std::cerr << "wren-generate: can not write " << jsonFile << '\n';
            return 1;
        }
    }
    if (!result.ok)
    {
        std::cerr << "wren-generate: " << result.folder << ": " << result.error << '\n';
        return 1;
    }
    if (scene)
    {
        const std::string path = result.folder + "/" + result.worldName + ".scene";
        std::string error;
        if (!Wren::DotSceneWriter::write(
                path, generator.place(), result.grid,
                Wren::DotSceneWriter::meshNamesOf(generator.getOptions().templates), error))
        {
            std::cerr << "wren-generate: " << error << '\n';
            return 1;
        }
    }
    std::cout << "wrote the world " << result.worldName << '\n'
              << Wren::WorldGenerator::formatTable(result);
    for (const std::string& note : result.notes)
        std::cout << "note: " << note << '\n';
    return 0;
}
