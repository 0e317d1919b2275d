#pragma once
// Sub-commands register themselves from their own files, so adding one
// touches nothing else.
#include <CLI/CLI.hpp>

#include <functional>
#include <string>
#include <vector>

#include "cli/terminal_ui.h"

namespace klemora::cli {

struct GlobalOptions {
    bool batch = false;
    std::string iniPath;
    std::string lang;
};

// Runs after parsing, with the terminal seam; its value is the exit code.
using CommandAction = std::function<int(TerminalUserInterface& ui)>;

// A command's setup adds its options to the sub-app and stores the action.
using CommandSetup = std::function<void(CLI::App& sub, CommandAction& action)>;

struct CommandEntry {
    std::string name;
    std::string description;
    CommandSetup setup;
};

std::vector<CommandEntry>& commandRegistry();

// A run that showed an error message has failed, whatever the command's own
// result: its exit code is never 0 then.
inline CommandAction failingOnErrorMessages(CommandAction action) {
    return [action = std::move(action)](TerminalUserInterface& ui) {
        int rc = action(ui);
        return rc == 0 && ui.errorsShown() > 0 ? 1 : rc;
    };
}

struct RegisterCommand {
    RegisterCommand(std::string name, std::string description, CommandSetup setup) {
        auto checked = [setup = std::move(setup)](CLI::App& sub, CommandAction& action) {
            setup(sub, action);
            if (action) action = failingOnErrorMessages(std::move(action));
        };
        commandRegistry().push_back({std::move(name), std::move(description), std::move(checked)});
    }
};

}  // namespace klemora::cli
