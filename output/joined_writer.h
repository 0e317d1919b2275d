#pragma once
// Several scenes of a list joined, in list order, into one AVI file. The
// first scene that qualifies fixes the frame rate and the media types;
// every later one must match them (308, 309, 310), checked before anything
// is written. One temporary file, one rename at the end.
#include <string>

#include "output/write_context.h"
#include "scene/scene_list.h"

namespace klemora::output {

// 1 written, also when stopped part-way, when the list has nothing to
// write, or after a mismatch or an unreadable source (message shown, no
// file); negative WriteSceneResult codes after their message: among them a
// scene with no frame in its file, a cut of inter-frame video off a key
// frame, a source that ends early, and a destination that is one of the
// list's (or the run's) sources. With file dates on, the file gets the first
// written scene's recording date.
int WriteScenesToOneFile(WriteContext& context, const scene::SceneList& list, const std::string& destinationPath);

}  // namespace klemora::output
