#pragma once
// The selected rows a command works on, read back the way every command of
// the shown list does it: nothing selected is refused with 116, an index the
// list does not hold is an internal error (117 with the command's code).
#include <new>
#include <span>
#include <string_view>
#include <vector>

#include "app/ui.h"
#include "scene/edit_result.h"
#include "scene/scene_list.h"

namespace klemora::scene {

// Row indexes of the list, in any order; duplicates count once.
using Selection = std::span<const int>;

// The selection in ascending order without showing anything: NothingSelected,
// BadSelection (rows left empty) or Ok.
EditResult selectedRows(const SceneList& list, Selection selection, std::vector<int>& rows);
// Fills rows with the selection in ascending order; a refusal is shown.
EditResult readSelection(const SceneList& list, Selection selection, std::string_view code,
                         app::UserInterface& ui, std::vector<int>& rows);
// Exactly one row: 116 for none, 168 (with `icon`) for several.
EditResult readSingleSelection(const SceneList& list, Selection selection, std::string_view code,
                               app::Icon icon, app::UserInterface& ui, int& row);

// 117 followed by "Code: " and the place's code.
void showInternalError(app::UserInterface& ui, std::string_view code, app::Icon icon = app::Icon::Stop);
// 113 "Fehler in" as "%s <call>!\nCode: %d".
void showCallFailure(app::UserInterface& ui, std::string_view call, int code, app::Icon icon = app::Icon::Stop);
void showOutOfMemory(app::UserInterface& ui);

// Runs a command; running out of memory anywhere in it becomes message 109.
template <typename Command>
EditResult guardMemory(app::UserInterface& ui, Command&& command) {
    try {
        return command();
    } catch (const std::bad_alloc&) {
        showOutOfMemory(ui);
        return EditResult::OutOfMemory;
    }
}

// Copies the given rows to the end of target, in the order given. Stops at
// the first append that fails (the caller says what failed);
// the result is the number of rows copied.
int appendCopies(SceneList& target, const SceneList& source, std::span<const int> rows);
// Removes the given ascending rows, from the last to the first.
void removeRows(SceneList& list, std::span<const int> rows);

}  // namespace klemora::scene
