#pragma once
// The messages behind a scene list's failure codes. The list itself shows
// nothing; whoever holds the user interface and calls the list shows them.
#include "app/ui.h"

namespace klemora::scene {

// After a failed AddNewScene, InsertNewScene or copyFrom on a valid index:
// 140 for a full list (-1), 109 when memory ran out (-2); other codes show
// nothing.
void showListFailure(app::UserInterface& ui, int code);

// After removeRecord(s) on a valid index: -1 means the storage could not
// shrink (141); the removal itself has taken effect.
void showShrinkFailure(app::UserInterface& ui, int code);

}  // namespace klemora::scene
