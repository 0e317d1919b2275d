#pragma once
// The video area of the camera dialog: grey, with the camera picture on the
// rectangle the camera component placed. The component may call it from
// the thread that runs a capture: those calls only store what they are
// given and ask the user-interface thread to repaint.
#include <QImage>
#include <QWidget>
#include <atomic>
#include <mutex>

#include "camera/preview_window.h"
#include "media/dv_picture.h"

namespace klemora::gui {

class CameraPreviewView : public QWidget, public camera::PreviewWindow {
    Q_OBJECT

public:
    explicit CameraPreviewView(QWidget* parent = nullptr);

    int clientSize(int& width, int& height) override;
    int embedVideo() override;
    int placeVideo(const camera::PreviewRect& rect) override;
    int showVideo(bool visible) override;
    int raiseVideo() override;
    void showFrame(std::span<const uint8_t> frame, bool pal) override;

    // What is shown now (tests): the placed rectangle and the frames drawn.
    camera::PreviewRect videoRect() const;
    bool videoVisible() const { return m_visible.load(); }
    int64_t framesShown() const { return m_framesShown.load(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void repaintLater();

    std::atomic<int> m_width{0}, m_height{0};
    std::atomic<bool> m_visible{false};
    std::atomic<int64_t> m_framesShown{0};
    std::atomic<bool> m_repaintQueued{false};
    media::DvPictureDecoder m_decoder;  // the caller of showFrame's (one at a time)
    media::DvPicture m_decoded;
    mutable std::mutex m_mutex;  // the two below
    camera::PreviewRect m_rect;
    QImage m_picture;
};

}  // namespace klemora::gui
