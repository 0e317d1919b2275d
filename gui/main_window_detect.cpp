// The main window's "Szenenerkennung...": the detection dialog over copies
// of the selected scenes; after OK the scenes it found replace the selected
// ones, as one undo step.
#include "gui/auto_cut_dialog.h"
#include "gui/main_window.h"
#include "gui/scene_list_view.h"
#include "media/media_settings.h"
#include "scene/edit_replace.h"
#include "scene/selection.h"

namespace klemora::gui {

void MainWindow::detectScenes() {
    if (m_running) return;
    std::vector<int> rows;
    if (scene::readSelection(m_shown, m_list->selectedRows(), "KLM-SL-1014", m_ui, rows) != scene::EditResult::Ok)
        return;
    scene::SceneList copies;
    if (scene::appendCopies(copies, m_shown, rows) != static_cast<int>(rows.size()))
        return scene::showOutOfMemory(m_ui);
    media::MediaSettings media = media::readMediaSettings(m_settings);
    media.log = m_log;
    AutoCutDialog dialog(m_settings, *detectionPower, media, copies, m_log, this);
    // No command of the main window (the autobackup neither) starts while it runs.
    dialog.busyChanged = [this](bool busy) {
        m_running = busy;
        refreshCommandStates();
        refreshSaveState();
    };
    if (aboutToDetect) aboutToDetect(dialog);
    if (dialog.exec() != QDialog::Accepted || !dialog.hasFoundScenes()) return;
    const scene::SceneList& found = dialog.foundScenes();
    runCommand(Command::SceneDetection, scene::kScopeShown, [&] {
        return scene::replaceByFoundScenes(m_shown, rows, found, m_ui, m_view == StoryboardView);
    });
}

}  // namespace klemora::gui
