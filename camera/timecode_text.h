#pragma once
// The tape timecode as the transport reports it: four BCD bytes in one 32-bit
// value, hours in the highest byte.
#include <cstdint>
#include <string>

#include "scene/scene_record.h"

namespace klemora::camera {

inline constexpr const char* kNoTimecodeText = "--:--:--:--";

// "%.2x:%.2x:%.2x:%.2x" of the bytes from high to low: 0x01234512 reads
// "01:23:45:12".
std::string timecodeText(uint32_t bcdTimecode);
// The BCD value of a decoded timecode (each field 0..99).
uint32_t bcdTimecode(const scene::Timecode& timecode);

}  // namespace klemora::camera
