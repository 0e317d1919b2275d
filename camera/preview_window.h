#pragma once
// The preview: the video area of the camera dialog hosts the renderer's video
// window, which shows the camera picture on a centred 4:3 rectangle. The
// dialog implements PreviewWindow with its toolkit; the component only asks
// it for its size and hands it the rectangle and the frames.
#include <cstdint>
#include <span>

namespace klemora::camera {

struct PreviewRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const PreviewRect&) const = default;
};

// The centred 4:3 rectangle of a client area: full height and height x 4/3
// wide when the area is wider than 4:3, else full width and width / (4/3)
// high. An empty area gives an empty rectangle.
PreviewRect previewRectangle(int clientWidth, int clientHeight);

class PreviewWindow {
public:
    virtual ~PreviewWindow() = default;
    // Each returns 0 or a negative errno value.
    virtual int clientSize(int& width, int& height) = 0;
    virtual int embedVideo() = 0;                        // the video becomes a child of this window
    virtual int placeVideo(const PreviewRect& rect) = 0;
    virtual int showVideo(bool visible) = 0;
    virtual int raiseVideo() = 0;
    // One DV frame to draw on the placed rectangle.
    virtual void showFrame(std::span<const uint8_t> frame, bool pal) = 0;
};

}  // namespace klemora::camera
