// The main window's manual split: the manual cut dialog over the one
// selected scene; after OK the scene is split at every mark it set, as one
// undo step.
#include <vector>

#include "gui/area_player.h"
#include "gui/main_window.h"
#include "gui/manual_cut_dialog.h"
#include "gui/scene_list_view.h"
#include "media/media_settings.h"
#include "scene/edit_split.h"
#include "scene/selection.h"

namespace klemora::gui {
namespace {

constexpr const char* kCutCode = "KLM-SL-1017";  // the code splitScene reports a bad selection with

}  // namespace

void MainWindow::splitSceneManually() {
    if (m_running) return;
    const std::vector<int> rows = m_list->selectedRows();
    int row = -1;
    if (scene::readSingleSelection(m_shown, rows, kCutCode, app::Icon::Stop, m_ui, row) != scene::EditResult::Ok)
        return;
    const scene::SceneRecord& record = *m_shown.record(row);
    media::MediaSettings settings = media::readMediaSettings(m_settings);
    settings.log = m_log;
    ManualCutScene cut{std::string(scene::fieldText(record.sourceFile)), record.startFrame, record.stopFrame};
    ManualCutDialog dialog(m_ui, m_settings, settings, cut, makeAreaPlayer(m_ui, settings), this);
    if (aboutToCut) aboutToCut(dialog);
    if (dialog.exec() != QDialog::Accepted || !dialog.cutList().hasMarks()) return;
    const std::vector<int32_t> points(dialog.cutList().entries().begin(), dialog.cutList().entries().end());
    runCommand(Command::ManualSplit, scene::kScopeShown | scene::kScopeTrash,
               [&] { return scene::splitScene(m_shown, std::vector<int>{row}, points, m_trash, m_ui); });
    m_list->selectRows({row});
}

}  // namespace klemora::gui
