#include "gui/letterbox.h"

#include <cmath>

namespace klemora::gui {

Letterbox letterboxFor(int areaWidth, int areaHeight, bool wideScreen) {
    if (areaWidth < 1 || areaHeight < 1) return {};
    const float target = wideScreen ? kWideAspect : kNormalAspect;
    const float ratio = static_cast<float>(areaWidth) / static_cast<float>(areaHeight);
    Letterbox box{0, 0, areaWidth, areaHeight};
    if (std::fabs(ratio - target) <= kAspectTolerance) return box;
    if (ratio > target) {
        box.width = static_cast<int>(std::lround(static_cast<float>(areaHeight) * target));
        box.x = (areaWidth - box.width) / 2;
    } else {
        box.height = static_cast<int>(std::lround(static_cast<float>(areaWidth) / target));
        box.y = (areaHeight - box.height) / 2;
    }
    return box;
}

}  // namespace klemora::gui
