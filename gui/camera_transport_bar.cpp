#include "gui/camera_transport_bar.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

#include "camera/camera_codes.h"
#include "gui/text_of.h"

namespace klemora::gui {
namespace {

using camera::TransportMode;

struct ButtonLook {
    QStyle::StandardPixmap picture;
    int tooltip;  // 0: none
    TransportMode mode;  // the mode in which it looks pressed
};

constexpr ButtonLook kLooks[CameraTransportBar::kButtons] = {
    {QStyle::SP_MediaSeekBackward, 378, TransportMode::Rewind},
    {QStyle::SP_MediaSkipBackward, 379, TransportMode::PlayFastestReverse},
    {QStyle::SP_MediaPlay, 380, TransportMode::Play},
    {QStyle::SP_MediaStop, 0, TransportMode::Stop},
    {QStyle::SP_MediaSkipForward, 381, TransportMode::PlayFastestForward},
    {QStyle::SP_MediaSeekForward, 382, TransportMode::FastForward},
};

}  // namespace

CameraTransportBar::CameraTransportBar(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < kButtons; ++i) {
        auto* button = new QToolButton(this);
        button->setIcon(style()->standardIcon(kLooks[i].picture));
        if (kLooks[i].tooltip) button->setToolTip(textOf(kLooks[i].tooltip));
        // Checkable for the pressed look only: showMode decides it, not the click.
        button->setCheckable(true);
        button->setAutoRaise(false);
        connect(button, &QToolButton::clicked, this, [this, i] { emit pressed(static_cast<Button>(i)); });
        row->addWidget(button);
        m_buttons[i] = button;
    }
    row->addStretch();
}

void CameraTransportBar::showMode(int mode) {
    for (int i = 0; i < kButtons; ++i) m_buttons[i]->setChecked(static_cast<int>(kLooks[i].mode) == mode);
    const bool playing = mode == static_cast<int>(TransportMode::Play);
    m_buttons[PlayPause]->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
}

}  // namespace klemora::gui
