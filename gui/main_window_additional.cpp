// The main window's "Weitere..." command: the additional-functions dialog,
// which works on files the user picks, not on the scene list. While one of
// its runs goes on, no command of the main window starts.
#include "gui/additional_functions_dialog.h"
#include "gui/main_window.h"
#include "media/media_settings.h"

namespace klemora::gui {

void MainWindow::showAdditionalFunctions() {
    if (m_running) return;
    AdditionalFunctionsDialog dialog(m_settings, media::readMediaSettings(m_settings), m_log, this);
    connect(&dialog, &AdditionalFunctionsDialog::runningChanged, this, [this](bool running) {
        m_running = running;
        refreshCommandStates();
        refreshSaveState();
    });
    if (aboutToShowAdditional) aboutToShowAdditional(dialog);
    dialog.exec();
}

}  // namespace klemora::gui
