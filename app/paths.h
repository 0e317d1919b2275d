#pragma once
#include <string>

namespace klemora::app {

// Where the program is and where its files lie ("english.lang", "Templates/",
// "HtmlDoku/", the readme and licence texts). In the build tree and in a
// portable copy they lie beside the executable; installed under a prefix the
// executable is <prefix>/bin/klemora and the files are in <prefix>/share/klemora.
struct ProgramLayout {
    std::string executableFolder;
    std::string programFolder;
    bool filesBesideExecutable = false;
};

// The layout for an executable in `executableFolder`: the program files beside
// it when the language file or "HtmlDoku" is there, else <exe>/../share/klemora
// when that folder exists, else the executable's folder (files beside: false).
ProgramLayout programLayoutFor(const std::string& executableFolder);

// Folder of the running executable, without a trailing "/".
std::string executableFolder();
// Folder of the program files of the running executable, without a trailing "/".
std::string programFolder();

// The user's documents folder (logs, "AutoScan.scn"): $XDG_DOCUMENTS_DIR,
// the XDG user-dirs entry, else ~/Documents. Empty when it does not exist.
std::string documentsFolder();

// Where "Klemora.ini" lives: an explicit path (command line) first, then
// $KLEMORA_INI, then beside the program (portable use) when the program files
// lie beside the executable and that folder already holds the file or is
// writable, else $XDG_CONFIG_HOME/klemora/Klemora.ini (so an installed
// program never writes into its prefix).
std::string settingsFilePath(const std::string& explicitPath = {});
std::string settingsFilePathFor(const ProgramLayout& layout, const std::string& explicitPath = {});

}  // namespace klemora::app
