#pragma once
// The band under the trim dialog's slider: the whole defined range in grey,
// the trimmed range start..stop over it in orange stripes with a red marker
// at each end, at the positions the slider range maps them to.
#include <QRect>
#include <QWidget>
#include <cstdint>

namespace klemora::gui {

inline constexpr int kTrimBarHeight = 12;
inline constexpr int kTrimBarInset = 8;  // the slider's handle room at each end

// The band inside a widget `width` wide and the trimmed part of it for the
// range lower..upper and the trim start..stop.
struct TrimBarGeometry {
    QRect band;
    QRect trimmed;
};
TrimBarGeometry trimBarGeometry(int width, int32_t lower, int32_t upper, int32_t start, int32_t stop);

class TrimBar : public QWidget {
    Q_OBJECT

public:
    explicit TrimBar(QWidget* parent = nullptr);
    void setRanges(int32_t lower, int32_t upper, int32_t start, int32_t stop);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int32_t m_lower = 0, m_upper = 0, m_start = 0, m_stop = 0;
};

}  // namespace klemora::gui
