#pragma once
#include "app/ui.h"
#include "scene/edit_result.h"
#include "scene/scene_list.h"
#include "scene/selection.h"

namespace klemora::scene {

enum class MoveDirection { Up, Down, ToTop, ToEnd };

// Moves the one selected scene; at the list's edge nothing happens. *movedTo
// (when given) receives the scene's new row, which stays selected.
EditResult moveScene(SceneList& list, Selection selection, MoveDirection direction, app::UserInterface& ui,
                     int* movedTo = nullptr);

}  // namespace klemora::scene
