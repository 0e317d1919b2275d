#include "detect/detection_choice.h"

#include <ctime>
#include <optional>

#include "avi/dv_pack.h"
#include "scene/time_text.h"

namespace klemora::detect {
namespace {

// Seconds since 1970 of the frame's date and time packs, read as UTC; empty
// when a pack is missing or its fields name no calendar time.
std::optional<int64_t> usableRecordingTime(avi::AviReader& reader) {
    avi::DvPack date{}, time{};
    if (avi::FindDvPack(reader, avi::kPackRecordingDate, date) != 1 ||
        avi::FindDvPack(reader, avi::kPackRecordingTime, time) != 1)
        return std::nullopt;
    scene::RecordingTime t = scene::kNoRecordingTime;
    avi::ReadDvDateTime(reader, t);
    const bool inRange = t.dayOfMonth >= 1 && t.dayOfMonth <= 31 && t.month >= 0 && t.month <= 11 &&
                         t.hours >= 0 && t.hours <= 23 && t.minutes >= 0 && t.minutes <= 59 && t.seconds >= 0 &&
                         t.seconds <= 59;
    if (!inRange) return std::nullopt;
    std::tm fields = scene::toTm(t);
    const int day = fields.tm_mday;
    std::time_t seconds = timegm(&fields);
    // 31 February comes back as a day of March.
    if (seconds == static_cast<std::time_t>(-1) || fields.tm_mday != day) return std::nullopt;
    return static_cast<int64_t>(seconds);
}

}  // namespace

bool carriesChangingRecordingDates(avi::AviReader& reader, int32_t first, int32_t last) {
    std::optional<int64_t> seen;
    for (int32_t n = first; n <= last; ++n) {
        if (reader.ReadRawPictureData(n, avi::FrameLoad::OnDemand) != 1) return false;
        std::optional<int64_t> time = usableRecordingTime(reader);
        if (!time) continue;
        if (seen && *seen != *time) return true;
        seen = time;
    }
    return false;
}

SceneBreakRule* DateOrTimecodeRule::forRange(avi::AviReader& reader, int32_t first, int32_t last) {
    const bool byDate = carriesChangingRecordingDates(reader, first, last);
    m_choices.push_back({reader.fileName(), byDate});
    return byDate ? nullptr : m_timecode.forRange(reader, first, last);
}

DvDetectionResult FindPerDvAuto(const std::vector<SearchSource>& sources, scene::SceneList& scenes,
                                app::UserInterface& ui, DvDetectionSettings& settings, TimecodeSignals chosen,
                                std::vector<DetectionChoice>* choices) {
    DateOrTimecodeRule rule(chosen);
    settings.breakRule = &rule;
    DvDetectionResult result = FindPerDvDatestamp(sources, scenes, ui, settings);
    settings.breakRule = nullptr;
    if (choices) *choices = rule.choices();
    return result;
}

}  // namespace klemora::detect
