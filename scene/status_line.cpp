#include "scene/status_line.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/string_table.h"
#include "app/text_format.h"
#include "scene/time_text.h"

namespace klemora::scene {
namespace {

float statusRate(const SceneList& shown) {
    float fps = shown.count() > 0 ? shown.framesPerSecond(0) : 0.0f;
    return fps > 0 ? std::ceil(fps) : 25.0f;
}

std::string lengthOf(int64_t frames, float rate) {
    frames = std::clamp<int64_t>(frames, 0, std::numeric_limits<int32_t>::max());
    return lengthText(static_cast<int32_t>(frames), rate);
}

}  // namespace

std::string statusLineText(const SceneList& shown, std::span<const int> selectedRows, const GroupTree& tree,
                           const Group* shownGroup) {
    const float rate = statusRate(shown);
    int64_t selectedFrames = 0;
    int selected = 0;
    for (int row : selectedRows) {
        if (!shown.validIndex(row)) continue;
        selectedFrames += shown.lengthFrames(row);
        ++selected;
    }
    int64_t projectFrames = tree.totalFrames() + shown.totalFrames();
    int projectScenes = tree.totalScenes() + shown.count();
    if (shownGroup) {
        projectFrames -= shownGroup->list().totalFrames();
        projectScenes -= shownGroup->list().count();
    }
    const std::string inGroup = app::loadString(431);
    return app::stringPrintf("%s %s: %d (%s)          %s %s: %d (%s)          %s: %d (%s)",
                             app::loadString(423).c_str(), inGroup.c_str(), selected,
                             lengthOf(selectedFrames, rate).c_str(), app::loadString(167).c_str(), inGroup.c_str(),
                             shown.count(), lengthOf(shown.totalFrames(), rate).c_str(),
                             app::loadString(430).c_str(), projectScenes, lengthOf(projectFrames, rate).c_str());
}

}  // namespace klemora::scene
