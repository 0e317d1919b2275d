#include "output/write_scenes.h"

#include <string>

#include "app/debug_log.h"
#include "app/file_io.h"
#include "app/string_table.h"
#include "app/text_format.h"
#include "output/file_dates.h"
#include "output/name_check.h"
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

enum class Step { Go, Skip, End };

struct SceneLoop {
    WriteContext& context;
    const scene::SceneList& list;
    int scenesBefore;
    int total = 0;
    int done = 0;
    int number = 1;
    std::string lastBase;
    int result = 1;

    bool qualifies(int i) const {
        return !list.sourceFile(i).empty() && (!context.okStatusOnly || list.okStatus(i) == 1);
    }
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
        std::string_view source = list.sourceFile(i);
        std::string folder = context.destinationDirectory.empty() ? sourceFolder(source) : context.destinationDirectory;
        if (context.nameFromSource) {
            std::string base = baseNameOf(source);
            if (base != lastBase) {
                lastBase = base;
                number = 1;
            }
            path = joinPath(folder, nameFromSource(source, number++));
            if (path.size() > kMaxDestinationPath) {
                showFileMessage(context.ui, app::loadString(138), path, app::Icon::Stop);
                return fail(i, code(WriteScenesResult::NameTooLong), true);
            }
            return Step::Go;
        }
        int rc = makeSceneFileName(list, i, scenesBefore, context.groupName, folder, context.ui, &path);
        if (rc == -1 || rc == -2) return fail(i, code(WriteScenesResult::NameFailed), true);
        if (rc != 1) return fail(i, code(WriteScenesResult::NameTooLong), true);
        return Step::Go;
    }

    bool askForAll() {
        return context.ui.ask(app::loadString(438), app::Buttons::YesNo, app::Icon::Question) == app::Answer::Yes;
    }

    // An existing destination: asked, skipped or replaced. The write itself
    // replaces it at its very end, so a failed write keeps the old file.
    Step overwrite(int i, const std::string& path) {
        if (!app::fileExists(path)) return Step::Go;
        if (context.overwriteMode == OverwriteMode::Skip) return Step::Skip;
        if (context.overwriteMode == OverwriteMode::Replace) return Step::Go;
        app::Answer answer = context.ui.ask(app::stringPrintf("%s\nFile: %s", app::loadString(139).c_str(), path.c_str()),
                                            app::Buttons::YesNo, app::Icon::Question);
        if (answer == app::Answer::Yes) {
            if (askForAll()) context.overwriteMode = OverwriteMode::Replace;
            return Step::Go;
        }
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
        if (rc != 1) {
            context.ui.showMessage(app::stringPrintf("%s WriteScene()!\nScene: %d\nFile: %s\nCode: %d",
                                                     app::loadString(113).c_str(), i + 1, path.c_str(), rc),
                                   app::Icon::Stop);
            return fail(i, code(WriteScenesResult::WriteFailed), false);
        }
        if (context.setFileDates) {
            int dated = SetCreationDate(list.recordingTime(i), path);
            if (dated == static_cast<int>(FileDateResult::NoDate)) {
                app::DebugLog("WriteScenes: scene %d has no recording date; %s keeps its file times", i + 1,
                              path.c_str());
            } else if (dated != 1) {
                context.ui.showMessage(app::stringPrintf("%s SetCreationDate()!\nScene: %d\nFile: %s\nCode: %d",
                                                         app::loadString(113).c_str(), i + 1, path.c_str(), dated),
                                       app::Icon::Stop);
                return fail(i, code(WriteScenesResult::FileDatesFailed), false);
            }
        }
        return context.cancelled() ? Step::End : Step::Go;
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
        for (int i = 0; i < list.count(); ++i)
            if (qualifies(i)) ++total;
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

int WriteScenes(WriteContext& context, const scene::SceneList& list, int scenesBefore) {
    SceneLoop loop{context, list, scenesBefore};
    return loop.run();
}

}  // namespace klemora::output
