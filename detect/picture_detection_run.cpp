#include "detect/picture_detection_run.h"

#include <algorithm>

#include "app/string_table.h"
#include "app/text_format.h"
#include "detect/picture_scene_search.h"
#include "detect/run_questions.h"

namespace klemora::detect {
namespace {

constexpr int kMaxMinFrameCount = 99999;

// A list index that selects no entry.
int listIndex(int value, int entries) { return value >= 0 && value < entries ? value : -1; }

// The progress window is the detector's for the run.
class AttachedProgress {
public:
    explicit AttachedProgress(PictureDiffDetector& detector) : m_detector(detector), m_window(detector.ui()) {
        m_detector.progressAttached = true;
    }
    ~AttachedProgress() { m_detector.progressAttached = false; }
    AttachedProgress(const AttachedProgress&) = delete;
    AttachedProgress& operator=(const AttachedProgress&) = delete;

private:
    PictureDiffDetector& m_detector;
    app::ProgressScope m_window;
};

// False when the run ends here.
bool goOnAfterFailure(const SearchSource& source, int rc, bool filesRemain, scene::SceneList& scenes,
                      app::UserInterface& ui) {
    ui.showMessage(app::stringPrintf("%s SearchScenes()!\nFile: %s\nCode: %d", app::loadString(113).c_str(),
                                     source.path.c_str(), rc),
                   app::Icon::Stop);
    if (!filesRemain) return false;
    if (continueAfterFailure(ui)) return true;
    scenes.clear();
    return false;
}

}  // namespace

PictureDetectionSettings readPictureDetectionSettings(const app::SettingsStore& store) {
    PictureDetectionSettings s;
    s.detectionSetting = listIndex(store.readInt("DetectionSetting", 2), kPresetCount);
    s.minFrameCount = std::clamp(store.readInt("MinFrameCount", 75), 1, kMaxMinFrameCount);
    s.trimCount = listIndex(store.readInt("TrimCount", 1), kMaxTrimCount + 1);
    s.variant1 = store.readInt("Alg1", 1) != 0;
    s.variant2 = store.readInt("Alg2", 0) != 0;
    s.variant3 = store.readInt("Alg3", 0) != 0;
    s.weightMode = store.readInt("WeightMode", 0);
    s.shutdown = store.readInt("AutocutShutdown", 0) == 1;
    s.log = store.readInt("DbgDetLogEnabled", 0) == 1;
    return s;
}

void loadDetector(PictureDiffDetector& detector, const PictureDetectionSettings& settings,
                  const app::SettingsStore& store) {
    detector.setPreset(picturePreset(settings.detectionSetting, store));
    detector.minFrameCount = settings.minFrameCount;
    detector.trim = settings.trimCount > 0;
    detector.trimWidth = settings.trimCount;
    detector.variant1 = settings.variant1;
    detector.variant2 = settings.variant2;
    detector.variant3 = settings.variant3;
    detector.weightMode = weightModeFrom(settings.weightMode);
    detector.logEnabled = settings.log;
}

PictureDetectionResult RunPictureDetection(const std::vector<SearchSource>& sources, scene::SceneList& scenes,
                                           PictureDiffDetector& detector, const PictureDetectionSettings& settings,
                                           app::PowerControl& power, const app::SettingsStore& store) {
    PictureDetectionResult result;
    app::UserInterface& ui = detector.ui();
    if (!settings.anyVariant()) {
        ui.showMessage(app::loadString(111), app::Icon::Information);
        return result;
    }
    if (!emptyFoundScenes(scenes, ui)) return result;
    result.started = true;
    {
        AttachedProgress progress(detector);
        loadDetector(detector, settings, store);
        for (size_t i = 0; i < sources.size(); ++i) {
            ui.setProgressSource(sources[i].path);
            result.lastResult =
                SearchScenes(sources[i].path, scenes, detector, sources[i].firstFrame, sources[i].lastFrame);
            if (result.lastResult < 0) {
                ++result.failedFiles;
                if (!goOnAfterFailure(sources[i], result.lastResult, i + 1 < sources.size(), scenes, ui)) break;
            } else if (result.lastResult == static_cast<int>(PictureSearchResult::Cancelled)) {
                break;
            }
        }
    }
    result.sceneCount = scenes.count();
    if (result.lastResult == static_cast<int>(PictureSearchResult::Done) && settings.shutdown)
        result.shutDown = AutoShutdown(scenes, power, ui);
    return result;
}

}  // namespace klemora::detect
