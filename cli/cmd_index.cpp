// "index": the HTML scene index of a project (a group index page and one page
// per group) or of a folder of AVI files (one page), with pictures of the
// scenes' frames laid out by a template.
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "app/settings_store.h"
#include "app/string_table.h"
#include "app/text_format.h"
#include "cli/command_registry.h"
#include "cli/input_checks.h"
#include "cli/run_context.h"
#include "media/source_probe.h"
#include "output/html_index.h"
#include "output/html_settings.h"
#include "output/html_template.h"
#include "scene/csv_import.h"
#include "scene/group_file.h"
#include "scene/group_tree.h"
#include "scene/project_file.h"
#include "scene/source_check.h"

namespace klemora::cli {
namespace {

struct IndexOptions {
    std::string project;
    std::string folder;
    std::string templatePath;
    std::string out;
    std::optional<int> columns;
    std::string size;
    std::optional<std::string> comment;
};

bool endsWith(const std::string& text, std::string_view tail) {
    if (text.size() < tail.size()) return false;
    for (size_t i = 0; i < tail.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - tail.size() + i])) != tail[i]) return false;
    return true;
}

// A project file or a CSV scene list into the tree; false after a message.
bool loadProject(const std::string& path, scene::GroupTree& tree, const std::string& fixRatio,
                 TerminalUserInterface& ui) {
    media::MediaSourceProbe probe(ui, fixRatio, commandLog());
    scene::SourceSearch search;
    int rc = 0;
    if (endsWith(path, ".csv")) {
        rc = scene::importCsv(tree.root().list(), path, probe, search, ui);
    } else {
        scene::ProjectVersion version;
        if (!scene::readProjectVersion(path, version)) {
            std::cerr << "klemora-cli index: " << path << ": not a Klemora project (.scn) or CSV scene list\n";
            return false;
        }
        rc = scene::isGroupVersion(version) ? scene::readGroupFile(path, tree)
                                            : scene::readFlatFile(path, tree.root().list());
        for (scene::Group* group : tree.depthFirst()) {
            if (rc != 1) break;
            scene::SceneList& list = group->list();
            if (scene::checkSources(list, search, ui) == scene::SourceCheckResult::Cancelled) return false;
            if (!scene::probeSources(list, probe, ui)) return false;
        }
    }
    if (rc == 1) return true;
    ui.showMessage(app::stringPrintf("%s\nFile: %s\nCode: %d", app::loadString(107).c_str(), path.c_str(), rc),
                   app::Icon::Stop);
    return false;
}

// "192x144" or any "WxH".
bool parseSize(const std::string& text, output::HtmlIndexSettings& values) {
    int width = 0, height = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &width, &height, &tail) != 2) return false;
    if (width < 1 || height < 1 || width > 8192 || height > 8192) return false;
    values.pictureWidth = width;
    values.pictureHeight = height;
    values.presetIndex = output::presetIndexOf(width, height);
    return true;
}

// The settings keep full paths, as the dialog's file choosers give them.
std::string absolutePath(const std::string& path) {
    if (path.empty()) return path;
    std::error_code error;
    std::filesystem::path full = std::filesystem::absolute(path, error);
    return error ? path : full.lexically_normal().string();
}

int runIndex(IndexOptions options, TerminalUserInterface& ui) {
    if (!options.templatePath.empty())
        options.templatePath = absolutePath(output::templatePathFor(options.templatePath));
    options.out = absolutePath(options.out);
    if (options.project.empty() == options.folder.empty()) {
        std::cerr << "klemora-cli index: give either a PROJECT or --dir FOLDER\n";
        return 2;
    }
    const app::SettingsStore& store = app::settings();
    output::HtmlIndexSettings values = output::loadHtmlIndexSettings(store);
    if (!options.size.empty() && !parseSize(options.size, values)) {
        std::cerr << "klemora-cli index: bad --size \"" << options.size << "\" (e.g. 192x144)\n";
        return 2;
    }
    if (!options.templatePath.empty()) values.templateName = options.templatePath;
    if (values.templateName.empty()) values.templateName = output::templatePathFor({});
    if (options.comment) values.comment = *options.comment;

    output::HtmlIndexOptions index;
    if (!values.templateName.empty()) {
        if (output::readTemplateFile(values.templateName, index.cell, ui) != 1) return 1;
        if (!options.templatePath.empty()) output::storeTemplateChoice(store, values.templateName);
        if (index.cell.defaultColumns) values.columns = *index.cell.defaultColumns;
    }
    if (options.columns) values.columns = *options.columns;
    if (output::checkIndexRequest(values.columns, values.templateName, ui) != 1) return 1;

    output::applyIndexValues(index, values, options.out, store);
    index.log = commandLog();
    output::storeGenerationSettings(store, values, options.out);

    int rc;
    const char* step = options.folder.empty() ? "GenerateSceneIndex" : "GenerateDirectoryIndex";
    if (!options.folder.empty()) {
        rc = output::GenerateDirectoryIndex(options.folder, index, ui);
    } else {
        scene::GroupTree tree;
        if (!inputFileExists(options.project, ui) || !loadProject(options.project, tree, index.fixRatio, ui)) return 1;
        rc = output::GenerateSceneIndex(tree, index, ui);
    }
    if (rc != 1) {
        ui.showMessage(app::stringPrintf("%s %s()!\nFile: %s\nCode: %d", app::loadString(113).c_str(), step,
                                         options.out.c_str(), rc),
                       app::Icon::Stop);
        return 1;
    }
    std::cout << options.out << '\n';
    return 0;
}

RegisterCommand registration(
    "index", "Write an HTML scene index with pictures of the scenes from a template (*.tpl)",
    [](CLI::App& sub, CommandAction& action) {
        auto options = std::make_shared<IndexOptions>();
        sub.add_option("PROJECT", options->project, "Project file (.scn) or CSV scene list (.csv)");
        sub.add_option("--dir", options->folder, "Folder whose AVI files become the scenes of one page");
        sub.add_option("--template", options->templatePath,
                       "Template file (*.tpl): a name without a folder is one of the program's Templates folder, a path "
                       "with a folder is taken as given (default: the last one used, \"HtmlTemplateName\", else "
                       "Standard.tpl)");
        sub.add_option("--out", options->out, "Main page to write (.htm): the group index, or the folder's page")
            ->required();
        sub.add_option("--columns", options->columns,
                       "Scenes per row (default: the template's #DEFAULTCOLUMNS, else \"HtmlColumnCount\")");
        sub.add_option("--size", options->size,
                       "Picture size: 48x36, 96x72, 192x144, 384x288, 768x576 or WxH (default \"HtmlPicSzX/Y\")");
        sub.add_option("--comment", options->comment, "Comment on the group index (HTML allowed)");
        action = [options](TerminalUserInterface& ui) { return runIndex(*options, ui); };
    });

}  // namespace
}  // namespace klemora::cli
