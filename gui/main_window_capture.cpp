// The main window's "DV-Capturing...": the camera dialog, and every file
// captured while it was open added afterwards as a whole-file scene, through
// the same path as added AVI files (probed, one undo step).
#include "gui/camera_dialog.h"
#include "gui/main_window.h"

namespace klemora::gui {

void MainWindow::captureFromCamera() {
    if (m_running) return;
    m_running = true;  // no other command while the camera dialog is open
    refreshCommandStates();
    QStringList files;
    {
        CameraDialog dialog(m_settings, m_log, this);
        if (aboutToCapture) aboutToCapture(dialog);
        dialog.exec();
        const scene::SceneList& captured = dialog.capturedScenes();
        for (int i = 0; i < captured.count(); ++i) files << QString::fromStdString(std::string(captured.sourceFile(i)));
    }
    m_running = false;
    refreshCommandStates();
    addFiles(files);
}

}  // namespace klemora::gui
