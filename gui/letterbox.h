#pragma once
// Where a frame's picture goes inside a video area: the whole area when its
// ratio lies within 0.02 of the picture's (4:3, or 16:9 for a wide file),
// else the too-long side shortened to that ratio and the picture centred on it.
namespace klemora::gui {

struct Letterbox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Letterbox&) const = default;
};

inline constexpr float kWideAspect = 1.7777778f;
inline constexpr float kNormalAspect = 1.3333334f;
inline constexpr float kAspectTolerance = 0.02f;

// An empty box for an area without pixels.
Letterbox letterboxFor(int areaWidth, int areaHeight, bool wideScreen);

}  // namespace klemora::gui
