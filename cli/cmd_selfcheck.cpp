// "selfcheck": what this installation has: settings file, language file,
// media libraries and the DV decoder.
#include <iostream>

#include "app/file_version.h"
#include "app/paths.h"
#include "app/settings_store.h"
#include "app/string_table.h"
#include "cli/command_registry.h"
#include "media/framework_version.h"

namespace klemora::cli {
namespace {

int selfCheck(TerminalUserInterface& ui) {
    std::cout << "settings file:  " << app::settings().path() << '\n';
    std::cout << "documents:      " << (app::documentsFolder().empty() ? "(none)" : app::documentsFolder()) << '\n';
    std::cout << "strings (DE):   " << app::germanStrings().size() << '\n';

    std::string languagePath = app::programFolder() + "/" + app::kLanguageFileName;
    std::string version;
    int rc = app::ReadFileVersion(languagePath, version);
    bool languageOk = rc == 1 && version == app::kLanguageFileVersion;
    std::cout << "language file:  " << languagePath << " (" << (rc == 1 ? version : "missing") << ")\n";

    media::FrameworkReport report = media::GetMediaFrameworkVersion();
    std::cout << "media libraries: " << report.libraries << '\n';
    std::cout << "DV decoder:     " << (report.dvDecoder ? "yes" : "no") << '\n';
    bool frameworkOk = app::checkMediaFramework(report.version, app::SettingsStore(), ui);
    bool ok = languageOk && frameworkOk && report.dvDecoder;
    std::cout << "self-check:     " << (ok ? "OK" : "FAILED") << '\n';
    return ok ? 0 : 1;
}

RegisterCommand registration("selfcheck", "Check the installation (language file, FFmpeg, DV decoder)",
                             [](CLI::App&, CommandAction& action) { action = selfCheck; });

}  // namespace
}  // namespace klemora::cli
