#pragma once
// The scene list as a semicolon-separated text file for spreadsheets and
// scripts: a header line, then one line per scene.
#include <string>
#include <string_view>

#include "scene/scene_list.h"

namespace klemora::scene {

inline constexpr std::string_view kCsvHeader = "SRCFILE;DSTFILE;STARTFRAME;STOPFRAME;SPEEDFACTOR;COMMENT;STARTTIME;TIMECODE";

// One scene's line without its line end.
std::string csvLine(const SceneRecord& scene);
// The whole file as it goes to disk (CR LF line ends).
std::string csvText(const SceneList& list);

// 1: written (an empty list writes no file and succeeds); -1: the file cannot
// be created; -2: it could not be written completely (the old file, if any,
// is left as it was). On success the list's project path becomes `path` and
// its modified flag is cleared.
int exportCsv(SceneList& list, const std::string& path);

}  // namespace klemora::scene
