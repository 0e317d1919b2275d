#pragma once
// The questions every detection run asks: whether to drop the scenes an
// earlier run found, and whether to go on after a file failed.
#include "app/ui.h"
#include "scene/scene_list.h"

namespace klemora::detect {

// Empties `scenes` and marks them modified; when they hold scenes, only
// after the user agreed to question 112. False: keep them, no run.
bool emptyFoundScenes(scene::SceneList& scenes, app::UserInterface& ui);

// Question 114: true to go on with the remaining files.
bool continueAfterFailure(app::UserInterface& ui);

}  // namespace klemora::detect
