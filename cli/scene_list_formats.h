#pragma once
// The file formats a scene list goes out in and comes in from, named as the
// command line names them; shared by detect, convert, show and names.
#include <optional>
#include <string>

#include "app/ui.h"
#include "scene/project_session.h"

namespace klemora::cli {

// "scn", "csv", "edl4", "edl56", "avs-avisource", "avs-avifilesource",
// "avs-directshowsource"; without a name the extension decides (.scn, .csv,
// .txt = edl56, .avs = avs-avisource).
std::optional<scene::SaveFilter> saveFilterFor(const std::string& path, const std::string& formatName);
std::string saveFormatNames();

// .csv and .txt (EDL) import; anything else is read as a project file.
scene::LoadFilter loadFilterFor(const std::string& path);

// Writes the tree (scn) or its root list (the exchange formats) to `path`.
// 1, 0 when the user kept an existing file, or the writer's code.
int writeSceneFile(scene::ProjectSession& session, const std::string& path, scene::SaveFilter filter,
                   app::UserInterface& ui);

}  // namespace klemora::cli
