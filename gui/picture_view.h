#pragma once
// The preview picture: one frame, scaled to the video's display aspect (4:3
// or 16:9) and centred on the window colour, the rest of the area left as
// bars. It counts its paints so that a caller can tell when a picture it set
// has reached the screen.
#include <QImage>
#include <QWidget>
#include <cstdint>
#include <span>

namespace klemora::gui {

// A delivered picture (40-byte bitmap header, 24-bit bottom-up rows) as a
// top-down RGB32 image; a null image when the buffer does not hold one.
QImage imageFromDib(std::span<const uint8_t> dib);

class PictureView : public QWidget {
    Q_OBJECT

public:
    explicit PictureView(QWidget* parent = nullptr);

    // A null image leaves only the window colour.
    void setPicture(QImage picture);
    void setWideScreen(bool wide);
    const QImage& picture() const { return m_picture; }
    // The area the picture fills at the current size and aspect.
    QRect pictureRect() const;
    int paintCount() const { return m_paints; }

    QSize sizeHint() const override { return {384, 288}; }

signals:
    void painted();
    void resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QImage m_picture;
    bool m_wide = false;
    int m_paints = 0;
};

}  // namespace klemora::gui
