#include "output/write_scenes.h"

#include <string>
#include <vector>

#include "app/debug_log.h"
#include "app/file_io.h"
#include "app/string_table.h"
#include "app/text_format.h"
#include "output/destination_plan.h"
#include "output/file_dates.h"
#include "output/name_check.h"
#include "output/output_steps.h"
#include "output/scene_writer.h"
#include "output/write_messages.h"
#include "output/write_result.h"

namespace klemora::output {
namespace {

int code(WriteScenesResult result) { return static_cast<int>(result); }

std::string baseNameOf(std::string_view path) {
    std::string name = app::fileNameOf(path);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.resize(dot);
    return name;
}

// The source's folder with its separator, or "" for a bare name.
std::string sourceFolder(std::string_view sourcePath) {
    size_t slash = sourcePath.find_last_of("/\\");
    return slash == std::string_view::npos ? std::string() : std::string(sourcePath.substr(0, slash + 1));
}

bool qualifies(const WriteContext& context, const scene::SceneList& list, int i) {
    return !list.sourceFile(i).empty() && (!context.okStatusOnly || list.okStatus(i) == 1);
}

// The destination of each scene of a list, asked in list order (the
// "%s_s%03d" numbers run on per source). 1 with the path; -1 or -2 (name
// not generated or with a character not allowed) or -3 (too long) after
// the message on `ui`.
class SceneNamer {
public:
    SceneNamer(const WriteContext& context, const scene::SceneList& list, int scenesBefore)
        : m_context(context), m_list(list), m_scenesBefore(scenesBefore) {}

    int name(int i, app::UserInterface& ui, std::string& path) {
        std::string_view source = m_list.sourceFile(i);
        std::string folder = m_context.destinationDirectory.empty() ? sourceFolder(source) : m_context.destinationDirectory;
        if (!m_context.nameFromSource)
            return makeSceneFileName(m_list, i, m_scenesBefore, m_context.groupName, folder, ui, &path);
        std::string base = baseNameOf(source);
        if (base != m_lastBase) {
            m_lastBase = base;
            m_number = 1;
        }
        path = joinPath(folder, nameFromSource(source, m_number++));
        if (path.size() <= kMaxDestinationPath) return 1;
        showFileMessage(ui, app::loadString(138), path, app::Icon::Stop);
        return -3;
    }

private:
    const WriteContext& m_context;
    const scene::SceneList& m_list;
    int m_scenesBefore;
    int m_number = 1;
    std::string m_lastBase;
};

enum class Step { Go, Skip, End };

struct SceneLoop {
    WriteContext& context;
    const scene::SceneList& list;
    int scenesBefore;
    SceneNamer namer{context, list, scenesBefore};
    int total = 0;
    int done = 0;
    int result = 1;

    bool qualifies(int i) const { return output::qualifies(context, list, i); }
    bool isLast(int i) const { return i == list.count() - 1; }

    // The failure rule: the code on the last scene, else the user decides.
    Step fail(int i, int failure, bool nameError) {
        ++context.failedScenes;
        if (isLast(i)) {
            result = failure;
            return Step::End;
        }
        if (context.ui.ask(app::loadString(114), app::Buttons::YesNo, app::Icon::Question) == app::Answer::Yes)
            return Step::Skip;
        result = nameError ? code(WriteScenesResult::StoppedAfterNameError) : 1;
        return Step::End;
    }

    Step destination(int i, std::string& path) {
        int rc = namer.name(i, context.ui, path);
        if (rc == -1 || rc == -2) return fail(i, code(WriteScenesResult::NameFailed), true);
        if (rc != 1) return fail(i, code(WriteScenesResult::NameTooLong), true);
        return Step::Go;
    }

    bool askForAll() {
        return context.ui.ask(app::loadString(438), app::Buttons::YesNo, app::Icon::Question) == app::Answer::Yes;
    }

    Step kept() {
        ++context.keptExisting;
        return Step::Skip;
    }

    // An existing destination: asked, skipped or replaced. The write itself
    // replaces it at its very end, so a failed write keeps the old file. A
    // source of the run is never replaced, whatever the mode: the scene
    // fails without a question and the run goes on.
    Step overwrite(int i, const std::string& path) {
        if (!app::fileExists(path)) return Step::Go;
        if (refuseSourceAsDestination(context, path)) {
            ++context.failedScenes;
            return Step::Skip;
        }
        if (context.overwriteMode == OverwriteMode::Skip) return kept();
        if (context.overwriteMode == OverwriteMode::Replace) return Step::Go;
        app::Answer answer = context.ui.ask(app::stringPrintf("%s\nFile: %s", app::loadString(139).c_str(), path.c_str()),
                                            app::Buttons::YesNo, app::Icon::Question);
        if (answer == app::Answer::Yes) {
            if (askForAll()) context.overwriteMode = OverwriteMode::Replace;
            return Step::Go;
        }
        ++context.keptExisting;
        if (isLast(i)) {
            result = code(WriteScenesResult::OverwriteDeclined);
            return Step::End;
        }
        if (context.ui.ask(app::loadString(114), app::Buttons::YesNo, app::Icon::Question) == app::Answer::No)
            return Step::End;
        if (askForAll()) context.overwriteMode = OverwriteMode::Skip;
        return Step::Skip;
    }

    Step write(int i, const std::string& path) {
        std::string source(list.sourceFile(i));
        int rc = WriteScene(source, path, context, list.startFrame(i), list.stopFrame(i), list.speedFactor(i));
        if (rc == 1 && context.droppedStoppedPart()) return Step::End;
        if (rc != 1) {
            context.ui.showMessage(app::stringPrintf("%s WriteScene()!\nScene: %d\nFile: %s\nCode: %d",
                                                     app::loadString(113).c_str(), i + 1, path.c_str(), rc),
                                   app::Icon::Stop);
            return fail(i, code(WriteScenesResult::WriteFailed), false);
        }
        if (context.setFileDates) {
            int dated = SetCreationDate(list.recordingTime(i), path, context.log());
            if (dated == static_cast<int>(FileDateResult::NoDate)) {
                context.log().write("WriteScenes: scene %d has no recording date; %s keeps its file times", i + 1,
                              path.c_str());
            } else if (dated != 1) {
                context.ui.showMessage(app::stringPrintf("%s SetCreationDate()!\nScene: %d\nFile: %s\nCode: %d",
                                                         app::loadString(113).c_str(), i + 1, path.c_str(), dated),
                                       app::Icon::Stop);
                return fail(i, code(WriteScenesResult::FileDatesFailed), false);
            }
        }
        // A stopped write closes a shorter file: not the whole scene.
        if (context.cancelled()) return Step::End;
        context.completedSceneSources.push_back(source);
        return Step::Go;
    }

    Step scene(int i) {
        std::string path;
        if (Step step = destination(i, path); step != Step::Go) return step;
        context.ui.setProgressSource(list.sourceFile(i));
        context.ui.setProgressDestination(app::stringPrintf("%s    (%d/%d)", path.c_str(), done + 1, total));
        ++done;
        if (Step step = overwrite(i, path); step != Step::Go) return step;
        return write(i, path);
    }

    int run() {
        for (int i = 0; i < list.count(); ++i) {
            if (!qualifies(i)) continue;
            ++total;
            context.sources.add(std::string(list.sourceFile(i)));
        }
        if (refuseCollisions(plannedSceneDestinations(context, list, scenesBefore), context.ui, context.log())) {
            context.failedScenes += total;
            return code(WriteScenesResult::NamesCollide);
        }
        for (int i = 0; i < list.count(); ++i) {
            if (!qualifies(i)) continue;
            if (scene(i) == Step::End) break;
        }
        return result;
    }
};

}  // namespace

std::string nameFromSource(std::string_view sourcePath, int number) {
    return app::stringPrintf("%s_s%03d", baseNameOf(sourcePath).c_str(), number) + ".avi";
}

std::vector<std::string> plannedSceneDestinations(const WriteContext& context, const scene::SceneList& list,
                                                  int scenesBefore) {
    app::SilentUserInterface silent;
    SceneNamer namer(context, list, scenesBefore);
    std::vector<std::string> paths;
    for (int i = 0; i < list.count(); ++i) {
        std::string path;
        if (qualifies(context, list, i) && namer.name(i, silent, path) != 1) path.clear();
        paths.push_back(std::move(path));
    }
    return paths;
}

int WriteScenes(WriteContext& context, const scene::SceneList& list, int scenesBefore) {
    SceneLoop loop{context, list, scenesBefore};
    return loop.run();
}

}  // namespace klemora::output
