#pragma once
// "auto": per file, the date detection where the frames carry usable
// recording dates, else the timecode detection. Usable means: at least two
// frames of the range carry both date and time packs whose fields name a
// real calendar time, and those times differ. A camera whose clock was never
// set writes invalid fields or one time on every take; a converter writes
// no pack at all.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "avi/avi_reader.h"
#include "detect/dv_scene_detection.h"
#include "detect/scene_break_rule.h"
#include "detect/timecode_scene_detection.h"

namespace klemora::detect {

// Reads frames [first, last] of the open DV file until two distinct usable
// recording times are seen; false when there are not two.
bool carriesChangingRecordingDates(avi::AviReader& reader, int32_t first, int32_t last);

// What the run chose for one file.
struct DetectionChoice {
    std::string path;
    bool byDate = false;
};

class DateOrTimecodeRule : public SceneBreakRule {
public:
    explicit DateOrTimecodeRule(TimecodeSignals chosen) : m_timecode(chosen) {}

    SceneBreakRule* forRange(avi::AviReader& reader, int32_t first, int32_t last) override;
    bool startsScene(avi::AviReader& reader, int32_t frame) override { return m_timecode.startsScene(reader, frame); }
    std::string_view runName() const override { return "FindPerDvAuto"; }

    const std::vector<DetectionChoice>& choices() const { return m_choices; }

private:
    TimecodeBreakRule m_timecode;
    std::vector<DetectionChoice> m_choices;
};

// The date detection with `settings`, where a file has no usable dates the
// timecode detection with `chosen`; `choices` (optional) gets each file
// searched and the detection it got.
DvDetectionResult FindPerDvAuto(const std::vector<SearchSource>& sources, scene::SceneList& scenes,
                                app::UserInterface& ui, DvDetectionSettings& settings, TimecodeSignals chosen,
                                std::vector<DetectionChoice>* choices = nullptr);

}  // namespace klemora::detect
