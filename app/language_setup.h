#pragma once
#include <string>

#include "app/settings_store.h"
#include "app/ui.h"

namespace klemora::app {

enum class LanguageOutcome {
    German,      // built-in table in use
    English,     // language file loaded
    FirstStart,  // "Lang" empty: the caller shows the first-start settings and ends
    EndProgram,  // a message was shown and "Lang" cleared
};

// The language step of start-up. Its messages are English because no table is
// set up yet when they appear.
LanguageOutcome setupLanguage(const SettingsStore& store, UserInterface& ui, const std::string& programFolder);

}  // namespace klemora::app
