#include "gui/camera_preview_view.h"

#include <QPainter>
#include <QResizeEvent>

namespace klemora::gui {

CameraPreviewView::CameraPreviewView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(160, 120);
}

int CameraPreviewView::clientSize(int& width, int& height) {
    width = m_width.load();
    height = m_height.load();
    return 0;
}

int CameraPreviewView::embedVideo() { return 0; }

int CameraPreviewView::placeVideo(const camera::PreviewRect& rect) {
    {
        std::lock_guard lock(m_mutex);
        m_rect = rect;
    }
    repaintLater();
    return 0;
}

int CameraPreviewView::showVideo(bool visible) {
    m_visible = visible;
    if (!visible) {
        std::lock_guard lock(m_mutex);
        m_picture = QImage();
    }
    repaintLater();
    return 0;
}

int CameraPreviewView::raiseVideo() { return 0; }

void CameraPreviewView::showFrame(std::span<const uint8_t> frame, bool) {
    if (m_decoder.decode(frame, m_decoded) != 1) return;  // a damaged frame keeps the last picture
    QImage picture(m_decoded.pixels.data(), m_decoded.width, m_decoded.height, m_decoded.width * 4,
                   QImage::Format_RGB32);
    {
        std::lock_guard lock(m_mutex);
        m_picture = picture.copy();
    }
    ++m_framesShown;
    repaintLater();
}

camera::PreviewRect CameraPreviewView::videoRect() const {
    std::lock_guard lock(m_mutex);
    return m_rect;
}

void CameraPreviewView::repaintLater() {
    // One queued repaint at a time: frames that come faster are painted together.
    if (m_repaintQueued.exchange(true)) return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_repaintQueued = false;
            update();
        },
        Qt::QueuedConnection);
}

void CameraPreviewView::resizeEvent(QResizeEvent* event) {
    m_width = event->size().width();
    m_height = event->size().height();
    QWidget::resizeEvent(event);
}

void CameraPreviewView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    std::lock_guard lock(m_mutex);
    if (!m_visible.load() || m_picture.isNull() || m_rect.width() <= 0 || m_rect.height() <= 0) return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(m_rect.left, m_rect.top, m_rect.width(), m_rect.height()), m_picture);
}

}  // namespace klemora::gui
