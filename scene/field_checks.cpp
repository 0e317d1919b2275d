#include "scene/field_checks.h"

namespace klemora::scene {
namespace {

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month0) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month0 == 1 && isLeapYear(year) ? 29 : kDays[month0];
}

bool within(int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; }

}  // namespace

ValueCheck checkSpeedFactor(double speed) {
    if (!(speed > kMinSpeedFactor)) return ValueCheck::TooSmall;
    return speed <= kMaxSpeedFactor ? ValueCheck::Ok : ValueCheck::OutOfRange;
}

ValueCheck checkFrameNumber(int64_t frame) {
    if (frame < 0) return ValueCheck::TooSmall;
    return frame <= kMaxImportedFrame ? ValueCheck::Ok : ValueCheck::OutOfRange;
}

bool isCalendarTime(const RecordingTime& t) {
    if (!within(t.yearsSince1900, 0, 9999 - 1900) || !within(t.month, 0, 11)) return false;
    int year = t.yearsSince1900 + 1900;
    return within(t.dayOfMonth, 1, daysInMonth(year, t.month)) && within(t.hours, 0, 23) &&
           within(t.minutes, 0, 59) && within(t.seconds, 0, 59);
}

bool isEmptyRecordingTime(const RecordingTime& t) { return t == RecordingTime{0, 0, 0, 0, 0, 0, 0, 0, 0}; }

}  // namespace klemora::scene
