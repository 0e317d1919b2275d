#include "media/play_window.h"

#include <algorithm>
#include <cmath>

#include "app/string_table.h"
#include "app/text_format.h"

namespace klemora::media {
namespace {

constexpr int32_t kReplacedEdge = 10;
constexpr int32_t kDefaultWidth = 382;
constexpr int32_t kDefaultHeight = 288;
constexpr int64_t kCaptionRate = 25;

}  // namespace

void normalisePlacement(PlayWindowPlacement& p) {
    if (p.left != kNotPlaced && p.top != kNotPlaced && (p.left < 0 || p.top < 0)) {
        p.left = kReplacedEdge;
        p.top = kReplacedEdge;
    }
    if (p.width != kNotPlaced && p.height != kNotPlaced && (p.width < 11 || p.height <= 10)) {
        p.width = kDefaultWidth;
        p.height = kDefaultHeight;
    }
}

std::string playCaption(const std::string& path, int32_t startFrame, int32_t stopFrame, float speed) {
    // A factor of 0 (or below) would make the time endless; it plays at the slowest rate.
    const double factor = std::max(speed, kSlowestSpeed);
    const double frames = std::max<double>(0, static_cast<double>(stopFrame) - startFrame + 1) / factor;
    const int64_t n = static_cast<int64_t>(std::min(frames, 9.0e15));
    const std::string duration =
        app::stringPrintf("%02lld:%02lld:%02lld:%02lld", static_cast<long long>(n / (kCaptionRate * 3600)),
                          static_cast<long long>(n / kCaptionRate % 3600 / 60),
                          static_cast<long long>(n / kCaptionRate % 3600 % 60), static_cast<long long>(n % kCaptionRate));
    return app::stringPrintf("%s / %s: %d / %s: %d / %s: %.02f / %s: %s", path.c_str(), app::loadString(104).c_str(),
                             startFrame + 1, app::loadString(153).c_str(), stopFrame + 1, app::loadString(154).c_str(),
                             speed, app::loadString(122).c_str(), duration.c_str());
}

}  // namespace klemora::media
