#include "scene/edit_status.h"

#include <vector>

namespace klemora::scene {

EditResult toggleOkStatus(SceneList& list, Selection selection, app::UserInterface& ui) {
    return guardMemory(ui, [&] {
        std::vector<int> rows;
        if (EditResult rc = readSelection(list, selection, "KLM-SL-1012", ui, rows); rc != EditResult::Ok) return rc;
        for (int row : rows) list.setOkStatus(row, list.okStatus(row) != 0 ? 0 : 1);
        return EditResult::Ok;
    });
}

}  // namespace klemora::scene
