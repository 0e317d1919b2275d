#pragma once
// The film strip of the list view: the pictures of the selected scene side by
// side ("FrameCount" of them, at the "StripeType" positions), letterboxed
// and painted as the thumbnail loader delivers them.
#include <QWidget>
#include <cstdint>

#include "gui/stripe_layout.h"

namespace klemora::scene {
class SceneList;
}

namespace klemora::gui {

class ThumbnailLoader;

class FilmStripView : public QWidget {
    Q_OBJECT

public:
    FilmStripView(ThumbnailLoader& loader, QWidget* parent = nullptr);

    void setPictureCount(int pictures);
    void setStripeType(StripeType type);
    // The scene at `row` of `list`; a row outside the list clears the strip.
    void showScene(const scene::SceneList& list, int row);
    void clearScene();
    // The frames of the pictures shown now (empty when cleared).
    const std::vector<int32_t>& frames() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ThumbnailLoader& m_loader;
    int m_pictures = 4;
    StripeType m_type = StripeType::Centred;
    std::vector<int32_t> m_frames;
    QString m_file;
    bool m_wide = false;
};

}  // namespace klemora::gui
