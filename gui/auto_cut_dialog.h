#pragma once
// "Szenenerkennung": automatic scene detection over a list of files, each
// with the frame range to search, by DV recording date/time, by the DV
// recording-start marks and timecode, or by picture differences. It keeps its own list of the scenes found; the caller takes
// it after OK. The run goes to a worker thread; meanwhile only Stop is live.
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "app/debug_log.h"
#include "app/settings_store.h"
#include "app/shutdown.h"
#include "detect/picture_diff_detector.h"
#include "detect/search_source.h"
#include "gui/qt_user_interface.h"
#include "media/media_info.h"
#include "media/media_settings.h"
#include "scene/scene_list.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace klemora::gui {

class AutoCutDialog : public QDialog {
    Q_OBJECT

public:
    // The entries of the type box, in list order ("DetectionType").
    enum Type { Picture = 0, Datestamp = 1, Timecode = 2 };
    // The source list holds ranges for this many files.
    static constexpr int kMaxFiles = 2000;

    // Reads its settings from `settings` and probes the file of each record
    // of `selected` (only file name, start and stop are used). `power`
    // switches the PC off after a run with "AutocutShutdown".
    AutoCutDialog(const app::SettingsStore& settings, app::PowerControl& power, media::MediaSettings media,
                  const scene::SceneList& selected, app::DebugLog log = {}, QWidget* parent = nullptr);
    ~AutoCutDialog() override;  // writes the settings back

    // The scenes of the last run; taken by the caller when hasFoundScenes().
    const scene::SceneList& foundScenes() const { return m_found; }
    bool hasFoundScenes() const { return m_found.modified(); }
    const std::vector<detect::SearchSource>& sources() const { return m_sources; }
    bool running() const { return m_running; }
    QtUserInterface& userInterface() { return m_ui; }

    // Hears true when a run (or a play) starts and false when it is over.
    std::function<void(bool busy)> busyChanged;
    // Called when a run has ended, before the controls are unlocked (tests, the bench).
    std::function<void()> runFinished;

    // What a person sees and the tests read.
    QComboBox* typeBox() const { return m_type; }
    QSpinBox* minFrameBox() const { return m_minFrames; }
    QComboBox* presetBox() const { return m_preset; }
    QComboBox* weightBox() const { return m_weight; }
    QCheckBox* variantBox(int variant) const { return m_variants[variant - 1]; }
    QComboBox* trimBox() const { return m_trim; }
    QLineEdit* datestampDiffEdit() const { return m_diff; }
    QComboBox* signalsBox() const { return m_signals; }  // shown for Timecode only
    QCheckBox* shutdownBox() const { return m_shutdown; }
    QListWidget* fileList() const { return m_files; }
    QLabel* infoText() const { return m_info; }
    QLabel* sceneCountText() const { return m_count; }
    QPushButton* startButton() const { return m_start; }
    QPushButton* stopButton() const { return m_stop; }
    QPushButton* playButton() const { return m_play; }
    QPushButton* removeButton() const { return m_remove; }
    QPushButton* addButton() const { return m_add; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

    // The commands, as the buttons and drops run them.
    void start();
    void stop();
    void removeSelectedFiles();
    void playSelectedFiles();
    void addFiles(const std::vector<std::string>& paths, const char* refusedCode = "KLM-AC-1002");

    void accept() override;
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Settings (auto_cut_dialog_settings.cpp).
    struct Values {
        int type = Datestamp, minFrameCount = 75, preset = 2, weight = 0, trim = 1, diff = 1;
        int timecodeSignals = 0;  // "TimecodeSignals": 0 both, 1 mark, 2 timecode
        bool variant[3] = {true, false, false};
        bool shutdown = false;
    };
    void readSettings();
    void writeSettings(const Values& values) const;
    Values controlValues() const;
    void showValues(const Values& values);

    void buildControls();
    void layoutControls();
    void connectControls();
    void fillFrom(const scene::SceneList& selected);
    // False when the list is full (message 117 with `refusedCode`).
    bool appendFile(const std::string& path, int32_t first, int32_t last, const char* refusedCode);
    void selectOnly(int row);
    void refreshInfo();
    void refreshEnableStates();
    void setBusy(bool busy);
    void runDetection(const Values& values);
    void runDvDetection(const Values& values);
    void showInternalErrorInfo(const char* code);

    const app::SettingsStore& m_settings;
    app::PowerControl& m_power;
    const media::MediaSettings m_media;
    const app::DebugLog m_log;
    // The seam, which also tells when a run turns to its next file.
    class Seam : public QtUserInterface {
    public:
        using QtUserInterface::QtUserInterface;
        std::function<void()> nextFile;  // called on the run's thread
        void setProgressSource(std::string_view text) override {
            QtUserInterface::setProgressSource(text);
            if (nextFile) nextFile();
        }
    };
    Seam m_ui;
    detect::PictureDiffDetector m_detector;
    Values m_stored;
    std::vector<detect::SearchSource> m_sources;
    // The information line of each entry, made from the probe that admitted
    // it: a big file is probed once, not again at every selection.
    std::vector<std::string> m_infoTexts;
    scene::SceneList m_found;
    bool m_running = false;  // a run or a play; checked on entry, so nothing starts twice
    bool m_detecting = false;

    QComboBox* m_type = nullptr;
    QLabel* m_minFramesLabel = nullptr;
    QSpinBox* m_minFrames = nullptr;
    QLabel* m_presetLabel = nullptr;
    QComboBox* m_preset = nullptr;
    QLabel* m_weightLabel = nullptr;
    QComboBox* m_weight = nullptr;
    QCheckBox* m_variants[3] = {};
    QComboBox* m_trim = nullptr;
    QLabel* m_diffLabel = nullptr;
    QLineEdit* m_diff = nullptr;
    QLabel* m_signalsLabel = nullptr;
    QComboBox* m_signals = nullptr;
    QCheckBox* m_shutdown = nullptr;
    QListWidget* m_files = nullptr;
    QLabel* m_info = nullptr;
    QLabel* m_count = nullptr;
    QLabel* m_benchmark = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_stop = nullptr;
    QPushButton* m_play = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

// The information line of one file of the list: its kind, length and search
// range; string 107 when the AVI facts could not be read.
std::string autoCutFileInfo(const media::MediaInfo& info, int extraDataResult, const detect::SearchSource& source);

}  // namespace klemora::gui
