// klemora-cli: the scene cutter's functions from the command line.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>
#include <map>

#include "app/debug_log.h"
#include "app/file_version.h"
#include "app/paths.h"
#include "app/settings_store.h"
#include "app/string_table.h"
#include "app/text_format.h"
#include "cli/command_registry.h"
#include "cli/interrupt.h"
#include "cli/option_checks.h"
#include "cli/run_context.h"
#include "cli/terminal_ui.h"
#include "output/write_messages.h"

namespace klemora::cli {

std::vector<CommandEntry>& commandRegistry() {
    static std::vector<CommandEntry> entries;
    return entries;
}

namespace {

// The command line speaks English unless the settings or --lang say "DE";
// without the language file it falls back to the built-in German texts.
void setUpLanguage(const GlobalOptions& options) {
    std::string code = app::asciiUpper(options.lang.empty() ? app::settings().readText("Lang", "US") : options.lang);
    if (code == "DE" || !app::loadLanguageFile(app::programFolder() + "/" + app::kLanguageFileName))
        app::useGermanStrings();
}

}  // namespace

int run(int argc, char** argv) {
    CLI::App cli{"Klemora: cuts DV camcorder recordings into scenes without re-encoding."};
    cli.name("klemora-cli");
    cli.set_version_flag("--version", std::string("klemora-cli ") + app::kLanguageFileVersion);
    cli.require_subcommand(0, 1);
    // Global options on either side of the command name: what a command does
    // not know falls through to here.
    cli.fallthrough();
    GlobalOptions options;
    cli.add_flag("--batch", options.batch,
                 "Never ask: every question takes its default (Yes / OK), messages go to stderr");
    cli.add_option("--ini", options.iniPath, "Settings file to use (default: $KLEMORA_INI, then Klemora.ini)");
    cli.add_option("--lang", options.lang, "Language of messages: DE or US")->check(languageCode());

    std::vector<CommandEntry> entries = commandRegistry();
    std::sort(entries.begin(), entries.end(), [](auto& a, auto& b) { return a.name < b.name; });
    std::map<CLI::App*, CommandAction> actions;
    for (auto& entry : entries) {
        CLI::App* sub = cli.add_subcommand(entry.name, entry.description);
        entry.setup(*sub, actions[sub]);
    }
    try {
        cli.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return cli.exit(e);
    }

    app::settings().setPath(app::settingsFilePath(options.iniPath));
    app::DebugLog log(app::settings().readInt("WriteLogfile", 0));
    app::setProcessDebugLog(log);
    setCommandLog(log);
    setUpLanguage(options);

    TerminalUserInterface ui(options.batch);
    // A settings file that is not one (a video given to --ini) is never
    // written; rather than run a command whose settings would be lost, stop.
    if (!app::settings().isUsable()) {
        output::showFileMessage(ui, app::loadString(820), app::settings().path(), app::Icon::Stop);
        return 2;
    }
    for (auto& [sub, action] : actions) {
        if (!sub->parsed() || !action) continue;
        InterruptGuard interrupts;
        const int rc = action(ui);
        if (InterruptGuard::signalReceived() == 0) return rc;
        std::cerr << app::stringPrintf("%s %d", app::loadString(890).c_str(), InterruptGuard::signalReceived())
                  << '\n';
        return InterruptGuard::exitStatus();
    }
    std::cout << cli.help();
    return 0;
}

}  // namespace klemora::cli

int main(int argc, char** argv) { return klemora::cli::run(argc, argv); }
