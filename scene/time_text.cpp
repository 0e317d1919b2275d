#include "scene/time_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace klemora::scene {
namespace {

// The products of the float rate are truncated in float arithmetic, as the
// stored rate is a 32-bit float.
int32_t truncProduct(float fps, float factor) { return static_cast<int32_t>(fps * factor); }
int32_t wholeRate(float fps) { return static_cast<int32_t>(fps); }
float usableRate(float fps) { return fps > 0 ? fps : 25.0f; }

std::string hmsf(const char* format, int h, int m, int s, int f) {
    char text[64];
    std::snprintf(text, sizeof text, format, h, m, s, f);
    return text;
}

struct Hmsf {
    int h, m, s, f;
};

Hmsf positionParts(int32_t frame, float fps) {
    fps = usableRate(fps);
    int32_t perSecond = std::max(1, wholeRate(fps));
    int32_t perFrameCycle = std::max(1, static_cast<int32_t>(fps + 0.9f));
    int32_t seconds = frame / perSecond;
    return {seconds / 3600, (seconds % 3600) / 60, seconds % 60, frame % perFrameCycle};
}

// Splits like strtok: skips leading delimiters, the piece runs to the next
// delimiter or the end; nullopt-like empty view when nothing is left.
bool nextPiece(std::string_view& rest, char delimiter, std::string_view& piece) {
    size_t begin = rest.find_first_not_of(delimiter);
    if (begin == std::string_view::npos) return false;
    rest.remove_prefix(begin);
    size_t end = rest.find(delimiter);
    piece = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    return true;
}

// atoi's reading, held within +-2^30 so that the month and year offsets
// applied to it cannot overflow.
int leadingInt(std::string_view piece) {
    constexpr long kLimit = 1L << 30;
    long value = std::strtol(std::string(piece).c_str(), nullptr, 10);
    return static_cast<int>(std::clamp(value, -kLimit, kLimit));
}

}  // namespace

std::string positionText(int32_t frame, float fps) {
    Hmsf p = positionParts(frame, fps);
    return hmsf("%02d:%02d:%02d:%02d", p.h, p.m, p.s, p.f);
}

TimeParts wholeRateParts(int32_t frames, int rate) {
    int32_t seconds = frames / rate;
    return {seconds / 3600, seconds % 3600 / 60, seconds % 60, frames % rate};
}

std::string positionFileText(int32_t frame, float fps) {
    Hmsf p = positionParts(frame, fps);
    return hmsf("%02d-%02d-%02d-%02d", p.h, p.m, p.s, p.f);
}

std::string lengthText(int32_t lengthFrames, float fps) {
    int32_t r = std::max(1, static_cast<int32_t>(std::ceil(usableRate(fps))));
    double d = static_cast<double>(lengthFrames) / r;
    int hours = static_cast<int>(d / 3600);
    int s = static_cast<int>(d) % 3600;
    return hmsf("%02d:%02d:%02d:%02d", hours, s / 60, s % 60, lengthFrames % r);
}

std::string timecodeText(Timecode tc) {
    return hmsf("%02d:%02d:%02d:%02d", tc.hours, tc.minutes, tc.seconds, tc.frames);
}

std::string timecodeFileText(Timecode tc) {
    return hmsf("%02d-%02d-%02d-%02d", tc.hours, tc.minutes, tc.seconds, tc.frames);
}

std::string recordingTimeText(const RecordingTime& t) {
    char text[96];
    std::snprintf(text, sizeof text, "%02d-%02d-%d / %02d:%02d:%02d", t.dayOfMonth, t.month + 1,
                  t.yearsSince1900 + 1900, t.hours, t.minutes, t.seconds);
    return text;
}

std::string recordingTimeFileText(const RecordingTime& t) {
    char text[96];
    std::snprintf(text, sizeof text, "%d-%02d-%02d_%02d-%02d-%02d", t.yearsSince1900 + 1900, t.month + 1,
                  t.dayOfMonth, t.hours, t.minutes, t.seconds);
    return text;
}

std::string pictureDateSuffix(const RecordingTime& t) { return "_" + recordingTimeFileText(t) + ".bmp"; }

Timecode addFramesToTimecode(Timecode tc, int32_t k, float fps) {
    if (k == 0) return tc;
    fps = usableRate(fps);
    int32_t rh = std::max(1, truncProduct(fps, 3600.0f));
    int32_t rm = std::max(1, truncProduct(fps, 60.0f));
    // 64 bits: a large k on top of the timecode's own frames must not overflow.
    int64_t t = int64_t{tc.hours} * rh + int64_t{tc.minutes} * rm + truncProduct(fps, tc.seconds) + tc.frames + k;
    int64_t hours = t / rh;
    t -= hours * rh;
    int64_t minutes = t / rm;
    t -= minutes * rm;
    int32_t seconds = static_cast<int32_t>(static_cast<float>(t) / fps);
    int64_t frames = t - truncProduct(fps, static_cast<float>(seconds));
    return {static_cast<int8_t>(hours), static_cast<int8_t>(minutes), static_cast<int8_t>(seconds),
            static_cast<int8_t>(frames)};
}

Timecode stopTimecode(const SceneRecord& r) {
    return addFramesToTimecode(r.timecode, r.lengthFrames(), static_cast<float>(r.rate()));
}

std::tm toTm(const RecordingTime& t) {
    std::tm tm{};
    tm.tm_sec = t.seconds;
    tm.tm_min = t.minutes;
    tm.tm_hour = t.hours;
    tm.tm_mday = t.dayOfMonth;
    tm.tm_mon = t.month;
    tm.tm_year = t.yearsSince1900;
    tm.tm_wday = t.weekday;
    tm.tm_yday = t.dayOfYear;
    tm.tm_isdst = t.daylightSaving;
    return tm;
}

RecordingTime fromTm(const std::tm& tm) {
    return {tm.tm_sec, tm.tm_min, tm.tm_hour, tm.tm_mday, tm.tm_mon, tm.tm_year, tm.tm_wday, tm.tm_yday, tm.tm_isdst};
}

std::time_t calendarSeconds(const RecordingTime& time) {
    std::tm tm = toTm(time);
    return std::mktime(&tm);
}

int compareRecordingTimes(const RecordingTime& a, const RecordingTime& b) {
    std::time_t ta = calendarSeconds(a), tb = calendarSeconds(b);
    return ta < tb ? -1 : ta > tb ? 1 : 0;
}

RecordingTime addFramesToRecordingTime(const RecordingTime& time, int32_t k, float fps) {
    if (k == 0) return time;
    fps = usableRate(fps);
    std::time_t whole = static_cast<std::time_t>(std::abs(static_cast<double>(k)) / fps);
    std::tm tm = toTm(time);
    std::time_t base = std::mktime(&tm);
    RecordingTime result = time;
    std::tm moved{};
    bool converted = base != static_cast<std::time_t>(-1);
    if (converted) {
        std::time_t target = k > 0 ? base + whole : base - whole;
        converted = localtime_r(&target, &moved) != nullptr;
    }
    if (!converted) {
        result.hours = result.minutes = result.seconds = -1;
        result.dayOfMonth = 0;
        result.month = -1;
        result.yearsSince1900 = -1900;
        return result;
    }
    result.seconds = moved.tm_sec;
    result.minutes = moved.tm_min;
    result.hours = moved.tm_hour;
    result.dayOfMonth = moved.tm_mday;
    result.month = moved.tm_mon;
    result.yearsSince1900 = moved.tm_year;
    return result;
}

int parseRecordingTime(const char* text, RecordingTime* out) {
    if (!out) return -2;
    std::string_view rest = text ? text : "";
    static constexpr char kDelimiters[] = {'-', '-', '/', ':', ':', ':'};
    int values[6] = {};
    int read = 0;
    for (; read < 6; ++read) {
        std::string_view piece;
        if (!nextPiece(rest, kDelimiters[read], piece)) break;
        values[read] = leadingInt(piece);
    }
    // A text cut short keeps the pieces read and 0 in every other field.
    int month = read > 1 ? values[1] - 1 : 0;
    int year = read > 2 ? values[2] - 1900 : 0;
    *out = {values[5], values[4], values[3], values[0], month, year, 0, 0, 0};
    return read == 6 ? 1 : -3 - read;
}

int parseTimecode(const char* text, Timecode* out) {
    if (!out) return -2;
    std::string_view rest = text ? text : "";
    int8_t values[4] = {};
    int read = 0;
    for (; read < 4; ++read) {
        std::string_view piece;
        if (!nextPiece(rest, ':', piece)) break;
        values[read] = static_cast<int8_t>(leadingInt(piece));
    }
    *out = {values[0], values[1], values[2], values[3]};
    return read == 4 ? 1 : -3 - read;
}

int sceneText(const SceneList& list, int index, SceneText kind, std::string* out) {
    const SceneRecord* r = list.record(index);
    if (!r) return -1;
    if (!out) return -2;
    float fps = list.framesPerSecond(index);
    switch (kind) {
    case SceneText::Start: *out = positionText(r->startFrame, fps); break;
    case SceneText::Stop: *out = positionText(r->stopFrame, fps); break;
    case SceneText::Length: *out = lengthText(r->lengthFrames(), fps); break;
    case SceneText::Timecode: *out = timecodeText(r->timecode); break;
    case SceneText::StopTimecode: *out = timecodeText(stopTimecode(*r)); break;
    case SceneText::RecordingTime: *out = recordingTimeText(r->recordingTime); break;
    }
    return 1;
}

}  // namespace klemora::scene
