#pragma once
// The graph's renderer for the camera preview and its video window. Frames
// reach the dialog's video area only once the window is embedded, placed and
// shown there. The renderer receives on whichever thread services the
// camera but shows only on the caller's (present): between the two a short
// queue that drops its oldest frame when the caller is late, so a slow
// window never holds up the camera.
#include <array>
#include <cstdint>
#include <mutex>
#include <vector>

#include "camera/filter_graph.h"
#include "camera/preview_window.h"

namespace klemora::camera {

inline constexpr const char* kRendererFilterName = "Video Renderer";
inline constexpr size_t kPreviewQueueFrames = 3;

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
    // The caller's thread: shows the queued frames in the window.
    void present();
    int64_t framesShown() const { return m_framesShown; }
    // Frames the preview left out because the caller was late (the file
    // never misses one for that).
    int64_t framesDropped() const;

    int run() override;
    void receive(Pin& input, const MediaSample& sample) override;

private:
    struct QueuedFrame {
        std::vector<uint8_t> data;
        bool pal = true;
    };

    VideoWindow m_window;
    int64_t m_framesShown = 0;
    mutable std::mutex m_mutex;  // the queue below
    std::array<QueuedFrame, kPreviewQueueFrames> m_queue;
    size_t m_first = 0;
    size_t m_count = 0;
    int64_t m_dropped = 0;
    QueuedFrame m_showing;  // out of the queue, being shown
};

}  // namespace klemora::camera
