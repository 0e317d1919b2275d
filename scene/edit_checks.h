#pragma once
// "Can this command run now?" for enabling the menu entries and buttons of
// the editing commands. Each check takes the inputs its command takes, shows
// nothing and changes nothing; false means the command would refuse with a
// message (or, for a group move, refuse silently), true that it would not
// refuse for any reason these inputs decide. Questions the command asks
// (merging across a gap, deleting for good) and the values a dialog hands
// back later (cut points, a trimmed range) are not part of the check.
#include <string_view>

#include "scene/edit_move.h"
#include "scene/group_tree.h"
#include "scene/selection.h"

namespace klemora::scene {

bool canToggleOkStatus(const SceneList& list, Selection selection);
bool canDeleteScenes(const SceneList& list, Selection selection);
bool canReplaceByFoundScenes(const SceneList& list, Selection selection);
// Split, trim and the four moves need exactly one selected scene.
bool canSplitScene(const SceneList& list, Selection selection);
bool canApplyTrim(const SceneList& list, Selection selection);
bool canMoveScene(const SceneList& list, Selection selection, MoveDirection direction);
// At least two selected scenes of one source.
bool canMergeScenes(const SceneList& list, Selection selection);
bool canSortShownList(const SceneList& list);

// The menu entry "Wiederherstellen..." opens the trash dialog only for a
// non-empty trash; restoring and deleting for good need selected entries.
bool canOpenTrash(const SceneList& trash);
bool canRestoreFromTrash(const SceneList& trash, Selection trashSelection);
bool canDeleteFromTrash(const SceneList& trash, Selection trashSelection);

bool canNewGroup(const GroupTree& tree);
bool canNewGroupWithScenes(const SceneList& shown, Selection selection);
bool canRenameGroup(const Group* group, std::string_view newName);
// Starting to edit a group's name, and deleting it: a group that is not the root.
bool canStartRenamingGroup(const Group* group);
bool canDeleteGroup(const Group* group);
bool canMoveGroupBelow(const Group* group, const Group* target);
bool canMoveScenesToGroup(const SceneList& shown, Selection selection, const Group* shownGroup, const Group& target);

}  // namespace klemora::scene
