#pragma once
// The borderless picture over a stripe while Ctrl and the left button scrub
// through its scene: the frame under the pointer, letterboxed to the
// stripe's aspect, painted as the thumbnail loader delivers it (the newest
// frame asked first; a frame not there yet keeps the last one shown).
#include <QImage>
#include <QWidget>
#include <cstdint>

#include "gui/thumbnail_loader.h"

namespace klemora::gui {

// The frame at x pixels into a stripe `width` pixels wide (border included)
// of the scene start..stop, clamped to the scene. A scene longer than the
// stripe is wide steps by more than one frame per pixel.
int32_t scrubFrameAt(int x, int width, int32_t start, int32_t stop);

class ScrubPopup : public QWidget {
    Q_OBJECT

public:
    ScrubPopup(ThumbnailLoader& loader, QWidget* owner);

    // Over `globalRect` (the stripe), frame `frame` of `file`.
    void showFrame(const QString& file, bool wideScreen, int32_t frame, const QRect& globalRect);
    int32_t frame() const { return m_frame; }
    const QImage& picture() const { return m_shown; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void onPictureReady(const ThumbnailKey& key);

    ThumbnailLoader& m_loader;
    ThumbnailKey m_key;
    int32_t m_frame = -1;
    QImage m_shown;
    QRect m_box;  // the letterbox inside the popup
};

}  // namespace klemora::gui
