#pragma once
// The tape transport buttons of the camera dialog, left to right: wind
// backward, picture search backward, play/pause, stop, picture search
// forward, wind forward. The button of the mode the tape is in looks
// pressed; play/pause shows the pause picture while the tape plays.
#include <QWidget>
#include <array>

class QToolButton;

namespace klemora::gui {

class CameraTransportBar : public QWidget {
    Q_OBJECT

public:
    enum Button { WindBackward, SearchBackward, PlayPause, Stop, SearchForward, WindForward, kButtons };

    explicit CameraTransportBar(QWidget* parent = nullptr);

    QToolButton* button(Button which) const { return m_buttons[which]; }
    // The pressed look for a transport mode (any other value: none pressed).
    void showMode(int mode);

signals:
    void pressed(CameraTransportBar::Button which);

private:
    std::array<QToolButton*, kButtons> m_buttons{};
};

}  // namespace klemora::gui
