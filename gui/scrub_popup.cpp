#include "gui/scrub_popup.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "gui/letterbox.h"

namespace klemora::gui {

int32_t scrubFrameAt(int x, int width, int32_t start, int32_t stop) {
    const int inner = width - 2;
    if (inner <= 0 || stop <= start) return start;
    // In floating point: with whole numbers a scene longer than the stripe
    // would divide by a step of 0.
    const double framesPerPixel = (double(stop) - start + 1) / inner;
    const double frame = start + std::floor(std::max(0, x) * framesPerPixel);
    return static_cast<int32_t>(std::clamp<double>(frame, start, stop));
}

ScrubPopup::ScrubPopup(ThumbnailLoader& loader, QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint), m_loader(loader) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    connect(&m_loader, &ThumbnailLoader::pictureReady, this, &ScrubPopup::onPictureReady);
}

void ScrubPopup::showFrame(const QString& file, bool wideScreen, int32_t frame, const QRect& globalRect) {
    const Letterbox box = letterboxFor(globalRect.width(), globalRect.height(), wideScreen);
    m_box = QRect(box.x, box.y, box.width, box.height);
    m_frame = frame;
    m_key = {file, frame, m_box.size()};
    if (geometry() != globalRect) setGeometry(globalRect);
    if (!m_box.isEmpty()) {
        m_loader.startRequestRound();  // only the newest frame is worth decoding
        QImage picture = m_loader.picture(m_key, 0);
        if (!picture.isNull()) m_shown = picture;
    }
    if (!isVisible()) show();
    update();
}

void ScrubPopup::onPictureReady(const ThumbnailKey& key) {
    if (!isVisible() || !(key == m_key)) return;
    QImage picture = m_loader.picture(key, 0);
    if (picture.isNull()) return;
    m_shown = picture;
    update();
}

void ScrubPopup::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!m_shown.isNull()) painter.drawImage(m_box, m_shown);
}

}  // namespace klemora::gui
