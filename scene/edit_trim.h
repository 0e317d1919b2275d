#pragma once
#include "app/ui.h"
#include "scene/edit_result.h"
#include "scene/scene_list.h"
#include "scene/selection.h"

namespace klemora::scene {

// Writes the result of the trim dialog back into the one selected scene: its
// start, stop, recording time, timecode and status. The defined range (how
// far the scene may be extended) stays as it was.
EditResult applyTrim(SceneList& list, Selection selection, const SceneRecord& trimmed, app::UserInterface& ui);

}  // namespace klemora::scene
