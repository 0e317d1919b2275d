#pragma once
// What the start-up checks need to know of this desktop: the program
// folder, the media framework in use and the size of the primary screen.
#include "app/startup.h"

namespace klemora::gui {

app::StartupFacts desktopStartupFacts();  // needs the QApplication

}  // namespace klemora::gui
