// wren-dump: prints the element tree of a data file, XML or binary, one
// element a line, indented by depth.
#include "DataFileDump.h"

#include <OgreLogManager.h>

#include <CLI/CLI.hpp>

#include <exception>
#include <iostream>

int main(int argc, char** argv)
{
    CLI::App app{"Prints the element tree of a data file (XML or binary)."};
    std::string file;
    app.add_option("FILE", file, "the data file")->required();
    CLI11_PARSE(app, argc, argv);

    try
    {
        Ogre::LogManager logs;
        logs.createLog("wren-dump.log", true, false, true);
        std::string error;
        if (!Wren::DataFileDump::dump(file, std::cout, error))
        {
            std::cerr << "wren-dump: " << error << '\n';
            return 1;
        }
        return 0;
    }
    catch (const std::exception& e)
    {
        std::cerr << "wren-dump: " << e.what() << '\n';
        return 1;
    }
}
