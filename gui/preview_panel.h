#pragma once
// The preview of the main window for exactly one selected scene: the
// picture of the frame slider's frame, the slider over the scene's
// start..stop, the slider line under it and (in view 1) the information
// panel. The scene's source stays open while the next scene shown has the
// same file, so that scrubbing decodes one frame per move and reopens
// nothing; slider moves that pile up are served by one grab of the newest
// position.
#include <QImage>
#include <QString>
#include <QWidget>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/ui.h"
#include "media/media_settings.h"
#include "scene/scene_list.h"

class QLabel;
class QPlainTextEdit;
class QSlider;

namespace klemora::media {
struct MediaInfo;
}

namespace klemora::gui {

class PictureView;

// The step that failed to open a source for scrubbing; shown as its code.
enum class ScrubbingResult : int { Ok = 1, NotOpened = -2, NoBufferSize = -3, NoMemory = -4 };
std::string_view scrubbingResultName(ScrubbingResult result);

class PreviewPanel : public QWidget {
    Q_OBJECT

public:
    // Messages go to `ui` (the main window's seam); `settings` gives the
    // "FixRatio" and the log for every source opened.
    PreviewPanel(app::UserInterface& ui, media::MediaSettings settings, QWidget* parent = nullptr);
    ~PreviewPanel() override;

    // Exactly one scene selected: opens its source (unless it is open
    // already), sets the slider to start..stop at start and shows that frame,
    // the slider line and the information text.
    void showScene(const scene::SceneList& list, int row);
    // None or several selected: no picture, no texts, the slider disabled.
    void clearScene();
    // Right (+1) and Left (-1) in view 1: `jumps` times "SliderJump" frames,
    // clamped to the scene.
    void stepFrames(int jumps);
    // "SliderJump": the slider's page step (Bild-auf/-ab); arrows move one frame.
    void setSliderJump(int frames);
    void setInfoVisible(bool visible);

    QSlider* slider() const { return m_slider; }
    QString sliderLine() const;
    QString infoText() const;
    int currentFrame() const;
    const QImage& picture() const;  // what is painted now
    PictureView* pictureView() const { return m_view; }

signals:
    void frameShown(int frame);  // after the picture of `frame` was painted

private:
    ScrubbingResult openSource(const std::string& path);
    void requestFrame();
    void grabRequested();
    bool grabFrame(int frame);
    void showGrabFailure(int code);
    void pictureShown();

    app::UserInterface& m_ui;
    const media::MediaSettings m_settings;
    PictureView* m_view;
    QSlider* m_slider;
    QLabel* m_sliderLine;
    QPlainTextEdit* m_info;

    scene::SceneList m_scene;  // a copy of the one scene shown, row 0
    bool m_haveScene = false;
    std::unique_ptr<media::MediaInfo> m_source;  // open for scrubbing, or null
    std::vector<uint8_t> m_buffer;
    bool m_grabQueued = false;
    bool m_grabFailureShown = false;  // once per selection, not once per move
    int m_announce = -1;              // frame whose picture waits for its paint
};

}  // namespace klemora::gui
