#pragma once
// One entry of a detection run's file list: a source file and the frames of
// it to search; and the longest trim every detection offers.
#include <cstdint>
#include <string>

namespace klemora::detect {

// The trim list offers 0 to 99 frames.
inline constexpr int kMaxTrimCount = 99;

struct SearchSource {
    std::string path;
    int32_t firstFrame = 0;  // 0-based, inclusive
    int32_t lastFrame = 0;   // inclusive
};

}  // namespace klemora::detect
