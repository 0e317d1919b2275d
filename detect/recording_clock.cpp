#include "detect/recording_clock.h"

#include <algorithm>
#include <ctime>

#include "scene/time_text.h"

namespace klemora::detect {
namespace {

bool sameWallClock(const std::tm& a, const std::tm& b) {
    return a.tm_year == b.tm_year && a.tm_mon == b.tm_mon && a.tm_mday == b.tm_mday && a.tm_hour == b.tm_hour &&
           a.tm_min == b.tm_min && a.tm_sec == b.tm_sec;
}

int64_t absolute(int64_t v) { return v < 0 ? -v : v; }

constexpr int64_t kDaySeconds = 24 * 3600;

long utcOffsetAt(int64_t instant) {
    std::time_t t = static_cast<std::time_t>(instant);
    std::tm local{};
    return localtime_r(&t, &local) ? local.tm_gmtoff : 0;
}

}  // namespace

bool RecordingStamp::set(const scene::RecordingTime& time) {
    std::tm fields = scene::toTm(time);
    std::time_t clock = timegm(&fields);
    if (clock == static_cast<std::time_t>(-1)) return false;
    m_time = time;
    m_clock = clock;
    m_localKnown = false;
    return true;
}

// The UTC offsets in force a day before and a day after give every instant
// the fields can name; each must name the same fields again. Forcing a DST
// flag on mktime instead makes it search years wide in a zone without DST.
void RecordingStamp::readLocalTime() {
    if (m_localKnown) return;
    std::tm fields = scene::toTm(m_time);
    timegm(&fields);  // normalises the fields (a day 0, a month 12) for the comparison
    const long offsets[2] = {utcOffsetAt(m_clock - kDaySeconds), utcOffsetAt(m_clock + kDaySeconds)};
    int found = 0;
    for (int i = 0; i < 2; ++i) {
        if (i == 1 && offsets[1] == offsets[0]) break;
        std::time_t t = static_cast<std::time_t>(m_clock - offsets[i]);
        std::tm reading{};
        if (localtime_r(&t, &reading) && sameWallClock(reading, fields)) m_local[found++] = t;
    }
    if (found == 0) {  // an hour the zone skips: what the C library makes of it
        std::tm guess = scene::toTm(m_time);
        guess.tm_isdst = -1;
        m_local[found++] = std::mktime(&guess);
    }
    if (found == 1) m_local[1] = m_local[0];
    m_localKnown = true;
}

bool RecordingStamp::apartFrom(RecordingStamp& other, int64_t limitSeconds) {
    if (absolute(m_clock - other.m_clock) <= limitSeconds) return false;
    readLocalTime();
    other.readLocalTime();
    int64_t local = absolute(m_local[0] - other.m_local[0]);
    for (int64_t x : m_local)
        for (int64_t y : other.m_local) local = std::min(local, absolute(y - x));
    return local > limitSeconds;
}

}  // namespace klemora::detect
