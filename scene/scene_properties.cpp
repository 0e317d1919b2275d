#include "scene/scene_properties.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "app/string_table.h"
#include "app/text_format.h"
#include "scene/file_name_chars.h"
#include "scene/time_text.h"

namespace klemora::scene {
namespace {

PropertyRefusal refuse(PropertyField field, std::string message) { return {field, std::move(message), 0}; }

PropertyRefusal withLimit(PropertyField field, int text, const char* label, int32_t limit) {
    return refuse(field, app::stringPrintf("%s\n%s: %d", app::loadString(text).c_str(), label, limit));
}

// A scene with no recording date keeps having none when its start moves.
bool hasRecordingDate(const RecordingTime& time) {
    return time != kNoRecordingTime && !(time == RecordingTime{0, 0, 0, 0, 0, 0, 0, 0, 0});
}

}  // namespace

SceneProperties propertiesOf(const SceneRecord& scene) {
    SceneProperties v;
    v.sourceFile = std::string(fieldText(scene.sourceFile));
    v.firstFrame = scene.startFrame + 1;
    v.lastFrame = scene.stopFrame + 1;
    v.destName = std::string(fieldText(scene.destName));
    v.speedFactor = scene.speedFactor;
    v.comment = std::string(fieldText(scene.comment));
    v.recordingTime = scene.recordingTime;
    v.startTimecode = scene.timecode;
    v.done = scene.okStatus != 0;
    v.fileFirstFrame = scene.fileFirstFrame;
    v.fileLastFrame = scene.fileLastFrame;
    v.framesPerSecond = static_cast<float>(scene.rate());
    v.anchorFrame = v.firstFrame;
    v.anchorTime = v.recordingTime;
    v.anchorTimecode = v.startTimecode;
    v.problematicOpenDml = scene.openDmlKind == 2;
    v.notAllKeyframes = scene.allKeyframes == 0;
    return v;
}

bool canEditSceneProperties(const SceneList& list, Selection selection) {
    std::vector<int> rows;
    return selectedRows(list, selection, rows) == EditResult::Ok;
}

void moveFirstFrame(SceneProperties& v, int32_t firstFrame) {
    const int32_t moved = firstFrame - v.anchorFrame;
    v.firstFrame = firstFrame;
    v.startTimecode = addFramesToTimecode(v.anchorTimecode, moved, v.framesPerSecond);
    if (hasRecordingDate(v.anchorTime))
        v.recordingTime = addFramesToRecordingTime(v.anchorTime, moved, v.framesPerSecond);
}

void setRecordingTime(SceneProperties& v, const RecordingTime& time) {
    v.recordingTime = v.anchorTime = time;
    v.anchorFrame = v.firstFrame;
    v.anchorTimecode = v.startTimecode;
}

void setStartTimecode(SceneProperties& v, Timecode timecode) {
    v.startTimecode = v.anchorTimecode = timecode;
    v.anchorFrame = v.firstFrame;
    v.anchorTime = v.recordingTime;
}

Timecode stopTimecodeOf(const SceneProperties& v) {
    return addFramesToTimecode(v.startTimecode, v.lastFrame - v.firstFrame + 1, v.framesPerSecond);
}

PropertyRefusal checkSpeed(double speed) {
    if (speed >= kMinPropertiesSpeed && speed <= kMaxPropertiesSpeed) return {};  // NaN fails both
    return refuse(PropertyField::SpeedFactor, app::loadString(187));
}

PropertyRefusal readSpeedText(std::string_view text, double& speed) {
    if (text.find(',') != std::string_view::npos) return refuse(PropertyField::SpeedFactor, app::loadString(189));
    const std::string copy(text);
    char* end = nullptr;
    double typed = std::strtod(copy.c_str(), &end);
    while (end && (*end == ' ' || *end == '\t')) ++end;
    if (copy.empty() || end == copy.c_str() || *end != '\0') typed = 0;  // refused by the range check
    PropertyRefusal r = checkSpeed(typed);
    if (r.passed()) speed = typed;
    return r;
}

PropertyRefusal checkDestName(std::string_view name) {
    size_t bad = findInvalidFileNameChar(name);
    if (bad == name.size()) return {};
    PropertyRefusal r =
        refuse(PropertyField::DestName, app::stringPrintf("%s\nChar:    %c", app::loadString(409).c_str(), name[bad]));
    r.invalidCharAt = bad;
    return r;
}

PropertyRefusal checkFrames(const SceneProperties& v) {
    // 64-bit, so that a frame typed at the int32 limit cannot wrap.
    const int64_t first = int64_t{v.firstFrame} - 1, last = int64_t{v.lastFrame} - 1;
    if (first < v.fileFirstFrame) return withLimit(PropertyField::FirstFrame, 181, "Min.", v.fileFirstFrame + 1);
    if (first > v.fileLastFrame) return withLimit(PropertyField::FirstFrame, 182, "Max.", v.fileLastFrame + 1);
    if (last < first) return refuse(PropertyField::LastFrame, app::loadString(183));
    if (last < v.fileFirstFrame) return withLimit(PropertyField::LastFrame, 184, "Min.", v.fileFirstFrame + 1);
    if (last > v.fileLastFrame) return withLimit(PropertyField::LastFrame, 185, "Max.", v.fileLastFrame + 1);
    return {};
}

PropertyRefusal checkSceneProperties(const SceneProperties& v) {
    if (PropertyRefusal r = checkFrames(v); !r.passed()) return r;
    if (PropertyRefusal r = checkSpeed(v.speedFactor); !r.passed()) return r;
    if (PropertyRefusal r = checkDestName(v.destName); !r.passed()) return r;
    if (PropertyRefusal r = checkFieldLength(PropertyField::DestName, v.destName.size()); !r.passed()) return r;
    return checkFieldLength(PropertyField::Comment, v.comment.size());
}

PropertyRefusal checkSharedProperties(std::optional<double> speed, std::string_view destName) {
    if (speed) {
        if (PropertyRefusal r = checkSpeed(*speed); !r.passed()) return r;
    }
    return checkDestName(destName);
}

int maxLengthOf(PropertyField field) { return field == PropertyField::Comment ? kMaxCommentLength : kMaxPathLength; }

PropertyRefusal checkFieldLength(PropertyField field, size_t length) {
    const int max = maxLengthOf(field);
    if (length <= static_cast<size_t>(max)) return {};
    return withLimit(field, 188, "Max", max);
}

EditResult applySceneProperties(SceneList& list, Selection selection, const SceneProperties& v, app::UserInterface& ui) {
    int row = -1;
    if (EditResult rc = readSingleSelection(list, selection, kPropertiesCode, app::Icon::Stop, ui, row);
        rc != EditResult::Ok)
        return rc;
    SceneProperties checked = v;
    checked.fileFirstFrame = list.fileFirstFrame(row);
    checked.fileLastFrame = list.fileLastFrame(row);
    if (PropertyRefusal r = checkSceneProperties(checked); !r.passed()) {
        ui.showMessage(r.message, app::Icon::Stop);
        return EditResult::BadInput;
    }
    const SceneRecord scene = sceneFromProperties(*list.record(row), checked);
    list.replaceRecord(row, &scene);
    list.setModified(true);
    return EditResult::Ok;
}

SharedProperties sharedPropertiesOf(const SceneList& list, Selection selection) {
    SharedProperties shared;
    std::vector<int> rows;
    if (selectedRows(list, selection, rows) != EditResult::Ok) return shared;
    const float first = list.speedFactor(rows.front());
    if (std::all_of(rows.begin(), rows.end(), [&](int r) { return list.speedFactor(r) == first; }))
        shared.speedFactor = first;
    return shared;
}

std::string replaceKeepMark(std::string_view text, std::string_view present) {
    std::string out;
    for (char c : text) {
        if (c == kKeepTextMark)
            out += present;
        else
            out += c;
    }
    return out;
}

EditResult applySharedProperties(SceneList& list, Selection selection, const SharedProperties& v, app::UserInterface& ui) {
    std::vector<int> rows;
    if (EditResult rc = readSelection(list, selection, kPropertiesCode, ui, rows); rc != EditResult::Ok) return rc;
    if (PropertyRefusal r = checkSharedProperties(v.speedFactor, v.destName); !r.passed()) {
        ui.showMessage(r.message, app::Icon::Stop);
        return EditResult::BadInput;
    }
    struct Texts {
        std::string comment, destName;
    };
    std::vector<Texts> texts;
    for (int row : rows) {
        Texts t{replaceKeepMark(v.comment, list.comment(row)), replaceKeepMark(v.destName, list.destName(row))};
        for (auto [field, size] : {std::pair{PropertyField::Comment, t.comment.size()},
                                   std::pair{PropertyField::DestName, t.destName.size()}}) {
            if (PropertyRefusal r = checkFieldLength(field, size); !r.passed()) {
                ui.showMessage(r.message, app::Icon::Stop);
                return EditResult::BadInput;
            }
        }
        texts.push_back(std::move(t));
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        list.setComment(rows[i], texts[i].comment);
        list.setDestName(rows[i], texts[i].destName);
        if (v.speedFactor) list.setSpeedFactor(rows[i], static_cast<float>(*v.speedFactor));
    }
    return EditResult::Ok;
}

SceneRecord sceneFromProperties(const SceneRecord& original, const SceneProperties& v) {
    SceneRecord scene = original;
    scene.startFrame = v.firstFrame - 1;
    scene.stopFrame = v.lastFrame - 1;
    // A scene typed wider than its defined range gets the room to be trimmed back to it.
    scene.definedStart = std::min(scene.definedStart, scene.startFrame);
    scene.definedStop = std::max(scene.definedStop, scene.stopFrame);
    assignField(scene.destName, v.destName);
    assignField(scene.comment, v.comment);
    scene.speedFactor = static_cast<float>(v.speedFactor);
    scene.recordingTime = v.recordingTime;
    scene.timecode = v.startTimecode;
    scene.okStatus = v.done ? 1 : 0;
    return scene;
}

void takeTrimmedScene(SceneProperties& v, const SceneRecord& trimmed) {
    v.firstFrame = trimmed.startFrame + 1;
    v.lastFrame = trimmed.stopFrame + 1;
    v.done = trimmed.okStatus != 0;
    v.recordingTime = trimmed.recordingTime;
    v.startTimecode = trimmed.timecode;
    v.anchorFrame = v.firstFrame;
    v.anchorTime = v.recordingTime;
    v.anchorTimecode = v.startTimecode;
}

}  // namespace klemora::scene
