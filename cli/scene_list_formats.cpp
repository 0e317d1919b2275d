#include "cli/scene_list_formats.h"

#include <algorithm>
#include <cctype>

namespace klemora::cli {
namespace {

struct FormatName {
    const char* name;
    scene::SaveFilter filter;
};

constexpr FormatName kFormats[] = {
    {"scn", scene::SaveFilter::Project},
    {"csv", scene::SaveFilter::Csv},
    {"edl4", scene::SaveFilter::Edl4},
    {"edl56", scene::SaveFilter::Edl56},
    {"avs-avisource", scene::SaveFilter::AvsAviSource},
    {"avs-avifilesource", scene::SaveFilter::AvsAviFileSource},
    {"avs-directshowsource", scene::SaveFilter::AvsDirectShowSource},
};

std::string lowerExtension(const std::string& path) {
    size_t dot = path.rfind('.');
    size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

}  // namespace

std::optional<scene::SaveFilter> saveFilterFor(const std::string& path, const std::string& formatName) {
    std::string name = formatName;
    if (name.empty()) {
        std::string ext = lowerExtension(path);
        name = ext == "txt" ? "edl56" : ext == "avs" ? "avs-avisource" : ext;
    }
    for (const FormatName& f : kFormats)
        if (name == f.name) return f.filter;
    return std::nullopt;
}

std::string saveFormatNames() {
    std::string names;
    for (const FormatName& f : kFormats) names += (names.empty() ? "" : ", ") + std::string(f.name);
    return names;
}

scene::LoadFilter loadFilterFor(const std::string& path) {
    std::string ext = lowerExtension(path);
    if (ext == "csv") return scene::LoadFilter::Csv;
    if (ext == "txt") return scene::LoadFilter::Edl;
    return scene::LoadFilter::Project;
}

int writeSceneFile(scene::ProjectSession& session, const std::string& path, scene::SaveFilter filter,
                   app::UserInterface& ui) {
    // An existing file is replaced only after question 139 (Yes in batch mode),
    // and only once the new one is complete.
    return scene::saveProjectAs(session, path, filter, session.tree.root().list(), ui);
}

}  // namespace klemora::cli
