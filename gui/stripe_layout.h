#pragma once
// The geometry of the scene stripes: how wide and high a stripe is, how many
// stand in a row, and which frames its pictures show. Plain arithmetic, so
// that the storyboard, the film strip of the list view and the benchmark
// agree on every pixel.
#include <cstdint>
#include <vector>

namespace klemora::gui {

inline constexpr int kStripeBorder = 1;      // each side
inline constexpr int kStripePictureGap = 3;  // between two pictures
inline constexpr int kDefaultStripeMargin = 5;
inline constexpr int kMaxStripeMargin = 100;

// "StripeType": where the pictures of a stripe sit in its scene.
enum class StripeType : int { Ends = 0, Even = 1, Centred = 2 };
StripeType stripeTypeFromSetting(int value);  // anything unknown is Centred

struct StripeGeometry {
    int stripeWidth = 0;    // outer width, border included
    int stripesPerRow = 1;  // at least 1
    int stripeHeight = 0;   // outer height, border included
};

// `widthSetting` 0 or wider than the client means the whole client width;
// the height follows the picture width at 16:9 or 4:3.
StripeGeometry stripeGeometry(int widthSetting, int clientWidth, int pictures, bool wideScreen);

// The width of one of `pictures` pictures side by side in `innerWidth`
// pixels with the 3-pixel gaps; never below 0.
int stripePictureWidth(int innerWidth, int pictures);

// The frames the `pictures` pictures of the scene start..stop show; a frame
// past the stop frame is the stop frame.
std::vector<int32_t> stripePictureFrames(int32_t start, int32_t stop, int pictures, StripeType type);

}  // namespace klemora::gui
