// The main window's scene properties command: the dialog over the one
// selected scene, or over the shared fields of several; what OK hands back
// comes in as one undo step.
#include "gui/main_window.h"
#include "gui/scene_list_view.h"
#include "gui/scene_properties_dialog.h"
#include "gui/trim_dialog.h"
#include "scene/scene_properties.h"

namespace klemora::gui {

void MainWindow::showSceneProperties() {
    if (m_running) return;
    const std::vector<int> rows = m_list->selectedRows();
    std::vector<int> sorted;
    if (scene::readSelection(m_shown, rows, scene::kPropertiesCode, m_ui, sorted) != scene::EditResult::Ok) return;
    ScenePropertiesDialog dialog(m_ui, m_settings, m_log, this);
    if (sorted.size() == 1)
        dialog.showScene(*m_shown.record(sorted.front()));
    else
        dialog.showScenes(scene::sharedPropertiesOf(m_shown, sorted), static_cast<int>(sorted.size()));
    dialog.makeTrimDialog = [this](const scene::SceneList& one) { return makeTrimDialog(one, 0, true); };
    if (aboutToEditProperties) aboutToEditProperties(dialog);
    if (dialog.exec() != QDialog::Accepted) return;
    runCommand(Command::SceneProperties, scene::kScopeShown, [&] {
        return dialog.multiSelection() ? scene::applySharedProperties(m_shown, sorted, dialog.sharedValues(), m_ui)
                                       : scene::applySceneProperties(m_shown, sorted, dialog.values(), m_ui);
    });
    m_list->selectRows(sorted);
}

}  // namespace klemora::gui
