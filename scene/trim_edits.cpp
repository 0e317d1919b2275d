#include "scene/trim_edits.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "app/string_table.h"
#include "app/text_format.h"
#include "scene/list_failure.h"
#include "scene/selection.h"
#include "scene/time_text.h"

namespace klemora::scene {
namespace {

// The recording time and timecode name the first frame: they follow a start that moves.
void moveTimeData(SceneRecord& scene, int32_t frames) {
    float fps = static_cast<float>(scene.rate());
    scene.recordingTime = addFramesToRecordingTime(scene.recordingTime, frames, fps);
    scene.timecode = addFramesToTimecode(scene.timecode, frames, fps);
}

int truncatedRate(float fps) { return std::max(1, static_cast<int>(fps > 0 ? fps : 25.0f)); }

// Copies of both records are taken first, so a failed removal leaves them readable.
TrimEdit mergePair(SceneList& list, int earlier, app::UserInterface& ui) {
    const SceneRecord first = *list.record(earlier);
    const SceneRecord second = *list.record(earlier + 1);
    if (app::compareAsciiNoCase(fieldText(first.sourceFile), fieldText(second.sourceFile)) != 0) {
        ui.showMessage(app::loadString(172), app::Icon::Stop);
        return TrimEdit::Refused;
    }
    // On a tie the later scene supplies the start or the stop.
    const SceneRecord& startFrom = second.startFrame <= first.startFrame ? second : first;
    const SceneRecord& stopFrom = second.stopFrame >= first.stopFrame ? second : first;
    SceneRecord merged = first;
    merged.startFrame = startFrom.startFrame;
    merged.recordingTime = startFrom.recordingTime;
    merged.timecode = startFrom.timecode;
    merged.definedStart = startFrom.definedStart;
    merged.fileFirstFrame = startFrom.fileFirstFrame;
    merged.stopFrame = stopFrom.stopFrame;
    merged.definedStop = stopFrom.definedStop;
    merged.fileLastFrame = stopFrom.fileLastFrame;
    list.replaceRecord(earlier, &merged);
    showShrinkFailure(ui, list.removeRecord(earlier + 1));
    list.setModified(true);
    return TrimEdit::Done;
}

template <typename Edit>
TrimEdit guardTrimMemory(app::UserInterface& ui, Edit&& edit) {
    try {
        return edit();
    } catch (const std::bad_alloc&) {
        showOutOfMemory(ui);
        return TrimEdit::OutOfMemory;
    }
}

}  // namespace

std::string_view trimEditName(TrimEdit result) {
    switch (result) {
    case TrimEdit::Done: return "Done";
    case TrimEdit::Unchanged: return "Unchanged";
    case TrimEdit::Refused: return "Refused";
    case TrimEdit::Declined: return "Declined";
    case TrimEdit::InsertFailed: return "InsertFailed";
    case TrimEdit::OutOfMemory: return "OutOfMemory";
    }
    return "Unknown";
}

TrimEdit setInPoint(SceneList& list, int index, int32_t position, app::UserInterface& ui) {
    SceneRecord* scene = list.mutableRecord(index);
    if (!scene || position < 0) return TrimEdit::Unchanged;
    if (position >= scene->stopFrame) {
        ui.showMessage(app::loadString(205), app::Icon::Stop);
        return TrimEdit::Refused;
    }
    moveTimeData(*scene, position - scene->startFrame);
    scene->startFrame = position;
    list.setModified(true);
    return TrimEdit::Done;
}

TrimEdit setOutPoint(SceneList& list, int index, int32_t position, app::UserInterface& ui) {
    SceneRecord* scene = list.mutableRecord(index);
    if (!scene || position < 0) return TrimEdit::Unchanged;
    if (position <= scene->startFrame) {
        ui.showMessage(app::loadString(206), app::Icon::Stop);
        return TrimEdit::Refused;
    }
    scene->stopFrame = position;
    list.setModified(true);
    return TrimEdit::Done;
}

TrimEdit toggleSceneDone(SceneList& list, int index) {
    return setSceneDone(list, index, list.okStatus(index) == 0);
}

TrimEdit setSceneDone(SceneList& list, int index, bool done) {
    return list.setOkStatus(index, done ? 1 : 0) == 1 ? TrimEdit::Done : TrimEdit::Unchanged;
}

TrimEdit splitBefore(SceneList& list, int index, int32_t p, app::UserInterface& ui, TrimPlace* place) {
    const SceneRecord* found = list.record(index);
    if (!found || p <= found->definedStart || p >= found->definedStop) return TrimEdit::Unchanged;
    return guardTrimMemory(ui, [&] {
        const SceneRecord scene = *found;
        int slot = list.InsertNewScene(index + 1);
        if (slot < 0) {
            showCallFailure(ui, "InsertNewScene()", slot);
            return TrimEdit::InsertFailed;
        }
        SceneRecord first = scene;
        SceneRecord second = scene;
        first.definedStop = p - 1;
        second.definedStart = p;
        if (p <= scene.startFrame) {  // in the trimmed-away head: the head becomes a scene of its own
            first.startFrame = scene.definedStart;
            first.stopFrame = p - 1;
            moveTimeData(first, scene.definedStart - scene.startFrame);
        } else {
            if (p <= scene.stopFrame) first.stopFrame = p - 1;
            else second.stopFrame = scene.definedStop;  // in the trimmed-away tail
            second.startFrame = p;
            moveTimeData(second, p - scene.startFrame);
        }
        list.replaceRecord(index, &first);
        list.replaceRecord(index + 1, &second);
        list.setModified(true);
        if (place) *place = {index + 1, second.startFrame};
        return TrimEdit::Done;
    });
}

TrimEdit mergeWithPrevious(SceneList& list, int index, app::UserInterface& ui, TrimPlace* place) {
    if (index < 1 || !list.validIndex(index)) return TrimEdit::Unchanged;
    int32_t junction = list.startFrame(index);
    TrimEdit result = guardTrimMemory(ui, [&] { return mergePair(list, index - 1, ui); });
    if (result == TrimEdit::Done && place) *place = {index - 1, junction};
    return result;
}

TrimEdit mergeWithNext(SceneList& list, int index, app::UserInterface& ui, TrimPlace* place) {
    if (!list.validIndex(index) || !list.validIndex(index + 1)) return TrimEdit::Unchanged;
    int32_t junction = list.stopFrame(index);
    TrimEdit result = guardTrimMemory(ui, [&] { return mergePair(list, index, ui); });
    if (result == TrimEdit::Done && place) *place = {index, junction};
    return result;
}

TrimEdit deleteCurrent(SceneList& list, int index, app::UserInterface& ui, TrimPlace* place) {
    if (list.count() <= 1 || !list.validIndex(index)) return TrimEdit::Unchanged;
    if (ui.ask(app::loadString(325), app::Buttons::YesNo, app::Icon::Question) != app::Answer::Yes)
        return TrimEdit::Declined;
    showShrinkFailure(ui, list.removeRecord(index));
    int current = std::min(index, list.count() - 1);
    if (place) *place = {current, list.startFrame(current)};
    return TrimEdit::Done;
}

TrimPlace previousScenePlace(const SceneList& list, int index) {
    if (index <= 0) return {0, list.startFrame(0)};
    return {index - 1, list.stopFrame(index - 1)};
}

TrimPlace nextScenePlace(const SceneList& list, int index) {
    int last = list.count() - 1;
    if (index >= last) return {last, list.stopFrame(last)};
    return {index + 1, list.startFrame(index + 1)};
}

TrimPlace chosenScenePlace(const SceneList& list, int oldIndex, int newIndex) {
    return {newIndex, newIndex >= oldIndex ? list.startFrame(newIndex) : list.stopFrame(newIndex)};
}

std::optional<TrimPlace> sliderEndPlace(const SceneList& list, int index, int32_t position, int32_t lastPosition) {
    if (!list.validIndex(index) || position != lastPosition) return std::nullopt;
    if (position == list.definedStart(index) && index > 0) return previousScenePlace(list, index);
    if (position == list.definedStop(index) && index + 1 < list.count()) return nextScenePlace(list, index);
    return std::nullopt;
}

std::string sceneBoxLine(const SceneList& list, int index) {
    std::string_view path = list.sourceFile(index);
    size_t slash = path.find_last_of("/\\");
    std::string name(slash == std::string_view::npos ? path : path.substr(slash + 1));
    const char* status = list.okStatus(index) != 0 ? "Ok" : "--";
    return app::stringPrintf("%d. -> %s: %s / %s: %d / %s: %d / %s: %s", index + 1, app::loadString(202).c_str(),
                             name.c_str(), app::loadString(104).c_str(), list.startFrame(index) + 1,
                             app::loadString(153).c_str(), list.stopFrame(index) + 1, app::loadString(439).c_str(),
                             status);
}

std::string trimStatusLine(const SceneList& list, int index, int32_t position) {
    if (!list.validIndex(index)) return {};
    const float fps = list.framesPerSecond(index);
    const int fr = truncatedRate(fps);
    const int32_t start = list.startFrame(index);
    const int32_t stop = list.stopFrame(index);
    const int32_t length = stop - start + 1;
    const int32_t d = position - start;
    const std::string duration = lengthText(length, fps);
    const std::string dauer = app::loadString(122), bild = app::loadString(155), zeit = app::loadString(159);
    if (d >= 0 && d + 1 <= length) {
        TimeParts t = wholeRateParts(d, fr);
        return app::stringPrintf("%s: %s,    %s: %d/%d,    %s: %02d:%02d:%02d:%02d", dauer.c_str(), duration.c_str(),
                                 bild.c_str(), d + 1, length, zeit.c_str(), t.hours, t.minutes, t.seconds, t.frames);
    }
    if (d >= 0) {
        TimeParts t = wholeRateParts(position - stop, fr);
        return app::stringPrintf("%s: %s,    %s: +%d/%d,    %s: +%02d:+%02d:+%02d:+%02d", dauer.c_str(),
                                 duration.c_str(), bild.c_str(), d + 1 - length, length, zeit.c_str(), t.hours, t.minutes,
                                 t.seconds, t.frames);
    }
    TimeParts t = wholeRateParts(-d, fr);
    return app::stringPrintf("%s: %s,    %s: %d/%d,    %s: -%02d:-%02d:-%02d:-%02d", dauer.c_str(), duration.c_str(),
                             bild.c_str(), d, length, zeit.c_str(), t.hours, t.minutes, t.seconds, t.frames);
}

int timerPeriodMs(float fps) { return std::max(1, 1000 / truncatedRate(fps) - 10); }

int timerStepFrames(int speedIndex) { return speedIndex + 1; }

std::optional<int32_t> nextTimerPosition(int32_t position, int speedIndex, int32_t end) {
    int64_t next = int64_t{position} + timerStepFrames(speedIndex);
    if (next > end) return std::nullopt;
    return static_cast<int32_t>(next);
}

PlayRange playSceneRange(const SceneList& list, int index, int32_t position) {
    int32_t lower = list.definedStart(index), upper = list.definedStop(index);
    return {index, position >= upper ? lower : std::max(position, lower), upper};
}

PlayRange playTrimmedRange(const SceneList& list, int index, int32_t position) {
    int32_t start = list.startFrame(index), stop = list.stopFrame(index);
    return {index, position < start || position >= stop ? start : position, stop};
}

PlayRange playAllFirst(const SceneList& list, int index, int32_t position) {
    if (position >= list.stopFrame(index)) {
        int next = index + 1 < list.count() ? index + 1 : 0;
        return {next, list.startFrame(next), list.stopFrame(next)};
    }
    return {index, position, list.stopFrame(index)};
}

std::optional<PlayRange> playAllNext(const SceneList& list, int index) {
    if (index + 1 >= list.count()) return std::nullopt;
    return PlayRange{index + 1, list.startFrame(index + 1), list.stopFrame(index + 1)};
}

}  // namespace klemora::scene
