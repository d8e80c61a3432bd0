// wren-view: the client's main loop over a world folder. Flies the player
// camera along a route, streams the world around it, and reports what
// happened: a progress line while it runs, a summary table at the end, and
// on request a map picture, a JSON file and (drawn runs) a screenshot.
#include "AtomicFile.h"
#include "CameraPath.h"
#include "ViewerProgress.h"
#include "ViewerReport.h"
#include "ViewerSoak.h"
#include "WorldViewer.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cmath>
#include <iostream>
#include <optional>
#include <unistd.h>

int main(int argc, char** argv)
{
    CLI::App app{"Flies the player camera over a world and streams it, as a game client does. "
                 "Headless unless --render; nothing is saved."};
    Wren::WorldViewerOptions options;
    bool xml = false;
    bool binary = false;
    bool foreground = false;
    bool quiet = false;
    std::string paths;
    for (const std::string& name : Wren::CameraPath::names())
        paths += (paths.empty() ? "" : ", ") + name;

    app.add_option("WORLD", options.world, "the world folder (as wren-generate writes it)")
        ->required();
    app.add_option("--path", options.path, "camera route: " + paths)->capture_default_str();
    app.add_option("--speed", options.speed, "camera speed, units per second")
        ->capture_default_str();
    app.add_option("--step", options.timeStep, "fixed time step of a frame, seconds")
        ->capture_default_str();
    app.add_option("--height", options.height, "camera height above the ground")
        ->capture_default_str();
    app.add_option("--view-range", options.viewRangeScale,
                   "the partition manager's view-range scale (default: the world file's)");
    long long frames = 0;
    app.add_option("--frames", frames, "frames to run (0: one pass of the route)")
        ->capture_default_str();
    app.add_option("--lod-per-step", options.lodChangesPerStep,
                   "level-of-detail changes started per streaming step (1 or 5)")
        ->check(CLI::IsMember({1u, 5u}))
        ->capture_default_str();
    app.add_flag("--xml", xml, "read the XML objects files");
    app.add_flag("--binary", binary, "read the binary objects files")->excludes("--xml");
    app.add_option("--load-budget", options.loadBudget,
                   "milliseconds a streaming step may spend bringing a partition in or taking one "
                   "out (0: a whole partition a step; default: the world's)")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--hold-radius", options.holdRadius,
                   "loaded cells this close to the camera stay loaded when it changes cell "
                   "(default: the world's, the load radius)")
        ->check(CLI::NonNegativeNumber);
    app.add_flag("--no-background", foreground,
                 "read partition files on the frame thread instead of the loader thread");
    app.add_flag("--real-time", options.realTime,
                 "start each frame at its time on the route, as a game does (the loader thread "
                 "keeps up as in a game)");
    app.add_flag("--render", options.render, "draw every frame with OGRE's GL render system");
    app.add_option("--screenshot", options.screenshot, "save the last frame as PNG (with --render)");
    app.add_flag("--impostors", options.impostors, "draw distant meshes as impostors (with --render)");
    app.add_option("--map", options.mapFile, "write a top-down picture of the run as PNG");
    app.add_option("--json", options.jsonFile, "write the summary as JSON");
    app.add_option("--log", options.logFile, "write the engine log to this file");
    app.add_flag("--quiet", quiet, "no progress while running");
    bool soak = false;
    std::string soakJson;
    app.add_flag("--soak", soak,
                 "fly the circle over and over (--frames, default " +
                     std::to_string(Wren::ViewerSoak::DefaultFrames) +
                     ") and fail when what lives grows from the second pass to the last");
    app.add_option("--soak-json", soakJson, "write the passes of the soak as JSON");
    CLI11_PARSE(app, argc, argv);
    auto refuse = [](const std::string& why) {
        std::cerr << "wren-view: " << why << '\n';
        return 2;
    };
    if (frames < 0)
        return refuse("--frames must be 0 (one pass) or more");
    if (!std::isfinite(options.height))
        return refuse("--height must be a finite number");
    if (!std::isfinite(options.timeStep) || !(options.timeStep > 0.0f))
        return refuse("--step must be a number above zero");
    if (!std::isfinite(options.speed) || !(options.speed > 0.0f))
        return refuse("--speed must be a number above zero");
    if (app.count("--view-range") && (!std::isfinite(options.viewRangeScale) ||
                                      !(options.viewRangeScale > 0.0f)))
        return refuse("--view-range must be a number above zero");
    options.frames = std::uint64_t(frames);
    if (soak)
    {
        options.path = "circle";
        if (!options.frames)
            options.frames = Wren::ViewerSoak::DefaultFrames;
    }

    options.form = xml      ? Wren::WorldViewerOptions::Form::Xml
                   : binary ? Wren::WorldViewerOptions::Form::Binary
                            : Wren::WorldViewerOptions::Form::Auto;
    options.backgroundLoading = !foreground;

    std::optional<Wren::ViewerProgress> progress;
    Wren::WorldViewer viewer(options);
    const Wren::WorldViewer::FrameListener report = [&](const Wren::ViewerFigures& figures) {
        if (quiet)
            return;
        if (!progress)
            progress.emplace(isatty(STDOUT_FILENO), viewer.getPlannedFrames());
        std::cout << progress->onFrame(figures) << std::flush;
    };
    Wren::ViewerSoak soaking;
    const bool ok = soak ? soaking.fly(viewer, report) : viewer.run(report);
    if (progress)
        std::cout << progress->finish();
    for (const std::string& warning : viewer.getWarnings())
        std::cerr << "wren-view: " << warning << '\n';
    if (!ok)
    {
        std::cerr << "wren-view: " << viewer.getError() << '\n';
        return viewer.getOptionsRefused() ? 2 : 1;
    }
    std::cout << "world " << options.world << " (" << (viewer.getUsedBinaryFiles() ? "binary" : "XML")
              << " objects files, " << viewer.getGrid().cellsX << " x " << viewer.getGrid().cellsZ
              << " cells, view-range scale " << viewer.getViewRangeScale() << ")\n"
              << Wren::ViewerReport::formatTable(viewer.getSummary());
    const std::string unused = Wren::ViewerReport::describeUnused(viewer.getSummary());
    if (!unused.empty())
        std::cout << unused << '\n';
    int status = 0;
    for (const std::string& failure : viewer.getOutputFailures())
    {
        std::cerr << "wren-view: " << failure << '\n';
        status = 1;
    }
    if (!soak)
        return status;
    std::cout << Wren::ViewerSoak::formatTable(soaking.getPasses());
    if (!soakJson.empty())
    {
        const std::string text = soaking.toJson().dump(2) + "\n";
        if (!Wren::AtomicFile::write(soakJson, text.data(), text.size()))
        {
            std::cerr << "wren-view: can not write " << soakJson << '\n';
            status = 1;
        }
    }
    const std::vector<std::string> growth = soaking.findGrowth();
    for (const std::string& line : growth)
        std::cerr << "wren-view: soak: " << line << '\n';
    if (!growth.empty())
        return 1;
    std::cout << "soak: nothing grew from the second pass to the last\n";
    return status;
}
