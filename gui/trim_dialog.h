#pragma once
// "Szenen trimmen": moves the IN and OUT points of one scene or of every
// scene of a group while the video is watched, and for a group also splits,
// merges, deletes, steps from scene to scene and plays the scenes. It edits
// a private copy of the list; the caller takes it back after OK.
#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "app/settings_store.h"
#include "app/ui.h"
#include "media/media_settings.h"
#include "scene/scene_list.h"
#include "scene/trim_edits.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;

namespace klemora::gui {

class AreaPlayer;
class FrameDisplay;
class TrimBar;

class TrimDialog : public QDialog {
    Q_OBJECT

public:
    enum class Mode { SingleScene, WholeGroup };
    // The three play modes; their numbers are the ones the settings and logs know.
    enum class Play { None = 0, Scene = 1, Trimmed = 2, All = 3 };

    // `list` is copied; `current` -1 starts at the first scene. `player`
    // plays at 1x (a fake in the tests).
    TrimDialog(app::UserInterface& ui, const app::SettingsStore& settings, media::MediaSettings media,
               std::unique_ptr<AreaPlayer> player, const scene::SceneList& list, int current, Mode mode,
               QWidget* parent = nullptr);
    ~TrimDialog() override;

    const scene::SceneList& workingList() const { return m_list; }
    int currentIndex() const { return m_current; }
    Play playing() const { return m_playing; }
    int speedIndex() const { return m_speed; }

    // The folder chooser of "save picture": (title, start folder) -> folder,
    // empty when cancelled. Replaceable so that tests can answer it.
    std::function<std::string(const std::string& title, const std::string& start)> chooseFolder;

    // What a person sees and the tests read.
    QSlider* slider() const { return m_slider; }
    TrimBar* trimBar() const { return m_bar; }
    FrameDisplay* video() const { return m_video; }
    FrameDisplay* previousPreview() const { return m_prevPreview; }
    FrameDisplay* nextPreview() const { return m_nextPreview; }
    QLabel* previousDuration() const { return m_prevLength; }
    QLabel* nextDuration() const { return m_nextLength; }
    QLabel* statusLine() const { return m_status; }
    QComboBox* sceneBox() const { return m_sceneBox; }
    QComboBox* speedBox() const { return m_speedBox; }
    QPushButton* inButton() const { return m_in; }
    QPushButton* outButton() const { return m_out; }
    QPushButton* splitButton() const { return m_split; }
    QPushButton* deleteButton() const { return m_delete; }
    QPushButton* mergePreviousButton() const { return m_mergePrev; }
    QPushButton* mergeNextButton() const { return m_mergeNext; }
    QPushButton* previousButton() const { return m_prevScene; }
    QPushButton* nextButton() const { return m_nextScene; }
    QPushButton* playSceneButton() const { return m_playScene; }
    QPushButton* playTrimmedButton() const { return m_playTrimmed; }
    QPushButton* playAllButton() const { return m_playAll; }
    QPushButton* savePictureButton() const { return m_savePicture; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    QCheckBox* previousPreviewBox() const { return m_prevEnabled; }
    QCheckBox* nextPreviewBox() const { return m_nextEnabled; }
    QCheckBox* signalToneBox() const { return m_signalTone; }
    QCheckBox* sceneDoneBox() const { return m_done; }
    QTimer& playTimer() { return m_timer; }

    // The commands, as buttons and keys run them.
    void setIn();
    void setOut();
    void split();
    void mergePrevious();
    void mergeNext();
    void deleteScene();
    void previousScene();
    void nextScene();
    void toggleDone();
    void savePicture();
    void togglePlay(Play mode);
    void stopPlaying();

    void accept() override;
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void layoutControls();
    void connectControls();
    void storePlaySettings();

    // Showing (trim_dialog.cpp).
    void showPlace(scene::TrimPlace place);
    void showCurrent(int32_t position);
    void showSliderFrame(int32_t position);
    // The three forms of the message when the file cannot be opened for display.
    enum class DisplayMessage { Opening, Showing, PlayingAll };
    bool openDisplayFor(int index, DisplayMessage form = DisplayMessage::Showing);
    void refreshSliderRange();
    void refreshStatus();
    void refreshSceneLine(int index);
    void rebuildSceneBox();
    void refreshPreviews();
    void showPreview(FrameDisplay* preview, QLabel* label, bool enabled, int index, bool lastFrame);
    void refreshNeighbourControls();
    void afterTrimChange();
    void onSliderAction(int action);
    void onSceneChosen(int index);

    // Keys (trim_dialog_keys.cpp).
    bool handleKey(const QKeyEvent* key);

    // Playback (trim_dialog_play.cpp).
    void startPlay(Play mode);
    void playRealSpeed(Play mode, scene::PlayRange range);
    void startTimer(scene::PlayRange range);
    void timerTick();
    bool moveOnInPlayAll(bool timer);
    void finishPlay(int32_t position);
    void setPlayingControls();
    void setSpeed(int index);

    app::UserInterface& m_ui;
    const app::SettingsStore& m_settings;
    const media::MediaSettings m_media;
    std::unique_ptr<AreaPlayer> m_player;
    scene::SceneList m_list;
    int m_current = 0;
    const Mode m_mode;
    int m_sliderJump = 25;
    int m_speed = 0;
    Play m_playing = Play::None;
    int32_t m_playEnd = 0;     // the last frame the timer mode plays to
    bool m_stepping = false;   // a timer step runs; a tick meanwhile is dropped
    bool m_stopRequested = false;
    bool m_realSpeed = false;  // the area player plays and paints
    int32_t m_lastScroll = -1;  // the slider position at the previous scroll event
    QTimer m_timer;

    FrameDisplay* m_video = nullptr;
    FrameDisplay* m_prevPreview = nullptr;
    FrameDisplay* m_nextPreview = nullptr;
    QLabel* m_prevLength = nullptr;
    QLabel* m_nextLength = nullptr;
    QCheckBox* m_prevEnabled = nullptr;
    QCheckBox* m_nextEnabled = nullptr;
    QPushButton* m_mergePrev = nullptr;
    QPushButton* m_mergeNext = nullptr;
    QSlider* m_slider = nullptr;
    TrimBar* m_bar = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_in = nullptr;
    QPushButton* m_out = nullptr;
    QPushButton* m_split = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_prevScene = nullptr;
    QPushButton* m_nextScene = nullptr;
    QComboBox* m_sceneBox = nullptr;
    QPushButton* m_playScene = nullptr;
    QPushButton* m_playTrimmed = nullptr;
    QPushButton* m_playAll = nullptr;
    QComboBox* m_speedBox = nullptr;
    QCheckBox* m_signalTone = nullptr;
    QPushButton* m_savePicture = nullptr;
    QCheckBox* m_done = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

}  // namespace klemora::gui
