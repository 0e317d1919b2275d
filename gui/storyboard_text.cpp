#include "gui/storyboard_text.h"

#include "app/string_table.h"
#include "app/text_format.h"
#include "scene/scene_list.h"
#include "scene/time_text.h"

namespace klemora::gui {

QString storyboardSceneText(const scene::SceneList& list, int row, bool german) {
    if (!list.validIndex(row)) return {};
    const char* end = german ? ":\t\t" : ":\t";
    auto line = [end](int label, const std::string& value) { return "\n" + app::loadString(label) + end + value; };
    const scene::SceneRecord& record = *list.record(row);
    std::string text = app::stringPrintf(list.okStatus(row) ? "%s:\t\t%d   (%s: Ok)" : "%s:\t\t%d   (%s: --)",
                                         app::loadString(341).c_str(), row + 1, app::loadString(439).c_str());
    text += line(122, scene::lengthText(list.lengthFrames(row), list.framesPerSecond(row)));
    text += line(346, scene::recordingTimeText(list.recordingTime(row)));
    text += line(395, scene::timecodeText(list.timecode(row)) + " -> " + scene::timecodeText(scene::stopTimecode(record)));
    text += app::stringPrintf("\n%s:\t%s", app::loadString(158).c_str(), std::string(list.sourceFile(row)).c_str());
    text += line(200, std::string(list.comment(row)));
    return QString::fromStdString(text);
}

}  // namespace klemora::gui
