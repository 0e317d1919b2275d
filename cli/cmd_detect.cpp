// "detect": automatic scene detection over video files (DV recording
// date/time, DV recording-start marks and timecode, or picture differences),
// the scenes found printed as a CSV
// scene list or written to a file. A detection type is one
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
#include "app/paths.h"
#include "app/settings_store.h"
#include "app/string_table.h"
#include "app/text_format.h"
#include "cli/command_registry.h"
#include "cli/input_checks.h"
#include "cli/run_context.h"
#include "media/source_probe.h"
#include "app/shutdown.h"
#include "detect/auto_shutdown.h"
#include "detect/detection_choice.h"
#include "detect/dv_scene_detection.h"
#include "detect/picture_detection_run.h"
#include "detect/picture_scene_search.h"
#include "detect/search_source.h"
#include "detect/timecode_scene_detection.h"
#include "scene/csv_export.h"
#include "scene/scene_file_formats.h"
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
    std::string signals;  // timecode, auto: mark, timecode, both; empty: "TimecodeSignals"
    std::string range;  // "FIRST-LAST"
    bool trace = false;
    bool shutdown = false;
    // Picture detection; unset: from the settings.
    std::optional<int> preset;
    std::string variants;  // "1,3"
    std::string weight;    // none, inner, outer
    std::optional<int> minFrames;
    bool log = false;
    std::string output;
    std::string format;  // empty: from the extension of output
};

// How a run went, for the exit code.
struct DetectOutcome {
    bool everyFileSearched = true;
    bool succeeded = false;  // the last file was searched to its end
};

// --trace: the trace level for this run only; "findds.log" in the log's folder.
app::DebugLog runLog(const DetectOptions& options) {
    return options.trace ? commandLog().withLevel(2) : commandLog();
}

constexpr std::string_view kWeightNames[] = {"none", "inner", "outer"};

DetectOutcome outcomeOf(const detect::DvDetectionResult& result);

// The stored date-detection settings with the command's --diff and --trim.
detect::DvDetectionSettings datestampSettings(const DetectOptions& options) {
    detect::DvDetectionSettings settings = detect::readDvDetectionSettings(app::settings());
    if (options.diff) settings.datestampDiff = *options.diff;
    if (options.trim) settings.trimCount = *options.trim;
    settings.log = runLog(options);
    return settings;
}

DetectOutcome detectByDatestamp(const std::vector<detect::SearchSource>& sources, const DetectOptions& options,
                                scene::SceneList& scenes, TerminalUserInterface& ui) {
    detect::DvDetectionSettings settings = datestampSettings(options);
    return outcomeOf(detect::FindPerDvDatestamp(sources, scenes, ui, settings));
}

// In the order of the "TimecodeSignals" values.
constexpr std::string_view kSignalNames[] = {"both", "mark", "timecode"};

detect::TimecodeDetectionSettings timecodeSettings(const DetectOptions& options) {
    detect::TimecodeDetectionSettings settings = detect::readTimecodeDetectionSettings(app::settings());
    for (size_t i = 0; i < std::size(kSignalNames); ++i)
        if (options.signals == kSignalNames[i]) settings.breakSignals = static_cast<detect::TimecodeSignals>(i);
    if (options.trim) settings.trimCount = *options.trim;
    settings.log = runLog(options);
    return settings;
}

DetectOutcome outcomeOf(const detect::DvDetectionResult& result) {
    bool complete = result.failedFiles == 0 && result.skippedFiles == 0 &&
                    result.status != static_cast<int>(detect::DvDetectionStatus::Stopped);
    return {complete, result.status == static_cast<int>(detect::DvDetectionStatus::Ok)};
}

DetectOutcome detectByTimecode(const std::vector<detect::SearchSource>& sources, const DetectOptions& options,
                               scene::SceneList& scenes, TerminalUserInterface& ui) {
    detect::TimecodeDetectionSettings settings = timecodeSettings(options);
    return outcomeOf(detect::FindPerDvTimecode(sources, scenes, ui, settings));
}

DetectOutcome detectAuto(const std::vector<detect::SearchSource>& sources, const DetectOptions& options,
                         scene::SceneList& scenes, TerminalUserInterface& ui) {
    detect::DvDetectionSettings settings = datestampSettings(options);
    std::vector<detect::DetectionChoice> choices;
    detect::DvDetectionResult result =
        detect::FindPerDvAuto(sources, scenes, ui, settings, timecodeSettings(options).breakSignals, &choices);
    for (const detect::DetectionChoice& choice : choices)
        std::cerr << "klemora-cli detect: " << choice.path << ": "
                  << (choice.byDate ? "datestamp" : "timecode") << '\n';
    return outcomeOf(result);
}

// "1,3" into the three variant flags; false for anything else.
bool parseVariants(const std::string& text, detect::PictureDetectionSettings& settings) {
    settings.variant1 = settings.variant2 = settings.variant3 = false;
    size_t begin = 0;
    while (begin <= text.size()) {
        size_t comma = std::min(text.find(',', begin), text.size());
        std::string item = text.substr(begin, comma - begin);
        if (item == "1") settings.variant1 = true;
        else if (item == "2") settings.variant2 = true;
        else if (item == "3") settings.variant3 = true;
        else return false;
        begin = comma + 1;
    }
    return true;
}

detect::PictureDetectionSettings pictureSettings(const DetectOptions& options) {
    detect::PictureDetectionSettings settings = detect::readPictureDetectionSettings(app::settings());
    if (options.preset) settings.detectionSetting = *options.preset;
    if (!options.variants.empty()) parseVariants(options.variants, settings);  // checked by the option
    if (!options.weight.empty())
        settings.weightMode = static_cast<int>(
            std::find(std::begin(kWeightNames), std::end(kWeightNames), options.weight) - std::begin(kWeightNames));
    if (options.minFrames) settings.minFrameCount = *options.minFrames;
    if (options.trim) settings.trimCount = *options.trim;
    if (options.log) settings.log = true;
    settings.debugLog = runLog(options);
    // The command line decides on switching off, not a stored dialog setting.
    settings.shutdown = false;
    return settings;
}

DetectOutcome detectByPicture(const std::vector<detect::SearchSource>& sources, const DetectOptions& options,
                              scene::SceneList& scenes, TerminalUserInterface& ui) {
    detect::PictureDetectionSettings settings = pictureSettings(options);
    detect::PictureDiffDetector detector(ui);
    app::SystemPowerControl power;
    detect::PictureDetectionResult result =
        detect::RunPictureDetection(sources, scenes, detector, settings, power);
    if (settings.log)
        std::cerr << "klemora-cli detect: detection log in " << detect::PictureDetectionLog::path() << '\n';
    bool complete = result.started && result.failedFiles == 0 &&
                    result.lastResult == static_cast<int>(detect::PictureSearchResult::Done);
    return {complete, complete};
}

struct Detector {
    std::string_view type;
    DetectOutcome (*run)(const std::vector<detect::SearchSource>&, const DetectOptions&, scene::SceneList&,
                         TerminalUserInterface&);
};

constexpr Detector kDetectors[] = {
    {"datestamp", detectByDatestamp},
    {"picture", detectByPicture},
    {"timecode", detectByTimecode},
    {"auto", detectAuto},
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
    media::MediaSourceProbe probe = sourceProbe(ui);
    scene::ProjectSession session(tree, app::settings(), probe);
    int rc = scene::writeSceneFile(session, output, *scene::saveFilterFor(output, format), ui);
    if (rc != 1) {
        ui.showMessage(app::stringPrintf("%s\nFile: %s\nCode: %d", app::loadString(176).c_str(), output.c_str(), rc),
                       app::Icon::Stop);
        return 1;
    }
    return 0;
}

void reportTrace(const app::DebugLog& log) {
    std::string folder = log.folder().empty() ? app::documentsFolder() : log.folder();
    if (folder.empty())
        std::cerr << "klemora-cli detect: no documents folder, no trace written\n";
    else
        std::cerr << "klemora-cli detect: trace in " << folder << "/findds.log\n";
}

int detectScenes(const DetectOptions& options, TerminalUserInterface& ui) {
    const Detector* detector = nullptr;
    for (const Detector& d : kDetectors)
        if (d.type == options.type) detector = &d;
    if (!detector) return usage("unknown --type " + options.type);
    if (!options.output.empty() && !scene::saveFilterFor(options.output, options.format))
        return usage("unknown output format of " + options.output + " (known: " + scene::saveFormatNames() + ")");

    // Said plainly; the run skips them as any file it cannot read.
    inputFilesExist(options.files, ui);
    std::vector<detect::SearchSource> sources;
    // The scene list names its sources by full path, so it stays usable from another folder.
    for (const std::string& file : options.files) sources.push_back({absolutePath(file), 0, kToLastFrame});
    if (!options.range.empty()) {
        if (sources.size() != 1) return usage("--range needs exactly one file");
        if (!parseRange(options.range, sources[0].firstFrame, sources[0].lastFrame))
            return usage("bad --range \"" + options.range + "\" (expected FIRST-LAST, 0-based, FIRST <= LAST)");
    }

    scene::SceneList scenes;
    DetectOutcome outcome;
    outcome = detector->run(sources, options, scenes, ui);
    if (options.trace) reportTrace(runLog(options));
    int written = writeScenes(scenes, options.output, options.format, ui);
    if (written != 0) return written;
    if (options.shutdown && outcome.succeeded) {
        app::SystemPowerControl power;
        detect::AutoShutdown(scenes, power, ui);
    }
    return outcome.everyFileSearched ? 0 : 1;
}

RegisterCommand registration(
    "detect", "Find the scenes of video files (DV recording date/time, DV recording-start marks and timecode, or picture "
    "differences) and print them as a CSV scene list",
    [](CLI::App& sub, CommandAction& action) {
        auto options = std::make_shared<DetectOptions>();
        sub.add_option("FILE", options->files, "AVI files to search, in this order")->required();
        std::vector<std::string> types;
        for (const Detector& d : kDetectors) types.emplace_back(d.type);
        sub.add_option("--type", options->type,
                       "Detection type: datestamp (DV recording date/time, the default), picture (picture "
                       "differences, any video the media layer decodes), timecode (DV recording-start marks and "
                       "timecode breaks, for tapes without a usable date) or auto (per file: datestamp where at "
                       "least two frames carry date and time packs of valid, differing times, else timecode)")
            ->check(CLI::IsMember(types));
        std::vector<std::string> signalNames(std::begin(kSignalNames), std::end(kSignalNames));
        sub.add_option("--signals", options->signals,
                       "timecode, auto: what starts a scene: mark (the camera's recording-start mark), timecode "
                       "(the timecode does not go on by one frame) or both (default: TimecodeSignals of the "
                       "settings, both)")
            ->check(CLI::IsMember(signalNames));
        sub.add_option("--diff", options->diff,
                       "datestamp, auto: smallest jump of the recording time, in seconds, that starts a scene "
                       "(default: DatestampDiff of the settings, 1)")
            ->check(CLI::Range(1, INT_MAX));
        sub.add_option("--trim", options->trim,
                       "Frames cut at each boundary between two scenes (default: TrimCount of the settings, 1)")
            ->check(CLI::Range(0, detect::kMaxTrimCount));
        sub.add_option("--range", options->range, "Frames to search, FIRST-LAST, 0-based (one file only)");
        sub.add_flag("--trace", options->trace,
                     "datestamp, timecode, auto: write the detection trace findds.log (debug level 2)");
        sub.add_option("--preset", options->preset,
                       "picture: 0 very coarse .. 4 very fine, 99 the values MaxBlockDiff, MaxDiffBlockCount, "
                       "Blocksize, MaxCroHistDiff of the settings (default: DetectionSetting, 2)")
            ->check(CLI::Range(0, detect::kPresetCount - 1) | CLI::IsMember({detect::kCustomPreset}));
        sub.add_option("--variants", options->variants,
                       "picture: tests to use, e.g. 1,3: 1 colour histogram, 2 block brightness, 3 block hue "
                       "(default: Alg1..Alg3 of the settings, 1)")
            ->check([](const std::string& text) {
                detect::PictureDetectionSettings probe;
                return parseVariants(text, probe) ? std::string() : "expected 1, 2, 3 separated by commas";
            });
        std::vector<std::string> weights(std::begin(kWeightNames), std::end(kWeightNames));
        sub.add_option("--weight", options->weight,
                       "picture: weigh the inner picture area higher (inner), lower (outer) or not (none; "
                       "default: WeightMode of the settings)")
            ->check(CLI::IsMember(weights));
        sub.add_option("--min-frames", options->minFrames,
                       "picture: shortest scene in frames (default: MinFrameCount of the settings, 75)")
            ->check(CLI::Range(1, 99999));
        sub.add_flag("--log", options->log, "picture: write the detection log KlemoraLog.txt to the documents folder");
        sub.add_flag("--shutdown", options->shutdown,
                     "After a run that searched every file to its end, save the scenes as AutoScan.scn in the "
                     "documents folder and switch the PC off");
        sub.add_option("-o,--output", options->output,
                       "Write the scene list to this file instead (.scn project, .csv, .txt EDL, .avs)");
        sub.add_option("--format", options->format, "Format of -o (default: from its extension): " + scene::saveFormatNames());
        sub.footer(
            "Exit code 0 when every file was searched, 1 when a file failed, was not DV (datestamp, timecode, "
            "auto) or the run was stopped (the scenes found are still given), 2 or more for wrong arguments. auto "
            "names the detection it chose for each file on standard error.");
        action = [options](TerminalUserInterface& ui) { return detectScenes(*options, ui); };
    });

}  // namespace
}  // namespace klemora::cli
