#include "output/destination_plan.h"

#include <algorithm>
#include <filesystem>

#include "app/debug_log.h"
#include "app/string_table.h"

namespace klemora::output {

std::vector<std::string> collidingDestinations(const std::vector<std::string>& paths) {
    std::vector<std::string> seen;
    std::vector<std::string> colliding;
    for (const std::string& path : paths) {
        if (path.empty()) continue;
        std::string key = std::filesystem::path(path).lexically_normal().string();
        if (std::find(seen.begin(), seen.end(), key) == seen.end()) {
            seen.push_back(std::move(key));
        } else if (std::find(colliding.begin(), colliding.end(), key) == colliding.end()) {
            colliding.push_back(std::move(key));
        }
    }
    return colliding;
}

bool refuseCollisions(const std::vector<std::string>& paths, app::UserInterface& ui, const app::DebugLog& log) {
    std::vector<std::string> colliding = collidingDestinations(paths);
    if (colliding.empty()) return false;
    std::string text = app::loadString(801);
    for (const std::string& path : colliding) text += "\n" + path;
    log.write("write: %zu destination(s) would be written more than once; nothing written", colliding.size());
    ui.showMessage(text, app::Icon::Stop);
    return true;
}

}  // namespace klemora::output
