#pragma once
// Sorting a whole list by one of the nine keys of the sort dialog.
#include "app/ui.h"
#include "scene/edit_result.h"
#include "scene/scene_list.h"

namespace klemora::scene {

// The numbers are the ones the sort has always been called with.
enum class SortKey : int {
    SourceFile = 3,
    DestName = 4,
    Start = 5,
    Stop = 6,
    Length = 7,
    SpeedFactor = 8,
    RecordingTime = 9,
    Timecode = 10,
    Status = 11,
};
enum class SortDirection : int { Ascending = 1, Descending = 2 };

// The sort dialog lists the keys in number order; an index outside the list
// means the first key.
SortKey sortKeyFromDialogIndex(int index);

// Sorts all scenes and marks the list modified. *keyMissing (when given)
// tells whether a compared record had no usable key (an empty text or a
// negative number where the key needs one).
void sortScenes(SceneList& list, SortKey key, SortDirection direction, bool* keyMissing = nullptr);

// The sort command: 174 for an empty list; after sorting 332 (information)
// when some record had no usable key. The sorted order stands either way.
EditResult sortShownList(SceneList& list, SortKey key, SortDirection direction, app::UserInterface& ui);

}  // namespace klemora::scene
