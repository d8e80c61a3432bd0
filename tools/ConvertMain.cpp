// wren-convert: turns a partition objects file between its XML form
// (".objects") and its binary form (".objbinary").
#include "ObjectsFileConverter.h"

#include <OgreLogManager.h>

#include <CLI/CLI.hpp>

#include <iostream>

int main(int argc, char** argv)
{
    CLI::App app{"Converts a partition objects file between XML and binary."};
    std::string input, output;
    bool force = false, json = false;
    app.add_option("INPUT", input, "the objects file (.objects or .objbinary)")->required();
    app.add_option("OUTPUT", output, "where to write (default: the other extension)");
    app.add_flag("-f,--force", force, "replace an existing output");
    app.add_flag("--json", json, "print the result as JSON");
    CLI11_PARSE(app, argc, argv);

    Ogre::LogManager logs;
    logs.createLog("wren-convert.log", true, false, true);
    const Wren::ObjectsFileConverter::Result result =
        Wren::ObjectsFileConverter::convert(input, output, force);
    if (json)
        std::cout << Wren::ObjectsFileConverter::toJson(result).dump(2) << '\n';
    else if (result.ok)
        std::cout << Wren::ObjectsFileConverter::describe(result) << '\n';
    if (!result.ok)
    {
        std::cerr << "wren-convert: " << result.error << '\n';
        return 1;
    }
    return 0;
}
