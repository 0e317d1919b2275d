#pragma once
#include "app/ui.h"
#include "scene/edit_result.h"
#include "scene/scene_list.h"
#include "scene/selection.h"

namespace klemora::scene {

// "Status 'Ok'/'nicht Ok' setzen": every selected scene flips between done
// (1) and not done (0).
EditResult toggleOkStatus(SceneList& list, Selection selection, app::UserInterface& ui);

}  // namespace klemora::scene
