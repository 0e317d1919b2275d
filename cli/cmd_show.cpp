// "show": a project's group tree with every group's scenes and the totals.
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/settings_store.h"
#include "cli/command_registry.h"
#include "cli/run_context.h"
#include "media/source_probe.h"
#include "output/write_run.h"
#include "output/write_run_settings.h"
#include "scene/scene_file_formats.h"
#include "scene/time_text.h"

namespace klemora::cli {
namespace {

// The names are the ones `write` gives (its template from the settings, or
// --template), relative to the destination folder.
void printGroup(const scene::Group& group, const std::vector<output::PlannedSceneFile>& files, size_t& next) {
    std::string indent(static_cast<size_t>(group.depth()) * 2, ' ');
    const scene::SceneList& list = group.list();
    std::cout << indent << "[" << group.name() << "] " << list.count() << " scenes, "
              << scene::lengthText(static_cast<int32_t>(list.totalFrames()), list.framesPerSecond(0)) << '\n';
    for (int i = 0; i < list.count(); ++i, ++next) {
        const scene::SceneRecord& r = *list.record(i);
        bool named = next < files.size() && files[next].path.size() > 1;
        std::string name = named ? files[next].path.substr(1) : "(name error)";  // without the stand-in root
        std::printf("%s  %4d  %s  %d-%d  %s  %s  %s  %s  %s\n", indent.c_str(), i + 1,
                    std::string(scene::fieldText(r.sourceFile)).c_str(), r.startFrame + 1, r.stopFrame + 1,
                    scene::lengthText(r.lengthFrames(), list.framesPerSecond(i)).c_str(), r.okStatus ? "ok" : "--",
                    name.c_str(), scene::recordingTimeText(r.recordingTime).c_str(),
                    scene::timecodeText(r.timecode).c_str());
    }
    std::fflush(stdout);
}

int show(const std::string& path, const std::string& nameTemplate, TerminalUserInterface& ui) {
    scene::GroupTree tree;
    media::MediaSourceProbe probe = sourceProbe(ui);
    scene::ProjectSession session(tree, app::settings(), probe);
    if (scene::loadProject(session, path, scene::loadFilterFor(path), ui) != 1) return 1;
    output::WriteRunSettings settings = output::readWriteRunSettings(app::settings());
    if (!nameTemplate.empty()) settings.formatString = nameTemplate;
    // Planned below a stand-in destination "/", so that the names come out
    // relative to whatever folder write is given.
    std::vector<output::PlannedSceneFile> files =
        output::planSceneFiles(tree, output::runNameTemplate(settings), "/", false);
    size_t next = 0;
    float fps = 25.0f;
    for (const scene::Group* group : std::as_const(tree).depthFirst()) {
        printGroup(*group, files, next);
        if (group->list().count() > 0) fps = group->list().framesPerSecond(0);
    }
    std::cout << "Total: " << tree.totalScenes() << " scenes, "
              << scene::lengthText(static_cast<int32_t>(tree.totalFrames()), fps) << '\n';
    return 0;
}

struct ShowOptions {
    std::string project;
    std::string nameTemplate;
};

RegisterCommand registration(
    "show", "Print a project's groups and scenes", [](CLI::App& sub, CommandAction& action) {
        auto options = std::make_shared<ShowOptions>();
        sub.add_option("PROJECT", options->project, "Project (.scn), CSV or EDL file")->required();
        sub.add_option("--template", options->nameTemplate,
                       "File-name template the names are shown for, as write takes it; default: FormatString of the "
                       "settings, %N3_%Q");
        action = [options](TerminalUserInterface& ui) { return show(options->project, options->nameTemplate, ui); };
    });

}  // namespace
}  // namespace klemora::cli
