// "detect": automatic scene detection over AVI files, the scenes found
// printed as a CSV scene list or written to a file. A detection type is one
// row of the detector table and an output format one row of the format
// table, so further types and formats join without touching the rest.
#include <algorithm>
#include <cctype>
#include <climits>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/debug_log.h"
#include "app/settings_store.h"
#include "cli/command_registry.h"
#include "cli/scene_list_formats.h"
#include "media/source_probe.h"
#include "detect/dv_scene_detection.h"
#include "detect/search_source.h"
#include "scene/csv_export.h"
#include "scene/scene_list.h"

namespace klemora::cli {
namespace {

// The detection clamps a range to the file's frames.
constexpr int32_t kToLastFrame = INT32_MAX;

struct DetectOptions {
    std::vector<std::string> files;
    std::string type = "datestamp";
    std::optional<int> diff;
    std::optional<int> trim;
    std::string range;  // "FIRST-LAST"
    bool trace = false;
    std::string output;
    std::string format;  // empty: from the extension of output
};

// How a run went, for the exit code.
struct DetectOutcome {
    bool everyFileSearched = true;
};

DetectOutcome detectByDatestamp(const std::vector<detect::SearchSource>& sources, const DetectOptions& options,
                                scene::SceneList& scenes, TerminalUserInterface& ui) {
    detect::DvDetectionSettings settings = detect::readDvDetectionSettings(app::settings());
    if (options.diff) settings.datestampDiff = *options.diff;
    if (options.trim) settings.trimCount = *options.trim;
    detect::DvDetectionResult result = detect::FindPerDvDatestamp(sources, scenes, ui, settings);
    bool complete = result.failedFiles == 0 && result.skippedFiles == 0 &&
                    result.status != static_cast<int>(detect::DvDetectionStatus::Stopped);
    return {complete};
}

struct Detector {
    std::string_view type;
    DetectOutcome (*run)(const std::vector<detect::SearchSource>&, const DetectOptions&, scene::SceneList&,
                         TerminalUserInterface&);
};

constexpr Detector kDetectors[] = {
    {"datestamp", detectByDatestamp},
};

// "FIRST-LAST", 0-based and inclusive like the frame columns of the CSV list.
bool parseRange(const std::string& text, int32_t& first, int32_t& last) {
    size_t dash = text.find('-');
    if (dash == std::string::npos || dash == 0 || dash + 1 == text.size()) return false;
    try {
        size_t usedFirst = 0, usedLast = 0;
        long a = std::stol(text.substr(0, dash), &usedFirst);
        long b = std::stol(text.substr(dash + 1), &usedLast);
        if (usedFirst != dash || usedLast != text.size() - dash - 1) return false;
        if (a < 0 || b < a || b > INT32_MAX) return false;
        first = static_cast<int32_t>(a);
        last = static_cast<int32_t>(b);
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

std::string absolutePath(const std::string& path) {
    std::error_code ec;
    std::filesystem::path full = std::filesystem::absolute(path, ec);
    return ec ? path : full.lexically_normal().string();
}

int usage(const std::string& text) {
    std::cerr << "klemora-cli detect: " << text << '\n';
    return 2;
}

int writeScenes(scene::SceneList& scenes, const std::string& output, const std::string& format,
                TerminalUserInterface& ui) {
    if (output.empty()) {
        std::cout << scene::csvText(scenes) << std::flush;
        return std::cout ? 0 : 1;
    }
    if (scenes.count() == 0) {
        std::cerr << "klemora-cli detect: no scenes found, " << output << " not written\n";
        return 0;
    }
    scene::GroupTree tree;
    tree.root().list().copyFrom(scenes);
    media::MediaSourceProbe probe(ui);
    scene::ProjectSession session(tree, app::settings(), probe);
    int rc = writeSceneFile(session, output, *saveFilterFor(output, format), ui);
    if (rc != 1) {
        std::cerr << "klemora-cli detect: cannot write " << output << " (code " << rc << ")\n";
        return 1;
    }
    return 0;
}

// Debug level 2 for the run only; the trace goes to "findds.log".
class TraceScope {
public:
    explicit TraceScope(bool on) : m_on(on), m_level(app::debugLevel()) {
        if (m_on) app::setDebugLevel(2);
    }
    ~TraceScope() {
        if (!m_on) return;
        app::setDebugLevel(m_level);
        std::string folder = app::logFolder();
        if (folder.empty())
            std::cerr << "klemora-cli detect: no documents folder, no trace written\n";
        else
            std::cerr << "klemora-cli detect: trace in " << folder << "/findds.log\n";
    }

private:
    bool m_on;
    int m_level;
};

int detectScenes(const DetectOptions& options, TerminalUserInterface& ui) {
    const Detector* detector = nullptr;
    for (const Detector& d : kDetectors)
        if (d.type == options.type) detector = &d;
    if (!detector) return usage("unknown --type " + options.type);
    if (!options.output.empty() && !saveFilterFor(options.output, options.format))
        return usage("unknown output format of " + options.output + " (known: " + saveFormatNames() + ")");

    std::vector<detect::SearchSource> sources;
    // The scene list names its sources by full path, so it stays usable from another folder.
    for (const std::string& file : options.files) sources.push_back({absolutePath(file), 0, kToLastFrame});
    if (!options.range.empty()) {
        if (sources.size() != 1) return usage("--range needs exactly one file");
        if (!parseRange(options.range, sources[0].firstFrame, sources[0].lastFrame))
            return usage("bad --range \"" + options.range + "\" (expected FIRST-LAST, 0-based, FIRST <= LAST)");
    }

    scene::SceneList scenes(&ui);
    DetectOutcome outcome;
    {
        TraceScope trace(options.trace);
        outcome = detector->run(sources, options, scenes, ui);
    }
    int written = writeScenes(scenes, options.output, options.format, ui);
    if (written != 0) return written;
    return outcome.everyFileSearched ? 0 : 1;
}

RegisterCommand registration(
    "detect", "Find the scenes of AVI files (DV recording date/time) and print them as a CSV scene list",
    [](CLI::App& sub, CommandAction& action) {
        auto options = std::make_shared<DetectOptions>();
        sub.add_option("FILE", options->files, "AVI files to search, in this order")->required();
        std::vector<std::string> types;
        for (const Detector& d : kDetectors) types.emplace_back(d.type);
        sub.add_option("--type", options->type, "Detection type: datestamp (DV recording date/time)")
            ->check(CLI::IsMember(types));
        sub.add_option("--diff", options->diff,
                       "Smallest jump of the recording time, in seconds, that starts a scene "
                       "(default: DatestampDiff of the settings, 1)")
            ->check(CLI::Range(1, INT_MAX));
        sub.add_option("--trim", options->trim,
                       "Frames cut at each boundary between two scenes (default: TrimCount of the settings, 1)")
            ->check(CLI::Range(0, detect::kMaxTrimCount));
        sub.add_option("--range", options->range, "Frames to search, FIRST-LAST, 0-based (one file only)");
        sub.add_flag("--trace", options->trace, "Write the detection trace findds.log (debug level 2)");
        sub.add_option("-o,--output", options->output,
                       "Write the scene list to this file instead (.scn project, .csv, .txt EDL, .avs)");
        sub.add_option("--format", options->format, "Format of -o (default: from its extension): " + saveFormatNames());
        sub.footer(
            "Exit code 0 when every file was searched, 1 when a file failed, was not DV or the run was stopped "
            "(the scenes found are still given), 2 or more for wrong arguments.");
        action = [options](TerminalUserInterface& ui) { return detectScenes(*options, ui); };
    });

}  // namespace
}  // namespace klemora::cli
