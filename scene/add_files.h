#pragma once
// "AVI laden...", the Insert key and files dropped onto the window: every
// file becomes one scene covering it whole, appended to the shown list.
#include <string>
#include <vector>

#include "app/ui.h"
#include "scene/scene_list.h"
#include "scene/source_check.h"

namespace klemora::scene {

// Paths in the order the files are added: compared without regard to case,
// byte for byte where they differ only in case.
void sortPathsCaseInsensitive(std::vector<std::string>& paths);

// Probes each file and appends its scene; a file that cannot be probed shows
// 107 and is left out, a list that is full shows 113 and ends the adding.
// The Stop of the seam is looked at between files, and the progress shows
// which file is probed. Returns the number of scenes added.
int addWholeFiles(SceneList& list, std::vector<std::string> paths, SourceProbe& probe, app::UserInterface& ui);

}  // namespace klemora::scene
