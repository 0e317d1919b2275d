#include "camera/preview_renderer.h"

#include <cerrno>

namespace klemora::camera {

PreviewRect previewRectangle(int width, int height) {
    if (width <= 0 || height <= 0) return {};
    PreviewRect rect;
    // width / height > 4 / 3, in integers
    if (3 * static_cast<int64_t>(width) > 4 * static_cast<int64_t>(height)) {
        int w = static_cast<int>(static_cast<int64_t>(height) * 4 / 3);
        rect.left = (width - w) / 2;
        rect.right = rect.left + w;
        rect.top = 0;
        rect.bottom = height;
    } else {
        int h = static_cast<int>(static_cast<int64_t>(width) * 3 / 4);
        rect.left = 0;
        rect.right = width;
        rect.top = (height - h) / 2;
        rect.bottom = rect.top + h;
    }
    return rect;
}

int VideoWindow::setChild(PreviewWindow* host) {
    if (!host) return -EINVAL;
    if (int rc = host->embedVideo(); rc != 0) return rc;
    m_child = host;
    return 0;
}

int VideoWindow::setOwner(PreviewWindow* host) {
    if (!host || host != m_child) return -EINVAL;
    m_owner = host;
    return 0;
}

int VideoWindow::setPosition(const PreviewRect& rect) {
    if (!m_owner) return -ENOTCONN;
    if (int rc = m_owner->placeVideo(rect); rc != 0) return rc;
    m_rect = rect;
    return 0;
}

int VideoWindow::setVisible(bool visible) {
    if (!m_owner) return -ENOTCONN;
    if (int rc = m_owner->showVideo(visible); rc != 0) return rc;
    m_visible = visible;
    return 0;
}

int VideoWindow::setForeground() { return m_owner ? m_owner->raiseVideo() : -ENOTCONN; }

void VideoWindow::detach() {
    if (m_owner && m_visible) m_owner->showVideo(false);
    m_child = nullptr;
    m_owner = nullptr;
    m_visible = false;
}

PreviewRenderer::PreviewRenderer() : Filter(kRendererFilterName) {
    addPin("Input", PinDirection::Input, MediaKind::InterleavedDv);
}

PreviewRenderer::~PreviewRenderer() { m_window.detach(); }

int PreviewRenderer::run() {
    std::lock_guard lock(m_mutex);
    m_first = 0;
    m_count = 0;
    m_dropped = 0;
    return 0;
}

void PreviewRenderer::receive(Pin&, const MediaSample& sample) {
    std::lock_guard lock(m_mutex);
    if (m_count == m_queue.size()) {
        m_first = (m_first + 1) % m_queue.size();
        --m_count;
        ++m_dropped;
    }
    QueuedFrame& slot = m_queue[(m_first + m_count) % m_queue.size()];
    slot.data.assign(sample.data.begin(), sample.data.end());  // keeps its capacity: no allocation per frame
    slot.pal = sample.pal;
    ++m_count;
}

int64_t PreviewRenderer::framesDropped() const {
    std::lock_guard lock(m_mutex);
    return m_dropped;
}

void PreviewRenderer::present() {
    for (;;) {
        {
            std::lock_guard lock(m_mutex);
            if (m_count == 0) return;
            std::swap(m_showing, m_queue[m_first]);
            m_first = (m_first + 1) % m_queue.size();
            --m_count;
        }
        // A window that is not placed and shown takes no frames.
        if (!m_window.owner() || !m_window.visible()) continue;
        m_window.owner()->showFrame(m_showing.data, m_showing.pal);
        ++m_framesShown;
    }
}

}  // namespace klemora::camera
