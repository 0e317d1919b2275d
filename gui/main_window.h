#pragma once
// The main window: the group tree, the shown group's scenes, the frame
// slider with the preview and information panel, the status line, the
// toolbar and the menu. It owns the project (the group tree, the shown
// working copy of the selected group's list, the trash, the project path
// and the unsaved-changes flag) and turns every command into a call of the
// scene model, one undo step per command.
#include <QMainWindow>
#include <QTimer>
#include <QUndoStack>
#include <memory>
#include <vector>

#include "app/debug_log.h"
#include "app/settings_store.h"
#include "app/shutdown.h"
#include "gui/edit_step.h"
#include "gui/main_actions.h"
#include "gui/qt_user_interface.h"
#include "media/play_window.h"
#include "media/source_probe.h"
#include "scene/editing.h"
#include "scene/group_commands.h"
#include "scene/project_session.h"

class QKeyEvent;
class QLabel;
class QPlainTextEdit;
class QSpinBox;
class QSplitter;
class QStackedWidget;

namespace klemora::output {
struct WriteRunOutcome;
}

namespace klemora::gui {

class AutoCutDialog;
class CameraDialog;
class AdditionalFunctionsDialog;
class GroupTreeView;
class PreviewPanel;
class FilmStripView;
class SceneListView;
class StoryboardView;
class ThumbnailLoader;
class ManualCutDialog;
class ScenePropertiesDialog;
class SortDialog;
class SceneIndexDialog;
class TrashDialog;
class TrimDialog;
class WriteScenesDialog;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    enum View { ListView = 1, FilmStripView = 2, StoryboardView = 3 };

    // `frameworkVersion` is the packed media framework version for the about box.
    MainWindow(const app::SettingsStore& settings, app::DebugLog log, uint32_t frameworkVersion = 0,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // The start-up steps after the window exists: autobackup recovery, the
    // project of the command line, the autobackup timer, the placement.
    void openAtStart(const QString& commandLineProject);

    // What a person sees and the tests read.
    GroupTreeView* groupTree() const { return m_groups; }
    SceneListView* sceneList() const { return m_list; }
    PreviewPanel* preview() const { return m_preview; }
    MainActions* actions() const { return m_actions; }
    gui::StoryboardView* storyboard() const { return m_storyboard; }
    gui::FilmStripView* filmStrip() const { return m_filmStrip; }
    QPlainTextEdit* storyboardText() const { return m_storyboardText; }
    QString statusText() const;
    QtUserInterface& userInterface() { return m_ui; }

    // The model behind it.
    scene::GroupTree& tree() { return m_tree; }
    const scene::SceneList& shownList() const { return m_shown; }
    const scene::SceneList& trash() const { return m_trash; }
    scene::Group* shownGroup() const { return m_shownGroup; }
    bool hasUnsavedChanges() const { return m_session.unsavedChanges; }
    const std::string& projectPath() const { return m_session.projectPath; }
    View view() const { return m_view; }
    QUndoStack& undoStack() { return m_undo; }

    // The file dialogs are replaceable so that tests can answer them.
    struct FileAnswer {
        QString path;    // empty: cancelled
        int filter = 1;  // 1-based, in the dialog's filter list
    };
    std::function<QStringList(const QString& folder)> chooseAviFiles;
    std::function<FileAnswer(const QString& folder)> chooseProjectToLoad;
    std::function<FileAnswer(const QString& folder)> chooseProjectToSave;

    // The commands, as the menu, the keys and the mouse run them.
    void newProject();
    void loadProject();
    bool saveProject();    // false when nothing was saved
    bool saveProjectAs();
    void addAviFiles();
    void addFiles(const QStringList& paths);
    void toggleOkStatus();
    void mergeScenes();
    void deleteScenes();
    void selectAllScenes();
    void moveScene(scene::MoveDirection direction);
    void newGroup();
    void newGroupWithScenes();
    void renameGroup();
    void deleteGroup();
    void undo();
    void redo();
    void playSelectedScenes();  // main_window_play.cpp
    void trimScene();           // main_window_trim.cpp
    void trimAllScenes();
    void splitSceneManually();  // main_window_cut.cpp
    void showSceneProperties(); // main_window_properties.cpp
    // Called with the trim dialog before it runs, so that tests can drive it.
    std::function<void(TrimDialog&)> aboutToTrim;
    // The same for the manual cut dialog.
    std::function<void(ManualCutDialog&)> aboutToCut;
    void restoreFromTrash();  // main_window_trash.cpp
    void sortScenesDialog();
    // The same for the trash and the sort dialog.
    std::function<void(TrashDialog&)> aboutToShowTrash;
    std::function<void(SortDialog&)> aboutToSort;
    // And for the scene properties dialog.
    std::function<void(ScenePropertiesDialog&)> aboutToEditProperties;
    void detectScenes();  // main_window_detect.cpp
    // Called with the detection dialog before it runs, so that tests can drive it.
    std::function<void(AutoCutDialog&)> aboutToDetect;
    // Switches the PC off after an unattended detection; tests put a fake here.
    std::unique_ptr<app::PowerControl> detectionPower = std::make_unique<app::SystemPowerControl>();
    void captureFromCamera();  // main_window_capture.cpp
    // Called with the camera dialog before it runs.
    std::function<void(CameraDialog&)> aboutToCapture;
    void showAdditionalFunctions();  // main_window_additional.cpp
    std::function<void(AdditionalFunctionsDialog&)> aboutToShowAdditional;
    void writeScenes();  // main_window_write.cpp
    // The same for the write-scenes dialog.
    std::function<void(WriteScenesDialog&)> aboutToWrite;
    void generateSceneIndex();  // main_window_index.cpp
    std::function<void(SceneIndexDialog&)> aboutToIndex;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildWidgets();
    void connectCommands();
    void readStoredState();
    void storeStateOnExit();
    void applyWindowTitle();

    // Keyboard (main_window_keys.cpp).
    bool handleKey(QObject* watched, QKeyEvent* key);
    bool handleTreeKey(QKeyEvent* key);
    bool handleListKey(QKeyEvent* key);

    // The shown group: its list copied into the shown working copy and back.
    void syncShownIntoGroup();
    void showGroup(scene::Group* group);
    scene::EditTargets targets();
    // Runs one editing command as one undo step; the views follow its change.
    scene::EditResult runCommand(Command name, unsigned scope, const std::function<scene::EditResult()>& command);
    void applyStep(const EditStepPlaces& places, bool undo);
    std::unique_ptr<TrimDialog> makeTrimDialog(const scene::SceneList& list, int current, bool single);
    void afterChange(const scene::EditChange& change);
    void takeBackWriteRun(const output::WriteRunOutcome& outcome);

    void refreshSelection();
    void refreshStatusLine();
    void refreshCommandStates();
    void refreshSaveState();
    // Project loading replaced the model: every view from scratch, no undo.
    void projectReplaced(bool unsaved);
    bool askSaveBeforeLeaving();  // question 128; false when saving was wanted and failed
    void autobackupTick();
    void startAutobackup();
    // The views (main_window_views.cpp).
    QWidget* buildViews(QWidget* listAndPreview);
    void connectViews();
    void setView(View view);
    void rebuildStoryboard();
    void refreshViews(const std::vector<int>& rows);
    void refreshStoryboardText();
    void onStoryboardMarks(const std::vector<int>& rows, int focused);
    void onPictureFailed(const QString& file, int32_t frame, int code);
    void onStoryboardDrop(const std::vector<int>& rows, int target);
    bool handleStoryboardKey(QKeyEvent* key);
    void showSettings();
    void showAbout();
    void showReadme();
    void showHelp();
    void onSceneRowsDropped(scene::Group* target);
    void onGroupDropped(scene::Group* group, scene::Group* target);
    void onGroupRenamed(scene::Group* group, const QString& name);
    void onListDoubleClicked();

    const app::SettingsStore& m_settings;
    app::DebugLog m_log;
    uint32_t m_frameworkVersion;
    QtUserInterface m_ui;
    media::MediaSourceProbe m_probe;
    scene::GroupTree m_tree;
    scene::SceneList m_shown;
    scene::SceneList m_trash;
    scene::Group* m_shownGroup = nullptr;
    scene::ProjectSession m_session;
    scene::EditHistory m_history;
    QUndoStack m_undo;
    bool m_running = false;  // a run on a worker: no other command starts

    GroupTreeView* m_groups = nullptr;
    SceneListView* m_list = nullptr;
    PreviewPanel* m_preview = nullptr;
    QLabel* m_status = nullptr;
    QSplitter* m_splitter = nullptr;
    MainActions* m_actions = nullptr;
    QTimer m_autobackup;
    View m_view = ListView;
    int m_lastListView = ListView;
    int m_sliderJump = 25;
    // Where the play window opens, kept while the program runs.
    media::PlayWindowPlacement m_playPlacement;
    // The film-strip and storyboard settings, kept for their views.
    int m_frameCount = 0, m_storyboardFrames = 0, m_sceneWidth = 9, m_borderWidth = 5;
    std::unique_ptr<ThumbnailLoader> m_thumbnails;
    QStackedWidget* m_viewStack = nullptr;
    gui::StoryboardView* m_storyboard = nullptr;
    gui::FilmStripView* m_filmStrip = nullptr;
    QPlainTextEdit* m_storyboardText = nullptr;
    QSpinBox* m_storyboardFramesBox = nullptr;
    QSpinBox* m_sceneWidthBox = nullptr;
    QSpinBox* m_borderWidthBox = nullptr;
    bool m_markingFromStoryboard = false;  // the marks go into the list, not back
};

}  // namespace klemora::gui
