#pragma once
// The trash: a further SceneList, oldest first, that keeps copies of deleted,
// merged-away and split scenes so that they can be restored.
#include <span>

#include "app/ui.h"
#include "scene/edit_result.h"
#include "scene/scene_list.h"
#include "scene/selection.h"

namespace klemora::scene {

inline constexpr int kMaxTrashScenes = kMaxScenes;

// Copies rows of list to the end of the trash. When the trash holds
// kMaxTrashScenes - n or more scenes, its n oldest entries go first. A copy
// that fails shows 171 (information) and ends the copying; the result is the
// number of scenes kept.
int keepInTrash(SceneList& trash, const SceneList& list, std::span<const int> rows, app::UserInterface& ui);

// Deletes the selected scenes of the shown list into the trash.
EditResult deleteScenes(SceneList& list, Selection selection, SceneList& trash, app::UserInterface& ui);

// Appends copies of the selected trash entries to the list and takes them out
// of the trash. An empty trash shows 178. An append that fails shows 113
// ("AddNewScene()") and ends the restoring; entries not restored stay in the trash.
EditResult restoreFromTrash(SceneList& list, SceneList& trash, Selection trashSelection, app::UserInterface& ui);

// Removes the selected trash entries for good after question 191.
EditResult deleteFromTrash(SceneList& trash, Selection trashSelection, app::UserInterface& ui);

}  // namespace klemora::scene
