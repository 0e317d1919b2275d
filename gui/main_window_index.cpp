// The main window's scene index command: the index dialog over the project as
// it is shown, the shown list written back into its group first.
#include "gui/main_window.h"
#include "gui/scene_index_dialog.h"

namespace klemora::gui {

void MainWindow::generateSceneIndex() {
    if (m_running) return;
    syncShownIntoGroup();
    SceneIndexDialog dialog(m_ui, m_settings, m_tree, this);
    dialog.runningChanged = [this](bool running) {
        m_running = running;
        refreshCommandStates();
    };
    if (aboutToIndex) aboutToIndex(dialog);
    dialog.exec();
}

}  // namespace klemora::gui
