#include "detect/dv_scene_detection.h"

#include <algorithm>
#include <string>

#include "app/string_table.h"
#include "avi/avi_reader.h"
#include "detect/dv_detection_trace.h"
#include "detect/dv_file_scan.h"
#include "detect/run_questions.h"
#include "detect/scene_break_rule.h"

namespace klemora::detect {
namespace {

int statusCode(DvDetectionStatus status) { return static_cast<int>(status); }

void showFileFailure(app::UserInterface& ui, const SearchSource& source, const FileScanResult& file,
                     std::string_view runName) {
    ui.showMessage(app::loadString(113) + " " + std::string(runName) + "()!\nFile: " + source.path +
                       "\nCode: " + std::to_string(file.status) + "\nCode 2: " + std::to_string(file.readerResult),
                   app::Icon::Stop);
}

}  // namespace

DvDetectionSettings readDvDetectionSettings(const app::SettingsStore& store) {
    DvDetectionSettings settings;
    settings.datestampDiff = store.readInt("DatestampDiff", 1);
    settings.trimCount = store.readInt("TrimCount", 1);
    return settings;
}

std::string_view dvDetectionStatusName(int status) {
    switch (static_cast<DvDetectionStatus>(status)) {
        case DvDetectionStatus::Ok: return "Ok";
        case DvDetectionStatus::Stopped: return "Stopped";
        case DvDetectionStatus::Running: return "Running";
        case DvDetectionStatus::OpenFailed: return "OpenFailed";
        case DvDetectionStatus::ReadFailed: return "ReadFailed";
    }
    return "Unknown";
}

DvDetectionResult FindPerDvDatestamp(const std::vector<SearchSource>& sources, scene::SceneList& scenes,
                                     app::UserInterface& ui, DvDetectionSettings& settings,
                                     const std::function<void(bool running)>& runningChanged) {
    DvDetectionResult result;
    if (!emptyFoundScenes(scenes, ui)) return result;
    result.started = true;
    if (runningChanged) runningChanged(true);

    settings.datestampDiff = std::max(settings.datestampDiff, 1);
    // The trim list offers 0 to 99; a value that selected no entry trims nothing.
    DvDetectionSettings used = settings;
    used.trimCount = std::clamp(used.trimCount, 0, kMaxTrimCount);

    {
        app::ProgressScope progress(ui);
        avi::AviReader reader(&ui);
        reader.setLog(used.log);
        DvDetectionTrace trace(used.log);
        DvFileScan scan(reader, scenes, ui, used, trace);
        for (size_t i = 0; i < sources.size(); ++i) {
            FileScanResult file = scan.scan(sources[i]);
            result.status = file.status;
            if (file.endRun) break;
            if (file.skipped) ++result.skippedFiles;
            if (file.status < 0) {
                ++result.failedFiles;
                trace.fileFailed(file.frame, file.status, file.readerResult);
                showFileFailure(ui, sources[i], file,
                                used.breakRule ? used.breakRule->runName() : "FindPerDvDatestamp");
                if (i + 1 == sources.size() || !continueAfterFailure(ui)) break;
                result.status = statusCode(DvDetectionStatus::Running);
            } else if (file.status == statusCode(DvDetectionStatus::Stopped)) {
                break;
            }
        }
    }
    result.sceneCount = scenes.count();
    if (runningChanged) runningChanged(false);
    return result;
}

}  // namespace klemora::detect
