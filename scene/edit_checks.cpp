#include "scene/edit_checks.h"

#include <vector>

#include "scene/group_commands.h"

namespace klemora::scene {
namespace {

bool validSelection(const SceneList& list, Selection selection, std::vector<int>& rows) {
    return selectedRows(list, selection, rows) == EditResult::Ok;
}

bool validSelection(const SceneList& list, Selection selection) {
    std::vector<int> rows;
    return validSelection(list, selection, rows);
}

bool singleSelection(const SceneList& list, Selection selection) {
    std::vector<int> rows;
    return validSelection(list, selection, rows) && rows.size() == 1;
}

}  // namespace

bool canToggleOkStatus(const SceneList& list, Selection selection) { return validSelection(list, selection); }
bool canDeleteScenes(const SceneList& list, Selection selection) { return validSelection(list, selection); }
bool canReplaceByFoundScenes(const SceneList& list, Selection selection) { return validSelection(list, selection); }
bool canSplitScene(const SceneList& list, Selection selection) { return singleSelection(list, selection); }
bool canApplyTrim(const SceneList& list, Selection selection) { return singleSelection(list, selection); }

// At the list's edge the move does nothing without refusing, so the edge
// does not disable it.
bool canMoveScene(const SceneList& list, Selection selection, MoveDirection) {
    return singleSelection(list, selection);
}

bool canMergeScenes(const SceneList& list, Selection selection) {
    std::vector<int> rows;
    if (!validSelection(list, selection, rows) || rows.size() < 2) return false;
    for (int row : rows)
        if (list.sourceFile(row) != list.sourceFile(rows.front())) return false;
    return true;
}

bool canSortShownList(const SceneList& list) { return list.count() > 0; }

bool canOpenTrash(const SceneList& trash) { return trash.count() > 0; }
bool canRestoreFromTrash(const SceneList& trash, Selection trashSelection) {
    return canOpenTrash(trash) && validSelection(trash, trashSelection);
}
bool canDeleteFromTrash(const SceneList& trash, Selection trashSelection) {
    return validSelection(trash, trashSelection);
}

bool canNewGroup(const GroupTree&) { return true; }
bool canNewGroupWithScenes(const SceneList& shown, Selection selection) { return validSelection(shown, selection); }

bool canRenameGroup(const Group* group, std::string_view newName) {
    if (!group) return false;
    if (newName == group->name()) return true;
    return !group->isRoot() && !newName.empty() && newName.size() <= static_cast<size_t>(kMaxGroupNameLength);
}

bool canStartRenamingGroup(const Group* group) { return group && !group->isRoot(); }
bool canDeleteGroup(const Group* group) { return canStartRenamingGroup(group); }

bool canMoveGroupBelow(const Group* group, const Group* target) {
    return group && target && !group->isRoot() && !group->contains(target);
}

bool canMoveScenesToGroup(const SceneList& shown, Selection selection, const Group* shownGroup, const Group& target) {
    std::vector<int> rows;
    if (!validSelection(shown, selection, rows)) return false;
    if (&target == shownGroup || &target.list() == &shown) return true;
    return static_cast<size_t>(target.list().count()) + rows.size() <= static_cast<size_t>(kMaxScenes);
}

}  // namespace klemora::scene
