#pragma once
// The end of an unattended detection run: the scenes found are saved as
// "AutoScan.scn" in the documents folder, then the PC is switched off.
#include "app/shutdown.h"
#include "app/ui.h"
#include "scene/scene_list.h"

namespace klemora::detect {

inline constexpr char kAutoScanFileName[] = "AutoScan.scn";

// False when there is no documents folder (after a message); nothing is
// saved or switched off then. The save's result does not stop the shutdown.
bool AutoShutdown(scene::SceneList& scenes, app::PowerControl& power, app::UserInterface& ui);

}  // namespace klemora::detect
