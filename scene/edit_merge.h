#pragma once
#include <span>

#include "app/ui.h"
#include "scene/edit_result.h"
#include "scene/scene_list.h"
#include "scene/selection.h"

namespace klemora::scene {

// Uncovered frames between merged scenes up to this many merge without a question.
inline constexpr int kMergeGapWithoutQuestion = 10;

// The longest run of frames within [smallest start, largest stop] that none
// of the given scenes covers.
int64_t longestUncoveredRun(const SceneList& list, std::span<const int> rows);

// "Szenen zusammenfügen": at least two selected scenes of one source become
// the first of them, covering the smallest start to the largest stop; all of
// them are kept in the trash first.
EditResult mergeScenes(SceneList& list, Selection selection, SceneList& trash, app::UserInterface& ui);

}  // namespace klemora::scene
