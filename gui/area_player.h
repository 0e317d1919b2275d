#pragma once
// Real-speed playback of a frame range inside a dialog's video area (the
// trim and manual cut dialogs), with the file's sound, while the dialog's
// slider follows the frame being shown. The dialog keeps working: play()
// processes events until the range has played or stop() was called.
#include <QRect>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/ui.h"
#include "media/media_settings.h"

class QWidget;

namespace klemora::gui {

struct AreaPlayRequest {
    std::string path;
    int32_t from = 0;  // first and last frame, both played
    int32_t to = 0;
    QWidget* area = nullptr;  // the dialog's video area; the picture goes on top of it
    QRect pictureRect;        // inside `area`: the letterbox rectangle
};

class AreaPlayer {
public:
    virtual ~AreaPlayer() = default;

    // 1 when the range played or was stopped; -14 when to < from (nothing
    // happens, no message); any other failure is a negative step code after
    // its message. `onFrame` gets each frame number as its picture reaches
    // the screen; the dialog moves its slider and status line there and must
    // not fetch that picture itself. When the play ends one or two frames
    // short of `to`, the last call is `to` (limited to the file's last
    // frame), so that the dialog shows that frame.
    virtual int play(const AreaPlayRequest& request, const std::function<void(int32_t frame)>& onFrame) = 0;
    // From the dialog (a button, a key) while play() runs: play() returns 1
    // at its next look.
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;
};

std::unique_ptr<AreaPlayer> makeAreaPlayer(app::UserInterface& ui, const media::MediaSettings& settings);

}  // namespace klemora::gui
