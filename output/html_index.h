#pragma once
// The HTML scene index: web pages that show every scene with pictures of its
// frames and its data, one cell per scene from a template, in rows of N
// columns. For the scene list: a group index page (the main file) that links
// one page per group with scenes; for a folder: one page with every AVI file
// of the folder as one scene.
#include <string>
#include <string_view>

#include "app/ui.h"
#include "output/html_group_page.h"
#include "scene/group_tree.h"

namespace klemora::output {

// What is checked before anything is asked or written: 193 for fewer than
// one column, 194 without a template. HtmlIndexResult codes.
int checkIndexRequest(int columns, std::string_view templatePath, app::UserInterface& ui);
int checkColumnCount(int columns, app::UserInterface& ui);

// The group index at options.mainFile and a page per group with scenes,
// walking the tree depth first; groups without scenes are listed without a
// link. Progress, pump and Stop through `ui`. HtmlIndexResult codes; a
// failure keeps the group pages written before it, and the group index is
// written only when every page is.
int GenerateSceneIndex(const scene::GroupTree& tree, const HtmlIndexOptions& options, app::UserInterface& ui);

// Every "*.avi" of `folder` on the one page options.mainFile, under the
// folder's name. An empty folder asks the user for one ("Directory
// selection"); no answer is Cancelled.
int GenerateDirectoryIndex(std::string folder, const HtmlIndexOptions& options, app::UserInterface& ui);

}  // namespace klemora::output
