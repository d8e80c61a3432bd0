// wren-edit: the scripted editor. Hosts one world folder, applies the
// commands of a script (one a line) through the object manager, prints one
// line per command, and saves only when a command says so.
#include "WorldEditor.h"

#include <CLI/CLI.hpp>

#include <fstream>
#include <iostream>

int main(int argc, char** argv)
{
    CLI::App app{"Edits a world by a script of commands, one a line (see the README); saves only "
                 "on a save command."};
    Wren::WorldEditorOptions options;
    std::string script = "-";
    bool xml = false;
    bool binary = false;
    options.logFile = "wren-edit.log";
    app.add_option("WORLD", options.world, "the world folder (as wren-generate writes it)")
        ->required();
    app.add_option("--script", script, "the script; - reads standard input")->capture_default_str();
    app.add_flag("--xml", xml, "read and save the XML objects files");
    app.add_flag("--binary", binary, "read and save the binary objects files")->excludes("--xml");
    app.add_option("--log", options.logFile, "the engine log file")->capture_default_str();
    CLI11_PARSE(app, argc, argv);
    options.form = xml      ? Wren::WorldViewerOptions::Form::Xml
                   : binary ? Wren::WorldViewerOptions::Form::Binary
                            : Wren::WorldViewerOptions::Form::Auto;

    std::ifstream file;
    if (script != "-")
    {
        file.open(script);
        if (!file)
        {
            std::cerr << "wren-edit: can not read the script " << script << '\n';
            return 1;
        }
    }
    Wren::WorldEditor editor(options);
    if (!editor.start())
    {
        std::cerr << "wren-edit: " << editor.getError() << '\n';
        return 1;
    }
    return editor.runScript(script == "-" ? std::cin : file, std::cout, std::cerr);
}
