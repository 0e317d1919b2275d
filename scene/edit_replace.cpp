#include "scene/edit_replace.h"

#include <cstdio>
#include <optional>
#include <vector>

#include "app/string_table.h"

namespace klemora::scene {
namespace {

bool liesWithin(const SceneRecord& found, const SceneRecord& scene) {
    return fieldText(found.sourceFile) == fieldText(scene.sourceFile) && found.startFrame >= scene.startFrame &&
           found.stopFrame <= scene.stopFrame;
}

std::vector<int> matchesOf(const SceneRecord& scene, const SceneList& found) {
    std::vector<int> matches;
    for (int i = 0; i < found.count(); ++i)
        if (liesWithin(*found.record(i), scene)) matches.push_back(i);
    return matches;
}

class ReplaceProgress {
public:
    ReplaceProgress(app::UserInterface& ui, bool shown, int foundCount) : m_ui(ui), m_foundCount(foundCount) {
        if (!shown) return;
        m_scope.emplace(ui);
        ui.setProgressRange(foundCount);
    }
    void scene(const SceneRecord& scene) {
        if (!m_scope) return;
        char text[kMaxPathLength + 64];
        std::snprintf(text, sizeof text, "%s (%d -> %d)", scene.sourceFile, scene.startFrame + 1, scene.stopFrame + 1);
        m_ui.setProgressSource(text);
    }
    void inserted() {
        ++m_number;
        if (!m_scope) return;
        m_ui.setProgressLine(1, app::loadString(341) + " " + std::to_string(m_number) + " " + app::loadString(156) +
                                    " " + std::to_string(m_foundCount));
        m_ui.setProgressPosition(m_number);
        m_ui.pump();
    }

private:
    app::UserInterface& m_ui;
    std::optional<app::ProgressScope> m_scope;
    int m_foundCount;
    int m_number = 0;
};

}  // namespace

EditResult replaceByFoundScenes(SceneList& list, Selection selection, const SceneList& found, app::UserInterface& ui,
                                bool showProgress) {
    return guardMemory(ui, [&] {
        std::vector<int> rows;
        if (EditResult rc = readSelection(list, selection, "KLM-SL-1014", ui, rows); rc != EditResult::Ok) return rc;
        std::vector<std::vector<int>> matches;
        int resultCount = list.count();
        for (int row : rows) {
            matches.push_back(matchesOf(*list.record(row), found));
            if (!matches.back().empty()) resultCount += static_cast<int>(matches.back().size()) - 1;
        }
        // Checked before anything changes, so that a full list never loses a scene.
        if (resultCount > kMaxScenes) {
            ui.showMessage(app::loadString(140), app::Icon::Stop);
            return EditResult::TooManyScenes;
        }
        ReplaceProgress progress(ui, showProgress, found.count());
        EditResult result = EditResult::Ok;
        for (size_t k = rows.size(); k-- > 0;) {
            if (matches[k].empty()) continue;
            int row = rows[k];
            progress.scene(*list.record(row));
            list.removeRecord(row);
            int position = row;
            for (int match : matches[k]) {
                int slot = list.InsertNewScene(position);
                if (slot < 0) {
                    showCallFailure(ui, "InsertNewScene()", slot, app::Icon::Information);
                    result = EditResult::InsertFailed;
                    continue;
                }
                list.replaceRecord(slot, found.record(match));
                ++position;
                progress.inserted();
            }
        }
        return result;
    });
}

}  // namespace klemora::scene
