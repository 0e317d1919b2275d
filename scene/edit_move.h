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

// Moves the selected scenes, in list order, to consecutive rows starting at
// `target` (pulled back so that all of them fit); the others keep their
// order. *firstRow (when given) receives the row of the first moved scene.
EditResult moveScenesTo(SceneList& list, Selection selection, int target, app::UserInterface& ui,
                        int* firstRow = nullptr);

}  // namespace klemora::scene
