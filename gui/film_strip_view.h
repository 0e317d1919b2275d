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
    // Where picture `index` lies: its letterboxed place in its grey area.
    QRect pictureRect(int index) const;
    // Whether a picture of the scene shown could not be had (drawn grey).
    bool missing() const;

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

signals:
    // The loader's failure, when it is one of the shown scene's file.
    void pictureFailed(const QString& file, int32_t frame, int code);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect areaRect(int index) const;
    int pictureWidth() const;
    void refreshFrames();

    ThumbnailLoader& m_loader;
    int m_pictures = 4;
    StripeType m_type = StripeType::Centred;
    std::vector<int32_t> m_frames;
    QString m_file;
    int32_t m_start = 0;
    int32_t m_stop = -1;  // below m_start: no scene
    bool m_wide = false;
};

}  // namespace klemora::gui
