#pragma once
// Scene detection for tapes without a usable recording date: a new scene
// starts where the camera marked a recording start (the REC ST bit of the
// AAUX source control pack) or where the timecode does not go on by exactly
// one frame (a reset, a jump forward or back). Frames without a timecode
// neither start nor end a scene. The walk, the scene records, the trim and
// the run are the date detection's.
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "app/debug_log.h"
#include "app/settings_store.h"
#include "app/ui.h"
#include "detect/dv_scene_detection.h"
#include "detect/scene_break_rule.h"
#include "detect/search_source.h"
#include "scene/scene_list.h"

namespace klemora::detect {

// "TimecodeSignals": which signals start a scene.
enum class TimecodeSignals : int { Both = 0, Mark = 1, Timecode = 2 };

struct TimecodeDetectionSettings {
    TimecodeSignals breakSignals = TimecodeSignals::Both;
    int trimCount = 1;  // "TrimCount", as the other detections
    app::DebugLog log;  // at the trace level it gets "findds.log"
};

// "TimecodeSignals" (default 0, both; anything else but 1 and 2 is both) and "TrimCount".
TimecodeDetectionSettings readTimecodeDetectionSettings(const app::SettingsStore& store);

// What the break decision looks at in one frame.
struct FrameSignals {
    int32_t frame = 0;
    bool recordingStart = false;
    std::optional<scene::Timecode> timecode;  // empty: no usable timecode pack
};

class TimecodeBreakRule : public SceneBreakRule {
public:
    explicit TimecodeBreakRule(TimecodeSignals chosen) : m_signals(chosen) {}

    SceneBreakRule* forRange(avi::AviReader& reader, int32_t first, int32_t last) override;
    bool startsScene(avi::AviReader& reader, int32_t frame) override;
    std::string_view runName() const override { return "FindPerDvTimecode"; }

    // Forgets the frames before; `framesPerSecond` of the timecode, 25 or 30.
    void begin(int framesPerSecond);
    // The decision on one frame's signals, frames in ascending order.
    bool startsScene(const FrameSignals& facts);

private:
    bool useMark() const { return m_signals != TimecodeSignals::Timecode; }
    bool useTimecode() const { return m_signals != TimecodeSignals::Mark; }

    TimecodeSignals m_signals;
    int m_framesPerSecond = 25;
    std::optional<scene::Timecode> m_lastTimecode;
    int32_t m_lastTimecodeFrame = 0;
    bool m_previousMarked = false;  // a run of marked frames is one start
};

// As FindPerDvDatestamp (question 112, progress, Stop, messages 113/114/342,
// the result), with the breaks of the timecode detection.
DvDetectionResult FindPerDvTimecode(const std::vector<SearchSource>& sources, scene::SceneList& scenes,
                                    app::UserInterface& ui, TimecodeDetectionSettings& settings,
                                    const std::function<void(bool running)>& runningChanged = {});

}  // namespace klemora::detect
