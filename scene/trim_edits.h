#pragma once
// The editing rules of the trim dialog on its private working list: IN and
// OUT points, split before a frame, merging neighbours, deleting, where
// navigation lands, the scene box and status texts, and the ranges and
// timer steps of its three play modes. No toolkit; messages go through the seam.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/ui.h"
#include "scene/scene_list.h"

namespace klemora::scene {

enum class TrimEdit : int {
    Done = 1,
    Unchanged = 0,      // the rule says nothing happens here; nothing was shown
    Refused = -1,       // 205, 206 or 172 was shown
    Declined = -2,      // the user answered No
    InsertFailed = -3,  // 113 with the failed call
    OutOfMemory = -4,   // 109
};
std::string_view trimEditName(TrimEdit result);

// Which scene is current and which frame the slider shows.
struct TrimPlace {
    int index = 0;
    int32_t frame = 0;
    bool operator==(const TrimPlace&) const = default;
};

// IN at `position`: only before the stop (else 205); the recording time and
// timecode follow the start. OUT: only after the start (else 206); the time
// data stay, as they belong to the first frame.
TrimEdit setInPoint(SceneList& list, int index, int32_t position, app::UserInterface& ui);
TrimEdit setOutPoint(SceneList& list, int index, int32_t position, app::UserInterface& ui);
// Flips the 'scene done' status (the F key).
TrimEdit toggleSceneDone(SceneList& list, int index);
TrimEdit setSceneDone(SceneList& list, int index, bool done);

// Splits before `position`, which must lie strictly inside the defined range
// (else Unchanged). On Done, `place` is the second piece at its start.
TrimEdit splitBefore(SceneList& list, int index, int32_t position, app::UserInterface& ui, TrimPlace* place);

// Merges the current scene with its previous or next neighbour (same source
// file, without regard to case; else 172). On Done, `place` is the merged
// scene at the junction frame.
TrimEdit mergeWithPrevious(SceneList& list, int index, app::UserInterface& ui, TrimPlace* place);
TrimEdit mergeWithNext(SceneList& list, int index, app::UserInterface& ui, TrimPlace* place);

// Asks 325 and deletes the current scene; never the last one left
// (Unchanged). On Done, `place` is the scene now at that index (or the last
// one) at its start.
TrimEdit deleteCurrent(SceneList& list, int index, app::UserInterface& ui, TrimPlace* place);

// Navigation targets. At the first (last) scene the current one is shown at
// its start (stop).
TrimPlace previousScenePlace(const SceneList& list, int index);
TrimPlace nextScenePlace(const SceneList& list, int index);
// A line chosen in the scene box: at its start going forwards, at its stop going back.
TrimPlace chosenScenePlace(const SceneList& list, int oldIndex, int newIndex);
// A scroll that stays at an end of the defined range where the previous one
// already was moves on to the neighbour on that side, if there is one.
std::optional<TrimPlace> sliderEndPlace(const SceneList& list, int index, int32_t position, int32_t lastPosition);

// "1. -> Datei: a.avi / Start: 1 / Stop: 250 / Status: Ok".
std::string sceneBoxLine(const SceneList& list, int index);
// "Dauer: 00:00:10:00,    Bild: 3/250,    Zeit: 00:00:00:02", with "+"
// forms beyond the stop and "-" forms before the start.
std::string trimStatusLine(const SceneList& list, int index, int32_t position);

// Timer playback at speed index k > 0: period 1000 / fps - 10 ms, k + 1 frames a tick.
int timerPeriodMs(float fps);
int timerStepFrames(int speedIndex);
// The next slider position, or nothing when the step would pass `end`.
std::optional<int32_t> nextTimerPosition(int32_t position, int speedIndex, int32_t end);

struct PlayRange {
    int index = 0;
    int32_t from = 0;
    int32_t to = 0;
    bool operator==(const PlayRange&) const = default;
};
// The defined range from the slider on (from its lower end once the slider is at its upper end).
PlayRange playSceneRange(const SceneList& list, int index, int32_t position);
// Start..stop from the slider on (from the start when the slider is outside start..stop-1).
PlayRange playTrimmedRange(const SceneList& list, int index, int32_t position);
// The first scene of "play all": the current one from the slider, or, once
// the slider is at or past its stop, the next one (wrapping to the first) from its start.
PlayRange playAllFirst(const SceneList& list, int index, int32_t position);
// The scene after `index` from start to stop; none after the last.
std::optional<PlayRange> playAllNext(const SceneList& list, int index);

}  // namespace klemora::scene
