#pragma once
// One scene: a frame range of one source file plus what is needed to name,
// time-stamp and write it. A plain fixed-size record, copied whole.
#include <cstdint>
#include <cstring>
#include <string_view>

namespace klemora::scene {

inline constexpr int kMaxPathLength = 260;
inline constexpr int kMaxCommentLength = 1024;
inline constexpr int kMaxFourccLength = 4;

// Broken-down local time in the field order of the C library's struct tm.
struct RecordingTime {
    int32_t seconds = 0;
    int32_t minutes = 0;
    int32_t hours = 0;
    int32_t dayOfMonth = 11;
    int32_t month = 1;  // 0-based
    int32_t yearsSince1900 = 70;
    int32_t weekday = 0;
    int32_t dayOfYear = 0;
    int32_t daylightSaving = -1;

    bool operator==(const RecordingTime&) const = default;
};

// 11 February 1970 00:00:00 stands for "no recording date known".
inline constexpr RecordingTime kNoRecordingTime{};

// A calendar date and time (month 1-12, full year) as a recording time whose
// weekday, day of year and daylight-saving flag are left to the conversions.
constexpr RecordingTime recordingTimeOf(int year, int month, int day, int hours, int minutes, int seconds) {
    RecordingTime t;
    t.yearsSince1900 = year - 1900;
    t.month = month - 1;
    t.dayOfMonth = day;
    t.hours = hours;
    t.minutes = minutes;
    t.seconds = seconds;
    return t;
}

struct Timecode {
    int8_t hours = 0;
    int8_t minutes = 0;
    int8_t seconds = 0;
    int8_t frames = 0;

    bool operator==(const Timecode&) const = default;
};

struct SceneRecord {
    int32_t startFrame = 0;
    int32_t stopFrame = 0;
    char sourceFile[kMaxPathLength + 1] = {};
    char destName[kMaxPathLength + 1] = {};
    float speedFactor = 1.0f;
    char comment[kMaxCommentLength + 1] = {};
    int32_t definedStart = 0;
    int32_t definedStop = 0;
    int32_t fileFirstFrame = 0;
    int32_t fileLastFrame = 0;
    float framesPerSecond = 25.0f;
    uint8_t allKeyframes = 0;
    int32_t dvType = 0;
    int32_t openDmlKind = 0;
    RecordingTime recordingTime{};
    uint8_t wideScreen = 0;
    Timecode timecode{};
    char videoFourcc[kMaxFourccLength + 1] = {};
    int32_t okStatus = 0;

    int32_t lengthFrames() const { return stopFrame - startFrame + 1; }
    // The rate conversions use; an unset or broken rate counts as 25.
    double rate() const { return framesPerSecond > 0 ? framesPerSecond : 25.0; }
};

// Copies text into a fixed field; false (field untouched) when it does not fit.
template <size_t N>
bool assignField(char (&field)[N], std::string_view text) {
    if (text.size() > N - 1) return false;
    if (!text.empty()) std::memcpy(field, text.data(), text.size());  // an empty view may have no data
    std::memset(field + text.size(), 0, N - text.size());
    return true;
}

template <size_t N>
std::string_view fieldText(const char (&field)[N]) {
    return std::string_view(field, strnlen(field, N));
}

std::string_view dvTypeText(int32_t dvType);
std::string_view openDmlKindText(int32_t kind);

}  // namespace klemora::scene
