// "show": a project's group tree with every group's scenes and the totals.
#include <cstdio>
#include <iostream>
#include <utility>

#include "app/settings_store.h"
#include "cli/command_registry.h"
#include "cli/scene_list_formats.h"
#include "media/source_probe.h"
#include "output/name_template.h"
#include "scene/time_text.h"

namespace klemora::cli {
namespace {

void printGroup(const scene::Group& group, int scenesBefore) {
    std::string indent(static_cast<size_t>(group.depth()) * 2, ' ');
    const scene::SceneList& list = group.list();
    std::cout << indent << "[" << group.name() << "] " << list.count() << " scenes, "
              << scene::lengthText(static_cast<int32_t>(list.totalFrames()), list.framesPerSecond(0)) << '\n';
    for (int i = 0; i < list.count(); ++i) {
        const scene::SceneRecord& r = *list.record(i);
        std::string name;
        if (output::ExpandNameTemplate(list, i, scenesBefore, group.name(), name) != 1) name = "(name error)";
        std::printf("%s  %4d  %s  %d-%d  %s  %s  %s  %s  %s\n", indent.c_str(), i + 1,
                    std::string(scene::fieldText(r.sourceFile)).c_str(), r.startFrame + 1, r.stopFrame + 1,
                    scene::lengthText(r.lengthFrames(), list.framesPerSecond(i)).c_str(), r.okStatus ? "ok" : "--",
                    name.c_str(), scene::recordingTimeText(r.recordingTime).c_str(),
                    scene::timecodeText(r.timecode).c_str());
    }
    std::fflush(stdout);
}

int show(const std::string& path, TerminalUserInterface& ui) {
    scene::GroupTree tree;
    media::MediaSourceProbe probe(ui);
    scene::ProjectSession session(tree, app::settings(), probe);
    if (scene::loadProject(session, path, loadFilterFor(path), ui) != 1) return 1;
    int scenesBefore = 0;
    float fps = 25.0f;
    for (const scene::Group* group : std::as_const(tree).depthFirst()) {
        printGroup(*group, scenesBefore);
        scenesBefore += group->list().count();
        if (group->list().count() > 0) fps = group->list().framesPerSecond(0);
    }
    std::cout << "Total: " << tree.totalScenes() << " scenes, "
              << scene::lengthText(static_cast<int32_t>(tree.totalFrames()), fps) << '\n';
    return 0;
}

RegisterCommand registration("show", "Print a project's groups and scenes",
                             [](CLI::App& sub, CommandAction& action) {
                                 auto path = std::make_shared<std::string>();
                                 sub.add_option("PROJECT", *path, "Project (.scn), CSV or EDL file")->required();
                                 action = [path](TerminalUserInterface& ui) { return show(*path, ui); };
                             });

}  // namespace
}  // namespace klemora::cli
