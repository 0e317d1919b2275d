#include "gui/picture_view.h"

#include <QPainter>

#include "media/bitmap_header.h"

namespace klemora::gui {

QImage imageFromDib(std::span<const uint8_t> dib) {
    if (dib.size() < media::kBitmapInfoHeaderSize) return {};
    media::BitmapInfoHeader header = media::readBitmapInfoHeader(dib.first<media::kBitmapInfoHeaderSize>());
    if (header.bitCount != 24 || header.width < 1 || header.height < 1) return {};
    int64_t stride = media::dibRowStride(header.width, 24);
    if (static_cast<int64_t>(dib.size()) < media::kBitmapInfoHeaderSize + stride * header.height) return {};
    QImage image(header.width, header.height, QImage::Format_RGB32);
    if (image.isNull()) return {};
    const uint8_t* rows = dib.data() + media::kBitmapInfoHeaderSize;
    for (int y = 0; y < header.height; ++y) {
        const uint8_t* in = rows + stride * (header.height - 1 - y);  // bottom row first
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < header.width; ++x, in += 3) out[x] = qRgb(in[2], in[1], in[0]);
    }
    return image;
}

PictureView::PictureView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel is painted: picture or bars
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMinimumSize(64, 48);
}

void PictureView::setPicture(QImage picture) {
    m_picture = std::move(picture);
    update();
}

void PictureView::setWideScreen(bool wide) {
    if (wide == m_wide) return;
    m_wide = wide;
    update();
}

QRect PictureView::pictureRect() const {
    const double ratio = m_wide ? 16.0 / 9.0 : 4.0 / 3.0;
    int w = width(), h = height();
    if (w < 1 || h < 1) return {};
    if (w > h * ratio) w = static_cast<int>(h * ratio + 0.5);
    else h = static_cast<int>(w / ratio + 0.5);
    return {(width() - w) / 2, (height() - h) / 2, w, h};
}

void PictureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (!m_picture.isNull()) {
        QRect target = pictureRect();
        // Grabbed at this size as a rule; a stale size after a resize is scaled once.
        if (target.size() != m_picture.size()) painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, m_picture);
    }
    ++m_paints;
    emit painted();
}

void PictureView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emit resized();
}

}  // namespace klemora::gui
