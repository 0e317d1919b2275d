#pragma once
// The two runs of the write dialog over the group tree, as functions: one
// AVI file per scene (OnBtWritestart) with a folder per group, or one joined
// file per group (WriteScenes1File). The dialog, or the command line, fills
// the request; the settings keys are in write_run_settings.h.
#include <string>
#include <vector>

#include "app/shutdown.h"
#include "app/ui.h"
#include "output/write_context.h"
#include "output/write_run_settings.h"
#include "scene/group_tree.h"

namespace klemora::output {

struct WriteRunRequest {
    WriteRunRequest(scene::GroupTree& groups, app::UserInterface& userInterface) : tree(groups), ui(userInterface) {}

    scene::GroupTree& tree;
    app::UserInterface& ui;
    WriteRunSettings settings;
    // The first answer to an existing destination (the per-scene run asks by default).
    OverwriteMode overwriteMode = OverwriteMode::Ask;
    avi::AviWriterOptions writerOptions;
    bool keepStoppedPart = true;  // see WriteContext
    // The one-file run with "WriteShutdown": the main list whose modified
    // flag is cleared before the shutdown, and the power switch.
    scene::SceneList* mainList = nullptr;
    app::PowerControl* power = nullptr;
};

struct WriteRunOutcome {
    int result = 1;           // 1, or the code that ended the run early (below)
    bool errors = false;      // a group's write reported a failure
    bool cancelled = false;
    bool completed = false;   // every group was visited
    int scenesFailed = 0;
    int keptExisting = 0;     // scenes not written because their existing destination was kept
    std::vector<std::string> writtenFiles;
    std::vector<std::string> deletedSources;
    bool shutdownRequested = false;
};

// Ways a run ends before its last group (WriteRunOutcome::result).
enum class WriteRunResult : int {
    Ok = 1,
    InvalidTemplate = -1,     // the template makes names with characters not allowed (409 shown)
    DirectoryFailed = -2,     // a group's folder cannot be created
    AviSynthSource = -3,      // a source is an AviSynth script (344)
    StoppedByUser = -4,       // No to "go on?" after a failed group
    NoDestination = -5,       // the one-file run needs a destination folder (446)
    NamesCollide = -6,        // two scenes or groups would get the same file (801); nothing written
};
std::string_view writeRunResultName(int code);

// The folder of a group: the destination folder for the root, and below it
// one folder per group from the root's child down to the group itself
// ("2006/Urlaub/" for Urlaub inside 2006).
std::string groupDirectory(const std::string& destination, const scene::Group& group);

// The template of the per-scene run: "FormatString", or the default when empty.
std::string runNameTemplate(const WriteRunSettings& settings);

struct PlannedSceneFile {
    const scene::Group* group = nullptr;
    int scene = 0;
    std::string path;  // empty: not written (not OK with okOnly, no source) or no name
};
// The file the per-scene run gives every scene of the tree, group by group
// in run order, below `destination` ("" gives paths relative to it). The
// template is stored in every group's list, as the run does.
std::vector<PlannedSceneFile> planSceneFiles(scene::GroupTree& tree, const std::string& nameTemplate,
                                             const std::string& destination, bool okOnly);

// The per-scene run. Before anything is written, every destination is
// planned: two scenes with the same file end the run (NamesCollide), and a
// destination that is any source of the run fails its scene. Source files
// are deleted ("DeleteSrcFiles", after 441) only when every group was
// written without a failed scene and without Stop, and then only those
// whose every scene of the tree was written complete in this run.
WriteRunOutcome OnBtWritestart(WriteRunRequest& request);
// The one-file run: destination folder + group name + ".avi" per group, then
// ShutdownPc with "WriteShutdown" (not after Stop). Two groups with the same
// file end the run before anything is written (NamesCollide).
WriteRunOutcome WriteScenes1File(WriteRunRequest& request);

// Whether a run did what was asked: no early end, every group and scene
// written; with `keptExistingAsked` (the user was asked about existing
// files) a run that kept every existing file and wrote none is a failure.
bool writeRunSucceeded(const WriteRunOutcome& outcome, bool keptExistingAsked);

}  // namespace klemora::output
