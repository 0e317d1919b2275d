#pragma once
// The main window's status line: the selected scenes, the shown group and the
// whole project, each as a count and a total length.
#include <span>
#include <string>

#include "scene/group_tree.h"
#include "scene/scene_list.h"

namespace klemora::scene {

// `shownGroup` is the group whose working copy `shown` is: the project's
// totals count `shown` in place of that group's own (older) list. Lengths are
// h:m:s:f at the rounded-up rate of the shown list's first scene (25 when
// the list is empty or that rate is not positive).
std::string statusLineText(const SceneList& shown, std::span<const int> selectedRows, const GroupTree& tree,
                           const Group* shownGroup);

}  // namespace klemora::scene
