#pragma once
// What the start-up checks need to know of this desktop: the program
// folder, the media framework in use and the size of the primary screen.
#include "app/debug_log.h"
#include "app/startup.h"

class QMainWindow;

namespace klemora::gui {

app::StartupFacts desktopStartupFacts();  // needs the QApplication

// The general log's first lines of a run: where the program files were
// found and the menus the shown main window offers (so the language in use).
void logStart(const app::DebugLog& log, const app::StartupFacts& facts, const QMainWindow& window);

}  // namespace klemora::gui
