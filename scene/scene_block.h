#pragma once
// A scene block of a project file: an int32 count and that many records in
// the layout of the file's version.
#include <string>

#include "scene/byte_cursor.h"
#include "scene/project_format.h"
#include "scene/scene_list.h"

namespace klemora::scene {

// Appends the block's scenes to the list through its setters, so their rules
// apply. 1, or -2 when a record cannot be added or the data ends inside the
// block (the list is emptied then).
int readSceneBlock(ByteCursor& in, SceneList& list, ProjectVersion version);
void appendSceneBlock(std::string& out, const SceneList& list, ProjectVersion version);

}  // namespace klemora::scene
