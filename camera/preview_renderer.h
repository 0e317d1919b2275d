#pragma once
// The graph's renderer for the camera preview and its video window. Frames
// reach the dialog's video area only once the window is embedded, placed and
// shown there.
#include "camera/filter_graph.h"
#include "camera/preview_window.h"

namespace klemora::camera {

inline constexpr const char* kRendererFilterName = "Video Renderer";

// The renderer's window: the steps of placing it into a host, each 0 or a
// negative errno value.
class VideoWindow {
public:
    int setChild(PreviewWindow* host);
    int setOwner(PreviewWindow* host);
    int setPosition(const PreviewRect& rect);
    int setVisible(bool visible);
    int setForeground();
    void detach();

    PreviewWindow* owner() const { return m_owner; }
    bool visible() const { return m_visible; }
    const PreviewRect& position() const { return m_rect; }

private:
    PreviewWindow* m_child = nullptr;
    PreviewWindow* m_owner = nullptr;
    PreviewRect m_rect;
    bool m_visible = false;
};

class PreviewRenderer : public Filter {
public:
    PreviewRenderer();
    ~PreviewRenderer() override;
    VideoWindow& videoWindow() { return m_window; }
    Pin& input() { return *pin(0); }
    int64_t framesShown() const { return m_framesShown; }

    void receive(Pin& input, const MediaSample& sample) override;

private:
    VideoWindow m_window;
    int64_t m_framesShown = 0;
};

}  // namespace klemora::camera
