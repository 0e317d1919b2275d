// "selfcheck": what this installation has: settings file, program folder,
// language file, templates, help pages, media libraries and the DV decoder.
#include <filesystem>
#include <iostream>

#include "app/file_io.h"
#include "app/file_version.h"
#include "app/paths.h"
#include "app/settings_store.h"
#include "app/string_table.h"
#include "cli/command_registry.h"
#include "media/framework_version.h"

namespace klemora::cli {
namespace {

// Regular files in `folder` whose names end in `suffix`; 0 when there is no such folder.
int countFiles(const std::string& folder, const std::string& suffix) {
    std::error_code ec;
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file(ec) && name.size() > suffix.size() && name.ends_with(suffix)) ++count;
    }
    return count;
}

// The help pages are reported, not required: the program runs without them.
void reportFolders(const std::string& programFolder) {
    std::cout << "program folder: " << programFolder << '\n';
    const std::string templates = programFolder + "/Templates";
    std::cout << "templates:      " << templates << " (" << countFiles(templates, ".tpl") << " *.tpl)\n";
    const std::string help = programFolder + "/HtmlDoku";
    const bool index = app::fileExists(help + "/index.htm");
    std::cout << "help pages:     " << help << " (" << countFiles(help, ".htm") << " pages, index.htm "
              << (index ? "present" : "missing") << ")\n";
}

int selfCheck(TerminalUserInterface& ui) {
    std::cout << "settings file:  " << app::settings().path() << '\n';
    std::cout << "documents:      " << (app::documentsFolder().empty() ? "(none)" : app::documentsFolder()) << '\n';
    std::cout << "strings (DE):   " << app::germanStrings().size() << '\n';

    reportFolders(app::programFolder());
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
