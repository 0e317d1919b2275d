// The main window's editing commands: each one runs the scene model's
// operation as one undo step, and the views follow what it changed.
#include <QMenu>

#include "gui/group_tree_view.h"
#include "gui/main_window.h"
#include "gui/preview_panel.h"
#include "gui/scene_drag.h"
#include "gui/scene_list_view.h"
#include "gui/text_of.h"

namespace klemora::gui {
namespace {

QString commandName(QAction* action) { return action->text().section(QLatin1Char('\t'), 0, 0); }

}  // namespace

scene::EditTargets MainWindow::targets() { return {&m_shown, &m_trash, &m_tree}; }

void MainWindow::syncShownIntoGroup() {
    if (!m_shownGroup || scene::sameList(m_shownGroup->list(), m_shown)) return;
    if (m_shownGroup->list().copyFrom(m_shown) != 1) scene::showOutOfMemory(m_ui);
}

void MainWindow::showGroup(scene::Group* group) {
    if (!group) group = &m_tree.root();
    m_groups->setEnabled(false);
    if (group != m_shownGroup) syncShownIntoGroup();
    m_shownGroup = group;
    if (m_shown.copyFrom(group->list()) != 1) scene::showOutOfMemory(m_ui);
    m_list->tableModel()->listChanged();
    rebuildStoryboard();
    m_groups->setEnabled(true);
    {
        QSignalBlocker blocker(m_groups);
        m_groups->selectGroup(group);
    }
    refreshSelection();
}

scene::EditResult MainWindow::runCommand(Command name, unsigned scope,
                                         const std::function<scene::EditResult()>& command) {
    if (m_running) return scene::EditResult::Ok;
    syncShownIntoGroup();
    EditStepPlaces places{scope, scene::pathOf(*m_shownGroup), {}};
    scene::EditChange change;
    scene::EditTargets live = targets();
    scene::EditResult result = scene::runEdit(m_history, live, scope, &change,
                                              [&] { return scene::guardMemory(m_ui, command); });
    if (change.empty()) return result;
    places.shownAfter = scene::pathOf(*m_shownGroup);
    m_undo.push(new EditStep(commandName(m_actions->action(name)), places, [this](const EditStepPlaces& p, bool undo) { applyStep(p, undo); }));
    afterChange(change);
    return result;
}

void MainWindow::applyStep(const EditStepPlaces& places, bool undo) {
    if (undo ? !m_history.canUndo() : !m_history.canRedo()) return;
    syncShownIntoGroup();
    // The step's list is the one of the group shown when it ran.
    const scene::GroupPath& from = undo ? places.shownAfter : places.shownBefore;
    const scene::GroupPath& to = undo ? places.shownBefore : places.shownAfter;
    if (scene::pathOf(*m_shownGroup) != from) {
        if (scene::Group* group = scene::groupAtPath(m_tree, from)) {
            m_shownGroup = group;
            m_shown.copyFrom(group->list());
        }
    }
    scene::EditTargets live = targets();
    scene::EditChange change = undo ? m_history.undo(live) : m_history.redo(live);
    if (change.treeRebuilt) {
        m_shownGroup = scene::groupAtPath(m_tree, to);
        if (!m_shownGroup) m_shownGroup = &m_tree.root();
        if (!(places.scope & scene::kScopeShown)) m_shown.copyFrom(m_shownGroup->list());
    }
    afterChange(change);
}

void MainWindow::afterChange(const scene::EditChange& change) {
    bool treeChanged = change.treeRebuilt || !change.groupsAdded.empty() || !change.groupsRemoved.empty() ||
                       !change.groupsMoved.empty();
    if (treeChanged) {
        QSignalBlocker blocker(m_groups);
        m_groups->rebuild();
        m_groups->selectGroup(m_shownGroup);
    } else if (!change.groupsRenamed.empty()) {
        m_groups->refreshNames();
    }
    if (change.treeRebuilt) m_shown.setGroupName(m_shownGroup->name());
    if (change.shown.touched || treeChanged) {
        const scene::RowSpan& rows = change.shown.rows;
        if (rows.all || rows.lastBefore != rows.lastAfter || treeChanged) m_list->tableModel()->listChanged();
        else m_list->tableModel()->rowsChanged(rows.first, rows.lastAfter);
    }
    if (change.shown.touched || treeChanged) rebuildStoryboard();
    m_session.unsavedChanges = !m_undo.isClean();
    refreshSaveState();
    refreshSelection();
}

void MainWindow::undo() {
    if (!m_running) m_undo.undo();
}

void MainWindow::redo() {
    if (!m_running) m_undo.redo();
}

void MainWindow::toggleOkStatus() {
    std::vector<int> rows = m_list->selectedRows();
    runCommand(Command::ToggleOk, scene::kScopeShown,
               [&] { return scene::toggleOkStatus(m_shown, rows, m_ui); });
    m_list->selectRows(rows);
}

void MainWindow::mergeScenes() {
    std::vector<int> rows = m_list->selectedRows();
    scene::EditResult result = runCommand(Command::MergeScenes,
                                          scene::kScopeShown | scene::kScopeTrash,
                                          [&] { return scene::mergeScenes(m_shown, rows, m_trash, m_ui); });
    if (result == scene::EditResult::Ok && !rows.empty()) m_list->selectRows({rows.front()});
}

void MainWindow::deleteScenes() {
    std::vector<int> rows = m_list->selectedRows();
    runCommand(Command::DeleteScenes, scene::kScopeShown | scene::kScopeTrash,
               [&] { return scene::deleteScenes(m_shown, rows, m_trash, m_ui); });
}

void MainWindow::selectAllScenes() { m_list->selectAll(); }

void MainWindow::moveScene(scene::MoveDirection direction) {
    std::vector<int> rows = m_list->selectedRows();
    if (rows.empty()) return;
    int movedTo = rows.front();
    runCommand(Command::MoveUp, scene::kScopeShown,
               [&] { return scene::moveScene(m_shown, rows, direction, m_ui, &movedTo); });
    m_list->selectRows({movedTo});
}

void MainWindow::newGroup() {
    scene::Group* parent = m_groups->currentGroup();
    scene::Group* created = nullptr;
    runCommand(Command::GroupNew, scene::kScopeTree,
               [&] { return scene::newGroup(m_tree, parent, m_ui, &created); });
    if (created) {
        m_groups->selectGroup(created);
        m_groups->editCurrentName();
    }
}

void MainWindow::newGroupWithScenes() {
    std::vector<int> rows = m_list->selectedRows();
    scene::Group* parent = m_groups->currentGroup();
    runCommand(Command::GroupNewWithScenes, scene::kScopeShown | scene::kScopeTree,
               [&] { return scene::newGroupWithScenes(m_tree, parent, m_shown, rows, m_ui); });
}

void MainWindow::renameGroup() {
    scene::Group* group = m_groups->currentGroup();
    if (scene::canStartRenamingGroup(group)) return m_groups->editCurrentName();
    // The root (or none): the command says why it cannot be renamed; any
    // other name than its own makes it say so.
    scene::renameGroup(m_tree, group, group ? group->name() + " " : std::string(), m_ui);
}

void MainWindow::onGroupRenamed(scene::Group* group, const QString& name) {
    std::string newName = name.toStdString();
    runCommand(Command::GroupRename, scene::kScopeTree,
               [&] { return scene::renameGroup(m_tree, group, newName, m_ui); });
    m_groups->refreshNames();
    if (group == m_shownGroup) m_shown.setGroupName(group->name());
}

void MainWindow::deleteGroup() {
    scene::Group* group = m_groups->currentGroup();
    scene::Group* root = &m_tree.root();
    runCommand(Command::GroupDelete, scene::kScopeTree, [&] {
        scene::EditResult result = scene::deleteGroup(m_tree, group, m_ui);
        // The shown group may have gone with it: the root is shown afterwards.
        if (result == scene::EditResult::Ok) {
            m_shownGroup = root;
            m_shown.copyFrom(root->list());
        }
        return result;
    });
}

void MainWindow::onGroupDropped(scene::Group* group, scene::Group* target) {
    runCommand(Command::GroupNew, scene::kScopeTree,
               [&] { return scene::moveGroupBelow(m_tree, group, target, m_ui); });
}

void MainWindow::onSceneRowsDropped(scene::Group* target) {
    if (!target) return;
    std::vector<int> rows = m_list->selectedRows();
    runCommand(Command::GroupNewWithScenes, scene::kScopeShown | scene::kScopeTree,
               [&] { return scene::moveScenesToGroup(m_shown, rows, m_shownGroup, *target, m_ui); });
}

}  // namespace klemora::gui
