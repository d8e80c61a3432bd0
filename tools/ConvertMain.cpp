// wren-convert: turns a partition objects file, or every one of a world
// folder, between its XML form (".objects") and its binary form
// (".objbinary").
#include "ObjectsFileConverter.h"

#include <OgreLogManager.h>

#include <CLI/CLI.hpp>

#include <exception>
#include <filesystem>
#include <iostream>

int main(int argc, char** argv)
{
    typedef Wren::ObjectsFileConverter Converter;
    CLI::App app{"Converts a partition objects file, or every one of a world folder, between XML "
                 "and binary."};
    std::string input, output, to;
    Converter::Options options;
    bool json = false;
    app.add_option("INPUT", input, "the objects file (.objects or .objbinary) or a world folder")
        ->required();
    app.add_option("OUTPUT", output, "where to write a file (default: the other extension)");
    app.add_flag("-f,--force", options.overwrite, "replace an existing output");
    app.add_flag("--allow-loss", options.allowLoss,
                 "convert to binary even what the record can not keep, listing what is left behind");
    app.add_flag("--verify", options.verify, "read each written file back and compare");
    app.add_option("--to", to, "for a folder: the form to convert to")
        ->check(CLI::IsMember({"xml", "binary"}));
    app.add_flag("--json", json, "print the result as JSON");
    CLI11_PARSE(app, argc, argv);

    try
    {
        Ogre::LogManager logs;
        logs.createLog("wren-convert.log", true, false, true);
        std::error_code ec;
        if (std::filesystem::is_directory(input, ec))
        {
            if (!output.empty())
            {
                std::cerr << "wren-convert: a folder is converted in place; OUTPUT is not taken\n";
                return 1;
            }
            if (!to.empty())
                options.to = to == "xml" ? Converter::Form::Xml : Converter::Form::Binary;
            const Converter::FolderResult result = Converter::convertFolder(input, options);
            if (json)
                std::cout << Converter::toJson(result).dump(2) << '\n';
            else if (result.error.empty())
                std::cout << Converter::describe(result) << '\n';
            if (!result.ok)
            {
                std::cerr << "wren-convert: "
                          << (result.error.empty() ? "some objects files were not converted"
                                                   : result.error)
                          << '\n';
                return 1;
            }
            return 0;
        }
        const Converter::Result result = Converter::convert(input, output, options);
        if (json)
            std::cout << Converter::toJson(result).dump(2) << '\n';
        else if (result.ok)
            std::cout << Converter::describe(result) << '\n';
        if (!result.ok)
        {
            std::cerr << "wren-convert: " << result.error << '\n';
            return 1;
        }
        return 0;
    }
    catch (const std::exception& e)
    {
        std::cerr << "wren-convert: " << e.what() << '\n';
        return 1;
    }
}
