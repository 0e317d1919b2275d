// The main window's "AVI speichern...": the write-scenes dialog over the
// project's group tree. The shown list goes into its group first, so that
// the run writes what the person sees; no other command starts while a run
// goes; what a run changed comes back into the shown list.
#include <string>

#include "gui/main_window.h"
#include "gui/write_scenes_dialog.h"

namespace klemora::gui {

void MainWindow::writeScenes() {
    if (m_running) return;
    syncShownIntoGroup();
    WriteScenesDialog dialog(m_settings, m_tree, &m_shown, this);
    dialog.writerOptions.log = m_log;
    dialog.runningChanged = [this, &dialog](bool running) {
        m_running = running;
        refreshCommandStates();
        refreshSaveState();
        if (!running) takeBackWriteRun(dialog.lastOutcome());
    };
    if (aboutToWrite) aboutToWrite(dialog);
    dialog.exec();
}

void MainWindow::takeBackWriteRun(const output::WriteRunOutcome& outcome) {
    // The run gave every group the dialog's template; the shown copy follows,
    // or the next sync would put the old one back.
    if (m_shownGroup) m_shown.setNameTemplate(std::string(m_shownGroup->list().nameTemplate()).c_str());
    // The shutdown must not wait for the save question (the person chose it).
    if (outcome.shutdownRequested) {
        m_undo.setClean();
        m_session.unsavedChanges = false;
        refreshSaveState();
    }
    // Deleted sources: the preview and the information of the shown scenes say so now.
    if (!outcome.deletedSources.empty()) refreshSelection();
}

}  // namespace klemora::gui
