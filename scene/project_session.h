#pragma once
// The main window's project commands as functions: load, save, save as, the
// autobackup tick and the recovery at start-up. The GUI supplies the file
// dialogs and the timer; these functions do the rest, with their messages.
#include <functional>
#include <string>

#include "app/settings_store.h"
#include "app/ui.h"
#include "scene/group_tree.h"
#include "scene/source_check.h"

namespace klemora::scene {

// The filters of the load dialog and of the save-as dialog, 1-based as listed.
enum class LoadFilter { Project = 1, Csv = 2, Edl = 3 };
enum class SaveFilter {
    Project = 1, Csv, Edl4, Edl56, AvsAviSource, AvsAviFileSource, AvsDirectShowSource
};

inline constexpr const char* kLoadFilterText =
    "Klemora scenes (*.scn) | *.scn|CSV file (*.csv) | *.csv|Sony Vegas 4/5/6 EDL file (*.txt) | *.txt|";
inline constexpr const char* kSaveFilterText =
    "Klemora scenes (*.scn) | *.scn|CSV file (*.csv) | *.csv|Sony Vegas 4 EDL file (*.txt) | *.txt|Sony Vegas 5/6 "
    "EDL file (*.txt) | *.txt|AviSynth Script (AviSource) (*.avs) | *.avs|AviSynth Script (AviFileSource) (*.avs) | "
    "*.avs|AviSynth Script (DirectShowSource) (*.avs) | *.avs|";

struct ProjectSession {
    ProjectSession(GroupTree& t, const app::SettingsStore& s, SourceProbe& p) : tree(t), settings(s), probe(p) {}

    GroupTree& tree;
    const app::SettingsStore& settings;
    SourceProbe& probe;
    std::string projectPath;     // empty: Save asks for a name
    bool unsavedChanges = false;
    SourceSearch search;         // the alternative folder lives for the run
};

// "Projekt laden...". `saveFirst` runs the save-as step when the user wants
// unsaved changes kept first (Yes to 177); it returns false when that was
// cancelled. 1 on success, 0 when the user stopped, or the reader's code.
int loadProject(ProjectSession& session, const std::string& path, LoadFilter filter, app::UserInterface& ui,
                const std::function<bool()>& saveFirst = {});

// "Projekt speichern": -10 when there is no project path (the caller runs
// save as), else 1 or the writer's code after its message.
inline constexpr int kNeedsSaveAs = -10;
int saveProject(ProjectSession& session, app::UserInterface& ui);

// "Projekt speichern als...": `shown` is the list the exchange formats export.
int saveProjectAs(ProjectSession& session, const std::string& path, SaveFilter filter, SceneList& shown,
                  app::UserInterface& ui);

// One tick of the autobackup timer: saves to "autobackup.scn" beside the
// settings file whether or not anything changed; the project path and the
// unsaved-changes flag stay as they were.
std::string autobackupPath(const app::SettingsStore& settings);
int autobackupSave(ProjectSession& session, app::UserInterface& ui);
int autobackupIntervalMs(const app::SettingsStore& settings);  // 0 when disabled

// Start-up: recovers an autobackup (428 when a project was also given, 127
// after loading it), then opens the project of the command line (107, 429).
void openAtStartup(ProjectSession& session, const std::string& commandLineProject, app::UserInterface& ui);

// The path with its extension replaced by "scn".
std::string withScnExtension(const std::string& path);

}  // namespace klemora::scene
