#pragma once
// The play window's rules that hold before any picture is shown: where it
// opens (the placement the caller keeps between plays) and its caption.
#include <cstdint>
#include <string>

namespace klemora::media {

inline constexpr int32_t kNotPlaced = -1;

struct PlayWindowPlacement {
    int32_t left = kNotPlaced;
    int32_t top = kNotPlaced;
    int32_t width = kNotPlaced;
    int32_t height = kNotPlaced;
};

// Before each play: a set position with a negative left or top opens at
// 10/10; a set size narrower than 11 or at most 10 high opens at 382 × 288.
void normalisePlacement(PlayWindowPlacement& placement);

// The slowest rate a play asks for; slower factors play at this one.
inline constexpr float kSlowestSpeed = 0.001f;

// "path / Start: s / Stop: e / Faktor: f / Dauer: hh:mm:ss:ff" with the
// frames 1-based and the playing time counted at 25 frames per second.
std::string playCaption(const std::string& path, int32_t startFrame, int32_t stopFrame, float speed);

}  // namespace klemora::media
