#include "detect/dv_scene_bounds.h"

namespace klemora::detect {

SceneBounds innerSceneBounds(int32_t sceneStart, int32_t breakFrame, int32_t rangeFirst, int32_t trimCount) {
    SceneBounds b;
    b.startFrame = sceneStart == rangeFirst ? sceneStart : sceneStart + trimCount;
    b.stopFrame = breakFrame - trimCount - 1;
    if (b.stopFrame < b.startFrame) b = {sceneStart, breakFrame - 1};
    return b;
}

SceneBounds lastSceneBounds(int32_t sceneStart, int32_t rangeFirst, int32_t rangeLast, int32_t trimCount) {
    bool untrimmed = sceneStart == rangeFirst || sceneStart + trimCount > rangeLast;
    return {untrimmed ? sceneStart : sceneStart + trimCount, rangeLast};
}

}  // namespace klemora::detect
