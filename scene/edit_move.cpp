#include "scene/edit_move.h"

#include <algorithm>
#include <vector>

namespace klemora::scene {
namespace {

const char* moveCode(MoveDirection direction) {
    switch (direction) {
    case MoveDirection::Up: return "KLM-SL-1025";
    case MoveDirection::Down: return "KLM-SL-1027";
    case MoveDirection::ToTop: return "KLM-SL-1029";
    case MoveDirection::ToEnd: return "KLM-SL-1031";
    }
    return "KLM-SL-1025";
}

int targetRow(const SceneList& list, int row, MoveDirection direction) {
    switch (direction) {
    case MoveDirection::Up: return row > 0 ? row - 1 : row;
    case MoveDirection::Down: return row + 1 < list.count() ? row + 1 : row;
    case MoveDirection::ToTop: return 0;
    case MoveDirection::ToEnd: return list.count() - 1;
    }
    return row;
}

}  // namespace

EditResult moveScene(SceneList& list, Selection selection, MoveDirection direction, app::UserInterface& ui,
                     int* movedTo) {
    int row = -1;
    EditResult rc = readSingleSelection(list, selection, moveCode(direction), app::Icon::Information, ui, row);
    if (rc != EditResult::Ok) return rc;
    int target = targetRow(list, row, direction);
    if (target != row) list.moveRecord(row, target);
    if (movedTo) *movedTo = target;
    return EditResult::Ok;
}

EditResult moveScenesTo(SceneList& list, Selection selection, int target, app::UserInterface& ui, int* firstRow) {
    std::vector<int> rows;
    EditResult rc = readSelection(list, selection, "KLM-SW-1004", ui, rows);
    if (rc != EditResult::Ok) return rc;
    const int first = std::clamp(target, 0, list.count() - static_cast<int>(rows.size()));
    // The unmarked scenes keep their order; the marked ones go in at `first`.
    std::vector<SceneRecord> kept, marked;
    kept.reserve(static_cast<size_t>(list.count()));
    for (int i = 0; i < list.count(); ++i)
        (std::binary_search(rows.begin(), rows.end(), i) ? marked : kept).push_back(list.slot(i));
    kept.insert(kept.begin() + first, marked.begin(), marked.end());
    for (int i = 0; i < list.count(); ++i) list.replaceRecord(i, &kept[static_cast<size_t>(i)]);
    if (firstRow) *firstRow = first;
    return EditResult::Ok;
}

}  // namespace klemora::scene
