#pragma once
// The horizontal frame slider of the windows: Bild-ab moves forward and
// Bild-auf back (Qt's own slider would do the opposite), and ticks can stand
// at any frames, not only at a fixed interval.
#include <QSlider>
#include <vector>

namespace klemora::gui {

class FrameSlider : public QSlider {
    Q_OBJECT

public:
    explicit FrameSlider(QWidget* parent = nullptr);

    void setTicks(std::vector<int> frames);
    const std::vector<int>& ticks() const { return m_ticks; }
    // The x of the handle's centre at `frame`, where its tick is drawn.
    int tickX(int frame) const;
    static constexpr int kTickHeight = 5;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<int> m_ticks;
};

}  // namespace klemora::gui
