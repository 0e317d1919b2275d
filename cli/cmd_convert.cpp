// "convert": any project, CSV or EDL file into any scene-list format.
#include <iostream>

#include "app/settings_store.h"
#include "cli/command_registry.h"
#include "cli/input_checks.h"
#include "cli/run_context.h"
#include "media/source_probe.h"
#include "scene/scene_file_formats.h"

namespace klemora::cli {
namespace {

struct ConvertOptions {
    std::string input, output, format, searchDir;
};

int convert(const ConvertOptions& options, TerminalUserInterface& ui) {
    auto filter = scene::saveFilterFor(options.output, options.format);
    if (!filter) {
        std::cerr << "klemora-cli convert: unknown output format (known: " << scene::saveFormatNames() << ")\n";
        return 2;
    }
    if (!inputFileExists(options.input, ui)) return 1;
    ui.setBatchDirectory(options.searchDir);
    scene::GroupTree tree;
    media::MediaSourceProbe probe = sourceProbe(ui);
    scene::ProjectSession session(tree, app::settings(), probe);
    if (scene::loadProject(session, options.input, scene::loadFilterFor(options.input), ui) != 1) return 1;
    int rc = scene::writeSceneFile(session, options.output, *filter, ui);
    if (rc != 1) return 1;
    std::cout << options.output << ": " << tree.totalScenes() << " scenes in " << tree.groupCount() << " groups\n";
    return 0;
}

RegisterCommand registration(
    "convert", "Read a project, CSV or EDL file and write it in another scene-list format",
    [](CLI::App& sub, CommandAction& action) {
        auto options = std::make_shared<ConvertOptions>();
        sub.add_option("IN", options->input, "Project (.scn), CSV (.csv) or Vegas EDL (.txt)")->required();
        sub.add_option("OUT", options->output, "File to write")->required();
        sub.add_option("--format", options->format, "Output format (default: from the extension): " +
                                                         scene::saveFormatNames());
        sub.add_option("--search-dir", options->searchDir, "Folder to look in for moved source files");
        action = [options](TerminalUserInterface& ui) { return convert(*options, ui); };
    });

}  // namespace
}  // namespace klemora::cli
