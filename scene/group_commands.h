#pragma once
// The group commands of the main window on the group tree, with their
// questions and refusals. The shown list is the working copy of the selected
// group's list that the list commands edit (the caller copies it back).
#include <string_view>

#include "app/ui.h"
#include "scene/edit_result.h"
#include "scene/group_tree.h"
#include "scene/selection.h"

namespace klemora::scene {

inline constexpr int kMaxGroupNameLength = 250;

// "Neu": a group named "Neue Gruppe" as the last child of the selected group
// (of the root when none is selected). *created receives it.
EditResult newGroup(GroupTree& tree, Group* selected, app::UserInterface& ui, Group** created = nullptr);

// "Neu mit markierten Szenen": such a group holding copies of the selected
// scenes in list order, which leave the shown list. A copy that fails shows
// 171 (information) and ends the copying; the scenes not copied stay.
EditResult newGroupWithScenes(GroupTree& tree, Group* selected, SceneList& shown, Selection selection,
                              app::UserInterface& ui, Group** created = nullptr);

// The end of editing a group's name in the tree: more than 250 characters
// or an empty name is refused (the old name stays), the root cannot be
// renamed (426), an unchanged name changes nothing.
EditResult renameGroup(GroupTree& tree, Group* group, std::string_view newName, app::UserInterface& ui);

// "Löschen": the group with all its sub-groups and their scenes after question
// 191; their scenes do not go to the trash. The caller then shows the root.
EditResult deleteGroup(GroupTree& tree, Group* group, app::UserInterface& ui);

// Dragging a group onto another: it becomes the target's last child, with its
// sub-groups. The root cannot be moved (426); a group cannot go below itself
// or below one of its own sub-groups (InvalidTarget, nothing shown).
EditResult moveGroupBelow(GroupTree& tree, Group* group, Group* target, app::UserInterface& ui);

// Dragging selected scenes onto a group: they are appended to its list in
// list order and leave the shown list. Dropping them onto the group that is
// shown changes nothing. A target list without room for all of them refuses
// with 140 before anything changes.
EditResult moveScenesToGroup(SceneList& shown, Selection selection, const Group* shownGroup, Group& target,
                             app::UserInterface& ui);

}  // namespace klemora::scene
