#pragma once
// The checks of a generated destination name: in a write run before each
// scene, and in the write dialog's live preview of the template.
#include <string>
#include <string_view>

#include "app/ui.h"
#include "scene/scene_list.h"

namespace klemora::output {

// Longest path (directory and name) a written scene may get.
inline constexpr size_t kMaxDestinationPath = 260;
// Longer preview names are reported, but do not make the template invalid.
inline constexpr size_t kMaxPreviewNameLength = 240;

// The name of one scene of a write run joined to its directory. 1: *path is
// set; -1: the name could not be generated (406 with the expansion's code);
// -2: it holds a character not allowed in file names (409 with the 1-based
// position and the character); -3: the path would have 261 characters or
// more (138).
int makeSceneFileName(const scene::SceneList& list, int sceneIndex, int scenesBefore, std::string_view groupName,
                      std::string_view directory, app::UserInterface& ui, std::string* path);

struct TemplatePreview {
    bool valid = false;
    std::string text;             // the generated name, or "ERROR"
    size_t invalidCharAt = 0;     // in the template, when the bad character occurs there
    bool invalidCharInTemplate = false;
};

// Stores `nameTemplate` in the list and expands it for the preview scene with
// the group name "Gruppe". A name over 240 characters shows 138; a character
// not allowed in file names shows 409 and makes the template invalid.
TemplatePreview previewTemplate(scene::SceneList& list, std::string_view nameTemplate, app::UserInterface& ui);

// Directory and file name joined with "/" unless the directory already ends
// with a separator; a bare name for an empty directory.
std::string joinPath(std::string_view directory, std::string_view name);

}  // namespace klemora::output
