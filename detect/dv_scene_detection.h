#pragma once
// Scene detection from the recording date and time that a DV camera writes
// into every frame: where the time jumps between two consecutive frames by
// more than the set number of seconds, the camera was stopped and started
// again, and a new scene begins.
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "app/debug_log.h"
#include "app/settings_store.h"
#include "app/ui.h"
#include "detect/search_source.h"
#include "scene/scene_list.h"

namespace klemora::detect {

class SceneBreakRule;

struct DvDetectionSettings {
    int datestampDiff = 1;  // "DatestampDiff": seconds; a jump must be larger; at least 1
    int trimCount = 1;      // "TrimCount": frames cut at each inner scene boundary, 0..99
    app::DebugLog log;      // the run's debug log; at the trace level it gets "findds.log"
    // Every frame read whole instead of only the bytes its packs lie in:
    // the plain path the tests hold the partial reads against.
    bool wholeFrames = false;
    // Set by the detections that walk the same packs: decides where scenes break instead of the recording time.
    SceneBreakRule* breakRule = nullptr;
};

// "DatestampDiff" (default 1) and "TrimCount" (default 1) as stored; read
// once by the caller when the run starts.
DvDetectionSettings readDvDetectionSettings(const app::SettingsStore& store);

// The state of a file when the run leaves it.
enum class DvDetectionStatus : int {
    Ok = 1,
    Stopped = 2,
    Running = 99,
    OpenFailed = -51,
    ReadFailed = -55,
};
std::string_view dvDetectionStatusName(int status);  // "ReadFailed"; "Unknown" otherwise

struct DvDetectionResult {
    bool started = false;  // false: the user kept the scenes found before (Cancel on 112)
    int status = static_cast<int>(DvDetectionStatus::Running);  // of the last file handled
    int sceneCount = 0;
    int failedFiles = 0;   // reported with message 113
    int skippedFiles = 0;  // not DV, skipped with OK
};

// Runs over the files in order and appends one scene per recording to
// `scenes`, after emptying it (with question 112 when it holds scenes).
// `settings.datestampDiff` below 1 is corrected to 1 in the caller's copy.
// Messages, questions, progress and the stop request go through `ui`;
// `runningChanged` hears true once the run has really started and false at
// its end, so a dialog can lock its controls meanwhile.
DvDetectionResult FindPerDvDatestamp(const std::vector<SearchSource>& sources, scene::SceneList& scenes,
                                     app::UserInterface& ui, DvDetectionSettings& settings,
                                     const std::function<void(bool running)>& runningChanged = {});

}  // namespace klemora::detect
