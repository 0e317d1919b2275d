#include "scene/selection.h"

#include <algorithm>
#include <string>

#include "app/string_table.h"

namespace klemora::scene {

void showInternalError(app::UserInterface& ui, std::string_view code, app::Icon icon) {
    ui.showMessage(app::loadString(117) + "\nCode: " + std::string(code), icon);
}

void showCallFailure(app::UserInterface& ui, std::string_view call, int code, app::Icon icon) {
    ui.showMessage(app::loadString(113) + " " + std::string(call) + "!\nCode: " + std::to_string(code), icon);
}

void showOutOfMemory(app::UserInterface& ui) { ui.showMessage(app::loadString(109), app::Icon::Stop); }

EditResult selectedRows(const SceneList& list, Selection selection, std::vector<int>& rows) {
    rows.clear();
    if (selection.empty()) return EditResult::NothingSelected;
    rows.assign(selection.begin(), selection.end());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (!list.validIndex(rows.front()) || !list.validIndex(rows.back())) {
        rows.clear();
        return EditResult::BadSelection;
    }
    return EditResult::Ok;
}

EditResult readSelection(const SceneList& list, Selection selection, std::string_view code,
                         app::UserInterface& ui, std::vector<int>& rows) {
    EditResult rc = selectedRows(list, selection, rows);
    if (rc == EditResult::NothingSelected) ui.showMessage(app::loadString(116), app::Icon::Stop);
    if (rc == EditResult::BadSelection) showInternalError(ui, code);
    return rc;
}

EditResult readSingleSelection(const SceneList& list, Selection selection, std::string_view code,
                               app::Icon icon, app::UserInterface& ui, int& row) {
    std::vector<int> rows;
    if (EditResult rc = readSelection(list, selection, code, ui, rows); rc != EditResult::Ok) return rc;
    if (rows.size() != 1) {
        ui.showMessage(app::loadString(168), icon);
        return EditResult::OnlyOneAllowed;
    }
    row = rows.front();
    return EditResult::Ok;
}

int appendCopies(SceneList& target, const SceneList& source, std::span<const int> rows) {
    int copied = 0;
    for (int row : rows) {
        const SceneRecord* record = source.record(row);
        if (!record) break;
        int slot = target.AddNewScene();
        if (slot < 0) break;
        target.replaceRecord(slot, record);
        ++copied;
    }
    return copied;
}

void removeRows(SceneList& list, std::span<const int> rows) {
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) list.removeRecord(*it);
}

}  // namespace klemora::scene
