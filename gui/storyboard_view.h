#pragma once
// The storyboard: the shown group's scenes as stripes of pictures, in rows.
// One scroll area paints only the stripes in view (a group holds up to 2000
// scenes); the pictures come from the thumbnail loader, nearest to the view
// first, and each stripe is kept as a finished picture once all of its
// pictures arrived. Marks are the main window's selection: the view reports
// what the user marked and shows what it is told. Stripes are reordered by
// dragging them, and Ctrl with the left button scrubs through a scene.
#include <QAbstractScrollArea>
#include <QCache>
#include <QPixmap>
#include <QSet>
#include <QStringList>
#include <QTimer>
#include <cstdint>
#include <vector>

#include "app/ui.h"
#include "gui/stripe_layout.h"
#include "gui/thumbnail_loader.h"

namespace klemora::scene {
class SceneList;
}

namespace klemora::gui {

class ScrubPopup;

// The message for a picture the loader could not make: 107 with the file
// when it would not open, else 117 with the frame.
QString stripePictureFailureText(const QString& file, int32_t frame, int code);

class StoryboardView : public QAbstractScrollArea {
    Q_OBJECT

public:
    static constexpr int kLineStep = 50;
    static constexpr int kDragThreshold = 4;     // a move must be longer to start a drag
    static constexpr int kAutoScrollEdge = 20;   // pixels from the top or bottom
    static constexpr int kResizeDelayMs = 200;
    static inline const QPoint kDragPictureOffset{20, 50};

    // Messages (the missing source files) go to `ui`.
    StoryboardView(ThumbnailLoader& loader, app::UserInterface& ui, QWidget* parent = nullptr);
    ~StoryboardView() override;

    // The list whose scenes the stripes show; read, never changed here.
    void setList(const scene::SceneList* list);
    // The list changed: every stripe anew (its pictures come from the loader's cache).
    void rebuild();
    // "Bilder/Szene" (at least 1), the stripe width in pixels (0: the whole
    // width) and "Rand" (0..100); each rebuilds the layout.
    void setPictureCount(int pictures);
    void setStripeWidth(int pixels);
    void setMargin(int pixels);
    void setStripeType(StripeType type);
    // Files that failed are tried (and reported) again.
    void forgetFailures();

    // The marks as the main window's selection has them; the focused stripe
    // stays when it is among them.
    void setMarkedRows(const std::vector<int>& rows);
    std::vector<int> markedRows() const;
    int focusedRow() const { return m_focused; }

    // What a person sees, for the main window's text field and the tests.
    int stripeCount() const;
    QRect stripeRect(int row) const;  // in viewport coordinates
    int stripeAt(QPoint viewportPos) const;  // -1: none
    StripeGeometry geometry() const { return m_geometry; }
    int margin() const { return m_margin; }
    int pictureCount() const { return m_pictures; }
    std::vector<int32_t> pictureFrames(int row) const;
    // Picture i of a stripe inside its stripe rectangle (letterbox applied).
    QRect pictureRect(int row, int i) const;
    bool dragging() const { return m_dragging; }
    QWidget* dragPicture() const { return m_dragPicture; }
    ScrubPopup* scrubPopup() const { return m_scrub; }

    // Keys of the storyboard (arrows, page, Home/End, with Shift to extend).
    bool navigate(int key, Qt::KeyboardModifiers modifiers);

signals:
    // The user changed the marks (click, keys); the focused row for the text.
    void marksChanged(const std::vector<int>& rows, int focused);
    // The marked rows are to go to consecutive rows starting at `target`.
    void dropRequested(const std::vector<int>& rows, int target);
    void doubleClicked(int row);
    void contextMenuWanted(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    // storyboard_mouse.cpp
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    struct Stripe {
        bool marked = false;
        int height = 0;  // its own, by the source's aspect; the row takes the highest
    };

    void relayout();
    void updateScrollRange();
    int rowCount() const;
    // The first stripe of the row of stripes at viewport height y (clamped).
    int firstStripeAtY(int y) const;
    bool isWide(int row) const;
    QSize pictureSize(int row) const;
    ThumbnailKey pictureKey(int row, int32_t frame) const;
    void requestVisiblePictures();
    void paintStripe(QPainter& painter, int row, const QRect& rect);
    bool drawPictures(QPainter& painter, int row, const QRect& rect);
    void onPictureReady(const ThumbnailKey& key);
    void onPictureFailed(const QString& file, int32_t frame, int code);
    void ensureVisible(int row);
    void emitMarks();
    void reportFailure(const QString& text);
    void showNextFailure();

    // Selection by click (storyboard_mouse.cpp).
    void clickStripe(int row, Qt::KeyboardModifiers modifiers);
    void startDrag();
    void moveDrag(QPoint pos);
    void finishDrag(QPoint pos);
    void scrubTo(QPoint pos);
    void closeScrub();

    ThumbnailLoader& m_loader;
    app::UserInterface& m_ui;
    const scene::SceneList* m_list = nullptr;
    std::vector<Stripe> m_stripes;
    int m_pictures = 3;
    int m_widthSetting = 0;
    int m_margin = kDefaultStripeMargin;
    StripeType m_type = StripeType::Centred;
    StripeGeometry m_geometry;      // of a 4:3 stripe
    std::vector<int> m_rowTop;      // one more than rows: the last is the total height
    int m_focused = -1;
    int m_anchor = -1;  // where a Shift range starts
    // Finished stripes (every picture arrived), bounded in bytes.
    QCache<int, QPixmap> m_finished;
    QSet<QString> m_reportedFiles;  // 107 once per file
    QStringList m_pendingFailures;  // shown one after another, never nested
    bool m_showingFailure = false;
    QTimer m_resizeTimer;
    QTimer m_requestTimer;  // asks the loader once per batch of scrolls

    // The mouse.
    int m_pressed = -1;
    QPoint m_pressPos;
    bool m_dragging = false;
    bool m_scrubbing = false;
    bool m_scrubShown = false;
    QWidget* m_dragPicture = nullptr;
    ScrubPopup* m_scrub = nullptr;
};

}  // namespace klemora::gui
