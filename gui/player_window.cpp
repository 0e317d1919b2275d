#include "gui/player_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "app/error_text.h"
#include "app/text_format.h"
#include "gui/picture_view.h"
#include "gui/playback.h"

namespace klemora::gui {
namespace {

std::function<void(QWidget&, int32_t)>& windowWatcher() {
    static std::function<void(QWidget&, int32_t)> watcher;
    return watcher;
}

// A top-level window that is only the picture; Esc or closing it ends the play.
class PlayWindow : public QWidget {
public:
    explicit PlayWindow(QWidget* parent) : QWidget(parent, Qt::Window), m_view(new PictureView(this)) {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_view);
    }
    PictureView& view() { return *m_view; }
    bool endRequested() const { return m_end; }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape) m_end = true;
        else QWidget::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override {
        m_end = true;
        event->accept();
    }

private:
    PictureView* m_view;
    bool m_end = false;
};

void showFailure(app::UserInterface& ui, int code, int error) {
    ui.showMessage(app::stringPrintf("PlayFile-Error! (%d)\nDxErrorText: %s", code, app::DxErrorText(error)),
                   app::Icon::Stop);
}

// The range lies outside the file: what the file has, and what this player can do.
void showRangeFailure(app::UserInterface& ui, int error, int32_t start, int32_t stop, int32_t frameCount) {
    ui.showMessage(app::stringPrintf("PlayFile-Error! (-14b)\nDxErrorText: %s\nStartFrame: %d\nStopFrame: %d\n"
                                     "AviStart: %d\nAviFrCnt: %d"
                                     "\nTimeFormatFrame supported!\nTimeFormatMediaTime supported!"
                                     "\nCanSeekAbsolute\nCanSeekForwards\nCanSeekBackwards\nCanGetCurrentPos"
                                     "\nCanGetStopPos\nCanGetDuration",
                                     app::DxErrorText(error), start, stop, 0, frameCount),
                   app::Icon::Stop);
}

void applyPlacement(QWidget& window, media::PlayWindowPlacement& placement, const media::MediaInfo& info) {
    media::normalisePlacement(placement);
    if (placement.left != media::kNotPlaced && placement.top != media::kNotPlaced)
        window.move(placement.left, placement.top);
    if (placement.width != media::kNotPlaced && placement.height != media::kNotPlaced) {
        window.resize(placement.width, placement.height);
    } else {  // the video's own height at its display aspect
        int height = media::GetVideoHeight(info);
        window.resize(height * (info.wideScreen ? 16 : 4) / (info.wideScreen ? 9 : 3), height);
    }
}

void readPlacementBack(const QWidget& window, media::PlayWindowPlacement& placement) {
    placement = {window.x(), window.y(), window.width(), window.height()};
}

// -16 or -17 after its message, 1 when the play ended or was ended.
int playInWindow(Playback& playback, const std::string& path, media::PlayWindowPlacement& placement,
                 int32_t startFrame, int32_t stopFrame, float speed, app::UserInterface& ui, QWidget* parent) {
    PlayWindow window(parent);
    window.setWindowTitle(QString::fromStdString(media::playCaption(path, startFrame, stopFrame, speed)));
    window.view().setWideScreen(playback.info().wideScreen != 0);
    applyPlacement(window, placement, playback.info());
    window.show();
    window.raise();
    window.activateWindow();
    window.layout()->activate();
    QSize size = window.view().pictureRect().size();
    auto present = [&](int32_t frame, const QImage& picture) {
        window.view().setPicture(picture);
        window.view().repaint();
        if (windowWatcher()) windowWatcher()(window, frame);
    };
    PlayFailure failure = playback.run(std::max(size.width(), 1), std::max(size.height(), 1), speed, present,
                                       [&] { return window.endRequested(); });
    readPlacementBack(window, placement);
    if (failure == PlayFailure::None) return 1;
    int code = failure == PlayFailure::Decode ? -17 : -16;
    showFailure(ui, code, playback.errorCode());
    return code;
}

}  // namespace

void watchPlayWindow(std::function<void(QWidget& window, int32_t frame)> watcher) {
    windowWatcher() = std::move(watcher);
}

int playFile(const std::string& path, media::PlayWindowPlacement& placement, int32_t startFrame, int32_t stopFrame,
             float speed, app::UserInterface& ui, const media::MediaSettings& settings, QWidget* parent) {
    const bool positioned = startFrame >= 0 && stopFrame > 0;
    if (positioned && stopFrame < startFrame) return -12;
    Playback playback(settings);
    // Both 0 asks the playback for the whole file.
    PlayFailure failure = positioned ? playback.open(path, startFrame, stopFrame) : playback.open(path, 0, 0);
    if (failure == PlayFailure::Open) {
        showFailure(ui, -6, playback.errorCode());
        return -6;
    }
    if (failure == PlayFailure::Range) {
        showRangeFailure(ui, playback.errorCode(), startFrame, stopFrame, playback.info().frameCount);
        return -14;
    }
    return playInWindow(playback, path, placement, startFrame, stopFrame, speed, ui, parent);
}

int playScenes(const scene::SceneList& scenes, media::PlayWindowPlacement& placement, app::UserInterface& ui,
               const media::MediaSettings& settings, QWidget* parent) {
    for (int i = 0; i < scenes.count(); ++i) {
        int rc = playFile(std::string(scenes.sourceFile(i)), placement, scenes.startFrame(i), scenes.stopFrame(i),
                          scenes.speedFactor(i), ui, settings, parent);
        if (rc != 1) return rc;
    }
    return 1;
}

}  // namespace klemora::gui
