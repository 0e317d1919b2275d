#pragma once
// The seconds of a DV recording stamp, and whether two stamps are apart.
//
// A camera's clock knows no time zone. One that runs through a daylight-saving
// change goes on counting, so its stamps may name an hour the zone skips or
// repeats; one that follows the change jumps by an hour. Neither camera was
// stopped. Two stamps are therefore as far apart as the nearer of two
// readings: the clock's own (the fields counted without any zone) and local
// time's (every instant the zone gives those fields).
#include <cstdint>

#include "scene/scene_record.h"

namespace klemora::detect {

class RecordingStamp {
public:
    // False when the fields cannot be counted as seconds (the stamp is left as it was).
    bool set(const scene::RecordingTime& time);
    const scene::RecordingTime& time() const { return m_time; }

    // True when both readings put more than `limitSeconds` between the stamps,
    // either way round. Local time is looked up only when the clock reading
    // is past the limit, which is rare: the lookups cost more than a frame.
    bool apartFrom(RecordingStamp& other, int64_t limitSeconds);

private:
    void readLocalTime();

    scene::RecordingTime m_time{};
    int64_t m_clock = 0;      // the fields as if they were UTC
    int64_t m_local[2] = {};  // local-time instants; they differ only in a repeated hour
    bool m_localKnown = false;
};

}  // namespace klemora::detect
