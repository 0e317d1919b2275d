// "write": every scene of a project (.scn, CSV scene list or Vegas EDL)
// written as its own AVI file, one folder per group, or one joined file per
// group; the frames are the source frames, unchanged.
#include <cctype>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "app/settings_store.h"
#include "cli/command_registry.h"
#include "cli/run_context.h"
#include "media/source_probe.h"
#include "output/write_run.h"
#include "scene/group_tree.h"
#include "scene/project_session.h"

namespace klemora::cli {
namespace {

struct WriteOptions {
    std::string project;
    std::string destination;
    std::string nameTemplate;
    bool oneFile = false;
    bool setDates = false;
    bool okOnly = false;
    std::string overwrite = "ask";
    bool deleteSources = false;
};

scene::LoadFilter filterFor(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".csv") return scene::LoadFilter::Csv;
    if (ext == ".txt" || ext == ".edl") return scene::LoadFilter::Edl;
    return scene::LoadFilter::Project;
}

output::OverwriteMode overwriteMode(const std::string& text) {
    if (text == "skip") return output::OverwriteMode::Skip;
    if (text == "replace") return output::OverwriteMode::Replace;
    return output::OverwriteMode::Ask;
}

int writeProject(const WriteOptions& options, TerminalUserInterface& ui) {
    scene::GroupTree tree;
    media::MediaSourceProbe probe = sourceProbe(ui);
    scene::ProjectSession session(tree, app::settings(), probe);
    if (int rc = scene::loadProject(session, options.project, filterFor(options.project), ui); rc != 1) {
        std::cerr << "klemora-cli write: " << options.project << " not loaded (code " << rc << ")\n";
        return 1;
    }
    std::error_code ec;
    std::filesystem::create_directories(options.destination, ec);
    if (ec) {
        std::cerr << "klemora-cli write: cannot create " << options.destination << ": " << ec.message() << '\n';
        return 1;
    }

    output::WriteRunRequest request(tree, ui);
    request.settings = output::readWriteRunSettings(app::settings());
    request.settings.destinationPath = options.destination;
    if (!options.nameTemplate.empty()) request.settings.formatString = options.nameTemplate;
    request.settings.setDatestamp = options.setDates;
    request.settings.okOnly = options.okOnly;
    request.settings.deleteSourceFiles = options.deleteSources;
    request.settings.shutdown = false;
    request.settings.signal = false;
    request.overwriteMode = overwriteMode(options.overwrite);
    request.keepStoppedPart = false;  // stopped only by a signal: no part of a scene stays
    request.writerOptions.log = commandLog();
    output::WriteRunOutcome outcome = options.oneFile ? output::WriteScenes1File(request) : output::OnBtWritestart(request);

    for (const std::string& file : outcome.writtenFiles) std::cout << file << '\n';
    for (const std::string& file : outcome.deletedSources) std::cout << "deleted " << file << '\n';
    std::cerr << "klemora-cli write: " << outcome.writtenFiles.size() << " file(s) written";
    if (outcome.scenesFailed > 0) std::cerr << ", " << outcome.scenesFailed << " scene(s) failed";
    if (outcome.keptExisting > 0) std::cerr << ", " << outcome.keptExisting << " scene(s) not written (existing file kept)";
    if (outcome.cancelled) std::cerr << ", stopped";
    if (outcome.result != 1) std::cerr << ", ended early (" << output::writeRunResultName(outcome.result) << ")";
    std::cerr << '\n';
    bool asked = request.overwriteMode == output::OverwriteMode::Ask;
    if (asked && outcome.writtenFiles.empty() && outcome.keptExisting > 0)
        std::cerr << "klemora-cli write: nothing written: every destination exists and the answer was to keep it\n";
    return output::writeRunSucceeded(outcome, asked) ? 0 : 1;
}

RegisterCommand registration(
    "write", "Write the scenes of a project (.scn, .csv or EDL) as AVI files without re-encoding",
    [](CLI::App& sub, CommandAction& action) {
        auto options = std::make_shared<WriteOptions>();
        sub.add_option("PROJECT", options->project, "Project file: .scn, CSV scene list (.csv) or Vegas EDL (.txt)")
            ->required();
        sub.add_option("--dest", options->destination, "Destination folder (a folder per group is made below it)")
            ->required();
        sub.add_option("--template", options->nameTemplate,
                       "File-name template (%Q source, %N/%M number, %S/%O frames, %L, %T, %D, %C, %G); "
                       "default: FormatString of the settings, %N3_%Q");
        sub.add_flag("--one-file", options->oneFile, "One joined file per group, named after the group");
        sub.add_flag("--set-dates", options->setDates, "Give each file the scene's recording date as its file time");
        sub.add_flag("--ok-only", options->okOnly, "Write only scenes whose status is OK");
        sub.add_option("--overwrite", options->overwrite,
                       "Existing files: ask (the default; --batch answers replace), skip or replace")
            ->check(CLI::IsMember({"ask", "skip", "replace"}));
        sub.add_flag("--delete-sources", options->deleteSources,
                     "Delete the source files after a run without any failure (asks first)");
        sub.footer("Prints each written file. Exit code 0 when every scene was written, 1 otherwise, 2 or more for wrong "
                   "arguments.");
        action = [options](TerminalUserInterface& ui) { return writeProject(*options, ui); };
    });

}  // namespace
}  // namespace klemora::cli
