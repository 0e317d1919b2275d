#include "gui/trim_bar.h"

#include <QPainter>
#include <algorithm>

namespace klemora::gui {
namespace {

const QColor kGrey(152, 148, 140);
const QColor kRed(255, 0, 0);
// From light to dark, top to bottom.
const QColor kStripes[] = {{255, 222, 132}, {255, 165, 74}, {239, 148, 49},
                           {255, 165, 74},  {239, 148, 49}, {231, 123, 33}};
constexpr int kMarkerWidth = 2;
constexpr int kMarkerHeight = 10;

}  // namespace

TrimBarGeometry trimBarGeometry(int width, int32_t lower, int32_t upper, int32_t start, int32_t stop) {
    TrimBarGeometry g;
    g.band = QRect(kTrimBarInset, 0, std::max(0, width - 2 * kTrimBarInset), kTrimBarHeight);
    if (upper <= lower || g.band.width() == 0) return g;
    // 64 bits: a long recording times a wide band passes 2^31.
    const int64_t span = int64_t{upper} - lower;
    const int64_t bandWidth = g.band.width();
    int left = g.band.left() + static_cast<int>((int64_t{start} - lower) * bandWidth / span);
    int right = g.band.left() + g.band.width() - static_cast<int>((upper - int64_t{stop}) * bandWidth / span);
    g.trimmed = QRect(QPoint(left, 0), QPoint(std::max(left, right - 1), kTrimBarHeight - 1));
    return g;
}

TrimBar::TrimBar(QWidget* parent) : QWidget(parent) { setFixedHeight(kTrimBarHeight); }

void TrimBar::setRanges(int32_t lower, int32_t upper, int32_t start, int32_t stop) {
    m_lower = lower;
    m_upper = upper;
    m_start = start;
    m_stop = stop;
    update();
}

void TrimBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const TrimBarGeometry g = trimBarGeometry(width(), m_lower, m_upper, m_start, m_stop);
    p.fillRect(g.band, kGrey);
    if (g.trimmed.isEmpty()) return;
    const int stripes = static_cast<int>(std::size(kStripes));
    for (int i = 0; i < stripes; ++i) {
        int top = i * kTrimBarHeight / stripes;
        int bottom = (i + 1) * kTrimBarHeight / stripes;
        p.fillRect(QRect(g.trimmed.left(), top, g.trimmed.width(), bottom - top), kStripes[i]);
    }
    const int markerTop = (kTrimBarHeight - kMarkerHeight) / 2;
    p.fillRect(QRect(g.trimmed.left(), markerTop, kMarkerWidth, kMarkerHeight), kRed);
    p.fillRect(QRect(g.trimmed.right() + 1 - kMarkerWidth, markerTop, kMarkerWidth, kMarkerHeight), kRed);
}

}  // namespace klemora::gui
