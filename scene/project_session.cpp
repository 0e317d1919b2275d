#include "scene/project_session.h"

#include <unistd.h>

#include <filesystem>

#include "app/file_io.h"
#include "app/string_table.h"
#include "app/text_format.h"
#include "scene/avisynth_export.h"
#include "scene/csv_export.h"
#include "scene/csv_import.h"
#include "scene/edl_export.h"
#include "scene/edl_import.h"
#include "scene/exchange_import.h"
#include "scene/group_file.h"
#include "scene/project_file.h"

namespace klemora::scene {
namespace {

void showFileMessage(app::UserInterface& ui, int id, const std::string& path) {
    ui.showMessage(app::stringPrintf("%s\nFile: %s", app::loadString(id).c_str(), path.c_str()), app::Icon::Stop);
}

void showFileCodeMessage(app::UserInterface& ui, int id, const std::string& path, int code) {
    ui.showMessage(app::stringPrintf("%s\nFile: %s\nCode: %d", app::loadString(id).c_str(), path.c_str(), code),
                   app::Icon::Stop);
}

// "ScnPath" outlives the working folder the program was started in, so it
// is kept absolute.
std::string folderWithSlash(const std::string& path) {
    std::error_code error;
    std::filesystem::path full = std::filesystem::absolute(path, error);
    std::string absolute = error ? path : full.lexically_normal().string();
    std::string folder = app::directoryOf(absolute);
    return folder.empty() || folder.back() == '/' ? folder : folder + "/";
}

// The check a refused scene failed, before the load's own failure message.
void showRefusal(app::UserInterface& ui, const LoadReport& report) {
    if (report.refusal.empty()) return;
    ui.showMessage(app::stringPrintf("%s\nGroup: %s\nScene: %d", report.refusal.c_str(),
                                     report.refused.group.c_str(), report.refused.scene),
                   app::Icon::Stop);
}

// Scenes whose stored date named no moment were loaded without one.
void warnUndated(app::UserInterface& ui, const LoadReport& report) {
    if (report.undatedCount == 0) return;
    ui.showMessage(app::stringPrintf("%s\nGroup: %s\nScene: %d\nCount: %d", app::loadString(861).c_str(),
                                     report.firstUndated.group.c_str(), report.firstUndated.scene,
                                     report.undatedCount),
                   app::Icon::Warning);
}

// A group file read for start-up: 1 or its code, after the report's messages.
int readReportedGroupFile(const std::string& path, GroupTree& tree, app::UserInterface& ui) {
    LoadReport report;
    int rc = readGroupFile(path, tree, &report);
    showRefusal(ui, report);
    if (rc == 1) warnUndated(ui, report);
    return rc;
}

// Every group's list: find moved sources, then refill the facts files do
// not store. A cancelled check leaves the load standing.
void checkAndProbe(ProjectSession& session, app::UserInterface& ui) {
    for (Group* group : session.tree.depthFirst())
        if (checkSources(group->list(), session.search, ui) == SourceCheckResult::Cancelled) break;
    for (Group* group : session.tree.depthFirst())
        if (!probeSources(group->list(), session.probe, ui)) break;
}

// Filter 1: a group file becomes the project; a flat file is read into the root.
int loadProjectFile(ProjectSession& session, const std::string& path, LoadReport& report) {
    std::string head;
    if (!readSignatureBytes(path, head)) {
        // Shorter than a signature: no known project file.
        return app::fileExists(path) ? 0 : -1;
    }
    if (head.find("Klemora File v3.") != std::string::npos) {
        int rc = readGroupFile(path, session.tree, &report);
        if (rc == 1) session.projectPath = withScnExtension(path);
        return rc == -2 ? 0 : rc;
    }
    ProjectVersion version;
    if (!versionOfSignature(head, version)) return 0;
    return readFlatFile(path, session.tree.root().list(), &report);
}

// Filters 2 and 3 import into the root group; the project path stays.
int importExchangeFile(ProjectSession& session, const std::string& path, LoadFilter filter, app::UserInterface& ui) {
    SceneList& root = session.tree.root().list();
    if (filter == LoadFilter::Csv) return importCsv(root, path, session.probe, session.search, ui);
    return importVegasEdl(root, path, session.probe, session.search, ui);
}

// Filters 2 to 7 export the shown list.
int exportExchangeFile(SceneList& shown, const std::string& path, SaveFilter filter, SourceProbe& probe,
                       app::UserInterface& ui) {
    switch (filter) {
    case SaveFilter::Csv: return exportCsv(shown, path);
    case SaveFilter::Edl4: return exportVegasEdl(shown, path, EdlVariant::Vegas4, probe, ui);
    case SaveFilter::Edl56: return exportVegasEdl(shown, path, EdlVariant::Vegas56, probe, ui);
    case SaveFilter::AvsAviSource: return exportAviSynth(shown, path, AviSynthFilter::AviSource, ui);
    case SaveFilter::AvsAviFileSource: return exportAviSynth(shown, path, AviSynthFilter::AviFileSource, ui);
    case SaveFilter::AvsDirectShowSource: return exportAviSynth(shown, path, AviSynthFilter::DirectShowSource, ui);
    case SaveFilter::Project: break;
    }
    return -1;
}

}  // namespace

std::string withScnExtension(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + ".scn";
    return path.substr(0, dot) + ".scn";
}

int loadProject(ProjectSession& session, const std::string& path, LoadFilter filter, app::UserInterface& ui,
                const std::function<bool()>& saveFirst) {
    if (session.unsavedChanges) {
        app::Answer answer = ui.ask(app::loadString(177), app::Buttons::YesNoCancel, app::Icon::Question);
        if (answer == app::Answer::Cancel) return 0;
        if (answer == app::Answer::Yes && saveFirst && !saveFirst()) return 0;
    }
    session.tree.clear();
    session.unsavedChanges = false;
    if (!app::fileExists(path)) {
        showFileMessage(ui, 107, path);
        return -1;
    }
    int rc = 0;
    LoadReport report;
    switch (filter) {
    case LoadFilter::Project: rc = loadProjectFile(session, path, report); break;
    case LoadFilter::Csv:
    case LoadFilter::Edl: rc = importExchangeFile(session, path, filter, ui); break;
    }
    showRefusal(ui, report);
    if (rc != 1) {
        bool cannotOpen = filter == LoadFilter::Project ? rc == -1 : rc == static_cast<int>(ImportResult::CannotOpen);
        if (cannotOpen) showFileMessage(ui, 107, path);
        else showFileCodeMessage(ui, 107, path, rc);
        return rc;
    }
    warnUndated(ui, report);
    if (filter == LoadFilter::Project) checkAndProbe(session, ui);
    session.settings.writeText("ScnPath", folderWithSlash(path));
    return 1;
}

int saveProject(ProjectSession& session, app::UserInterface& ui) {
    if (session.projectPath.empty()) return kNeedsSaveAs;
    int rc = writeGroupFile(session.projectPath, session.tree);
    if (rc == -1) {
        showFileMessage(ui, 107, session.projectPath);
        return rc;
    }
    if (rc != 1) {
        showFileCodeMessage(ui, 176, session.projectPath, rc);
        return rc;
    }
    if (session.projectPath.find("autobackup.scn") == std::string::npos) session.unsavedChanges = false;
    return 1;
}

int saveProjectAs(ProjectSession& session, const std::string& path, SaveFilter filter, SceneList& shown,
                  app::UserInterface& ui) {
    if (app::fileExists(path)) {
        std::string question = app::stringPrintf("%s\nFile: %s", app::loadString(139).c_str(), path.c_str());
        if (ui.ask(question, app::Buttons::YesNo, app::Icon::Question) != app::Answer::Yes) {
            ui.showMessage(app::loadString(175), app::Icon::Information);
            return 0;
        }
    }
    int rc = 1;
    if (filter == SaveFilter::Project) {
        rc = writeGroupFile(path, session.tree);
        if (rc == -1) {
            showFileMessage(ui, 107, path);
            return rc;
        }
        if (rc == 1) {
            session.unsavedChanges = false;
            session.projectPath = withScnExtension(path);
        }
    } else {
        rc = exportExchangeFile(shown, path, filter, session.probe, ui);
    }
    if (rc != 1) {
        showFileCodeMessage(ui, 176, path, rc);
        return rc;
    }
    session.settings.writeText("ScnPath", folderWithSlash(path));
    return 1;
}

std::string autobackupPath(const app::SettingsStore& settings) {
    std::string folder = app::directoryOf(settings.path());
    return (folder.empty() ? std::string(".") : folder) + "/autobackup.scn";
}

int autobackupIntervalMs(const app::SettingsStore& settings) {
    if (settings.readInt("EnableBackup", 1) != 1) return 0;
    return settings.readInt("BackupIntervall", 1) * 60000;
}

int autobackupSave(ProjectSession& session, app::UserInterface& ui) {
    std::string kept = session.projectPath;
    bool unsaved = session.unsavedChanges;
    session.projectPath = autobackupPath(session.settings);
    int rc = saveProject(session, ui);
    session.projectPath = kept;
    session.unsavedChanges = unsaved;
    return rc;
}

void openAtStartup(ProjectSession& session, const std::string& commandLineProject, app::UserInterface& ui) {
    const std::string backup = autobackupPath(session.settings);
    if (app::fileExists(backup) && !commandLineProject.empty()) {
        if (ui.ask(app::loadString(428), app::Buttons::YesNo, app::Icon::Question) == app::Answer::Yes)
            ::unlink(backup.c_str());
    }
    ProjectVersion version;
    if (app::fileExists(backup) && readProjectVersion(backup, version) && version == ProjectVersion::V31) {
        int rc = readReportedGroupFile(backup, session.tree, ui);
        if (rc != 1) {
            showFileCodeMessage(ui, 107, backup, rc);
        } else {
            checkAndProbe(session, ui);
            session.unsavedChanges = true;
            ui.showMessage(app::loadString(127), app::Icon::Information);
        }
    }
    if (commandLineProject.empty()) return;
    if (!app::fileExists(commandLineProject)) {
        showFileMessage(ui, 107, commandLineProject);
        return;
    }
    if (!readProjectVersion(commandLineProject, version) || version != ProjectVersion::V31) {
        ui.showMessage(app::loadString(429), app::Icon::Stop);
        return;
    }
    int rc = readReportedGroupFile(commandLineProject, session.tree, ui);
    if (rc != 1) {
        showFileCodeMessage(ui, 107, commandLineProject, rc);
        return;
    }
    session.projectPath = withScnExtension(commandLineProject);
    checkAndProbe(session, ui);
}

}  // namespace klemora::scene
