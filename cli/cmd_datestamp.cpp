// "datestamp": writes a running recording date/time into every DV frame of
// the files, file after file, as the additional functions do.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

#include "app/settings_store.h"
#include "app/string_table.h"
#include "avi/avi_reader.h"
#include "avi/avi_result.h"
#include "avi/container_facts.h"
#include "avi/dv_pack.h"
#include "cli/command_registry.h"
#include "cli/input_checks.h"
#include "cli/run_context.h"
#include "scene/time_text.h"

namespace klemora::cli {
namespace {

constexpr int kMinPause = 1;
constexpr int kMaxPause = 9999;

struct StampOptions {
    std::string start;
    int pause = -1;  // -1: the setting "DvStampPause"
    std::vector<std::string> files;
};

int storedPause() {
    int pause = app::settings().readInt("DvStampPause", 1);
    if (pause <= 0) pause = 1;
    return std::min(pause, kMaxPause);
}

scene::RecordingTime nextStart(const scene::RecordingTime& end, int pause) {
    std::time_t t = scene::calendarSeconds(end) + pause + 1;
    std::tm local{};
    localtime_r(&t, &local);
    scene::RecordingTime next = scene::fromTm(local);
    next.weekday = 0;
    next.dayOfYear = 0;
    next.daylightSaving = -1;
    return next;
}

std::string failureText(const std::string& file, int rc) {
    char text[1200];
    std::snprintf(text, sizeof text, "%s WriteDvDatestamp()!\nFile: %s\nCode: %d", app::loadString(113).c_str(),
                  file.c_str(), rc);
    return text;
}

int stamp(StampOptions options, TerminalUserInterface& ui) {
    const int pause = options.pause < 0 ? storedPause() : options.pause;
    if (pause < kMinPause || pause > kMaxPause) {
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
    std::sort(options.files.begin(), options.files.end());
    app::ProgressScope progress(ui);
    ui.setProgressRange(static_cast<int64_t>(options.files.size()) + 1);
    int failures = 0;
    for (size_t i = 0; i < options.files.size(); ++i) {
        const std::string& file = options.files[i];
        ui.setProgressPosition(static_cast<int64_t>(i));
        ui.setProgressSource(file);
        ui.pump();
        avi::AviReader reader(&ui);
        reader.setLog(commandLog());
        scene::RecordingTime end;
        int rc = avi::WriteDvDatestamp(start, file, reader, end);
        if (rc == 1) {
            std::cout << file << ": " << avi::isoRecordingTimeText(start) << " - " << avi::isoRecordingTimeText(end)
                      << '\n';
            start = nextStart(end, pause);
        } else {
            ++failures;
            ui.showMessage(failureText(file, rc), app::Icon::Stop);
            if (i + 1 < options.files.size() &&
                ui.ask(app::loadString(114), app::Buttons::YesNo, app::Icon::Question) == app::Answer::No)
                break;
        }
        if (ui.cancelled()) break;
    }
    return failures == 0 ? 0 : 1;
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
