#pragma once
// The file formats a scene list goes out in and comes in from, chosen by a
// file name or by a format's name; shared by the command line and the save
// dialog of the GUI.
#include <optional>
#include <string>

#include "app/ui.h"
#include "scene/project_session.h"

namespace klemora::scene {

// "scn", "csv", "edl4", "edl56", "avs-avisource", "avs-avifilesource",
// "avs-directshowsource"; without a name the extension decides (.scn, .csv,
// .txt = edl56, .avs = avs-avisource, in any case).
std::optional<SaveFilter> saveFilterFor(const std::string& path, const std::string& formatName);
std::string saveFormatNames();

// .csv and .txt (EDL) import; anything else is read as a project file.
LoadFilter loadFilterFor(const std::string& path);

// Writes the tree (scn) or its root list (the exchange formats) to `path`.
// 1, 0 when the user kept an existing file, or the writer's code.
int writeSceneFile(ProjectSession& session, const std::string& path, SaveFilter filter, app::UserInterface& ui);

}  // namespace klemora::scene
