#include "gui/frame_slider.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

namespace klemora::gui {

FrameSlider::FrameSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {}

void FrameSlider::setTicks(std::vector<int> frames) {
    m_ticks = std::move(frames);
    if (!m_ticks.empty()) setMinimumHeight(QSlider::sizeHint().height() + kTickHeight + 1);
    update();
}

int FrameSlider::tickX(int frame) const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    int span = groove.width() - handle.width();
    return groove.x() + handle.width() / 2 +
           QStyle::sliderPositionFromValue(minimum(), maximum(), frame, std::max(span, 0), option.upsideDown);
}

void FrameSlider::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_PageDown) triggerAction(SliderPageStepAdd);
    else if (event->key() == Qt::Key_PageUp) triggerAction(SliderPageStepSub);
    else QSlider::keyPressEvent(event);
}

void FrameSlider::paintEvent(QPaintEvent* event) {
    QSlider::paintEvent(event);
    if (m_ticks.empty()) return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const int bottom = height() - 1;
    for (int frame : m_ticks) {
        int x = tickX(frame);
        painter.drawLine(x, bottom - kTickHeight + 1, x, bottom);
    }
}

}  // namespace klemora::gui
