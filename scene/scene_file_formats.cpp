#include "scene/scene_file_formats.h"

#include <algorithm>
#include <cctype>

namespace klemora::scene {
namespace {

struct FormatName {
    const char* name;
    SaveFilter filter;
};

constexpr FormatName kFormats[] = {
    {"scn", SaveFilter::Project},
    {"csv", SaveFilter::Csv},
    {"edl4", SaveFilter::Edl4},
    {"edl56", SaveFilter::Edl56},
    {"avs-avisource", SaveFilter::AvsAviSource},
    {"avs-avifilesource", SaveFilter::AvsAviFileSource},
    {"avs-directshowsource", SaveFilter::AvsDirectShowSource},
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

std::optional<SaveFilter> saveFilterFor(const std::string& path, const std::string& formatName) {
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

LoadFilter loadFilterFor(const std::string& path) {
    std::string ext = lowerExtension(path);
    if (ext == "csv") return LoadFilter::Csv;
    if (ext == "txt") return LoadFilter::Edl;
    return LoadFilter::Project;
}

int writeSceneFile(ProjectSession& session, const std::string& path, SaveFilter filter, app::UserInterface& ui) {
    // An existing file is replaced only after question 139 (Yes in batch mode),
    // and only once the new one is complete.
    return saveProjectAs(session, path, filter, session.tree.root().list(), ui);
}

}  // namespace klemora::scene
