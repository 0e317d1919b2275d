#include "gui/stripe_layout.h"

#include <algorithm>
#include <cmath>

namespace klemora::gui {

StripeType stripeTypeFromSetting(int value) {
    if (value == 0) return StripeType::Ends;
    if (value == 1) return StripeType::Even;
    return StripeType::Centred;
}

int stripePictureWidth(int innerWidth, int pictures) {
    if (pictures < 1) return 0;
    return std::max(0, (innerWidth - kStripePictureGap * (pictures - 1)) / pictures);
}

StripeGeometry stripeGeometry(int widthSetting, int clientWidth, int pictures, bool wideScreen) {
    StripeGeometry g;
    clientWidth = std::max(clientWidth, 1);
    g.stripeWidth = (widthSetting <= 0 || widthSetting > clientWidth) ? clientWidth : widthSetting;
    g.stripesPerRow = std::max(1, clientWidth / g.stripeWidth);
    const double aspect = wideScreen ? 16.0 / 9.0 : 4.0 / 3.0;
    const int pictureWidth = stripePictureWidth(g.stripeWidth - 2 * kStripeBorder, pictures);
    g.stripeHeight = static_cast<int>(std::trunc(pictureWidth / aspect + 0.9)) + 2 * kStripeBorder;
    return g;
}

std::vector<int32_t> stripePictureFrames(int32_t start, int32_t stop, int pictures, StripeType type) {
    std::vector<int32_t> frames;
    if (pictures < 1) return frames;
    const int64_t length = int64_t{stop} - start + 1;
    // One picture has no second end to step to: it shows the start.
    const int64_t step = type == StripeType::Ends ? (pictures > 1 ? length / (pictures - 1) : 0) : length / pictures;
    const int64_t offset = type == StripeType::Centred ? step / 2 : 0;
    frames.reserve(pictures);
    for (int i = 0; i < pictures; ++i)
        frames.push_back(static_cast<int32_t>(std::min<int64_t>(start + i * step + offset, stop)));
    return frames;
}

}  // namespace klemora::gui
