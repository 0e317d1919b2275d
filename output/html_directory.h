#pragma once
// The scenes of a folder index: every AVI file of the folder as one scene
// covering the whole file, in name order.
#include <string>
#include <string_view>
#include <vector>

#include "app/debug_log.h"
#include "app/ui.h"
#include "scene/scene_list.h"

namespace klemora::output {

// The names ending in ".avi" (any case) of the folder's regular files,
// sorted; empty when there are none or the folder cannot be read.
std::vector<std::string> aviFilesIn(const std::string& folder);

// Fills `list` (emptied first). HtmlIndexResult codes: NoAviFiles after
// "%s FindFirstFile()! %s\nPath: %s" (113, 201); SourceUnreadable after 107;
// ExtraDataFailed after "%s GetExtraData()!\nCode: %d\nFile: %s";
// AddSceneFailed after "%s AddNewScene()!\nCode: %d". The first failure
// ends the scan.
// `fixRatio`: the run's "FixRatio" setting; `log` its debug log.
int readAviFolder(const std::string& folder, scene::SceneList& list, app::UserInterface& ui,
                  std::string_view fixRatio = {}, const app::DebugLog& log = app::DebugLog::off());

}  // namespace klemora::output
