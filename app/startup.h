#pragma once
// What the desktop program does before its main window: the settings file,
// the debug log, the language (the first start opens the settings dialog
// and ends), the media framework check and the screen size. Every step that
// fails has shown its message and ends the program.
#include <functional>
#include <string>

#include "app/debug_log.h"
#include "app/framework_check.h"
#include "app/settings_store.h"
#include "app/ui.h"

namespace klemora::app {

struct StartupFacts {
    std::string programFolder;
    FrameworkVersion framework;  // of the media libraries in use
    int screenWidth = 0;
    int screenHeight = 0;
};

// The screen must be at least 800 × 600.
bool screenLargeEnough(int width, int height);

struct StartupResult {
    bool runMainWindow = false;
    DebugLog log;  // the level of "WriteLogfile", for the whole run
};

// `firstStart` shows the settings dialog with the language not chosen yet;
// the program ends after it.
StartupResult startUp(const SettingsStore& store, const StartupFacts& facts, UserInterface& ui,
                      const std::function<void()>& firstStart);

}  // namespace klemora::app
