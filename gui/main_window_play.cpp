// The main window's "play scenes": the selected scenes of the shown group,
// in list order, in the play window, which opens where it was last left.
#include "gui/main_window.h"
#include "gui/player_window.h"
#include "gui/scene_list_view.h"
#include "media/media_settings.h"
#include "scene/selection.h"

namespace klemora::gui {

void MainWindow::playSelectedScenes() {
    if (m_running) return;
    std::vector<int> rows;
    if (scene::readSelection(m_shown, m_list->selectedRows(), "KLM-SL-1040", m_ui, rows) != scene::EditResult::Ok)
        return;
    scene::SceneList scenes;
    if (scene::appendCopies(scenes, m_shown, rows) != static_cast<int>(rows.size())) {
        scene::showCallFailure(m_ui, "AddNewScene()", -1, app::Icon::Information);
        return;
    }
    media::MediaSettings settings = media::readMediaSettings(m_settings);
    settings.log = m_log;
    m_running = true;  // no other command while the scenes play
    refreshCommandStates();
    int rc = playScenes(scenes, m_playPlacement, m_ui, settings, this);
    m_running = false;
    refreshCommandStates();
    if (rc != 1) scene::showCallFailure(m_ui, "PlayFile()", rc);
}

}  // namespace klemora::gui
