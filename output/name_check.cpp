#include "output/name_check.h"

#include "app/string_table.h"
#include "output/name_template.h"

namespace klemora::output {

std::string joinPath(std::string_view directory, std::string_view name) {
    std::string path(directory);
    if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
    path += name;
    return path;
}

int makeSceneFileName(const scene::SceneList& list, int sceneIndex, int scenesBefore, std::string_view groupName,
                      std::string_view directory, app::UserInterface& ui, std::string* path) {
    std::string name;
    if (int rc = ExpandNameTemplate(list, sceneIndex, scenesBefore, groupName, name); rc != 1) {
        ui.showMessage(app::loadString(406) + "\nCode: " + std::to_string(rc), app::Icon::Stop);
        return -1;
    }
    if (size_t bad = FindInvalidNameChar(name); bad < name.size()) {
        ui.showMessage(app::loadString(409) + "\nFilename: " + name + "\nPosition: " + std::to_string(bad + 1) +
                           "\nChar:    " + name[bad],
                       app::Icon::Stop);
        return -2;
    }
    std::string joined = joinPath(directory, name);
    if (joined.size() > kMaxDestinationPath) {
        ui.showMessage(app::loadString(138) + "\nFile: " + joined, app::Icon::Stop);
        return -3;
    }
    if (path) *path = std::move(joined);
    return 1;
}

TemplatePreview previewTemplate(scene::SceneList& list, std::string_view nameTemplate, app::UserInterface& ui) {
    TemplatePreview preview;
    preview.text = "ERROR";
    std::string text(nameTemplate);
    if (int rc = list.setNameTemplate(text.c_str()); rc != 1) {
        ui.showMessage(app::loadString(406) + "\nCode: " + std::to_string(rc), app::Icon::Stop);
        return preview;
    }
    std::string name;
    ExpandNameTemplate(list, -1, 0, app::loadString(432), name);
    if (name.size() > kMaxPreviewNameLength)
        ui.showMessage(app::loadString(138) + "\nFile: " + name, app::Icon::Stop);
    if (size_t bad = FindInvalidNameChar(name); bad < name.size()) {
        ui.showMessage(app::loadString(409) + "\nChar:    " + name[bad], app::Icon::Stop);
        size_t inTemplate = nameTemplate.find(name[bad]);
        preview.invalidCharInTemplate = inTemplate != std::string_view::npos;
        preview.invalidCharAt = preview.invalidCharInTemplate ? inTemplate : 0;
        return preview;
    }
    preview.valid = true;
    preview.text = std::move(name);
    return preview;
}

}  // namespace klemora::output
