#pragma once
// The per-scene loop over one scene list: a destination name per scene
// (from the list's template, or "%s_s%03d" from the source name), the
// question before overwriting, WriteScene, the file dates and the progress
// text "%s    (%d/%d)".
#include <string>
#include <vector>

#include "output/write_context.h"
#include "scene/scene_list.h"

namespace klemora::output {

// `scenesBefore`: scenes in the groups written earlier in the run (%M).
// 1 when the list was processed to its end, when the user stopped, or when
// the user chose not to go on after a failure; WriteScenesResult codes
// when a failure hit the last scene of the list, and NamesCollide (nothing
// written) when two scenes would get the same destination. Failed scenes
// are counted in context.failedScenes, scenes whose existing destination
// was kept in context.keptExisting. A destination that is a source of the
// run (context.sources, to which the list's sources are added) fails its
// scene without a question.
int WriteScenes(WriteContext& context, const scene::SceneList& list, int scenesBefore);

// The destination WriteScenes gives each scene of the list (with the
// context's folder, group name and naming), without messages; empty for a
// scene it does not write or whose name cannot be made.
std::vector<std::string> plannedSceneDestinations(const WriteContext& context, const scene::SceneList& list,
                                                  int scenesBefore);

// "%s_s%03d": the source's file name without its extension and a running
// number (with ".avi", so the parts open like any AVI file).
std::string nameFromSource(std::string_view sourcePath, int number);

}  // namespace klemora::output
