// wren-edit: the editor. Hosts one world folder and applies the commands of a
// script (one a line) through the object manager, printing one line per
// command; with --window it draws the world and is edited by keyboard and
// mouse as well. Saves only when a command (or Ctrl+S) says so.
#include "EditorWindow.h"
#include "WorldEditor.h"

#include <CLI/CLI.hpp>

#include <fstream>
#include <iostream>

int main(int argc, char** argv)
{
    CLI::App app{"Edits a world by a script of commands, one a line (see the README), or in a "
                 "window; saves only on a save command."};
    Wren::WorldEditorOptions options;
    Wren::EditorWindowOptions window;
    std::string script;
    bool xml = false;
    bool binary = false;
    bool drawn = false;
    options.logFile = "wren-edit.log";
    app.add_option("WORLD", options.world, "the world folder (as wren-generate writes it)")
        ->required();
    app.add_option("--script", script,
                   "the script; - reads standard input (the default without --window)");
    app.add_flag("--xml", xml, "read and save the XML objects files");
    app.add_flag("--binary", binary, "read and save the binary objects files")->excludes("--xml");
    app.add_option("--log", options.logFile, "the engine log file")->capture_default_str();
    app.add_flag("--window", drawn, "draw the world in a window and edit it there");
    app.add_option("--screenshot", window.screenshot, "the last frame as PNG (with --window)");
    app.add_option("--frames", window.frames, "close the window after so many frames");
    app.add_option("--width", options.width, "window width")->capture_default_str();
    app.add_option("--height", options.height, "window height")->capture_default_str();
    CLI11_PARSE(app, argc, argv);
    options.form = xml      ? Wren::WorldViewerOptions::Form::Xml
                   : binary ? Wren::WorldViewerOptions::Form::Binary
                            : Wren::WorldViewerOptions::Form::Auto;
    options.rendered = drawn;
    if (!drawn && (!window.screenshot.empty() || window.frames))
    {
        std::cerr << "wren-edit: --screenshot and --frames need --window\n";
        return 2;
    }
    if (script.empty() && !drawn)
        script = "-";

    std::ifstream file;
    if (!script.empty() && script != "-")
    {
        file.open(script);
        if (!file)
        {
            std::cerr << "wren-edit: can not read the script " << script << '\n';
            return 1;
        }
    }
    std::istream* in = script.empty() ? nullptr : script == "-" ? &std::cin : &file;
    Wren::WorldEditor editor(options);
    if (!editor.start())
    {
        std::cerr << "wren-edit: " << editor.getError() << '\n';
        return 1;
    }
    if (!drawn)
        return editor.runScript(*in, std::cout, std::cerr);
    return Wren::EditorWindow(editor, window).run(in, std::cout, std::cerr);
}
