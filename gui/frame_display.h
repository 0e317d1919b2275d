#pragma once
// The video area of the trim and manual cut dialogs: filled grey, with the
// picture of one frame letterboxed to 4:3 or 16:9 (the area's own ratio is
// used when it lies within 0.02 of the file's). The file stays open while
// frames are stepped through, and slider moves that pile up are served by
// one fetch of the newest frame.
#include <QImage>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/ui.h"
#include "gui/letterbox.h"
#include "media/media_settings.h"

namespace klemora::media {
struct MediaInfo;
}

namespace klemora::gui {

inline constexpr int32_t kClearFrame = -99;

// The codes each dialog puts into its display messages ("KLM-TD-1006" ...).
// `namesFile`: the message names the file open for display ("File: ...").
struct FrameDisplayCodes {
    const char* noBufferSize;
    const char* fetchFailed;
    bool namesFile = false;
};

class FrameDisplay : public QWidget {
    Q_OBJECT

public:
    FrameDisplay(app::UserInterface& ui, media::MediaSettings settings, FrameDisplayCodes codes,
                 QWidget* parent = nullptr);
    ~FrameDisplay() override;

    // Opens `path` for display at the current size: 1, or the negative code
    // of the failing step (-1 no area, -2 not opened, -3 no buffer size, -4
    // no memory); the caller shows its own message for it.
    // The size is taken again by the display itself on every resize (the
    // file stays open); a failure then is shown as the InitVideoScrubbing
    // message and leaves the display closed.
    int open(const std::string& path);
    // The message for a code of open() (107, the dialog's no-buffer code,
    // 109); nothing for -1.
    void reportOpenFailure(int code, const std::string& path);
    void close();
    bool isOpen() const;
    const std::string& openPath() const;
    const media::MediaInfo* info() const;  // null while closed

    // kClearFrame clears the picture; a frame outside the file gets
    // message 164; a failed fetch the dialog's code. 1 when shown.
    int showFrame(int32_t frame);
    // The same, but a burst of requests is served by one fetch of the last.
    void requestFrame(int32_t frame);
    int32_t frameShown() const;  // -1 when none
    const QImage& picture() const;
    QRect letterboxRect() const;

signals:
    void framePainted(int32_t frame);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int prepareBuffer();
    void serveRequest();
    void showFetchFailure(const char* code);

    app::UserInterface& m_ui;
    const media::MediaSettings m_settings;
    const FrameDisplayCodes m_codes;
    std::unique_ptr<media::MediaInfo> m_info;  // null while closed
    std::string m_path;
    Letterbox m_box;
    std::vector<uint8_t> m_buffer;  // the grabber's picture at the letterbox size
    QImage m_picture;
    int32_t m_frame = -1;
    int32_t m_requested = -1;
    bool m_requestQueued = false;
    bool m_fetchFailureShown = false;  // once per open, not once per slider move
    int32_t m_announce = -1;           // frame whose picture waits for its paint
};

}  // namespace klemora::gui
