#pragma once
#include "app/ui.h"
#include "scene/edit_result.h"
#include "scene/scene_list.h"
#include "scene/selection.h"

namespace klemora::scene {

// Takes the result of a detection run over copies of the selected scenes:
// from the last selected scene to the first, the scene is replaced by every
// found scene of the same source whose range lies within its own, in the
// found list's order. A selected scene for which nothing was found (its file
// was left out of the run, or the run was stopped before it) stays as it is.
// With showProgress the progress window names each scene as it is replaced.
EditResult replaceByFoundScenes(SceneList& list, Selection selection, const SceneList& found, app::UserInterface& ui,
                                bool showProgress = false);

}  // namespace klemora::scene
