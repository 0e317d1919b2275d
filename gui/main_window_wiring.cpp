// The main window's wiring: actions to commands, the keyboard table (handled
// before the controls see a key), the mouse, and which commands can run now.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QSlider>

#include "gui/group_tree_view.h"
#include "gui/help_page.h"
#include "gui/main_window.h"
#include "gui/preview_panel.h"
#include "gui/scene_list_view.h"
#include "scene/scene_properties.h"

namespace klemora::gui {
namespace {

bool isInside(const QWidget* widget, const QWidget* container) {
    for (; widget; widget = widget->parentWidget())
        if (widget == container) return true;
    return false;
}

}  // namespace

void MainWindow::connectCommands() {
    auto on = [this](Command command, auto slot) {
        connect(m_actions->action(command), &QAction::triggered, this, slot);
    };
    on(Command::NewProject, [this] { newProject(); });
    on(Command::LoadProject, [this] { loadProject(); });
    on(Command::SaveProject, [this] { saveProject(); });
    on(Command::SaveProjectAs, [this] { saveProjectAs(); });
    on(Command::AddAvi, [this] { addAviFiles(); });
    on(Command::Settings, [this] { showSettings(); });
    on(Command::Exit, [this] { close(); });
    on(Command::ToggleOk, [this] { toggleOkStatus(); });
    on(Command::MergeScenes, [this] { mergeScenes(); });
    on(Command::DeleteScenes, [this] { deleteScenes(); });
    on(Command::SelectAll, [this] { selectAllScenes(); });
    on(Command::MoveUp, [this] { moveScene(scene::MoveDirection::Up); });
    on(Command::MoveDown, [this] { moveScene(scene::MoveDirection::Down); });
    on(Command::MoveToTop, [this] { moveScene(scene::MoveDirection::ToTop); });
    on(Command::MoveToEnd, [this] { moveScene(scene::MoveDirection::ToEnd); });
    on(Command::GroupNewWithScenes, [this] { newGroupWithScenes(); });
    on(Command::GroupNew, [this] { newGroup(); });
    on(Command::GroupRename, [this] { renameGroup(); });
    on(Command::GroupDelete, [this] { deleteGroup(); });
    on(Command::ViewList, [this] { setView(ListView); });
    on(Command::ViewFilmStrip, [this] { setView(FilmStripView); });
    // The toolbar's check button switches the storyboard on and off.
    on(Command::ViewStoryboard, [this] { setView(m_view == StoryboardView ? View(m_lastListView) : StoryboardView); });
    on(Command::Undo, [this] { undo(); });
    on(Command::Redo, [this] { redo(); });
    on(Command::PlayScenes, [this] { playSelectedScenes(); });
    on(Command::TrimScene, [this] { trimScene(); });
    on(Command::TrimAll, [this] { trimAllScenes(); });
    on(Command::ManualSplit, [this] { splitSceneManually(); });
    on(Command::SceneProperties, [this] { showSceneProperties(); });
    on(Command::RestoreFromTrash, [this] { restoreFromTrash(); });
    on(Command::SortScenes, [this] { sortScenesDialog(); });
    on(Command::SceneDetection, [this] { detectScenes(); });
    on(Command::DvCapture, [this] { captureFromCamera(); });
    on(Command::AdditionalFunctions, [this] { showAdditionalFunctions(); });
    on(Command::WriteAvi, [this] { writeScenes(); });
    on(Command::SceneIndex, [this] { generateSceneIndex(); });
    on(Command::About, [this] { showAbout(); });
    on(Command::Readme, [this] { showReadme(); });
    on(Command::Help, [this] { showHelp(); });

    connect(m_groups, &GroupTreeView::groupSelected, this, [this](scene::Group* group) { showGroup(group); });
    connect(m_groups, &GroupTreeView::renameFinished, this, &MainWindow::onGroupRenamed);
    connect(m_groups, &GroupTreeView::newGroupRequested, this, [this] { newGroup(); });
    connect(m_groups, &GroupTreeView::renameRequested, this, [this] { renameGroup(); });
    connect(m_groups, &GroupTreeView::deleteGroupRequested, this, [this] { deleteGroup(); });
    connect(m_groups, &GroupTreeView::groupDropped, this, &MainWindow::onGroupDropped);
    connect(m_groups, &GroupTreeView::scenesDropped, this, &MainWindow::onSceneRowsDropped);

    connect(m_list, &SceneListView::selectionChangedByUser, this, [this] { refreshSelection(); });
    connect(m_list, &SceneListView::filesDropped, this, [this](const QStringList& files) { addFiles(files); });
    connect(m_list, &QAbstractItemView::clicked, this, [this] { refreshSelection(); });
    connect(m_list, &SceneListView::doubleClickedInList, this, [this] { onListDoubleClicked(); });
    QMenu* listMenu = m_actions->makeListContextMenu(this);
    connect(m_list, &QWidget::customContextMenuRequested, this,
            [this, listMenu](const QPoint& at) { listMenu->exec(m_list->viewport()->mapToGlobal(at)); });
    connect(&m_undo, &QUndoStack::indexChanged, this, [this] {
        m_session.unsavedChanges = !m_undo.isClean();
        refreshSaveState();
        refreshCommandStates();
    });
}

void MainWindow::onListDoubleClicked() {
    if (m_list->selectedRows().empty()) return addAviFiles();
    QAction* properties = m_actions->action(Command::SceneProperties);
    if (properties->isEnabled()) properties->trigger();
}

void MainWindow::refreshCommandStates() {
    const std::vector<int> rows = m_list->selectedRows();
    const bool idle = !m_running;
    auto enable = [this, idle](Command command, bool can) { m_actions->action(command)->setEnabled(idle && can); };
    for (Command command : {Command::NewProject, Command::LoadProject, Command::SaveProjectAs, Command::AddAvi,
                            Command::Settings, Command::Exit, Command::SelectAll, Command::ViewList,
                            Command::ViewFilmStrip, Command::ViewStoryboard, Command::About,
                            Command::Readme, Command::Help})
        enable(command, true);
    enable(Command::PlayScenes, true);  // says itself that nothing is selected
    enable(Command::TrimScene, scene::canApplyTrim(m_shown, rows));
    enable(Command::ManualSplit, true);  // says itself: 116 for none, 168 for several
    enable(Command::TrimAll, true);  // says itself that the group is empty
    enable(Command::RestoreFromTrash, true);  // says itself that the trash is empty (178)
    enable(Command::SortScenes, true);        // the sort says that the group is empty (174)
    enable(Command::SceneDetection, true);    // says itself that nothing is selected (116)
    enable(Command::DvCapture, true);
    enable(Command::AdditionalFunctions, true);  // works on files, not on the scene list
    enable(Command::WriteAvi, true);          // the dialog's start buttons need a scene
    enable(Command::SceneIndex, true);        // a folder index needs no project
    enable(Command::ToggleOk, scene::canToggleOkStatus(m_shown, rows));
    enable(Command::SceneProperties, scene::canEditSceneProperties(m_shown, rows));
    enable(Command::MergeScenes, scene::canMergeScenes(m_shown, rows));
    enable(Command::DeleteScenes, scene::canDeleteScenes(m_shown, rows));
    enable(Command::MoveUp, scene::canMoveScene(m_shown, rows, scene::MoveDirection::Up));
    enable(Command::MoveDown, scene::canMoveScene(m_shown, rows, scene::MoveDirection::Down));
    enable(Command::MoveToTop, scene::canMoveScene(m_shown, rows, scene::MoveDirection::ToTop));
    enable(Command::MoveToEnd, scene::canMoveScene(m_shown, rows, scene::MoveDirection::ToEnd));
    enable(Command::GroupNew, scene::canNewGroup(m_tree));
    enable(Command::GroupNewWithScenes, scene::canNewGroupWithScenes(m_shown, rows));
    scene::Group* current = m_groups->currentGroup();
    enable(Command::GroupRename, scene::canStartRenamingGroup(current));
    enable(Command::GroupDelete, scene::canDeleteGroup(current));
    enable(Command::Undo, m_undo.canUndo() && m_history.canUndo());
    enable(Command::Redo, m_undo.canRedo() && m_history.canRedo());
}

void MainWindow::refreshSaveState() {
    QString name;
    if (!m_session.projectPath.empty()) name = QFileInfo(QString::fromStdString(m_session.projectPath)).completeBaseName();
    m_actions->showSaveState(m_session.unsavedChanges && !m_running, name);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    // Esc in the window while a run goes on is its Stop (in the progress window too).
    if (m_running && widget && widget->window() == this && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        m_ui.requestCancel();
        return true;
    }
    if (!widget || widget->window() != this || QApplication::activeModalWidget()) return false;
    return handleKey(watched, static_cast<QKeyEvent*>(event));
}

bool MainWindow::handleKey(QObject* watched, QKeyEvent* key) {
    // The key's receiver is the focus widget (its editor, when a name is edited).
    if (isInside(static_cast<QWidget*>(watched), m_groups)) return handleTreeKey(key);
    return handleListKey(key);
}

namespace {

bool isCtrl(const QKeyEvent* key, int code) {
    return key->key() == code && (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
}

// Keys that mean the same wherever the focus is (the name editor aside).
bool isProjectKey(const QKeyEvent* key) {
    return isCtrl(key, Qt::Key_S) || isCtrl(key, Qt::Key_Z) || isCtrl(key, Qt::Key_Y) ||
           (key->key() == Qt::Key_Z &&
            (key->modifiers() & ~Qt::KeypadModifier) == (Qt::ControlModifier | Qt::ShiftModifier));
}

}  // namespace

bool MainWindow::handleTreeKey(QKeyEvent* key) {
    // The tree handles Enter, Esc, Insert, Delete, F2 and the name editor itself.
    if (m_groups->isEditingName() || !isProjectKey(key)) return false;
    return handleListKey(key);
}

bool MainWindow::handleListKey(QKeyEvent* key) {
    auto run = [this](Command command) {
        QAction* action = m_actions->action(command);
        if (action->isEnabled()) action->trigger();
        return true;
    };
    if (m_view == StoryboardView && handleStoryboardKey(key)) return true;
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (key->key() == Qt::Key_Z && mods == (Qt::ControlModifier | Qt::ShiftModifier)) return run(Command::Redo);
    if (mods == Qt::ControlModifier) {
        switch (key->key()) {
        case Qt::Key_S:  // also without changes, as the menu entry is not
            if (!m_running) saveProject();
            return true;
        case Qt::Key_E: return run(Command::SceneProperties);
        case Qt::Key_F: return run(Command::ToggleOk);
        case Qt::Key_T: return run(Command::TrimScene);
        case Qt::Key_G: return run(Command::TrimAll);
        case Qt::Key_M: return run(Command::MergeScenes);
        case Qt::Key_A: return run(Command::SelectAll);
        case Qt::Key_Z: return run(Command::Undo);
        case Qt::Key_Y: return run(Command::Redo);
        case Qt::Key_Up: return run(Command::MoveUp);
        case Qt::Key_Down: return run(Command::MoveDown);
        case Qt::Key_Home: return run(Command::MoveToTop);
        case Qt::Key_End: return run(Command::MoveToEnd);
        default: return false;
        }
    }
    if (mods != Qt::NoModifier) return false;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return run(Command::SceneProperties);
    case Qt::Key_Escape: return true;  // the window stays open
    case Qt::Key_Insert: return run(Command::AddAvi);
    case Qt::Key_Delete: return run(Command::DeleteScenes);
    case Qt::Key_Space: return run(Command::PlayScenes);
    case Qt::Key_F1: openHelpPage(this, QStringLiteral("page01.htm"), m_settings); return true;
    case Qt::Key_Right:
    case Qt::Key_Left:
        if (m_view != ListView) return false;
        m_preview->stepFrames(key->key() == Qt::Key_Right ? 1 : -1);
        return true;
    default: return false;
    }
}

}  // namespace klemora::gui
