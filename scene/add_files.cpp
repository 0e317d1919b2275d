#include "scene/add_files.h"

#include <algorithm>

#include "app/string_table.h"
#include "app/text_format.h"

namespace klemora::scene {
namespace {

// One scene from the file's first to its last frame.
void fillWholeFile(SceneList& list, int i, const std::string& path, const SourceFacts& facts) {
    const int32_t last = facts.frameCount - 1;
    list.setSourceFile(i, path);
    list.setStartFrame(i, 0);
    list.setStopFrame(i, last);
    list.setDefinedStart(i, 0);
    list.setDefinedStop(i, last);
    applySourceFacts(list, i, facts);
    list.setRecordingTime(i, &facts.firstRecordingTime);
    list.setTimecode(i, facts.firstTimecode);
}

}  // namespace

void sortPathsCaseInsensitive(std::vector<std::string>& paths) {
    std::stable_sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
        int order = app::compareAsciiNoCase(a, b);
        return order != 0 ? order < 0 : a < b;
    });
}

int addWholeFiles(SceneList& list, std::vector<std::string> paths, SourceProbe& probe, app::UserInterface& ui) {
    sortPathsCaseInsensitive(paths);
    ui.setProgressRange(static_cast<int64_t>(paths.size()));
    int added = 0;
    for (size_t n = 0; n < paths.size() && !ui.cancelled(); ++n) {
        const std::string& path = paths[n];
        ui.setProgressSource(path);
        ui.setProgressPosition(static_cast<int64_t>(n));
        SourceFacts facts;
        int rc = probe.probe(path, facts);
        if (ui.cancelled()) break;  // a probe the Stop ended is no failure of the file
        if (rc != 1 || facts.frameCount < 1) {
            ui.showMessage(app::stringPrintf("%s\nFile: %s\nCode: %d", app::loadString(107).c_str(), path.c_str(),
                                             rc != 1 ? rc : -1),
                           app::Icon::Stop);
            continue;
        }
        int i = list.AddNewScene();
        if (i < 0) {
            ui.showMessage(app::stringPrintf("%s AddNewScene()!\nCode: %d", app::loadString(113).c_str(), i),
                           app::Icon::Stop);
            break;
        }
        fillWholeFile(list, i, path, facts);
        ++added;
    }
    ui.setProgressPosition(static_cast<int64_t>(paths.size()));
    return added;
}

}  // namespace klemora::scene
