#include "output/write_run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "app/debug_log.h"
#include "app/file_io.h"
#include "app/string_table.h"
#include "app/text_format.h"
#include "output/joined_writer.h"
#include "output/name_check.h"
#include "output/write_messages.h"
#include "output/write_scenes.h"

namespace klemora::output {
namespace {

int code(WriteRunResult result) { return static_cast<int>(result); }

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower;
}

std::string trimmed(std::string_view text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    size_t last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

// The source files of the run, each once (compared without case, trimmed).
class DeleteCandidates {
public:
    void add(std::string_view path) {
        std::string entry = trimmed(path);
        if (entry.empty()) return;
        std::string key = lowerCase(entry);
        if (std::find(m_keys.begin(), m_keys.end(), key) != m_keys.end()) return;
        m_keys.push_back(std::move(key));
        m_paths.push_back(std::move(entry));
    }
    const std::vector<std::string>& paths() const { return m_paths; }

private:
    std::vector<std::string> m_keys;
    std::vector<std::string> m_paths;
};

// Creates the folder and its missing parents; 0 or the errno value.
int createDirectories(const std::string& directory) {
    std::string path;
    size_t at = 0;
    while (at != std::string::npos) {
        size_t slash = directory.find('/', at + 1);
        path = directory.substr(0, slash);
        at = slash;
        if (path.empty() || app::isDirectory(path)) continue;
        if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST) return errno;
    }
    return app::isDirectory(directory) ? 0 : ENOTDIR;
}

bool ensureDirectory(const std::string& directory, app::UserInterface& ui) {
    if (directory.empty() || app::isDirectory(directory)) return true;
    int error = createDirectories(directory);
    if (error == 0) return true;
    ui.showMessage(app::stringPrintf("%s OnBtWritestart(): CreateDirectory()!\nCode: %d\nText: %s\nDirectory: %s",
                                     app::loadString(113).c_str(), error, std::strerror(error), directory.c_str()),
                   app::Icon::Stop);
    return false;
}

// A group holding an AviSynth script as a source ends the run (344).
bool hasAviSynthSource(const scene::SceneList& list, app::UserInterface& ui, DeleteCandidates* candidates) {
    for (int i = 0; i < list.count(); ++i) {
        if (candidates) candidates->add(list.sourceFile(i));
        if (lowerCase(list.sourceFile(i)).find(".avs") == std::string::npos) continue;
        ui.ask(app::stringPrintf("%s\nFile: %s", app::loadString(344).c_str(), std::string(list.sourceFile(i)).c_str()),
               app::Buttons::OkCancel, app::Icon::Stop);
        return true;
    }
    return false;
}

void signal(const WriteRunRequest& request) {
    if (request.settings.signal) request.ui.beep();
}

// "Fehler in WriteScenes()! Mit der restlichen Bearbeitung fortfahren?"
bool goOnAfterFailure(const WriteRunRequest& request, const char* operation) {
    signal(request);
    std::string question = app::loadString(113) + " " + operation + "()! " + app::loadString(114);
    return request.ui.ask(question, app::Buttons::YesNo, app::Icon::Question) == app::Answer::Yes;
}

// After a group was written: a failure asks whether to go on, and the stop
// button ends the run. False when the run ends here.
bool goOnAfterGroup(const WriteRunRequest& request, const WriteContext& context, int written, const char* operation,
                    WriteRunOutcome& outcome) {
    if (written != 1) {
        outcome.errors = true;
        if (!goOnAfterFailure(request, operation)) {
            outcome.result = code(WriteRunResult::StoppedByUser);
            return false;
        }
    }
    if (context.cancelled()) {
        outcome.cancelled = true;
        return false;
    }
    return true;
}

WriteContext makeContext(const WriteRunRequest& request) {
    WriteContext context(request.ui);
    context.overwriteMode = request.overwriteMode;
    context.writerOptions = request.writerOptions;
    context.setFileDates = request.settings.setDatestamp;
    context.okStatusOnly = request.settings.okOnly;
    context.clearCancel();
    return context;
}

// The template of the per-scene run: 405 and the default when empty; the
// preview check (409) when it holds a character not allowed.
bool runTemplate(const WriteRunRequest& request, std::string& nameTemplate) {
    nameTemplate = request.settings.formatString;
    if (nameTemplate.empty()) {
        request.ui.showMessage(app::loadString(405), app::Icon::Information);
        nameTemplate = std::string(scene::kDefaultNameTemplate);
    }
    scene::SceneList probe;
    return previewTemplate(probe, nameTemplate, request.ui).valid;
}

void deleteSources(const DeleteCandidates& candidates, WriteRunOutcome& outcome, app::UserInterface& ui) {
    if (candidates.paths().empty()) return;
    if (ui.ask(app::loadString(441), app::Buttons::OkCancel, app::Icon::Question) != app::Answer::Ok) return;
    for (const std::string& path : candidates.paths()) {
        if (::unlink(path.c_str()) == 0) {
            outcome.deletedSources.push_back(path);
        } else {
            app::DebugLog("OnBtWritestart: %s not deleted (errno %d)", path.c_str(), errno);
        }
    }
}

}  // namespace

std::string_view writeRunResultName(int value) {
    switch (static_cast<WriteRunResult>(value)) {
        case WriteRunResult::Ok: return "Ok";
        case WriteRunResult::InvalidTemplate: return "InvalidTemplate";
        case WriteRunResult::DirectoryFailed: return "DirectoryFailed";
        case WriteRunResult::AviSynthSource: return "AviSynthSource";
        case WriteRunResult::StoppedByUser: return "StoppedByUser";
        case WriteRunResult::NoDestination: return "NoDestination";
    }
    return "Unknown";
}

std::string groupDirectory(const std::string& destination, const scene::Group& group) {
    std::vector<const scene::Group*> chain;
    for (const scene::Group* g = &group; g && !g->isRoot(); g = g->parent()) chain.push_back(g);
    std::string directory = destination;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) directory = joinPath(directory, (*it)->name()) + "/";
    return directory;
}

WriteRunOutcome OnBtWritestart(WriteRunRequest& request) {
    WriteRunOutcome outcome;
    app::UserInterface& ui = request.ui;
    const std::string& destination = request.settings.destinationPath;
    if (destination.empty()) ui.showMessage(app::loadString(446), app::Icon::Warning);
    std::string nameTemplate;
    if (!runTemplate(request, nameTemplate)) {
        outcome.result = code(WriteRunResult::InvalidTemplate);
        return outcome;
    }
    WriteContext context = makeContext(request);
    DeleteCandidates candidates;
    int scenesBefore = 0;
    {
        app::ProgressScope progress(ui);
        std::vector<scene::Group*> groups = request.tree.depthFirst();
        size_t visited = 0;
        for (scene::Group* group : groups) {
            std::string directory = groupDirectory(destination, *group);
            if (!ensureDirectory(directory, ui)) {
                outcome.result = code(WriteRunResult::DirectoryFailed);
                break;
            }
            scene::SceneList& list = group->list();
            if (nameTemplate.size() <= static_cast<size_t>(scene::kMaxPathLength))
                list.setNameTemplate(nameTemplate.c_str());
            if (hasAviSynthSource(list, ui, &candidates)) {
                outcome.result = code(WriteRunResult::AviSynthSource);
                break;
            }
            context.destinationDirectory = directory;
            context.groupName = group->name();
            context.cancelRequested = false;
            context.nameFromSource = false;
            int written = WriteScenes(context, list, scenesBefore);
            scenesBefore += list.count();
            if (!goOnAfterGroup(request, context, written, "WriteScenes", outcome)) break;
            ++visited;
        }
        outcome.completed = visited == groups.size() && !outcome.cancelled;
    }
    signal(request);
    outcome.scenesFailed = context.failedScenes;
    outcome.writtenFiles = context.writtenFiles;
    // Sources go only after a run that wrote every group without a failed
    // scene and was not stopped: anything else could lose unwritten scenes.
    bool clean = outcome.completed && !outcome.errors && context.failedScenes == 0;
    if (clean && request.settings.deleteSourceFiles) deleteSources(candidates, outcome, ui);
    return outcome;
}

WriteRunOutcome WriteScenes1File(WriteRunRequest& request) {
    WriteRunOutcome outcome;
    app::UserInterface& ui = request.ui;
    const std::string& destination = request.settings.destinationPath;
    if (destination.empty()) {
        ui.showMessage(app::loadString(446), app::Icon::Stop);
        outcome.result = code(WriteRunResult::NoDestination);
        return outcome;
    }
    WriteContext context = makeContext(request);
    {
        app::ProgressScope progress(ui);
        std::vector<scene::Group*> groups = request.tree.depthFirst();
        size_t visited = 0;
        for (scene::Group* group : groups) {
            ui.setProgressSource(group->name());
            if (hasAviSynthSource(group->list(), ui, nullptr)) {
                outcome.result = code(WriteRunResult::AviSynthSource);
                break;
            }
            std::string path = joinPath(destination, group->name() + ".avi");
            ui.setProgressDestination(path);
            context.destinationDirectory.clear();
            context.groupName = group->name();
            context.cancelRequested = false;
            int written = WriteScenesToOneFile(context, group->list(), path);
            if (!goOnAfterGroup(request, context, written, "WriteScenes1File", outcome)) break;
            ++visited;
        }
        outcome.completed = visited == groups.size() && !outcome.cancelled;
    }
    signal(request);
    outcome.writtenFiles = context.writtenFiles;
    // After Stop someone is at the machine; it is not switched off under them.
    if (request.settings.shutdown && !outcome.cancelled && request.power) {
        if (request.mainList) request.mainList->setModified(false);
        outcome.shutdownRequested = app::ShutdownPc(*request.power, ui) == 1;
    }
    return outcome;
}

}  // namespace klemora::output
