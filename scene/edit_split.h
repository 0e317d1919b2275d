#pragma once
#include <cstdint>
#include <span>

#include "app/ui.h"
#include "scene/edit_result.h"
#include "scene/scene_list.h"
#include "scene/selection.h"

namespace klemora::scene {

// Splits the one selected scene at the cut points of the manual cut dialog:
// P0 is the scene's start, the last point its stop, every point between the
// first frame of a new piece. The scene goes to the trash; its pieces take
// its place, each with the time data advanced to its own first frame and the
// comment "<comment> - <piece number>". Two points change nothing.
EditResult splitScene(SceneList& list, Selection selection, std::span<const int32_t> cutPoints, SceneList& trash,
                      app::UserInterface& ui);

// The piece of `scene` from `start` to `stop`, numbered `pieceNumber` from 1.
SceneRecord splitPiece(const SceneRecord& scene, int32_t start, int32_t stop, int pieceNumber);

}  // namespace klemora::scene
