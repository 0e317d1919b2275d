#include "detect/timecode_count.h"

namespace klemora::detect {
namespace {

constexpr int64_t kDayMinutes = 24 * 60;

int64_t framesPerDay(int framesPerSecond, bool dropFrame) {
    int64_t all = kDayMinutes * 60 * framesPerSecond;
    return dropFrame ? all - 2 * (kDayMinutes - kDayMinutes / 10) : all;
}

bool followsCounted(const scene::Timecode& earlier, const scene::Timecode& later, int64_t frames, int fps,
                    bool dropFrame) {
    const int64_t day = framesPerDay(fps, dropFrame);
    int64_t expected = (timecodeFrameCount(earlier, fps, dropFrame) + frames) % day;
    return timecodeFrameCount(later, fps, dropFrame) == expected;
}

}  // namespace

std::optional<scene::Timecode> timecodeOfPack(const avi::DvPack& pack, int framesPerSecond) {
    scene::Timecode t;
    t.frames = static_cast<int8_t>(avi::bcdValue(pack[1], 0x3));
    t.seconds = static_cast<int8_t>(avi::bcdValue(pack[2], 0x7));
    t.minutes = static_cast<int8_t>(avi::bcdValue(pack[3], 0x7));
    t.hours = static_cast<int8_t>(avi::bcdValue(pack[4], 0x3));
    if (t.frames >= framesPerSecond || t.seconds >= 60 || t.minutes >= 60 || t.hours >= 24) return std::nullopt;
    return t;
}

int64_t timecodeFrameCount(const scene::Timecode& t, int framesPerSecond, bool dropFrame) {
    const int64_t minutes = int64_t{t.hours} * 60 + t.minutes;
    int64_t count = (minutes * 60 + t.seconds) * framesPerSecond + t.frames;
    if (dropFrame && framesPerSecond == 30) count -= 2 * (minutes - minutes / 10);
    return count;
}

bool timecodeFollows(const scene::Timecode& earlier, const scene::Timecode& later, int64_t frames,
                     int framesPerSecond) {
    if (followsCounted(earlier, later, frames, framesPerSecond, false)) return true;
    return framesPerSecond == 30 && followsCounted(earlier, later, frames, framesPerSecond, true);
}

}  // namespace klemora::detect
