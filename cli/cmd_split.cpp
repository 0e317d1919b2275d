// "split": AVI files cut into parts of a fixed number of frames or seconds,
// each part holding exactly its frames.
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/settings_store.h"
#include "cli/command_registry.h"
#include "cli/option_checks.h"
#include "cli/run_context.h"
#include "media/media_settings.h"
#include "output/additional_settings.h"
#include "output/split_file.h"
#include "output/write_context.h"

namespace klemora::cli {
namespace {

struct SplitOptions {
    std::vector<std::string> files;
    int frames = 0;
    int seconds = 0;
    std::string destination;
    std::string nameTemplate;
    bool nameFromSource = false;
};

int splitFiles(const SplitOptions& options, TerminalUserInterface& ui) {
    std::error_code ec;
    std::filesystem::create_directories(options.destination, ec);
    if (ec) {
        std::cerr << "klemora-cli split: cannot create " << options.destination << ": " << ec.message() << '\n';
        return 1;
    }
    output::AdditionalSettings settings = output::readAdditionalSettings(app::settings());
    output::SplitRequest request;
    request.framesPerPart = options.frames;
    request.secondsPerPart = options.seconds;
    request.destinationDirectory = options.destination;
    request.nameTemplate = options.nameTemplate.empty() ? settings.formatString : options.nameTemplate;
    request.nameFromSource = options.nameFromSource;
    request.fixRatio = media::readMediaSettings(app::settings()).fixRatio;
    output::WriteContext context(ui);
    context.writerOptions.log = commandLog();
    context.keepStoppedPart = false;  // stopped only by a signal: no part of a scene stays
    int rc = output::SplitFiles(options.files, request, context);
    for (const std::string& file : context.writtenFiles) std::cout << file << '\n';
    if (rc == static_cast<int>(output::SplitResult::NothingToDo) || rc == static_cast<int>(output::SplitResult::BothValues))
        return 2;
    return rc == 1 && context.failedScenes == 0 && !context.cancelled() ? 0 : 1;
}

RegisterCommand registration(
    "split", "Split AVI files into parts of N frames or N seconds without re-encoding",
    [](CLI::App& sub, CommandAction& action) {
        auto options = std::make_shared<SplitOptions>();
        sub.add_option("FILE", options->files, "AVI files to split (taken in name order)")->required();
        auto* frames = sub.add_option("--frames", options->frames, "Frames per part")->check(atLeast(1));
        auto* seconds = sub.add_option("--seconds", options->seconds, "Seconds per part")->check(atLeast(1));
        frames->excludes(seconds);
        sub.add_option("--dest", options->destination, "Destination folder")->required();
        auto* tmpl = sub.add_option("--template", options->nameTemplate,
                                    "File-name template of the parts; default: FormatString of the settings, %Q_%N3");
        auto* fromSource =
            sub.add_flag("--name-from-source", options->nameFromSource, "Name the parts NAME_s001.avi, NAME_s002.avi, ...");
        tmpl->excludes(fromSource);
        sub.footer("Prints each written part. Exit code 0 when every part was written, 1 otherwise, 2 or more for wrong "
                   "arguments.");
        action = [options](TerminalUserInterface& ui) { return splitFiles(*options, ui); };
    });

}  // namespace
}  // namespace klemora::cli
