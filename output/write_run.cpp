#include "output/write_run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <utility>

#include "app/debug_log.h"
#include "app/file_io.h"
#include "app/string_table.h"
#include "app/text_format.h"
#include "output/joined_writer.h"
#include "output/destination_plan.h"
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

// The source files of the run, each once (trimmed), with the number of
// scenes read from each.
class DeleteCandidates {
public:
    void add(std::string_view path) {
        std::string entry = trimmed(path);
        if (entry.empty()) return;
        auto it = std::find_if(m_sources.begin(), m_sources.end(), [&](const Source& s) { return s.path == entry; });
        if (it == m_sources.end()) {
            m_sources.push_back({std::move(entry), 1});
        } else {
            ++it->scenes;
        }
    }
    bool empty() const { return m_sources.empty(); }

    // The sources every scene of which was written complete: only those can
    // go without losing a frame that exists nowhere else.
    std::vector<std::string> complete(const std::vector<std::string>& completedSceneSources) const {
        std::vector<std::string> paths;
        for (const Source& source : m_sources) {
            long written = std::count_if(completedSceneSources.begin(), completedSceneSources.end(),
                                         [&](const std::string& done) { return trimmed(done) == source.path; });
            if (written >= source.scenes) paths.push_back(source.path);
        }
        return paths;
    }

private:
    struct Source {
        std::string path;
        int scenes = 0;
    };
    std::vector<Source> m_sources;
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
    context.keepStoppedPart = request.keepStoppedPart;
    context.setFileDates = request.settings.setDatestamp;
    context.okStatusOnly = request.settings.okOnly;
    return context;
}

// The template of the per-scene run: 405 and the default when empty; the
// preview check (409) when it holds a character not allowed.
bool runTemplate(const WriteRunRequest& request, std::string& nameTemplate) {
    if (request.settings.formatString.empty()) request.ui.showMessage(app::loadString(405), app::Icon::Information);
    nameTemplate = runNameTemplate(request.settings);
    scene::SceneList probe;
    return previewTemplate(probe, nameTemplate, request.ui).valid;
}

void deleteSources(const std::vector<std::string>& sources, WriteRunOutcome& outcome, app::UserInterface& ui) {
    if (sources.empty()) return;
    if (ui.ask(app::loadString(441), app::Buttons::OkCancel, app::Icon::Question) != app::Answer::Ok) return;
    for (const std::string& path : sources) {
        if (::unlink(path.c_str()) == 0) {
            outcome.deletedSources.push_back(path);
        } else {
            app::debugLogLine("OnBtWritestart: %s not deleted (errno %d)", path.c_str(), errno);
        }
    }
}

// Every destination of the run and every source, before anything is
// written. False (after 801) when two scenes would get the same file.
bool planRun(const WriteRunRequest& request, const std::string& nameTemplate, WriteContext& context) {
    std::vector<std::string> destinations;
    for (const PlannedSceneFile& file : planSceneFiles(request.tree, nameTemplate, request.settings.destinationPath,
                                                        request.settings.okOnly)) {
        context.sources.add(std::string(file.group->list().sourceFile(file.scene)));
        destinations.push_back(file.path);
    }
    return !refuseCollisions(destinations, request.ui);
}

// The one-file run's files: one per group, named after it.
bool planJoinedRun(const WriteRunRequest& request, WriteContext& context) {
    std::vector<std::string> destinations;
    for (const scene::Group* group : std::as_const(request.tree).depthFirst()) {
        const scene::SceneList& list = group->list();
        if (list.count() > 0) destinations.push_back(joinPath(request.settings.destinationPath, group->name() + ".avi"));
        for (int i = 0; i < list.count(); ++i) context.sources.add(std::string(list.sourceFile(i)));
    }
    return !refuseCollisions(destinations, request.ui);
}

}  // namespace

std::string runNameTemplate(const WriteRunSettings& settings) {
    return settings.formatString.empty() ? std::string(scene::kDefaultNameTemplate) : settings.formatString;
}

std::vector<PlannedSceneFile> planSceneFiles(scene::GroupTree& tree, const std::string& nameTemplate,
                                             const std::string& destination, bool okOnly) {
    app::SilentUserInterface silent;
    WriteContext context(silent);
    context.okStatusOnly = okOnly;
    std::vector<PlannedSceneFile> files;
    int scenesBefore = 0;
    for (scene::Group* group : tree.depthFirst()) {
        scene::SceneList& list = group->list();
        if (nameTemplate.size() <= static_cast<size_t>(scene::kMaxPathLength)) list.setNameTemplate(nameTemplate.c_str());
        context.destinationDirectory = groupDirectory(destination, *group);
        context.groupName = group->name();
        std::vector<std::string> paths = plannedSceneDestinations(context, list, scenesBefore);
        for (int i = 0; i < list.count(); ++i) files.push_back({group, i, std::move(paths[static_cast<size_t>(i)])});
        scenesBefore += list.count();
    }
    return files;
}

bool writeRunSucceeded(const WriteRunOutcome& outcome, bool keptExistingAsked) {
    bool clean = outcome.result == 1 && outcome.completed && !outcome.errors && outcome.scenesFailed == 0;
    // Keeping every existing file when the user was asked wrote nothing that was asked for.
    bool declinedAll = keptExistingAsked && outcome.writtenFiles.empty() && outcome.keptExisting > 0;
    return clean && !declinedAll;
}

std::string_view writeRunResultName(int value) {
    switch (static_cast<WriteRunResult>(value)) {
        case WriteRunResult::Ok: return "Ok";
        case WriteRunResult::InvalidTemplate: return "InvalidTemplate";
        case WriteRunResult::DirectoryFailed: return "DirectoryFailed";
        case WriteRunResult::AviSynthSource: return "AviSynthSource";
        case WriteRunResult::StoppedByUser: return "StoppedByUser";
        case WriteRunResult::NoDestination: return "NoDestination";
        case WriteRunResult::NamesCollide: return "NamesCollide";
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
    if (!planRun(request, nameTemplate, context)) {
        outcome.result = code(WriteRunResult::NamesCollide);
        return outcome;
    }
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
            if (hasAviSynthSource(list, ui, &candidates)) {
                outcome.result = code(WriteRunResult::AviSynthSource);
                break;
            }
            context.destinationDirectory = directory;
            context.groupName = group->name();
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
    outcome.keptExisting = context.keptExisting;
    outcome.writtenFiles = context.writtenFiles;
    // Sources go only after a run that wrote every group without a failed
    // scene and was not stopped, and only those whose every scene was
    // written complete now: anything else could lose unwritten frames.
    bool clean = outcome.completed && !outcome.errors && context.failedScenes == 0;
    if (clean && request.settings.deleteSourceFiles)
        deleteSources(candidates.complete(context.completedSceneSources), outcome, ui);
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
    if (!planJoinedRun(request, context)) {
        outcome.result = code(WriteRunResult::NamesCollide);
        return outcome;
    }
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
            int written = WriteScenesToOneFile(context, group->list(), path);
            if (!goOnAfterGroup(request, context, written, "WriteScenes1File", outcome)) break;
            ++visited;
        }
        outcome.completed = visited == groups.size() && !outcome.cancelled;
    }
    signal(request);
    outcome.scenesFailed = context.failedScenes;
    outcome.writtenFiles = context.writtenFiles;
    // After Stop someone is at the machine; it is not switched off under them.
    if (request.settings.shutdown && !outcome.cancelled && request.power) {
        if (request.mainList) request.mainList->setModified(false);
        outcome.shutdownRequested = app::ShutdownPc(*request.power, ui) == 1;
    }
    return outcome;
}

}  // namespace klemora::output
