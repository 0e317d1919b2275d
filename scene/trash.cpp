#include "scene/trash.h"

#include <vector>

#include "app/string_table.h"

namespace klemora::scene {

int keepInTrash(SceneList& trash, const SceneList& list, std::span<const int> rows, app::UserInterface& ui) {
    int n = static_cast<int>(rows.size());
    if (n == 0) return 0;
    // Room for the whole selection is made in one step: as many old entries
    // go as new ones come.
    if (trash.count() >= kMaxTrashScenes - n && trash.count() > 0) trash.removeRecords(0, n);
    int kept = appendCopies(trash, list, rows);
    if (kept < n) ui.showMessage(app::loadString(171), app::Icon::Information);
    return kept;
}

EditResult deleteScenes(SceneList& list, Selection selection, SceneList& trash, app::UserInterface& ui) {
    return guardMemory(ui, [&] {
        std::vector<int> rows;
        if (EditResult rc = readSelection(list, selection, "KLM-SL-1033", ui, rows); rc != EditResult::Ok) return rc;
        keepInTrash(trash, list, rows, ui);
        removeRows(list, rows);
        return EditResult::Ok;
    });
}

EditResult restoreFromTrash(SceneList& list, SceneList& trash, Selection trashSelection, app::UserInterface& ui) {
    return guardMemory(ui, [&] {
        if (trash.count() == 0) {
            ui.showMessage(app::loadString(178), app::Icon::Stop);
            return EditResult::EmptyTrash;
        }
        std::vector<int> rows;
        if (EditResult rc = readSelection(trash, trashSelection, "KLM-TR-1004", ui, rows); rc != EditResult::Ok)
            return rc;
        EditResult result = EditResult::Ok;
        size_t restored = 0;
        for (; restored < rows.size(); ++restored) {
            int slot = list.AddNewScene();
            if (slot < 0) {
                showCallFailure(ui, "AddNewScene()", slot);
                result = EditResult::InsertFailed;
                break;
            }
            list.replaceRecord(slot, trash.record(rows[restored]));
        }
        removeRows(trash, std::span<const int>(rows).first(restored));
        return result;
    });
}

EditResult deleteFromTrash(SceneList& trash, Selection trashSelection, app::UserInterface& ui) {
    return guardMemory(ui, [&] {
        std::vector<int> rows;
        if (EditResult rc = readSelection(trash, trashSelection, "KLM-TR-1002", ui, rows); rc != EditResult::Ok)
            return rc;
        if (ui.ask(app::loadString(191), app::Buttons::YesNo, app::Icon::Question) != app::Answer::Yes)
            return EditResult::Declined;
        removeRows(trash, rows);
        return EditResult::Ok;
    });
}

}  // namespace klemora::scene
