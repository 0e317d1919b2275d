// "names": the destination name of every scene of a list, for trying templates.
#include <iostream>

#include "app/settings_store.h"
#include "cli/command_registry.h"
#include "cli/input_checks.h"
#include "cli/run_context.h"
#include "media/source_probe.h"
#include "output/name_template.h"
#include "scene/scene_file_formats.h"

namespace klemora::cli {
namespace {

struct NamesOptions {
    std::string nameTemplate, list;
};

int names(const NamesOptions& options, TerminalUserInterface& ui) {
    if (!inputFileExists(options.list, ui)) return 1;
    scene::GroupTree tree;
    media::MediaSourceProbe probe = sourceProbe(ui);
    scene::ProjectSession session(tree, app::settings(), probe);
    if (scene::loadProject(session, options.list, scene::loadFilterFor(options.list), ui) != 1) return 1;
    int scenesBefore = 0;
    int failures = 0;
    for (scene::Group* group : tree.depthFirst()) {
        scene::SceneList& list = group->list();
        if (list.setNameTemplate(options.nameTemplate.c_str()) != 1) {
            std::cerr << "klemora-cli names: the template is longer than 260 characters\n";
            return 2;
        }
        for (int i = 0; i < list.count(); ++i) {
            std::string name;
            int rc = output::ExpandNameTemplate(list, i, scenesBefore, group->name(), name);
            if (rc != 1) ++failures;
            std::cout << (rc == 1 ? name : "ERROR (" + std::to_string(rc) + ")") << '\n';
        }
        scenesBefore += list.count();
    }
    return failures ? 1 : 0;
}

RegisterCommand registration("names", "Print the destination name of every scene for a name template",
                             [](CLI::App& sub, CommandAction& action) {
                                 auto options = std::make_shared<NamesOptions>();
                                 sub.add_option("--template,-t", options->nameTemplate, "Name template, e.g. %Q_%N3")
                                     ->required();
                                 sub.add_option("LIST", options->list, "Scene list (.csv, .scn or EDL)")->required();
                                 action = [options](TerminalUserInterface& ui) { return names(*options, ui); };
                             });

}  // namespace
}  // namespace klemora::cli
