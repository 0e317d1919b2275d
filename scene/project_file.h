#pragma once
// Reading and writing .scn project files. Saves go through a temporary file
// in the same folder that is renamed over the old project only when complete,
// so a full disk or a crash never destroys the previous file.
#include <string>

#include "scene/project_format.h"
#include "scene/scene_block.h"
#include "scene/scene_list.h"

namespace klemora::scene {

enum class ProjectResult : int {
    Ok = 1,
    CannotOpen = -1,        // file cannot be opened / created
    UnknownSignature = -2,  // (reading) no known signature; (writing) no group
    RecordFailed = -3,      // (reading) a record cannot be added; (writing) a write failed, old file kept
    RecordRefused = -4,     // (reading) a record fails the value checks (the list emptied)
};

// The version named by the first 60 bytes of a file; false when it cannot be
// read or carries no known signature.
bool readProjectVersion(const std::string& path, ProjectVersion& version);
// The first 60 bytes of a file; false when it cannot be read or is shorter.
bool readSignatureBytes(const std::string& path, std::string& head);

// Flat files 1.0 to 2.3 into one list (emptied first). `report`, when
// given, says which scene was refused or lost its date.
int readFlatFile(const std::string& path, SceneList& list, LoadReport* report = nullptr);
// Version 2.3 flat file; writes nothing for an empty list.
int writeFlatFile(const std::string& path, SceneList& list);

bool isAutobackupPath(std::string_view path);

}  // namespace klemora::scene
