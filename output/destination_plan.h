#pragma once
// Destinations of a whole run, checked before anything is written: two
// scenes (or groups) that would get the same file would silently replace
// one another, and the count of written files would no longer be true.
#include <string>
#include <vector>

#include "app/debug_log.h"
#include "app/ui.h"

namespace klemora::output {

// The paths that occur more than once (compared after lexical
// normalisation: "a//b/./c.avi" is "a/b/c.avi"), each once, in first
// occurrence order. Empty entries are ignored.
std::vector<std::string> collidingDestinations(const std::vector<std::string>& paths);

// True after 801 with the colliding paths, one per line, when there are any.
bool refuseCollisions(const std::vector<std::string>& paths, app::UserInterface& ui,
                      const app::DebugLog& log = app::DebugLog::off());

}  // namespace klemora::output
