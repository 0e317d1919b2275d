#pragma once
// A scene block of a project file: an int32 count and that many records in
// the layout of the file's version.
#include <string>
#include <string_view>

#include "scene/byte_cursor.h"
#include "scene/project_format.h"
#include "scene/scene_list.h"

namespace klemora::scene {

// A scene of a loaded list: its group's name and its number from 1.
struct ScenePlace {
    std::string group;
    int scene = 0;
};

// What a load found wrong in its records, for the caller's messages. A
// refused scene ends the load; a date that names no moment only becomes
// "no recording date known".
struct LoadReport {
    std::string refusal;  // the loaded message naming the failed check; empty: none
    ScenePlace refused;
    int undatedCount = 0;
    ScenePlace firstUndated;
};

enum class SceneBlockResult : int { Ok = 1, RecordFailed = -2, RecordRefused = -3 };

// Appends the block's scenes to the list through its setters, so their rules
// apply, after the checks the importers make too: frame numbers from 0 to
// kMaxImportedFrame with start <= stop (for both ranges), a speed factor
// above 0.001 up to 100. 1; -2 when a record cannot be added or the data ends
// inside the block; -3 when a record fails a check (`report` says which).
// The list is emptied on failure.
int readSceneBlock(ByteCursor& in, SceneList& list, ProjectVersion version, LoadReport& report);
void appendSceneBlock(std::string& out, const SceneList& list, ProjectVersion version);

}  // namespace klemora::scene
