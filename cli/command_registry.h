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

struct RegisterCommand {
    RegisterCommand(std::string name, std::string description, CommandSetup setup) {
        commandRegistry().push_back({std::move(name), std::move(description), std::move(setup)});
    }
};

}  // namespace klemora::cli
