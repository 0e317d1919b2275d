#pragma once
// The scene list as an AviSynth script: every source opened once, each scene
// cut out with trim, all scenes joined into one clip. The way to use a scene
// list with AviSynth-served (virtual) AVI files, which cannot be cut directly.
#include <string>
#include <string_view>

#include "app/file_version.h"
#include "app/ui.h"
#include "scene/scene_list.h"

namespace klemora::scene {

// The source filter the script opens the files with.
enum class AviSynthFilter : int { AviSource = 1, AviFileSource = 2, DirectShowSource = 3 };
std::string_view aviSynthFilterName(AviSynthFilter filter);

enum class AviSynthResult : int {
    Ok = 1,
    OutOfMemory = -1,  // after message 109
    CannotCreate = -2,
    WriteFailed = -3,  // the script could not be written completely; an older file stays
};
std::string_view aviSynthResultName(AviSynthResult result);

// Scenes joined per "outNNNN" line; "outAll" joins those lines.
inline constexpr int kAviSynthBlockScenes = 40;
// Both comment lines name the program's version in their parentheses, so a
// script tells which release wrote it (no home page is published).
inline constexpr std::string_view kScriptCommentVersion = app::kProgramVersion;

// The script's text (LF line ends).
std::string aviSynthText(const SceneList& list, AviSynthFilter filter);

// 1 also for an empty list, which writes no file. On success the project path
// becomes `path` and the modified flag is cleared.
int exportAviSynth(SceneList& list, const std::string& path, AviSynthFilter filter, app::UserInterface& ui);

}  // namespace klemora::scene
