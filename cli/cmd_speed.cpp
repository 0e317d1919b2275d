// "speed": time-lapse and slow-motion copies of AVI files: the frames are
// source frames taken at the factor, the frame rate stays, the sound is
// stretched with the pictures.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/string_table.h"
#include "cli/command_registry.h"
#include "cli/input_checks.h"
#include "cli/run_context.h"
#include "output/additional_settings.h"
#include "output/speed_copy.h"
#include "output/write_context.h"

namespace klemora::cli {
namespace {

struct SpeedOptions {
    std::vector<std::string> files;
    std::string factor;
    std::string destination;
};

int speedCopies(const SpeedOptions& options, TerminalUserInterface& ui) {
    float factor = 0;
    if (options.factor.find(',') != std::string::npos) {
        ui.showMessage(app::loadString(189), app::Icon::Warning);
        return 2;
    }
    if (!output::parseSpeedFactor(options.factor, factor)) {
        std::cerr << "klemora-cli speed: --factor \"" << options.factor << "\" is not a number\n";
        return 2;
    }
    if (factor < output::kMinSpeedFactor || factor > output::kMaxSpeedFactor) {
        ui.showMessage(app::loadString(187), app::Icon::Warning);
        return 2;
    }
    if (!makeDestinationFolder(options.destination, ui)) return 1;
    // Said plainly; the run skips them as any file it cannot copy.
    inputFilesExist(options.files, ui);
    output::WriteContext context(ui);
    context.writerOptions.log = commandLog();
    context.keepStoppedPart = false;  // stopped only by a signal: no part of a scene stays
    int rc = output::SpeedCopies(options.files, factor, options.destination, context);
    for (const std::string& file : context.writtenFiles) std::cout << file << '\n';
    return rc == 1 && context.failedScenes == 0 ? 0 : 1;
}

RegisterCommand registration(
    "speed", "Write time-lapse or slow-motion copies of AVI files (NAME_fF.FFF.avi)",
    [](CLI::App& sub, CommandAction& action) {
        auto options = std::make_shared<SpeedOptions>();
        sub.add_option("FILE", options->files, "AVI files")->required();
        sub.add_option("--factor", options->factor, "Speed factor 0.001 ... 100 with '.' (2: twice as fast)")->required();
        sub.add_option("--dest", options->destination, "Destination folder")->required();
        sub.footer("Prints each written file. Exit code 0 when every file was written, 1 otherwise, 2 or more for wrong "
                   "arguments.");
        action = [options](TerminalUserInterface& ui) { return speedCopies(*options, ui); };
    });

}  // namespace
}  // namespace klemora::cli
