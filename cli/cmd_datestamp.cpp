// "datestamp": writes a running recording date/time into every DV frame of
// the files, file after file, as the additional functions do.
#include <iostream>
#include <string>
#include <vector>

#include "app/settings_store.h"
#include "app/string_table.h"
#include "avi/container_facts.h"
#include "cli/command_registry.h"
#include "cli/input_checks.h"
#include "output/datestamp_run.h"

namespace klemora::cli {
namespace {

struct StampOptions {
    std::string start;
    int pause = -1;  // -1: the setting "DvStampPause"
    std::vector<std::string> files;
};

int storedPause() { return output::storedStampPause(app::settings().readInt("DvStampPause", 1)); }

int stamp(StampOptions options, TerminalUserInterface& ui) {
    const int pause = options.pause < 0 ? storedPause() : options.pause;
    if (pause < output::kMinStampPause || pause > output::kMaxStampPause) {
        ui.showMessage(app::loadString(352), app::Icon::Stop);
        return 2;
    }
    scene::RecordingTime start;
    if (!avi::parseIsoRecordingTime(options.start, start)) {
        std::cerr << "klemora-cli datestamp: --start wants \"YYYY-MM-DD HH:MM:SS\"\n";
        return 2;
    }
    if (start.yearsSince1900 < 25 || start.yearsSince1900 > 124)
        std::cerr << "klemora-cli datestamp: warning: DV keeps two year digits; " << options.start
                  << " will read back as a year between 1925 and 2024\n";
    // Said plainly; the run skips them as any file it cannot stamp.
    inputFilesExist(options.files, ui);
    output::DatestampRunOutcome outcome = output::StampFiles(options.files, start, pause, ui);
    for (const output::StampedFile& file : outcome.files) {
        if (file.result == 1)
            std::cout << file.path << ": " << avi::isoRecordingTimeText(file.first) << " - "
                      << avi::isoRecordingTimeText(file.last) << '\n';
    }
    return outcome.failures == 0 ? 0 : 1;
}

RegisterCommand registration(
    "datestamp", "Write a running recording date/time into every frame of DV AVI files (in place)",
    [](CLI::App& sub, CommandAction& action) {
        auto options = std::make_shared<StampOptions>();
        sub.add_option("--start", options->start, "Date/time of the first frame, \"YYYY-MM-DD HH:MM:SS\" (local)")
            ->required();
        sub.add_option("--pause", options->pause, "Seconds between files, 1..9999 (default: setting DvStampPause)");
        sub.add_option("FILE", options->files, "DV AVI files, stamped in name order")->required();
        action = [options](TerminalUserInterface& ui) { return stamp(*options, ui); };
    });

}  // namespace
}  // namespace klemora::cli
