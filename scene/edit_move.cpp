#include "scene/edit_move.h"

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

}  // namespace klemora::scene
