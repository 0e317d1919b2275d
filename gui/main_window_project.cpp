// The main window's project commands: new, load, save, save as, adding AVI
// files, the autobackup; and the project replaced as a whole afterwards.
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>

#include "app/file_io.h"
#include "app/string_table.h"
#include "gui/group_tree_view.h"
#include "gui/main_window.h"
#include "gui/preview_panel.h"
#include "gui/scene_list_view.h"
#include "gui/worker_run.h"
#include "scene/add_files.h"

namespace klemora::gui {
namespace {

constexpr const char* kAviFilter = "Video files (*.avi) | *.avi|AviSynth files (*.avs) | *.avs|";

// "Name (*.x) | *.x|..." as Qt's file dialog filters ("Name (*.x)").
QStringList dialogFilters(const char* filterText) {
    QStringList filters;
    const QStringList parts = QString::fromUtf8(filterText).split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) filters << parts[i].trimmed();
    return filters;
}

QString folderOf(const std::string& stored) { return QString::fromStdString(stored); }

MainWindow::FileAnswer askForFile(QWidget* parent, const QString& folder, const char* filterText, bool save,
                                  const QString& proposed = {}) {
    QStringList filters = dialogFilters(filterText);
    QFileDialog dialog(parent, QString(), folder);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QStringLiteral("scn"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The overwrite question is the program's own (139).
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!proposed.isEmpty()) dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return {dialog.selectedFiles().front(), static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1};
}

}  // namespace

void MainWindow::startAutobackup() {
    int interval = scene::autobackupIntervalMs(m_settings);
    m_autobackup.stop();
    if (interval <= 0) return;
    connect(&m_autobackup, &QTimer::timeout, this, &MainWindow::autobackupTick, Qt::UniqueConnection);
    m_autobackup.start(interval);
}

void MainWindow::autobackupTick() {
    if (m_running) return;  // the next tick saves
    syncShownIntoGroup();
    scene::autobackupSave(m_session, m_ui);
}

void MainWindow::projectReplaced(bool unsaved) {
    m_history.clear();
    m_undo.clear();
    m_shownGroup = nullptr;
    {
        QSignalBlocker blocker(m_groups);
        m_groups->rebuild();
    }
    m_shownGroup = &m_tree.root();
    m_shown.copyFrom(m_tree.root().list());
    m_list->tableModel()->listChanged();
    rebuildStoryboard();
    {
        QSignalBlocker blocker(m_groups);
        m_groups->selectGroup(m_shownGroup);
    }
    if (unsaved) m_undo.resetClean();  // no state of this session was saved
    m_session.unsavedChanges = unsaved;
    refreshSaveState();
    // The first scene selected, so that its picture and facts show at once.
    if (m_shown.count() > 0) m_list->selectRows({0});
    else refreshSelection();
}

void MainWindow::newProject() {
    if (m_running) return;
    // Saving was wanted: when it did not happen, the project stays.
    if (m_session.unsavedChanges &&
        m_ui.ask(app::loadString(128), app::Buttons::YesNo, app::Icon::Question) == app::Answer::Yes &&
        !saveProjectAs())
        return;
    m_shownGroup = nullptr;
    m_tree.clear();
    m_shown.clear();
    m_session.projectPath.clear();
    projectReplaced(false);
}

void MainWindow::loadProject() {
    if (m_running) return;
    syncShownIntoGroup();
    FileAnswer answer = chooseProjectToLoad
                            ? chooseProjectToLoad(folderOf(m_settings.readText("ScnPath", "")))
                            : askForFile(this, folderOf(m_settings.readText("ScnPath", "")), scene::kLoadFilterText,
                                         false);
    if (answer.path.isEmpty()) return;
    // A file that is no project must not cost the project that was open.
    scene::EditSnapshot kept = scene::takeSnapshot(targets(), scene::kScopeTree);
    const std::string keptPath = m_session.projectPath;
    const bool keptUnsaved = m_session.unsavedChanges;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    int rc = scene::loadProject(m_session, answer.path.toStdString(), static_cast<scene::LoadFilter>(answer.filter),
                                m_ui, [this] { return saveProjectAs(); });
    QApplication::restoreOverrideCursor();
    if (rc == 1) {
        m_shownGroup = nullptr;  // the load replaced every group
        return projectReplaced(false);
    }
    // A save before the load (Yes to 177) counts; the failed load does not.
    m_session.projectPath = keptPath;
    m_session.unsavedChanges = keptUnsaved && !m_undo.isClean();
    scene::EditTargets live = targets();
    if (scene::describeChange(kept, live).empty()) return refreshSaveState();  // stopped before it began
    m_shownGroup = nullptr;
    scene::restoreSnapshot(kept, live);
    projectReplaced(m_session.unsavedChanges);
}

bool MainWindow::saveProject() {
    if (m_running) return false;
    syncShownIntoGroup();
    int rc = scene::saveProject(m_session, m_ui);
    if (rc == scene::kNeedsSaveAs) return saveProjectAs();
    if (rc != 1) return false;
    m_undo.setClean();
    refreshSaveState();
    return true;
}

bool MainWindow::saveProjectAs() {
    if (m_running) return false;
    syncShownIntoGroup();
    const QString folder = folderOf(m_settings.readText("ScnPath", ""));
    QString proposed = QString::fromStdString(m_session.projectPath);
    if (!proposed.isEmpty()) proposed = QFileInfo(proposed).completeBaseName();
    FileAnswer answer = chooseProjectToSave ? chooseProjectToSave(folder)
                                            : askForFile(this, folder, scene::kSaveFilterText, true, proposed);
    if (answer.path.isEmpty()) return false;
    int rc = scene::saveProjectAs(m_session, answer.path.toStdString(), static_cast<scene::SaveFilter>(answer.filter),
                                  m_shown, m_ui);
    if (rc != 1) return false;
    if (answer.filter == static_cast<int>(scene::SaveFilter::Project)) m_undo.setClean();
    refreshSaveState();
    return true;
}

void MainWindow::addAviFiles() {
    if (m_running) return;
    const QString folder = folderOf(m_settings.readText("AviPath", "/"));
    QStringList files;
    if (chooseAviFiles) {
        files = chooseAviFiles(folder);
    } else {
        QFileDialog dialog(this, QString(), folder);
        dialog.setNameFilters(dialogFilters(kAviFilter));
        dialog.setDefaultSuffix(QStringLiteral("avi"));
        dialog.setFileMode(QFileDialog::ExistingFiles);
        if (dialog.exec() == QDialog::Accepted) files = dialog.selectedFiles();
        m_settings.writeText("AviPath", dialog.directory().absolutePath().toStdString() + "/");
    }
    if (!files.isEmpty()) addFiles(files);
}

void MainWindow::addFiles(const QStringList& paths) {
    if (m_running || paths.isEmpty()) return;
    std::vector<std::string> files;
    for (const QString& path : paths) files.push_back(path.toStdString());
    // Probing large files takes a while: on a worker, into a copy the views do not read.
    scene::SceneList work;
    if (work.copyFrom(m_shown) != 1) return scene::showOutOfMemory(m_ui);
    m_running = true;
    refreshCommandStates();
    m_ui.resetCancel();
    int added = 0;
    runOnWorker([&] {
        app::ProgressScope progress(m_ui);
        added = scene::addWholeFiles(work, files, m_probe, m_ui);
    });
    m_running = false;
    m_ui.resetCancel();  // a Stop of this run must not end the probes of a later load
    if (added == 0) return refreshCommandStates();
    runCommand(Command::AddAvi, scene::kScopeShown,
               [&] { return m_shown.copyFrom(work) == 1 ? scene::EditResult::Ok : scene::EditResult::OutOfMemory; });
    m_list->selectRows({m_shown.count() - 1});
}

}  // namespace klemora::gui
