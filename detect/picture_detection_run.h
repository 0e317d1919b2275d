#pragma once
// A picture-difference detection run over several files, as the detection
// dialog starts it: the settings go into the detector, each file is
// searched in turn, failures are reported with the choice to go on, and a
// successful run can end with the scenes saved and the PC switched off.
#include <cstdint>
#include <string>
#include <vector>

#include "app/debug_log.h"
#include "app/settings_store.h"
#include "app/shutdown.h"
#include "detect/auto_shutdown.h"
#include "app/ui.h"
#include "detect/picture_diff_detector.h"
#include "detect/search_source.h"
#include "scene/scene_list.h"

namespace klemora::detect {

// The dialog's keys for picture detection.
struct PictureDetectionSettings {
    int detectionSetting = 2;  // "DetectionSetting": preset index
    int minFrameCount = 75;    // "MinFrameCount"
    int trimCount = 1;         // "TrimCount"
    bool variant1 = true;      // "Alg1"
    bool variant2 = false;     // "Alg2"
    bool variant3 = false;     // "Alg3"
    int weightMode = 0;        // "WeightMode"
    bool shutdown = false;     // "AutocutShutdown"
    bool log = false;          // "DbgDetLogEnabled": the detection log
    PicturePreset customPreset;  // preset 99: "MaxBlockDiff", "MaxDiffBlockCount", "Blocksize", "MaxCroHistDiff"
    std::string fixRatio;        // "FixRatio", for probing the files
    app::DebugLog debugLog;      // the run's debug log (not from the settings)

    bool anyVariant() const { return variant1 || variant2 || variant3; }
};

// A stored preset index or trim count that selects no list entry reads as -1,
// as the dialog's lists give it back.
// Read once by the caller when the run starts.
PictureDetectionSettings readPictureDetectionSettings(const app::SettingsStore& store);

// Puts the preset, min frame count, trimming, variants, weight mode, the
// log switch, the FixRatio and the debug log into the detector.
void loadDetector(PictureDiffDetector& detector, const PictureDetectionSettings& settings);

struct PictureDetectionResult {
    bool started = false;  // false: no variant (111) or the found scenes were kept (112)
    int lastResult = 0;    // SearchScenes result of the last file searched
    int sceneCount = 0;
    int failedFiles = 0;   // reported with message 113
    bool shutDown = false; // AutoScan.scn saved and ShutdownPc called
};

// Empties `scenes` (after question 112 when it holds scenes) and appends the
// scenes of every file. The detector's user interface shows everything.
PictureDetectionResult RunPictureDetection(const std::vector<SearchSource>& sources, scene::SceneList& scenes,
                                           PictureDiffDetector& detector, const PictureDetectionSettings& settings,
                                           app::PowerControl& power);

}  // namespace klemora::detect
