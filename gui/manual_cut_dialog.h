#pragma once
// "Szene manuell trennen": steps through one scene frame by frame, collects
// cut marks (each the first frame of a new scene) and hands the cut list to
// the caller after OK; the caller does the split.
#include <QDialog>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/settings_store.h"
#include "app/ui.h"
#include "gui/area_player.h"
#include "media/media_settings.h"
#include "scene/cut_marks.h"

class QLabel;
class QPushButton;

namespace klemora::gui {

class FrameDisplay;
class FrameSlider;

struct ManualCutScene {
    std::string path;  // the scene's source
    int32_t start = 0;
    int32_t stop = 0;  // inclusive
};

class ManualCutDialog : public QDialog {
    Q_OBJECT

public:
    // Messages and the folder question go to `ui`; `player` plays the scene
    // in the video area (tests give one that only reports frames).
    ManualCutDialog(app::UserInterface& ui, const app::SettingsStore& settings, media::MediaSettings media,
                    ManualCutScene scene, std::unique_ptr<AreaPlayer> player, QWidget* parent = nullptr);
    ~ManualCutDialog() override;

    // After OK: [start, marks..., stop].
    const scene::CutList& cutList() const { return m_cuts; }

    // What a person sees and the tests drive.
    FrameSlider* slider() const { return m_slider; }
    FrameDisplay* display() const { return m_display; }
    QString statusText() const;
    QPushButton* setMarkButton() const { return m_setMark; }
    QPushButton* deleteMarkButton() const { return m_deleteMark; }
    QPushButton* savePictureButton() const { return m_savePicture; }
    QPushButton* playButton() const { return m_play; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    bool isPlaying() const { return m_playing; }

    void setMark();
    void deleteMark();
    void togglePlay();
    void savePicture();

public slots:
    void accept() override;
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWidgets();
    bool handleKey(const QKeyEvent* key);
    void sliderMoved(int frame);
    void moveTo(int32_t frame);
    void refreshTicks();
    void refreshStatus();
    void finish(int result);

    app::UserInterface& m_ui;
    const app::SettingsStore& m_settings;
    const media::MediaSettings m_media;
    const ManualCutScene m_scene;
    std::unique_ptr<AreaPlayer> m_player;
    scene::CutList m_cuts;
    bool m_playing = false;
    std::optional<int> m_closeAfterPlay;  // OK or Cancel pressed while playing

    FrameDisplay* m_display = nullptr;
    FrameSlider* m_slider = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_setMark = nullptr;
    QPushButton* m_deleteMark = nullptr;
    QPushButton* m_savePicture = nullptr;
    QPushButton* m_play = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_ok = nullptr;
};

}  // namespace klemora::gui
