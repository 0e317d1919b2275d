#pragma once
#include <string>

namespace klemora::app {

// Folder of the running executable, without a trailing "/".
std::string programFolder();

// The user's documents folder (logs, "AutoScan.scn"): $XDG_DOCUMENTS_DIR,
// the XDG user-dirs entry, else ~/Documents. Empty when it does not exist.
std::string documentsFolder();

// Where "Klemora.ini" lives: an explicit path (command line) first, then
// $KLEMORA_INI, then the program folder when the file is there or the folder
// is writable (portable use), else $XDG_CONFIG_HOME/klemora/Klemora.ini.
std::string settingsFilePath(const std::string& explicitPath = {});

}  // namespace klemora::app
