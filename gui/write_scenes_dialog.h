#pragma once
// "Szenen als AVIs speichern": the destination folder, the name template
// with its live preview, six switches, and the two runs over the project's
// group tree (one file per scene, or one joined file per group). The
// settings are read when the dialog is made and written back when it goes.
// A run works on a worker thread; meanwhile only Stop (and Esc) is live.
#include <QDialog>
#include <functional>
#include <memory>

#include "app/settings_store.h"
#include "app/shutdown.h"
#include "avi/avi_writer.h"
#include "gui/qt_user_interface.h"
#include "output/write_run.h"
#include "scene/group_tree.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace klemora::gui {

class WriteScenesDialog : public QDialog {
    Q_OBJECT

public:
    // `tree` is read, and given the template, while a run goes; `mainList`
    // loses its modified flag before a shutdown. `ui` (optional) is the seam
    // the runs talk through; by default the dialog has its own.
    WriteScenesDialog(const app::SettingsStore& settings, scene::GroupTree& tree, scene::SceneList* mainList,
                      QWidget* parent = nullptr, std::unique_ptr<QtUserInterface> ui = nullptr);
    ~WriteScenesDialog() override;

    // The buttons' actions.
    void chooseDestination();
    void startPerScene();
    void startOneFile();
    void stop();

    bool running() const { return m_running; }
    bool templateValid() const { return m_templateValid; }
    const output::WriteRunOutcome& lastOutcome() const { return m_outcome; }
    QtUserInterface& userInterface() { return *m_ui; }

    // Replaceable for tests: the folder picker (empty: cancelled), the power
    // switch of the shutdown, and how the files are written.
    std::function<QString(const QString& startFolder)> chooseFolder;
    void setPowerControl(app::PowerControl* power) { m_power = power ? power : &m_systemPower; }
    avi::AviWriterOptions writerOptions;
    // Told when a run starts (true) and when it has ended (false).
    std::function<void(bool running)> runningChanged;

    // What a person sees and the tests drive.
    QLineEdit* folderDisplay() const { return m_folder; }
    QPushButton* folderButton() const { return m_pickFolder; }
    QPushButton* clearFolderButton() const { return m_clearFolder; }
    QLineEdit* templateEdit() const { return m_template; }
    QLineEdit* previewField() const { return m_preview; }
    QPushButton* perSceneButton() const { return m_startPerScene; }
    QPushButton* oneFileButton() const { return m_startOneFile; }
    QPushButton* stopButton() const { return m_stop; }
    QPushButton* closeButton() const { return m_close; }
    QLabel* timingField() const { return m_timing; }
    QCheckBox* shutdownBox() const { return m_shutdown; }
    QCheckBox* selectedOnlyBox() const { return m_selectedOnly; }
    QCheckBox* okOnlyBox() const { return m_okOnly; }
    QCheckBox* setDatesBox() const { return m_setDates; }
    QCheckBox* deleteSourcesBox() const { return m_deleteSources; }
    QCheckBox* signalBox() const { return m_signal; }

public slots:
    void accept() override;
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildWidgets();
    void connectWidgets();
    void showSettings(const output::WriteRunSettings& settings);
    output::WriteRunSettings fieldSettings() const;
    void checkTemplate();
    void refreshControls();
    int sceneCount() const;
    void run(bool oneFile);
    void setRunning(bool running);

    const app::SettingsStore& m_settings;
    scene::GroupTree& m_tree;
    scene::SceneList* m_mainList;
    std::unique_ptr<QtUserInterface> m_ui;
    app::SystemPowerControl m_systemPower;
    app::PowerControl* m_power = &m_systemPower;
    scene::SceneList m_previewList;  // the preview expands the template on its own list
    output::WriteRunOutcome m_outcome;
    bool m_running = false;
    bool m_templateValid = false;

    QLineEdit* m_folder = nullptr;
    QPushButton* m_pickFolder = nullptr;
    QPushButton* m_clearFolder = nullptr;
    QLineEdit* m_template = nullptr;
    QLineEdit* m_preview = nullptr;
    QPushButton* m_startPerScene = nullptr;
    QPushButton* m_startOneFile = nullptr;
    QPushButton* m_stop = nullptr;
    QPushButton* m_close = nullptr;
    QLabel* m_timing = nullptr;
    QCheckBox* m_shutdown = nullptr;
    QCheckBox* m_selectedOnly = nullptr;
    QCheckBox* m_okOnly = nullptr;
    QCheckBox* m_setDates = nullptr;
    QCheckBox* m_deleteSources = nullptr;
    QCheckBox* m_signal = nullptr;
};

}  // namespace klemora::gui
