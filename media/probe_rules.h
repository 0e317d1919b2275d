#pragma once
// The arithmetic of probing and grabbing, apart so that its edge cases can be
// checked without media files.
#include <cstdint>
#include <string>
#include <string_view>

namespace klemora::media {

// Seconds truncated to 1/100 after adding 0.005: 4.004 -> 4.00, 4.006 -> 4.01.
float durationFromLength(double lengthSeconds);
// truncate(duration x rate + 0.5).
int32_t frameCountFor(float duration, float frameRate);
// "FixRatio" as stored: blanks removed, "/" turned into ":" ("16 / 9" -> "16:9").
std::string normalizeFixRatio(std::string_view setting);
// Empty: the file's own detection; containing "4": normal; else "16": wide.
bool wideScreenFor(std::string_view fixRatio, bool detected);
// The stream time of a frame: frame x frame duration + 0.01 s, so that the
// moment lies inside the frame and not on its edge.
double frameTime(int32_t frame, float frameDuration);

}  // namespace klemora::media
