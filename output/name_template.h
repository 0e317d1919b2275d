#pragma once
// Destination file names of written scenes, generated from the list's name
// template: literal text with placeholders for properties of the scene.
//   %Q source name   %Z destination name   %N scene number   %M number over all groups
//   %S start frame   %O stop frame   %L length   %T timecode   %D recording date
//   %C comment   %G group name
// %N, %M, %S and %O take one optional width digit (zero-padded); letters are
// case-insensitive; an unknown letter is kept with its percent sign.
#include <cstddef>
#include <string>
#include <string_view>

#include "scene/scene_list.h"
#include "scene/scene_record.h"

namespace klemora::output {

inline constexpr size_t kMaxGeneratedNameLength = 2000;

// The example scene the write dialog previews a template on.
scene::SceneRecord previewScene();

// Expands the list's template for the scene at sceneIndex (a negative index:
// the preview scene, counted as index 0) and appends ".avi". scenesBefore is
// the number of scenes written from earlier groups of the run (for %M).
// 1: done; -1: sceneIndex not below the list's count; -3: the name grew past
// 2000 characters (out then holds the part generated so far).
int ExpandNameTemplate(const scene::SceneList& list, int sceneIndex, int scenesBefore, std::string_view groupName,
                       std::string& out);

// The same expansion for any template and scene.
int expandTemplate(std::string_view nameTemplate, const scene::SceneRecord& scene, int sceneIndex, int scenesBefore,
                   std::string_view groupName, std::string& out);

// Position of the first character that a file name must not contain
// (" * / : < > ? \ |), or the name's length when there is none.
size_t FindInvalidNameChar(std::string_view name);

}  // namespace klemora::output
