#include "app/language_setup.h"

#include <cstdio>

#include "app/file_version.h"
#include "app/string_table.h"
#include "app/text_format.h"

namespace klemora::app {
namespace {

std::string withCode(const char* format, const std::string& code) {
    char text[512];
    std::snprintf(text, sizeof text, format, code.c_str());
    return text;
}

LanguageOutcome failLanguage(const SettingsStore& store, UserInterface& ui, const std::string& first,
                             const char* second) {
    ui.showMessage(first, Icon::Stop);
    ui.showMessage(second, Icon::Stop);
    store.writeText("Lang", "");
    return LanguageOutcome::EndProgram;
}

LanguageOutcome loadEnglish(const SettingsStore& store, UserInterface& ui, const std::string& programFolder,
                            const std::string& code) {
    const std::string path = programFolder + "/" + kLanguageFileName;
    std::string version;
    if (ReadFileVersion(path, version) != 1)
        return failLanguage(store, ui,
                            withCode("Can't get the VersionInfo for the language DLL '%s'! Perhaps the language DLL "
                                     "file does not exist?",
                                     code),
                            "Please restart Klemora and use another language.");
    if (version != kLanguageFileVersion)
        return failLanguage(store, ui, withCode("The language DLL for '%s' has not the correct version!", code),
                            "Please restart Klemora and use another language or install the correct DLL version.");
    if (!loadLanguageFile(path))
        return failLanguage(store, ui, withCode("Error while loading the language DLL for '%s'!", code),
                            "Please restart Klemora and use another language.");
    return LanguageOutcome::English;
}

}  // namespace

LanguageOutcome setupLanguage(const SettingsStore& store, UserInterface& ui, const std::string& programFolder) {
    std::string code = asciiUpper(store.readText("Lang", ""));
    if (code.empty()) return LanguageOutcome::FirstStart;
    if (code == "DE") {
        useGermanStrings();
        return LanguageOutcome::German;
    }
    if (code == "FR" || code == "HU" || code == "NL") {
        ui.showMessage("Klemora does not support your selected language in this version. Sorry.\nThe selected "
                       "language will be changed to 'English' for now.",
                       Icon::Stop);
        store.writeText("Lang", "US");
        code = "US";
    }
    if (code == "US") return loadEnglish(store, ui, programFolder, code);
    return failLanguage(store, ui, withCode("Error while loading the language DLL for '%s'!", code),
                        "Please restart Klemora and use another language.");
}

}  // namespace klemora::app
