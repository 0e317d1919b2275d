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
};
std::string_view writeRunResultName(int code);

// The folder of a group: the destination folder for the root, and below it
// one folder per group from the root's child down to the group itself
// ("2006/Urlaub/" for Urlaub inside 2006).
std::string groupDirectory(const std::string& destination, const scene::Group& group);

// The per-scene run. Source files are deleted ("DeleteSrcFiles", after 441)
// only when every group was written without a failed scene and without Stop.
WriteRunOutcome OnBtWritestart(WriteRunRequest& request);
// The one-file run: destination folder + group name + ".avi" per group, then
// ShutdownPc with "WriteShutdown" (not after Stop).
WriteRunOutcome WriteScenes1File(WriteRunRequest& request);

}  // namespace klemora::output
