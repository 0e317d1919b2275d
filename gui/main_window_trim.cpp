// The main window's two trim commands: the trim dialog over a copy of the
// one selected scene or of the whole shown group; what it hands back after
// OK comes in as one undo step.
#include "app/string_table.h"
#include "gui/area_player.h"
#include "gui/main_window.h"
#include "gui/scene_list_view.h"
#include "gui/trim_dialog.h"
#include "media/media_settings.h"
#include "scene/edit_trim.h"
#include "scene/selection.h"

namespace klemora::gui {
namespace {

constexpr const char* kTrimCode = "KLM-SL-1017-2";  // the code applyTrim reports a bad selection with

}  // namespace

std::unique_ptr<TrimDialog> MainWindow::makeTrimDialog(const scene::SceneList& list, int current, bool single) {
    media::MediaSettings settings = media::readMediaSettings(m_settings);
    settings.log = m_log;
    auto dialog = std::make_unique<TrimDialog>(m_ui, m_settings, settings, makeAreaPlayer(m_ui, settings), list,
                                               current,
                                               single ? TrimDialog::Mode::SingleScene : TrimDialog::Mode::WholeGroup,
                                               this);
    if (aboutToTrim) aboutToTrim(*dialog);
    return dialog;
}

void MainWindow::trimScene() {
    if (m_running) return;
    const std::vector<int> rows = m_list->selectedRows();
    int row = -1;
    if (scene::readSingleSelection(m_shown, rows, kTrimCode, app::Icon::Stop, m_ui, row) != scene::EditResult::Ok)
        return;
    scene::SceneList one;
    if (scene::appendCopies(one, m_shown, std::vector<int>{row}) != 1) return scene::showOutOfMemory(m_ui);
    std::unique_ptr<TrimDialog> dialog = makeTrimDialog(one, 0, true);
    if (dialog->exec() != QDialog::Accepted) return;
    const scene::SceneRecord trimmed = *dialog->workingList().record(0);
    runCommand(Command::TrimScene, scene::kScopeShown,
               [&] { return scene::applyTrim(m_shown, std::vector<int>{row}, trimmed, m_ui); });
    m_list->selectRows({row});
}

void MainWindow::trimAllScenes() {
    if (m_running) return;
    if (m_shown.count() == 0) {
        m_ui.showMessage(app::loadString(174), app::Icon::Information);
        return;
    }
    const QModelIndex focused = m_list->currentIndex();
    std::unique_ptr<TrimDialog> dialog = makeTrimDialog(m_shown, focused.isValid() ? focused.row() : -1, false);
    if (dialog->exec() == QDialog::Accepted && dialog->workingList().modified()) {
        const scene::SceneList& trimmed = dialog->workingList();
        runCommand(Command::TrimAll, scene::kScopeShown, [&] {
            if (m_shown.copyFrom(trimmed) != 1) {
                scene::showOutOfMemory(m_ui);
                return scene::EditResult::OutOfMemory;
            }
            return scene::EditResult::Ok;
        });
    }
    m_list->selectRows({dialog->currentIndex()});
}

}  // namespace klemora::gui
