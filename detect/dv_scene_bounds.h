#pragma once
// Where a scene found by the DV detection starts and stops once the frames
// around its inner boundaries are trimmed away. Only boundaries between two
// found scenes are trimmed; the ends of the search range stay.
#include <cstdint>

namespace klemora::detect {

struct SceneBounds {
    int32_t startFrame = 0;
    int32_t stopFrame = 0;
};

// The scene from `sceneStart` that ends before the break at `breakFrame`.
// When trimming would leave nothing, the scene keeps all its frames.
SceneBounds innerSceneBounds(int32_t sceneStart, int32_t breakFrame, int32_t rangeFirst, int32_t trimCount);

// The last scene of a file, from `sceneStart` to the end of the range.
SceneBounds lastSceneBounds(int32_t sceneStart, int32_t rangeFirst, int32_t rangeLast, int32_t trimCount);

}  // namespace klemora::detect
